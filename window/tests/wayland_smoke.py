#!/usr/bin/python3
"""The real program on a real Wayland compositor: it starts natively (no X11 fallback), names
its desktop entry as its app id, shows the start-up results, and 'Kilépés' pressed through
AT-SPI ends it with status 0.

Usage (on a private Wayland display with the accessibility bus):
  testing/with-display.sh --wayland --atspi -- wayland_smoke.py <path to tarquen> <app id>
Exits 0 when every check passes, 1 when one fails, 77 (skipped) only when the Python AT-SPI
bindings are missing.
"""

import re
import sys

from atspi_support import (descendants, find_main_window, leave_with_exit_button, names_of,
                           result_cells, run_checks, wait_for)

LIMIT_S = 40  # inside CTest's 60 s


def check_program(app_id):
    def check(pyatspi, app, checks, app_log_path):
        window = find_main_window(pyatspi, app, checks)
        if window is None:
            return

        # The client's side of the protocol, logged by libwayland: the toplevel's app id.
        def app_ids():
            with open(app_log_path, errors="replace") as f:
                return re.findall(r'xdg_toplevel@\d+\.set_app_id\("([^"]*)"\)', f.read())
        sent = wait_for("the toplevel's app id", app_ids, 5) or []
        checks.expect(sent == [app_id], f"the window's Wayland app id is '{app_id}' ({sent})")

        everything = descendants(window)
        result_cells(everything, checks)
        leave_with_exit_button(names_of(everything), app, checks)
    return check


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: wayland_smoke.py <path to tarquen> <app id>")
    sys.exit(run_checks(sys.argv[1], check_program(sys.argv[2]), LIMIT_S,
                        env={"QT_QPA_PLATFORM": "wayland", "WAYLAND_DEBUG": "client"}))
