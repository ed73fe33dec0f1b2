# Reads Orvelle's windows through AT-SPI, as a screen reader does.
#
# Each command prints what it found and exits 0 when what it looks for holds, so that the shell
# script can poll it. Usage: atspi.py COMMAND [ARGUMENTS...]
#   ready                     the settings window is on the accessibility bus
#   capsule PATTERN           the capsule's name matches the regular expression PATTERN
#   told SECONDS              while the amount ticks, the capsule told of a new name once or
#                             twice in SECONDS (more than the announcement interval)
import re
import sys

import pyatspi
from gi.repository import GLib

AMOUNT = "今日收入"  # how the capsule's name begins


def windows():
    for app in pyatspi.Registry.getDesktop(0):
        yield from (window for window in app or [] if window is not None)


def ready():
    return any(window.name == "Orvelle设置" for window in windows())


def capsule(pattern):
    for window in windows():
        node = pyatspi.findDescendant(window, lambda node: node.name.startswith(AMOUNT), True)
        if node is not None:
            print(f"capsule: {node.name}")
            return re.search(pattern, node.name) is not None
    return False


def told(seconds):
    names = []

    def heard(event):
        if event.source is not None and event.source.name.startswith(AMOUNT):
            names.append(event.source.name)

    pyatspi.Registry.registerEventListener(heard, "object:property-change:accessible-name")
    GLib.timeout_add(int(float(seconds) * 1000), pyatspi.Registry.stop)
    pyatspi.Registry.start()
    print(f"told in {seconds} s: {names}")
    return 1 <= len(names) <= 2


if __name__ == "__main__":
    COMMANDS = {"ready": ready, "capsule": capsule, "told": told}
    sys.exit(0 if COMMANDS[sys.argv[1]](*sys.argv[2:]) else 1)
