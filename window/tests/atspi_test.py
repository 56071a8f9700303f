#!/usr/bin/python3
"""Reads the real program through AT-SPI, as a screen reader does.

Starts its own X server (Xvfb), a private D-Bus session and the accessibility bus, starts the
program with Hungarian settings, and walks the program's tree from the desktop: the fields,
buttons, panels and result cells must be there under their Hungarian names, with the right
roles and the start-up values; a result's name must follow a new calculation started through
AT-SPI; the exit button must end the program.

Usage: atspi_test.py <path to tarquen>
Exits 0 when every check passes, 1 when one fails, 77 (skipped) only when Xvfb,
dbus-run-session or the Python AT-SPI bindings are missing. Every wait has a time limit.
"""

import importlib.util
import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77
OUTER_LIMIT_S = 50  # the whole test, inside CTest's 60 s
INNER_LIMIT_S = 40  # everything inside the private D-Bus session

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

# The carrier labels describe their emission factors.
CARRIERS = [
    ("Gáz", "CO2: 56,1 kg/GJ · NOx: 75 g/GJ · SO2: 8 g/GJ"),
    ("Villany", "CO2: 930 g/kWh · NOx: 0,6 g/kWh · SO2: 0,4 g/kWh"),
    ("Olaj", "CO2: 77,37 kg/GJ · NOx: 80 g/GJ · SO2: 1,5 kg/GJ"),
    ("Szén", "CO2: 96 kg/GJ · NOx: 150 g/GJ · SO2: 1,7 kg/GJ"),
]

LAUNCHERS = ["/usr/libexec/at-spi-bus-launcher", "/usr/lib/at-spi2-core/at-spi-bus-launcher"]


def log(text):
    print(text, flush=True)


# ---------------------------------------------------------------------------------------------
# Outside the private session: the X server, then this script again under dbus-run-session.


def start_xvfb(work):
    """Starts Xvfb on a display it picks itself; returns (process, display number).

    -noreset: the accessibility bus launcher connects to the display and leaves before the
    program comes; without it the server resets just then and turns the program away."""
    read_end, write_end = os.pipe()
    with open(os.path.join(work, "xvfb.log"), "wb") as xvfb_log:
        xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-noreset",
             "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=xvfb_log, stderr=subprocess.STDOUT)
    os.close(write_end)
    number = b""
    deadline = time.monotonic() + 20
    while not number.endswith(b"\n"):
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([read_end], [], [], left)[0]:
            break
        chunk = os.read(read_end, 16)
        if not chunk:
            break
        number += chunk
    os.close(read_end)
    if not number.strip().isdigit():
        xvfb.kill()
        xvfb.wait()
        with open(os.path.join(work, "xvfb.log"), errors="replace") as f:
            raise SystemExit(f"FAIL: Xvfb did not start: {f.read()}")
    return xvfb, number.strip().decode()


def outside(program):
    missing = [tool for tool in ("Xvfb", "dbus-run-session") if shutil.which(tool) is None]
    missing += [module for module in ("gi", "pyatspi") if importlib.util.find_spec(module) is None]
    if missing:
        log("SKIP: not installed: " + ", ".join(missing))
        return SKIP
    if not os.access(program, os.X_OK):
        log(f"FAIL: no program at {program}")
        return 1

    with tempfile.TemporaryDirectory() as work:
        xvfb, display = start_xvfb(work)
        log(f"-- Xvfb on :{display}")
        env = {k: v for k, v in os.environ.items()
               if k not in ("DBUS_SESSION_BUS_ADDRESS", "AT_SPI_BUS_ADDRESS", "WAYLAND_DISPLAY")}
        env["DISPLAY"] = f":{display}"
        env["TARQUEN_ATSPI_WORK"] = work
        session = subprocess.Popen(
            ["dbus-run-session", "--", sys.executable, os.path.abspath(__file__),
             "--inside-session", program],
            env=env, start_new_session=True)
        try:
            status = session.wait(timeout=OUTER_LIMIT_S)
            if status != 0:
                log(f"-- Xvfb {'still runs' if xvfb.poll() is None else 'has ended'}; its output:")
                with open(os.path.join(work, "xvfb.log"), errors="replace") as f:
                    log(f.read())
        except subprocess.TimeoutExpired:
            log(f"FAIL: the test did not end within {OUTER_LIMIT_S} s")
            os.killpg(session.pid, signal.SIGKILL)
            session.wait()
            status = 1
        finally:
            xvfb.terminate()
            try:
                xvfb.wait(timeout=10)
            except subprocess.TimeoutExpired:
                xvfb.kill()
                xvfb.wait()
        return status


# ---------------------------------------------------------------------------------------------
# Inside the private session: the accessibility bus, the program, and the checks.


class Checks:
    def __init__(self):
        self.failed = 0

    def expect(self, ok, what):
        log(("ok    " if ok else "FAIL  ") + what)
        if not ok:
            self.failed += 1
        return ok


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


def session_bus_has(name):
    from gi.repository import Gio, GLib
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    reply = bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus",
                          "org.freedesktop.DBus", "NameHasOwner", GLib.Variant("(s)", (name,)),
                          GLib.VariantType("(b)"), Gio.DBusCallFlags.NONE, 2000, None)
    return reply.unpack()[0]


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


def inside(program):
    def out_of_time(signum, frame):
        raise SystemExit(f"FAIL: the checks did not end within {INNER_LIMIT_S} s")
    signal.signal(signal.SIGALRM, out_of_time)
    signal.alarm(INNER_LIMIT_S)

    work = os.environ.get("TARQUEN_ATSPI_WORK", tempfile.gettempdir())
    launcher_path = next((p for p in LAUNCHERS if os.access(p, os.X_OK)), None)
    if launcher_path is None:
        log("FAIL: at-spi-bus-launcher not found (Debian package at-spi2-core)")
        return 1

    children = []
    try:
        # The accessibility bus; its registry starts on demand from at-spi2-core's service file.
        launcher = subprocess.Popen([launcher_path, "--launch-immediately"],
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        children.append(launcher)
        if not wait_for("the accessibility bus", lambda: session_bus_has("org.a11y.Bus"), 10):
            log("FAIL: the accessibility bus did not start")
            return 1

        env = {k: v for k, v in os.environ.items()
               if k not in ("LC_ALL", "LC_NUMERIC", "LANGUAGE", "QT_QPA_PLATFORM")}
        env.update(LANG="hu_HU.UTF-8", QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        app_log_path = os.path.join(work, "app.log")
        with open(app_log_path, "wb") as app_log:
            app = subprocess.Popen([program], env=env, stdout=app_log, stderr=subprocess.STDOUT)
        children.append(app)

        import pyatspi
        status = check_program(pyatspi, app)
        if status != 0:
            with open(app_log_path, errors="replace") as f:
                log("-- program output:\n" + f.read())
        return status
    finally:
        for child in reversed(children):
            if child.poll() is None:
                child.terminate()
                try:
                    child.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    child.kill()
                    child.wait()


def check_program(pyatspi, app):
    checks = Checks()
    desktop = pyatspi.Registry.getDesktop(0)

    def our_application():
        for i in range(desktop.childCount):
            candidate = desktop.getChildAtIndex(i)
            if candidate is not None and candidate.get_process_id() == app.pid:
                return candidate
        return None

    application = wait_for("the program on the desktop", our_application, 20)
    if not checks.expect(application is not None, "the program is on the AT-SPI desktop"):
        return 1

    def main_window():
        for i in range(application.childCount):
            window = application.getChildAtIndex(i)
            # Ready once its controls are there: both buttons, the last ones it creates.
            if window is not None and window.name == WINDOW_TITLE and sum(
                    a.getRole() == pyatspi.ROLE_PUSH_BUTTON for a in descendants(window)) >= 2:
                return window
        return None

    window = wait_for("the main window", main_window, 15)
    if not checks.expect(window is not None, f"a window named '{WINDOW_TITLE}'"):
        return 1
    checks.expect(window.getRole() == pyatspi.ROLE_FRAME,
                  f"the window's role is frame ({window.getRoleName()})")

    everything = descendants(window)
    by_name = {}
    for acc in everything:
        by_name.setdefault(acc.name, []).append(acc)

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

    results = {}
    for heading, value, panel in RESULTS:
        found = [a for a in everything if a.name.startswith(heading + ": ")]
        if not checks.expect(len(found) == 1, f"one result cell '{heading}: …'"):
            continue
        acc = results[heading] = found[0]
        checks.expect(acc.name == f"{heading}: {value}", f"it reads '{acc.name}'")
        checks.expect(acc.getRole() == pyatspi.ROLE_LABEL and acc.parent.name == panel,
                      f"it is a label in '{panel}' ({acc.getRoleName()} in '{acc.parent.name}')")

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

    leave = (by_name.get("Kilépés") or [None])[0]
    if leave is not None:
        checks.expect(press(leave), "'Kilépés' pressed through AT-SPI")
        try:
            status = app.wait(timeout=10)
        except subprocess.TimeoutExpired:
            status = None
        checks.expect(status == 0, f"the program ended with status 0 ({status})")

    log(f"{checks.failed} check(s) failed" if checks.failed else "PASS")
    return 1 if checks.failed else 0


if __name__ == "__main__":
    if len(sys.argv) == 3 and sys.argv[1] == "--inside-session":
        sys.exit(inside(sys.argv[2]))
    if len(sys.argv) != 2:
        sys.exit("usage: atspi_test.py <path to tarquen>")
    sys.exit(outside(sys.argv[1]))
