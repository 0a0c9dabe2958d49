"""Presses a menu item of a running program over the accessibility bus, as a screen reader
would (atspi_press.py PROGRAM ITEM), or prints the screen coordinates of its middle
(atspi_press.py PROGRAM ITEM where). Run by Debian's python3, which has pyatspi."""

import sys
import time

import pyatspi

TIMEOUT = 10.0


def nodes(node):
    yield node
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is not None:
            yield from nodes(child)


def find_item(program, name):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == program:
            for node in nodes(app):
                if node.getRoleName() == "menu item" and node.name == name:
                    return node
    return None


def main(program, name, what="press"):
    deadline = time.monotonic() + TIMEOUT
    while (item := find_item(program, name)) is None:
        if time.monotonic() > deadline:
            sys.exit(f"no menu item {name!r} in {program!r} on the accessibility bus")
        time.sleep(0.1)
    if what == "where":
        box = item.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        print(box.x + box.width // 2, box.y + box.height // 2)
    else:
        item.queryAction().doAction(0)


if __name__ == "__main__":
    main(*sys.argv[1:])
