"""Reads Orvelle's windows through AT-SPI, as a screen reader does.

Each command prints what it found and exits 0 when what it looks for holds, so that the shell
script can poll it. Usage: atspi.py COMMAND [ARGUMENTS...]
  ready                     the settings window is on the accessibility bus
  capsule PATTERN           the capsule's name matches the regular expression PATTERN
  told SECONDS              while the amount ticks, the capsule told of a new name once or
                            twice in SECONDS (more than the announcement interval)
"""
import re
import sys

import pyatspi

SETTINGS = "Orvelle设置"


def windows():
    for app in pyatspi.Registry.getDesktop(0):
        if app is None:
            continue
        for window in app:
            if window is not None:
                yield window


def settings_window():
    for window in windows():
        if window.name == SETTINGS:
            return window
    sys.exit(f"no window named {SETTINGS}")


def find(root, predicate):
    return pyatspi.findDescendant(root, predicate, True)


def capsule_node():
    for window in windows():
        found = find(window, lambda node: node.name.startswith("今日收入"))
        if found is not None:
            return found
    sys.exit("no capsule on the bus")


def capsule(pattern):
    name = capsule_node().name
    print(f"capsule: {name}")
    return re.search(pattern, name) is not None


def told(seconds):
    from gi.repository import GLib
    names = []

    def heard(event):
        name = event.source.name if event.source is not None else ""
        if name.startswith("今日收入"):
            names.append(name)

    pyatspi.Registry.registerEventListener(heard, "object:property-change:accessible-name")
    GLib.timeout_add(int(float(seconds) * 1000), pyatspi.Registry.stop)
    pyatspi.Registry.start()
    print(f"told in {seconds} s: {names}")
    return 1 <= len(names) <= 2


COMMANDS = {"ready": lambda: settings_window() is not None, "capsule": capsule, "told": told}

if __name__ == "__main__":
    sys.exit(0 if COMMANDS[sys.argv[1]](*sys.argv[2:]) else 1)
