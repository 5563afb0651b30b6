#!/usr/bin/python3
"""A screen reader's view of the running panel, through the desktop's accessibility bus.

Finds the panel's table, reads its rows, columns, headers and the cell "scheduler", chooses a row
as a reader would and follows the chosen row through 10 refresh ticks, then presses Stop
Procedure and sees the stopped process leave the list. Prints what it read; exits 1 on the first
thing that is not as it should be, 2 when the panel never showed up on the bus.
    accessibility_bus_read.py SECONDS_TO_WAIT_FOR_THE_PANEL
"""
import sys
import time

import pyatspi

TITLES = ["ProcID", "Procedure name", "Priority", "Age, ms", "Age, days"]
CHOSEN = "report builder"  # the fifth process of the demo's list
TICKS = 10


def fail(text):
    print("FAIL: " + text, flush=True)
    sys.exit(1)


def say(text):
    print(text, flush=True)


def find(root, test):
    return pyatspi.findDescendant(root, test, breadth_first=True)


def panel(deadline):
    """The panel's application on the bus, once its list is up."""
    while time.monotonic() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is None or app.name != "velkor-control-panel":
                continue
            table = find(app, lambda node: node is not None
                         and node.getRole() == pyatspi.ROLE_TABLE)
            if table is not None and table.queryTable().nRows > 0:
                return app, table
        time.sleep(0.2)
    return None, None


def cell_text(table, row, column):
    cell = table.queryTable().getAccessibleAt(row, column)
    return None if cell is None else cell.name


def read(table):
    """Rows, columns, the names column and the selected rows, as a reader gets them."""
    data = table.queryTable()
    rows, columns = data.nRows, data.nColumns
    names = [cell_text(table, row, 1) for row in range(rows)]
    ages = [cell_text(table, row, 3) for row in range(rows)]
    return rows, columns, names, ages, list(data.getSelectedRows())


def main():
    wait = float(sys.argv[1]) if len(sys.argv) > 1 else 60.0
    app, table = panel(time.monotonic() + wait)
    if table is None:
        print("FAIL: the panel's table never showed up on the accessibility bus", flush=True)
        sys.exit(2)
    data = table.queryTable()
    say("table: name %r, role %s, %d rows x %d columns"
        % (table.name, table.getRoleName(), data.nRows, data.nColumns))
    if table.name != "Active procedures":
        fail("the table is named %r" % table.name)
    if data.nColumns != 5:
        fail("%d columns" % data.nColumns)
    headers = [data.getColumnDescription(column) for column in range(5)]
    header_cells = [data.getColumnHeader(column) for column in range(5)]
    say("headers: " + " | ".join(headers))
    if headers != TITLES:
        fail("headers %r" % headers)
    if [cell.name if cell else None for cell in header_cells] != TITLES:
        fail("header cells %r" % [cell.name if cell else None for cell in header_cells])

    rows, columns, names, ages, selected = read(table)
    for row in range(min(rows, 6)):
        say("row %d: %s" % (row, " | ".join(cell_text(table, row, c) or "" for c in range(5))))
    if "scheduler" not in names:
        fail("no cell reads 'scheduler': %r" % names)
    scheduler = names.index("scheduler")
    cell = data.getAccessibleAt(scheduler, 1)
    say("cell 'scheduler': row %d, column %d, role %s, header %r"
        % (data.getRowAtIndex(cell.getIndexInParent()),
           data.getColumnAtIndex(cell.getIndexInParent()), cell.getRoleName(),
           data.getColumnHeader(1).name))
    if cell.getRole() != pyatspi.ROLE_TABLE_CELL:
        fail("the cell's role is %s" % cell.getRoleName())
    if cell_text(table, scheduler, 0) != "1":
        fail("scheduler's ProcID reads %r" % cell_text(table, scheduler, 0))
    say("selected rows at first: %r" % selected)
    if selected != [0]:
        fail("the first row is not the selected one: %r" % selected)
    # Out of the list: nothing, and no error.
    if data.getAccessibleAt(rows, 0) is not None or data.getAccessibleAt(-1, 0) is not None:
        fail("a cell outside the list answered")

    # The reader chooses a row; it stays chosen, on the same process, tick after tick.
    if CHOSEN not in names:
        fail("no %r in the list" % CHOSEN)
    chosen = names.index(CHOSEN)
    if not data.addRowSelection(chosen):
        fail("choosing row %d was refused" % chosen)
    seen = 0
    last_ages = ages
    deadline = time.monotonic() + 60
    while seen < TICKS:
        if time.monotonic() > deadline:
            fail("only %d ticks seen in 60 s" % seen)
        time.sleep(0.1)
        rows, columns, names, ages, selected = read(table)
        if selected != [chosen] or names[chosen] != CHOSEN:
            fail("after %d ticks the selected rows are %r, row %d reads %r"
                 % (seen, selected, chosen, names[chosen]))
        if columns != 5 or "scheduler" not in names:
            fail("after %d ticks: %d columns, names %r" % (seen, columns, names))
        if ages != last_ages:  # the ages grow at every tick
            seen += 1
            last_ages = ages
            say("tick %d: %d rows, selected %r = %r, age %s ms"
                % (seen, rows, selected, names[chosen], ages[chosen]))

    # Stop Procedure, pressed through the bus: the chosen process leaves the list.
    stop = find(app, lambda node: node is not None and node.getRole() == pyatspi.ROLE_PUSH_BUTTON
                and node.name == "Stop Procedure")
    if stop is None:
        fail("no Stop Procedure button")
    action = stop.queryAction()
    say("Stop Procedure: actions %r" % [action.getName(i) for i in range(action.nActions)])
    action.doAction(0)
    deadline = time.monotonic() + 30
    while True:
        if time.monotonic() > deadline:
            fail("%r is still listed 30 s after Stop: %r" % (CHOSEN, names))
        time.sleep(0.1)
        rows, columns, names, ages, selected = read(table)
        if CHOSEN not in names:
            break
    say("after Stop: %d rows, selected %r, row %d reads %r, 'scheduler' at row %d"
        % (rows, selected, chosen, names[chosen], names.index("scheduler")))
    if selected != [0]:
        fail("after Stop the selection is %r, not the first row" % selected)
    say("PASS")


main()
