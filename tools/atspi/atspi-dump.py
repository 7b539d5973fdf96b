#!/usr/bin/env python3
"""Prints the accessible tree of the running Inkvale window as screen readers see it over
AT-SPI: role, name, focusable/checked states and the labelled-by relation of every part.

Usage: atspi-dump.py [NAME...]   first presses, through AT-SPI, the controls so named
(for example "Feedback", then "I like it!"), so that the windows they open are dumped too.
"""
import sys
import time

import pyatspi

SHOWN_STATES = (pyatspi.STATE_FOCUSABLE, pyatspi.STATE_CHECKABLE, pyatspi.STATE_CHECKED)
# Their children are the rows and cells of a list, not controls.
LEAF_ROLES = ('table cell', 'list item', 'menu item', 'table column header')


def describe(node):
    states = [pyatspi.stateToString(s) for s in node.getState().getStates() if s in SHOWN_STATES]
    labels = ['labelled-by "%s"' % r.getTarget(0).name for r in node.getRelationSet()
              if r.getRelationType() == pyatspi.RELATION_LABELLED_BY]
    return ' '.join(['%s "%s"' % (node.getRoleName(), node.name)] + states + labels)


def walk(node, depth=0):
    print('  ' * depth + describe(node))
    if node.getRoleName() in LEAF_ROLES:
        return
    for index in range(node.childCount):
        walk(node.getChildAtIndex(index), depth + 1)


def find(node, name):
    if node.name == name and node.getRoleName() != 'label':
        return node
    for index in range(node.childCount):
        found = find(node.getChildAtIndex(index), name)
        if found:
            return found
    return None


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for _ in range(60):
        for index in range(desktop.childCount):
            app = desktop.getChildAtIndex(index)
            if app and (app.name or '').lower() == 'inkvale':
                return app
        time.sleep(0.5)
    sys.exit('no Inkvale window on the accessibility bus')


def main():
    app = application()
    for name in sys.argv[1:]:
        control = find(app, name)
        if control is None:
            sys.exit('no control named "%s"' % name)
        control.queryAction().doAction(0)
        time.sleep(2)
    walk(app)


if __name__ == '__main__':
    main()
