"""What the AT-SPI checks of the real program share: starting it, finding it and its window on
the AT-SPI desktop, walking the tree, pressing buttons, and the start-up texts a reader sees.

The checks run on a private display with the accessibility bus already started (see
testing/with-display.sh --atspi). Every wait has a time limit.
"""

import importlib.util
import os
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77

WINDOW_TITLE = "Velmora - Tarquen"
INPUT_PANEL = "Bemenő adatok"
RESULTS_PANEL = "Számított károsanyag kibocsátás megtakarítás"

# Accessible name, start-up text, the panel that holds the field.
FIELDS = [
    ("Kollektorral megtakarítható éves fajlagos hőenergia, kWh/m²·év", "600", INPUT_PANEL),
    ("Napkollektor felület, m²", "1", INPUT_PANEL),
    ("Gáz hatásfok, %", "80", RESULTS_PANEL),
    ("Villany hatásfok, %", "100", RESULTS_PANEL),
    ("Olaj hatásfok, %", "70", RESULTS_PANEL),
    ("Szén hatásfok, %", "60", RESULTS_PANEL),
]

# A result cell is named by its heading and unit, followed by its value.
RESULTS = [
    ("Fajlagos hőenergia, GJ/m²·év", "2,16", INPUT_PANEL),
    ("Összes megtakarítható hőenergia, GJ/év", "2,16", INPUT_PANEL),
    ("Gáz, szén-dioxid, t/év", "0,151", RESULTS_PANEL),
    ("Villany, szén-dioxid, t/év", "0,558", RESULTS_PANEL),
    ("Olaj, szén-dioxid, t/év", "0,238", RESULTS_PANEL),
    ("Szén, szén-dioxid, t/év", "0,345", RESULTS_PANEL),
    ("Gáz, nitrogén-oxidok, kg/év", "0,202", RESULTS_PANEL),
    ("Villany, nitrogén-oxidok, kg/év", "0,36", RESULTS_PANEL),
    ("Olaj, nitrogén-oxidok, kg/év", "0,246", RESULTS_PANEL),
    ("Szén, nitrogén-oxidok, kg/év", "0,54", RESULTS_PANEL),
    ("Gáz, kén-dioxid, kg/év", "0,021", RESULTS_PANEL),
    ("Villany, kén-dioxid, kg/év", "0,24", RESULTS_PANEL),
    ("Olaj, kén-dioxid, kg/év", "4,628", RESULTS_PANEL),
    ("Szén, kén-dioxid, kg/év", "6,12", RESULTS_PANEL),
]


def log(text):
    print(text, flush=True)


class Checks:
    def __init__(self):
        self.failed = 0

    def expect(self, ok, what):
        log(("ok    " if ok else "FAIL  ") + what)
        if not ok:
            self.failed += 1
        return ok

    def status(self):
        log(f"{self.failed} check(s) failed" if self.failed else "PASS")
        return 1 if self.failed else 0


def wait_for(what, probe, limit_s):
    """Calls probe() until it returns something true or limit_s runs out; returns the last
    value."""
    deadline = time.monotonic() + limit_s
    while True:
        try:
            value = probe()
        except Exception as error:  # the tree may be half built while the program starts
            value = None
            last_error = error
        else:
            last_error = None
        if value or time.monotonic() >= deadline:
            if not value:
                log(f"-- gave up waiting for {what} after {limit_s} s"
                    + (f" ({last_error})" if last_error else ""))
            return value
        time.sleep(0.1)


def descendants(root, limit=500):
    """Every object under root, parents before children."""
    found, todo = [], [root]
    while todo and len(found) < limit:
        node = todo.pop(0)
        found.append(node)
        todo.extend(c for c in (node.getChildAtIndex(i) for i in range(node.childCount)) if c)
    return found


def text_of(acc):
    return acc.queryText().getText(0, -1)


def press(acc):
    action = acc.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    return "Press" in names and action.doAction(names.index("Press"))


def run_checks(program, check, limit_s, env=None):
    """Starts program with Hungarian settings and accessibility on, then calls
    check(pyatspi, app, checks) and returns its status: 0 when every check passed, 1 when one
    failed, 77 when the AT-SPI bindings or the accessibility bus are missing. env adds to or
    overrides the program's environment. The program's output is shown when a check fails."""
    missing = [module for module in ("gi", "pyatspi") if importlib.util.find_spec(module) is None]
    if missing:
        log("SKIP: not installed: " + ", ".join(missing))
        return SKIP
    if not os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
        log("FAIL: no session bus: run under testing/with-display.sh --atspi")
        return 1
    if not os.access(program, os.X_OK):
        log(f"FAIL: no program at {program}")
        return 1

    def out_of_time(signum, frame):
        raise SystemExit(f"FAIL: the checks did not end within {limit_s} s")
    signal.signal(signal.SIGALRM, out_of_time)
    signal.alarm(limit_s)

    app_env = {k: v for k, v in os.environ.items()
               if k not in ("LC_ALL", "LC_NUMERIC", "LANGUAGE", "QT_QPA_PLATFORM")}
    app_env.update(LANG="hu_HU.UTF-8", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    app_env.update(env or {})
    with tempfile.TemporaryDirectory() as work:
        app_log_path = os.path.join(work, "app.log")
        with open(app_log_path, "wb") as app_log:
            app = subprocess.Popen([program], env=app_env, stdout=app_log,
                                   stderr=subprocess.STDOUT)
        try:
            import pyatspi
            checks = Checks()
            check(pyatspi, app, checks, app_log_path)
            status = checks.status()
            if status != 0:
                with open(app_log_path, errors="replace") as f:
                    log("-- program output (last 60 lines):\n" + "".join(f.readlines()[-60:]))
            return status
        finally:
            if app.poll() is None:
                app.terminate()
                try:
                    app.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    app.kill()
                    app.wait()


def find_main_window(pyatspi, app, checks):
    """The program's main window once its controls are there, or None (a failed check)."""
    desktop = pyatspi.Registry.getDesktop(0)

    def our_application():
        for i in range(desktop.childCount):
            candidate = desktop.getChildAtIndex(i)
            if candidate is not None and candidate.get_process_id() == app.pid:
                return candidate
        return None

    application = wait_for("the program on the desktop", our_application, 20)
    if not checks.expect(application is not None, "the program is on the AT-SPI desktop"):
        return None

    def main_window():
        for i in range(application.childCount):
            window = application.getChildAtIndex(i)
            # Ready once its controls are there: both buttons, the last ones it creates.
            if window is not None and window.name == WINDOW_TITLE and sum(
                    a.getRole() == pyatspi.ROLE_PUSH_BUTTON for a in descendants(window)) >= 2:
                return window
        return None

    window = wait_for("the main window", main_window, 15)
    checks.expect(window is not None, f"a window named '{WINDOW_TITLE}'")
    return window


def result_cells(everything, checks):
    """The result cells by heading, each checked to hold its start-up value."""
    cells = {}
    for heading, value, _ in RESULTS:
        found = [a for a in everything if a.name.startswith(heading + ": ")]
        if not checks.expect(len(found) == 1, f"one result cell '{heading}: …'"):
            continue
        acc = cells[heading] = found[0]
        checks.expect(acc.name == f"{heading}: {value}", f"it reads '{acc.name}'")
    return cells


def leave_with_exit_button(by_name, app, checks):
    """Presses 'Kilépés' through AT-SPI; the program must end with status 0."""
    leave = (by_name.get("Kilépés") or [None])[0]
    if not checks.expect(leave is not None, "a 'Kilépés' button"):
        return
    checks.expect(press(leave), "'Kilépés' pressed through AT-SPI")
    try:
        status = app.wait(timeout=10)
    except subprocess.TimeoutExpired:
        status = None
    checks.expect(status == 0, f"the program ended with status 0 ({status})")


def names_of(everything):
    """Every object under its accessible name."""
    by_name = {}
    for acc in everything:
        by_name.setdefault(acc.name, []).append(acc)
    return by_name


def main(check, limit_s, env=None):
    """Command line of a check script: <script> <path to tarquen>."""
    if len(sys.argv) != 2:
        sys.exit(f"usage: {os.path.basename(sys.argv[0])} <path to tarquen>")
    sys.exit(run_checks(sys.argv[1], check, limit_s, env))
