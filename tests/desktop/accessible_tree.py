#!/usr/bin/python3
"""Prints what a screen reader finds in one window of a program, read over the AT-SPI bus.

Usage: accessible_tree.py PID TITLE [SECONDS]
One JSON object per line for every object under the window titled TITLE of the program with
process id PID: {"role", "name", "showing"}. Waits up to SECONDS (default 10) for the window.
Exit 0 when the window was found, 1 when not. Run it with /usr/bin/python3: Debian's pyatspi
is built for that interpreter."""

import json
import sys
import time

import pyatspi


def find_window(pid, title):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is None:
            continue
        try:
            if app.get_process_id() != pid:
                continue
        except Exception:
            continue
        for window in app:
            if window is not None and window.name == title:
                return window
    return None


def walk(node, depth=0):
    if node is None or depth > 40:
        return
    states = node.getState()
    print(json.dumps({"role": node.getRoleName(), "name": node.name,
                      "showing": states.contains(pyatspi.STATE_SHOWING)}))
    for child in node:
        walk(child, depth + 1)


def main():
    pid, title = int(sys.argv[1]), sys.argv[2]
    seconds = float(sys.argv[3]) if len(sys.argv) > 3 else 10
    deadline = time.time() + seconds
    window = find_window(pid, title)
    while window is None and time.time() < deadline:
        time.sleep(0.2)
        window = find_window(pid, title)
    if window is None:
        print("no window titled %r in process %d" % (title, pid), file=sys.stderr)
        return 1
    walk(window)
    return 0


if __name__ == "__main__":
    sys.exit(main())
