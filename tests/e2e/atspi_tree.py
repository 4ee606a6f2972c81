#!/usr/bin/env python3
"""Reads a running application through the accessibility bus, as a screen
reader does.

  atspi_tree.py APP dump            every object: "role<TAB>name<TAB>actions"
  atspi_tree.py APP press NAME      runs the first action of the push button NAME

Exit status 3 when APP is not (yet) on the bus.
"""
import sys

import pyatspi


def find_app(name):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == name:
            return app
    return None


def walk(accessible):
    yield accessible
    for i in range(accessible.childCount):
        child = accessible.getChildAtIndex(i)
        if child is not None:
            yield from walk(child)


def actions(accessible):
    try:
        action = accessible.queryAction()
    except NotImplementedError:
        return []
    return [action.getName(i) for i in range(action.nActions)]


def main():
    app = find_app(sys.argv[1])
    if app is None:
        return 3
    if sys.argv[2] == "dump":
        for accessible in walk(app):
            print(f"{accessible.getRoleName()}\t{accessible.name}\t{','.join(actions(accessible))}")
        return 0
    if sys.argv[2] == "press":
        for accessible in walk(app):
            if accessible.getRoleName() == "push button" and accessible.name == sys.argv[3]:
                accessible.queryAction().doAction(0)
                return 0
        print(f"no push button named {sys.argv[3]!r}", file=sys.stderr)
        return 1
    return 2


sys.exit(main())
