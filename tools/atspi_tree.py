#!/usr/bin/python3
# Prints what a screen reader gets from the running dictionary over AT-SPI:
# every window and control with its role, name, description, value and
# relations. `atspi_tree.py press NAME` presses the button of that name;
# `atspi_tree.py SEEN_FILE` prints only the windows not yet named in that file
# and adds them to it.
import sys
import time

import pyatspi


def application():
    for _ in range(60):
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == 'Varin Dictionary':
                return app
        time.sleep(0.5)
    sys.exit('the dictionary is not on the accessibility bus')


def line(o):
    text = '%s "%s"' % (o.getRoleName(), o.name)
    if o.description:
        text += ' description="%s"' % o.description
    try:
        v = o.queryValue()
        text += ' value=%g (%g to %g, step %g)' % (v.currentValue, v.minimumValue, v.maximumValue, v.minimumIncrement)
    except NotImplementedError:
        pass
    for r in o.getRelationSet():
        kind = pyatspi.relationToString(r.getRelationType()) if hasattr(pyatspi, 'relationToString') else str(r.getRelationType())
        if 'controller' in kind.lower():
            continue
        text += ' %s: %s' % (kind, ', '.join('"%s"' % r.getTarget(i).name for i in range(r.getNTargets())))
    if not o.getState().contains(pyatspi.STATE_SHOWING):
        text += ' (not showing)'
    return text


def walk(o, depth):
    print('  ' * depth + line(o))
    role = o.getRoleName()
    if role == 'table':
        print('  ' * depth + '  (%d rows)' % o.queryTable().nRows)
        return
    if role in ('combo box', 'scroll bar'):
        return
    for i in range(o.childCount):
        c = o.getChildAtIndex(i)
        if c is not None:
            walk(c, depth + 1)


def find_button(o, name):
    if o.getRoleName() == 'push button' and o.name == name:
        return o
    for i in range(o.childCount):
        c = o.getChildAtIndex(i)
        found = c is not None and find_button(c, name)
        if found:
            return found
    return None


app = application()
if len(sys.argv) > 2 and sys.argv[1] == 'press':
    button = find_button(app, sys.argv[2])
    if not button:
        sys.exit('no button "%s"' % sys.argv[2])
    button.queryAction().doAction(0)
else:
    seen_file = sys.argv[1] if len(sys.argv) > 1 else None
    seen = set()
    if seen_file:
        try:
            with open(seen_file, encoding='utf-8') as f:
                seen = set(f.read().split('\0'))
        except FileNotFoundError:
            pass
    for i in range(app.childCount):
        window = app.getChildAtIndex(i)
        if window is None or window.name in seen:
            continue
        walk(window, 0)
        seen.add(window.name)
    if seen_file:
        with open(seen_file, 'w', encoding='utf-8') as f:
            f.write('\0'.join(seen))
