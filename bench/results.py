#!/usr/bin/env python3
"""Adds figures to bench/results.json, keeping the figures other runs wrote there.
Usage: bench/results.py name=number ...   (or merge() from another script)"""
import json
import os
import sys

PATH = os.path.join(os.path.dirname(os.path.abspath(__file__)), "results.json")


def merge(figures, path=PATH):
    try:
        with open(path) as f:
            results = json.load(f)
    except (FileNotFoundError, json.JSONDecodeError):
        results = {}
    results.update(figures)
    with open(path + ".tmp", "w") as f:
        json.dump(results, f, indent=2, sort_keys=True)
        f.write("\n")
    os.replace(path + ".tmp", path)


if __name__ == "__main__":
    figures = {}
    for arg in sys.argv[1:]:
        name, _, value = arg.partition("=")
        figures[name] = float(value)
    merge(figures)
