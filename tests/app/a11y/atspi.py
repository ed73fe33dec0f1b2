"""Reads and drives Orvelle's windows through AT-SPI, as a screen reader does.

Each command prints what it found and exits 0 when what it looks for holds, so that the shell
script can poll it. Usage: atspi.py COMMAND [ARGUMENTS...]
  ready                     the settings window is on the accessibility bus
  named                     every focusable control of the settings window has a name
  capsule PATTERN           the capsule's name matches the regular expression PATTERN
  menu                      carries out the capsule's menu action (a popup menu is no window
                            of the application on the bus: the script sees it open on X)
  tab-to NAME               Tab (pressed as keys) moves the focus to the control NAME
  told SECONDS              while the amount ticks, the capsule told of a new name once or
                            twice in SECONDS (more than the announcement interval)
"""
import re
import subprocess
import sys
import time

import pyatspi

SETTINGS = "Orvelle设置"
# A capsule or page control seen through AT-SPI is named, never empty; at most this many Tabs
# reach any control of the page.
MOST_TABS = 40


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


def has(node, state):
    return node.getState().contains(state)


def focusable(node):
    return has(node, pyatspi.STATE_FOCUSABLE) and has(node, pyatspi.STATE_SHOWING)


def do_action(node, action):
    actions = node.queryAction()
    names = [actions.getName(i) for i in range(actions.nActions)]
    if action not in names:
        sys.exit(f"{node.name!r} offers {names}, not {action}")
    actions.doAction(names.index(action))


def named():
    controls = pyatspi.findAllDescendants(settings_window(), focusable)
    unnamed = [f"{node.getRoleName()} {node.getIndexInParent()}"
               for node in controls if not node.name.strip()]
    print(f"{len(controls)} focusable controls; unnamed: {unnamed}")
    return len(controls) >= 5 and not unnamed


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


def poll(condition, seconds=5):
    deadline = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > deadline:
            return False
        time.sleep(0.05)
    return True


def focused_name():
    node = find(settings_window(), lambda node: has(node, pyatspi.STATE_FOCUSED))
    return None if node is None else node.name


def tab_to(name):
    visited = [focused_name()]
    while visited[-1] != name and len(visited) <= MOST_TABS:
        subprocess.run(["xdotool", "key", "Tab"], check=True)
        before = visited[-1]
        poll(lambda: focused_name() != before)
        visited.append(focused_name())
    print("focus went through:", visited)
    return visited[-1] == name


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


COMMANDS = {"ready": lambda: settings_window() is not None, "named": named,
            "capsule": capsule, "menu": lambda: do_action(capsule_node(), "ShowMenu") or True,
            "tab-to": tab_to, "told": told}

if __name__ == "__main__":
    sys.exit(0 if COMMANDS[sys.argv[1]](*sys.argv[2:]) else 1)
