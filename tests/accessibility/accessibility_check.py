#!/usr/bin/env python3
"""The editor as an assistive technology sees it.

Starts a virtual display, the accessibility bus and the editor on a home with Logic's Retro Synth,
then (1) walks the accessibility tree of the main window and of the Sign In window and fails on a
focusable element without a name, and (2) runs a journey by keyboard alone: open the plug-in,
put three parameters on controls, turn the page, save; the saved file must hold them.

Run on a D-Bus session of its own: dbus-run-session -- accessibility_check.py EDITOR FIXTURE.
Exits 77 (skipped) when Xvfb, xdotool, the accessibility bus or pyatspi is missing.
"""
import os
import plistlib
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77
try:
    import pyatspi
except ImportError:
    print("pyatspi is not installed (python3-pyatspi)")
    sys.exit(SKIP)

LAUNCHERS = ["/usr/libexec/at-spi-bus-launcher", "/usr/lib/at-spi2-core/at-spi-bus-launcher"]


def need(program):
    if not shutil.which(program):
        print(f"{program} is not installed")
        sys.exit(SKIP)


def wait_for(what, probe, seconds=20):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = probe()
        if found:
            return found
        time.sleep(0.2)
    raise SystemExit(f"FAIL: {what} did not appear within {seconds} s")


def application(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and (app.name or "").lower().startswith(name.lower()):
            return app
    return None


def walk(node, depth=0):
    yield node, depth
    if depth > 40:
        return
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, depth + 1)


def unnamed_focusable(window):
    """Focusable, shown elements without a name, as (role, path of roles)."""
    found = []
    for node, _ in walk(window):
        try:
            states = node.getState()
            if not (states.contains(pyatspi.STATE_FOCUSABLE) and states.contains(pyatspi.STATE_SHOWING)):
                continue
            if (node.name or "").strip():
                continue
            # A list's or table's cells are named by their text; an empty cell has nothing to say.
            if node.getRoleName() in ("table cell", "list item"):
                continue
            found.append(f"{node.getRoleName()} in {node.parent.getRoleName()} '{node.parent.name}'")
        except Exception:  # an element that went away while walking
            continue
    return found


def windows(app):
    return [app.getChildAtIndex(i) for i in range(app.childCount) if app.getChildAtIndex(i) is not None]


def focused(app):
    for window in windows(app):
        for node, _ in walk(window):
            try:
                if node.getState().contains(pyatspi.STATE_FOCUSED):
                    return node
            except Exception:
                continue
    return None


def find(window, role, name):
    for node, _ in walk(window):
        try:
            if node.getRoleName() == role and (node.name or "").replace("&", "") == name:
                return node
        except Exception:
            continue
    return None


def check_window_opened_by(app, main_window, role, name, failures):
    """Presses the main window's `name` as an assistive technology does and walks the window it opens."""
    opener = find(main_window, role, name)
    if opener is None:
        failures.append(f"main window: no {role} named {name!r}")
        return
    before = len(windows(app))
    opener.queryAction().doAction(0)
    try:
        window = wait_for(f"the window of {name!r}",
                          lambda: len(windows(app)) > before and windows(app)[-1], seconds=10)
    except SystemExit as problem:
        failures.append(str(problem))
        return
    time.sleep(0.5)
    print(f"walked {window.name!r}: {sum(1 for _ in walk(window))} elements")
    for problem in unnamed_focusable(window):
        failures.append(f"{window.name or name}: {problem}")
    key("Escape")
    time.sleep(0.5)


def key(*names):
    for name in names:
        subprocess.run(["xdotool", "key", "--clearmodifiers", name], check=True)
        time.sleep(0.25)


def main():
    editor, fixture = sys.argv[1], sys.argv[2]
    need("Xvfb")
    need("xdotool")
    launcher = next((path for path in LAUNCHERS if os.path.exists(path)), None)
    if launcher is None:
        print("at-spi-bus-launcher is not installed (at-spi2-core)")
        sys.exit(SKIP)

    home = tempfile.mkdtemp(prefix="ov-a11y-")
    plugin = os.path.join(home, "Music/Audio Music Apps/Plug-In Settings/Retro Synth")
    os.makedirs(plugin)
    shutil.copy(fixture, os.path.join(plugin, "CSParameterOrder.plist"))
    display = ":%d" % (200 + os.getpid() % 500)
    processes = []
    try:
        processes.append(subprocess.Popen(["Xvfb", display, "-screen", "0", "1280x800x24", "-nolisten", "tcp"],
                                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        processes.append(subprocess.Popen([launcher, "--launch-immediately"],
                                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        time.sleep(1)
        environment = dict(os.environ, DISPLAY=display, HOME=home, QT_QPA_PLATFORM="xcb",
                           QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
                           OVCORVANTA_COMMUNITY_URL="http://127.0.0.1:9/")
        environment.pop("XDG_CONFIG_HOME", None)
        environment.pop("XDG_DATA_HOME", None)
        processes.append(subprocess.Popen([editor], env=environment,
                                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        os.environ["DISPLAY"] = display
        app = wait_for("the editor on the accessibility bus", lambda: application("ovCorvanta"))
        main_window = wait_for("the main window", lambda: windows(app) and windows(app)[0])
        time.sleep(1)
        # With no window manager nothing makes the window active, and its shortcuts would not fire.
        subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(processes[-1].pid), "--name", ".",
                        "windowfocus", "--sync"], check=True, timeout=20)

        failures = []
        for problem in unnamed_focusable(main_window):
            failures.append(f"main window: {problem}")

        # The keyboard journey. Start-up leaves the focus in the plug-in list.
        key("Down", "Return")
        time.sleep(1)
        key("Tab", "Tab", "Tab")  # "Hide mapped", the search field, then the parameter list
        key("Down", "Down")  # past the empty entry: the first parameter
        key("Tab")  # the front panel's first control
        key("Return", "Right", "Return", "Right", "Return")
        key("Next")  # PageDown: the next page
        key("ctrl+s")
        time.sleep(1)
        for button in ("Return",):  # the alert that says where the backup went
            key(button)
        with open(fixture, "rb") as before_file:
            before = plistlib.load(before_file)["ControlSurfaceParameterOrder"]
        with open(os.path.join(plugin, "CSParameterOrder.plist"), "rb") as saved_file:
            order = plistlib.load(saved_file)["ControlSurfaceParameterOrder"]
        print("first controls before:", before[:3], "now:", order[:3])
        if not os.path.exists(os.path.join(plugin, "CSParameterOrder.plist.prev")):
            failures.append("keyboard journey: nothing was saved (no .prev backup)")
        # Return on a control puts the highlighted parameter there and highlights the next one.
        elif len(set(order[:3])) != 3 or -1 in order[:3] or order[:3] == before[:3]:
            failures.append(f"keyboard journey: the first three controls hold {order[:3]}")

        # After the journey: without a window manager the keyboard does not come back from a closed window.
        check_window_opened_by(app, main_window, "push button", "Sign In...", failures)

        for failure in failures:
            print("FAIL:", failure)
        return 1 if failures else 0
    finally:
        for process in reversed(processes):
            process.terminate()
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                process.kill()
        shutil.rmtree(home, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
