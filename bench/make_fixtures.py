#!/usr/bin/env python3
"""Generates the benchmark inputs: a home folder with many plug-ins among many other files, and a
large parameter-order file."""
import os
import plistlib
import sys


def make_tree(home, plugins=2000, others=100_000):
    """`plugins` plug-in folders holding a parameter-order file, among `others` other files."""
    logic = os.path.join(home, "Music", "Audio Music Apps", "Plug-In Settings")
    presets = os.path.join(home, "Library", "Audio", "Presets")
    small = plistlib.dumps({"ControlSurfaceParameterOrder": [f"{i} Param {i}" for i in range(40)]})
    folders = []
    for p in range(plugins):
        if p % 4 == 0:
            folder = os.path.join(logic, f"Plugin {p:04d}")
        else:
            folder = os.path.join(presets, f"Maker {p % 50:02d}", f"Plugin {p:04d}")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "CSParameterOrder.plist"), "wb") as f:
            f.write(small)
        folders.append(folder)
    # The other files: user presets beside the parameter-order files and in folders of their own.
    for i in range(others):
        if i % 2 == 0:
            folder = folders[i % len(folders)]
        else:
            folder = os.path.join(presets, f"Maker {i % 50:02d}", "Presets", f"Bank {i % 200:03d}")
            os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, f"Preset {i:06d}.pst"), "wb") as f:
            f.write(b"x")


def make_big_file(path, parameters=10_000, pages=400):
    unique = ["-1"] + [f"{i} Parameter number {i}" for i in range(1, parameters + 1)]
    order = [unique[1 + (i * 7) % parameters] if i % 5 else "-1" for i in range(pages * 32)]
    with open(path, "wb") as f:
        plistlib.dump({"ControlSurfaceParameterOrder": order, "StoreCSUnique": unique, "Version": 1.0}, f)


if __name__ == "__main__":
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    home = os.path.join(out, "home")
    if not os.path.exists(os.path.join(home, ".complete")):
        make_tree(home)
        open(os.path.join(home, ".complete"), "w").close()
    make_big_file(os.path.join(out, "big.plist"))
