#!/usr/bin/python3
"""Reads the real program through AT-SPI, as a screen reader does.

Starts the program with Hungarian settings and walks its tree from the desktop: the fields,
buttons, panels and result cells must be there under their Hungarian names, with the right
roles and the start-up values; a result's name must follow a new calculation started through
AT-SPI; the exit button must end the program.

Usage (on a private display with the accessibility bus):
  testing/with-display.sh --atspi -- atspi_test.py <path to tarquen>
Exits 0 when every check passes, 1 when one fails, 77 (skipped) only when the Python AT-SPI
bindings are missing.
"""

from atspi_support import (FIELDS, INPUT_PANEL, RESULTS, RESULTS_PANEL, descendants,
                           find_main_window, leave_with_exit_button, main, names_of, press,
                           result_cells, text_of, wait_for)

LIMIT_S = 40  # inside CTest's 60 s

# The carrier labels describe their emission factors.
CARRIERS = [
    ("Gáz", "CO2: 56,1 kg/GJ · NOx: 75 g/GJ · SO2: 8 g/GJ"),
    ("Villany", "CO2: 930 g/kWh · NOx: 0,6 g/kWh · SO2: 0,4 g/kWh"),
    ("Olaj", "CO2: 77,37 kg/GJ · NOx: 80 g/GJ · SO2: 1,5 kg/GJ"),
    ("Szén", "CO2: 96 kg/GJ · NOx: 150 g/GJ · SO2: 1,7 kg/GJ"),
]


def check_program(pyatspi, app, checks, app_log_path):
    window = find_main_window(pyatspi, app, checks)
    if window is None:
        return
    checks.expect(window.getRole() == pyatspi.ROLE_FRAME,
                  f"the window's role is frame ({window.getRoleName()})")

    everything = descendants(window)
    by_name = names_of(everything)

    def one(name):
        found = by_name.get(name, [])
        checks.expect(len(found) == 1, f"one object named '{name}' ({len(found)} found)")
        return found[0] if found else None

    for name in (INPUT_PANEL, RESULTS_PANEL):
        panel = next((a for a in by_name.get(name, []) if a.getRole() == pyatspi.ROLE_PANEL), None)
        checks.expect(panel is not None, f"a panel named '{name}'")

    for name, value, panel in FIELDS:
        acc = one(name)
        if acc is None:
            continue
        checks.expect(acc.getRole() == pyatspi.ROLE_TEXT, f"'{name}' is a text field")
        checks.expect(text_of(acc) == value, f"'{name}' holds '{value}' ('{text_of(acc)}')")
        checks.expect(acc.getState().contains(pyatspi.STATE_EDITABLE)
                      and acc.getState().contains(pyatspi.STATE_FOCUSABLE),
                      f"'{name}' is editable and takes the focus")
        checks.expect(acc.parent.name == panel, f"'{name}' is in the panel '{panel}'")

    for name in ("Számítás", "Kilépés"):
        acc = one(name)
        if acc is not None:
            checks.expect(acc.getRole() == pyatspi.ROLE_PUSH_BUTTON
                          and acc.getState().contains(pyatspi.STATE_FOCUSABLE),
                          f"'{name}' is a button that takes the focus")

    results = result_cells(everything, checks)
    for heading, _, panel in RESULTS:
        acc = results.get(heading)
        if acc is not None:
            checks.expect(acc.getRole() == pyatspi.ROLE_LABEL and acc.parent.name == panel,
                          f"'{heading}' is a label in '{panel}'"
                          f" ({acc.getRoleName()} in '{acc.parent.name}')")

    for name, factors in CARRIERS:
        acc = next((a for a in by_name.get(name, []) if a.getRole() == pyatspi.ROLE_LABEL), None)
        checks.expect(acc is not None and acc.description == factors,
                      f"'{name}' is described as '{factors}'"
                      + (f" ('{acc.description}')" if acc is not None else ""))

    unnamed = [f"{a.getRoleName()} in '{a.parent.name}'" for a in everything
               if a.getState().contains(pyatspi.STATE_FOCUSABLE) and not a.name]
    checks.expect(not unnamed, "everything that takes the focus has a name"
                  + (f" (unnamed: {', '.join(unnamed)})" if unnamed else ""))

    # A new calculation, started the way a screen reader user would: the names follow.
    area = (by_name.get(FIELDS[1][0]) or [None])[0]
    calculate = (by_name.get("Számítás") or [None])[0]
    total = results.get(RESULTS[1][0])
    gas_co2 = results.get(RESULTS[2][0])
    if area is not None and calculate is not None and total is not None and gas_co2 is not None:
        area.queryEditableText().setTextContents("2")
        checks.expect(text_of(area) == "2", "the area field now holds '2'")
        checks.expect(press(calculate), "'Számítás' pressed through AT-SPI")
        expected = f"{RESULTS[1][0]}: 4,32"
        seen = wait_for("the new total", lambda: total.name == expected and total.name, 10)
        checks.expect(seen == expected, f"after the calculation it reads '{total.name}'")
        checks.expect(gas_co2.name == f"{RESULTS[2][0]}: 0,302", f"and '{gas_co2.name}'")
    else:
        checks.expect(False, "the area field, 'Számítás' and the results are there to recalculate")

    leave_with_exit_button(by_name, app, checks)


if __name__ == "__main__":
    main(check_program, LIMIT_S, env={"QT_QPA_PLATFORM": "xcb"})
