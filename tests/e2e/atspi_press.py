"""atspi_press.py PROGRAM ITEM [where]: presses the program's menu item over the accessibility
bus as a screen reader would, or prints where on the screen its middle is. Run by Debian's
python3, which has pyatspi."""

import sys
import time

import pyatspi


def find(node, name):
    if node.getRoleName() == "menu item" and node.name == name:
        return node
    children = (node.getChildAtIndex(i) for i in range(node.childCount))
    return next((found for child in children if child and (found := find(child, name))), None)


def main(program, name, what="press"):
    deadline = time.monotonic() + 10
    while not (item := next((find(app, name) for app in pyatspi.Registry.getDesktop(0)
                             if app and app.name == program), None)):
        if time.monotonic() > deadline:
            sys.exit(f"no menu item {name!r} of {program!r} on the accessibility bus")
        time.sleep(0.1)
    if what == "where":
        box = item.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        print(box.x + box.width // 2, box.y + box.height // 2)
    else:
        item.queryAction().doAction(0)


if __name__ == "__main__":
    main(*sys.argv[1:])
