"""What a screen reader sees of vantor, through the accessibility bus.

Run by scripts/a11y-check.sh while vantor runs under a virtual display with
the bus up: opens the platen test from the menu, moves the "VRef :" slider
and reads its value label by name, presses RUN, waits for the run to end and
reads the result list as a client would. With --station it reads the station
window instead: its controls by name, a unit started from the bus, each
step's row and the verdict. Exits non-zero when something is not readable.
"""
import sys
import time

import pyatspi
from gi.repository import GLib

failures = []
events = {}


def check(ok, what):
    print(("ok    " if ok else "FAIL  ") + what)
    if not ok:
        failures.append(what)


def pump(seconds):
    end = time.time() + seconds
    while time.time() < end:
        GLib.MainContext.default().iteration(False)
        time.sleep(0.01)


def wait_for(fn, what, timeout=60):
    end = time.time() + timeout
    while time.time() < end:
        found = fn()
        if found:
            return found
        pump(0.2)
    sys.exit("timed out waiting for " + what)


def find(node, pred, depth=0):
    """Depth-first, never into a list's lines."""
    if node is None or depth > 12:
        return None
    try:
        if pred(node):
            return node
        if node.getRoleName() == "list":
            return None
        for i in range(node.childCount):
            found = find(node.getChildAtIndex(i), pred, depth + 1)
            if found:
                return found
    except Exception:  # an object that went away while walking
        return None
    return None


def on_event(e):
    try:
        role = e.source.getRoleName() if e.source is not None else ""
    except Exception:
        return
    if role in ("list", "list item"):
        key = e.type + " on a " + role
        events[key] = events.get(key, 0) + 1


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name.lower() == "vantor":
            return app
    return None


def station():
    """The station window: its controls by name, a unit run from the bus,
    the step rows and the verdict read back."""
    app = wait_for(application, "the station on the accessibility bus")
    window = wait_for(lambda: find(app, lambda n: n.getRoleName() == "frame" and n.name == "Vantor Station"),
                      "the Vantor Station window")
    for role, name in (("text", "Serial number"), ("push button", "Start"), ("push button", "Stop"),
                       ("label", "Verdict")):
        check(find(window, lambda n, r=role, m=name: n.getRoleName() == r and n.name == m) is not None,
              'a %s named "%s"' % (role, name))

    # On Linux Qt gives a combo box its current text as name and says what it
    # is through the label that names it.
    def labelled_by(node):
        names = []
        for rel in node.getRelationSet():
            if rel.getRelationType() == pyatspi.RELATION_LABELLED_BY:
                names += [rel.getTarget(i).name for i in range(rel.getNTargets())]
        return names

    combo = find(window, lambda n: n.getRoleName() == "combo box")
    labels = labelled_by(combo) if combo is not None else []
    check(combo is not None and (combo.name == "Sequence" or any(l.startswith("Sequence") for l in labels)),
          'the sequence chooser is a combo box labelled "Sequence" (name %r, labels %r)'
          % (combo.name if combo is not None else None, labels))
    steps = find(window, lambda n: n.name == "Steps")
    history = find(window, lambda n: n.name == "History")
    check(steps is not None and history is not None, 'the lists "Steps" and "History" are named')
    serial = find(window, lambda n: n.getRoleName() == "text" and n.name == "Serial number")
    serial.queryEditableText().setTextContents("A11Y-0001")
    start = find(window, lambda n: n.getRoleName() == "push button" and n.name == "Start")
    start.queryAction().doAction(0)
    verdict = find(window, lambda n: n.getRoleName() == "label" and n.name == "Verdict")

    def done():
        d = verdict.description
        return d.startswith("Verdict: ") and d not in ("Verdict: READY", "Verdict: RUNNING")

    wait_for(done, "the verdict", timeout=120)
    print("verdict:", repr(verdict.description))
    check(verdict.description.startswith("Verdict: PASS"), "the verdict reads PASS, in words")
    table = steps.queryTable()
    rows = []
    for r in range(table.nRows):
        rows.append([table.getAccessibleAt(r, c).name for c in range(table.nColumns)])
    for row in rows:
        print("  step:", row)
    check(len(rows) >= 1 and all("PASS" in row for row in rows), "every step row reads PASS")
    sys.exit(1 if failures else 0)


if "--station" in sys.argv:
    station()

vantor = wait_for(application, "vantor on the accessibility bus")
menu_button = wait_for(
    lambda: find(vantor, lambda n: n.getRoleName() == "push button" and n.name == "Platen Test"),
    "the Platen Test button")
menu_button.queryAction().doAction(0)
dialog = wait_for(lambda: find(vantor, lambda n: n.getRoleName() == "dialog" and n.name == "PLATEN TEST"),
                  "the platen dialog")

radio = find(dialog, lambda n: n.name == "Constant (pps):" and n.getRoleName() == "radio button")
check(radio is not None, 'the "Constant (pps):" choice is a radio button')
speed = find(dialog, lambda n: n.name == "Constant (pps):" and n.getRoleName() == "text")
check(speed is not None, 'the speed edit is named "Constant (pps):" after its radio button')

# A text the program replaces is read by what it shows now: the "VRef :"
# label follows its slider as "%3d".
slider = find(dialog, lambda n: n.getRoleName() == "slider" and n.name == "VRef :")
check(slider is not None, 'the "VRef :" slider')
if slider is not None:
    value = slider.queryValue()
    start = int(value.currentValue)
    wanted = 100 if start != 100 else 99
    value.currentValue = wanted
    shown = "%3d" % wanted
    label = wait_for(lambda: find(dialog, lambda n: n.getRoleName() == "label" and n.name == shown),
                     "the VRef label reading %r" % shown, timeout=10)
    check(label is not None, 'the VRef label is named by its reading %r' % shown)
    check(find(dialog, lambda n: n.getRoleName() == "label" and n.name == "%3d" % start) is None,
          'no label still reads the start value %r' % ("%3d" % start))
    described = label.description if label is not None else ""
    print("  the reading %r, described as %r" % (label.name if label else None, described))
    value.currentValue = start

for kind in ("object:children-changed", "object:state-changed", "object:selection-changed", "focus:"):
    pyatspi.Registry.registerEventListener(on_event, kind)
run = find(dialog, lambda n: n.getRoleName() == "push button" and n.name == "RUN")
run.queryAction().doAction(0)

result = wait_for(lambda: find(dialog, lambda n: n.getRoleName() == "list"), "the result list")


def ended():
    n = result.childCount
    return n > 0 and result.getChildAtIndex(n - 1).name == " "


wait_for(ended, "the end of the run", timeout=120)
pump(0.5)
count = result.childCount
lines = [result.getChildAtIndex(i) for i in range(count)]
print("result list: %d lines" % count)
for i, line in enumerate(lines):
    selected = line.getState().contains(pyatspi.STATE_SELECTED)
    print("  %3d  %-12s %r%s" % (i, line.getRoleName(), line.name, "  (selected)" if selected else ""))
names = [line.name for line in lines]
check(count >= 5 and names[0] == "== Start ==" and names[-2:] == ["== End ==", " "],
      "the lines of a whole run, framed by == Start == and == End ==")
check(all(line.getRoleName() == "list item" for line in lines), "every line is a list item")
table = result.queryTable()
check(table.nRows == count and table.nColumns == 1, "the table interface counts %d rows" % table.nRows)
check(list(table.getSelectedRows()) == [count - 1], "the selected line is the last one")
print("events from the list and its lines:", events)
check(events.get("object:state-changed:selected on a list item", 0) > 0,
      "lines becoming selected as they arrive are announced")

sys.exit(1 if failures else 0)
