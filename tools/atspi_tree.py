#!/usr/bin/python3
# Prints what a screen reader gets from the running dictionary over AT-SPI:
# every window and control with its role, name, description, value and
# relations. `atspi_tree.py SEEN_FILE` prints only the windows not yet named
# in that file and adds them to it.
#
# It also uses the dictionary the way a screen reader user would, for the
# checks in tools/:
#   press NAME              presses the button of that name
#   add KURDISH ENGLISH     adds the pair through the add window, answering OK
#   find TEXT               types TEXT into the search box, prints the rows
#   shown                   prints the search box's text and its first row
#   quit                    presses the dictionary's close button
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


SEARCH_BOX = 'گه\u200cران'
KURDISH_FIELD = 'ووشه\u200cى كوردى'
ENGLISH_FIELD = 'ووشه\u200cى ئينگليزى'
ADD = 'زياد كردن'
CLOSE = 'داخستن'


def find(o, wanted):
    if wanted(o):
        return o
    for i in range(o.childCount):
        c = o.getChildAtIndex(i)
        found = c is not None and find(c, wanted)
        if found:
            return found
    return None


def showing_windows(app):
    windows = (app.getChildAtIndex(i) for i in range(app.childCount))
    return [w for w in windows if w is not None and w.getState().contains(pyatspi.STATE_SHOWING)]


def has_table(o):
    return find(o, lambda c: c.getRoleName() == 'table') is not None


def dictionary_window(app):
    for _ in range(40):
        for w in showing_windows(app):
            if has_table(w):
                return w
        time.sleep(0.25)
    sys.exit('the dictionary window is not showing')


def named(role_names, name):
    return lambda o: o.getRoleName() in role_names and o.name == name


def press(o):
    o.queryAction().doAction(0)


def answer_boxes(app):
    # Every question and notice of the add is answered with its first button (OK).
    for _ in range(8):
        time.sleep(0.5)
        boxes = [w for w in showing_windows(app) if w.getRoleName() in ('alert', 'dialog')]
        if not boxes:
            return
        for box in boxes:
            text = find(box, lambda o: o.getRoleName() == 'label' and len(o.name.strip()) > 2)
            print('box: %s' % ' '.join((text.name if text else '').split()))
            press(find(box, lambda o: o.getRoleName() == 'push button'))


def print_rows(window, most=5):
    box = find(window, named(('text', 'entry'), SEARCH_BOX)).queryText()
    table = find(window, lambda o: o.getRoleName() == 'table').queryTable()
    print('search box: "%s", %d rows' % (box.getText(0, -1), table.nRows))
    for r in range(min(table.nRows, most)):
        cells = [table.getAccessibleAt(r, c) for c in range(table.nColumns)]
        # The row's note (its part of speech) comes as each cell's description.
        note = cells[0].description if cells else ''
        print('  ' + ' | '.join(c.name for c in cells) + (' (%s)' % note if note else ''))


app = application()
verb = sys.argv[1] if len(sys.argv) > 1 else ''
if verb == 'press':
    button = find(app, named(('push button',), sys.argv[2]))
    if not button:
        sys.exit('no button "%s"' % sys.argv[2])
    press(button)
elif verb == 'add':
    kurdish, english = sys.argv[2], sys.argv[3]
    press(find(dictionary_window(app), named(('push button',), ADD)))
    time.sleep(1.5)
    add = next(w for w in showing_windows(app) if not has_table(w))
    find(add, named(('text', 'entry'), KURDISH_FIELD)).queryEditableText().setTextContents(kurdish)
    find(add, named(('text', 'entry'), ENGLISH_FIELD)).queryEditableText().setTextContents(english)
    press(find(add, named(('push button',), ADD)))
    answer_boxes(app)
    press(find(add, named(('push button',), CLOSE)))
elif verb == 'find':
    window = dictionary_window(app)
    find(window, named(('text', 'entry'), SEARCH_BOX)).queryEditableText().setTextContents(sys.argv[2])
    time.sleep(1)
    print_rows(window)
elif verb == 'shown':
    print_rows(dictionary_window(app), 1)
elif verb == 'quit':
    press(find(dictionary_window(app), named(('push button',), CLOSE)))
else:
    seen_file = verb or None
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
