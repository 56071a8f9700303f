#!/bin/bash
# Drives the real program through a real X server, as a user would: find the window, check that
# its WM_CLASS matches the desktop entry's StartupWMClass (so docks show it with the entry's name
# and icon) and that it cannot be resized, type into Text3 with key events, get the warning box,
# close it with Return, leave with Alt+K and expect a clean exit.
# Usage: testing/with-display.sh --session-bus -- e2e_x11.sh <path to tarquen> <desktop entry>
# Exits 77 (skipped) only when the X tools are missing.
set -u
program=${1:?usage: e2e_x11.sh <tarquen> <desktop entry>}
desktop_entry=${2:?usage: e2e_x11.sh <tarquen> <desktop entry>}
for tool in xdotool xprop timeout; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool not installed"; exit 77; }
done
[ -n "${DISPLAY:-}" ] || { echo "FAIL: no DISPLAY: run under testing/with-display.sh"; exit 1; }

work=$(mktemp -d)
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
step() { echo "-- $*"; }
step "X server on $DISPLAY"

# xdotool and xprop need a UTF-8 locale that glibc has; the program gets the Hungarian one.
xdo() { LC_ALL=C.UTF-8 timeout 20 xdotool "$@"; }
LANG=hu_HU.UTF-8 LC_ALL=hu_HU.UTF-8 "$program" >"$work/app.log" 2>&1 &
app_pid=$!

step "find the main window"
main_window=$(xdo search --sync --onlyvisible --name '^Velmora - Tarquen$' | head -n1)
[ -n "$main_window" ] || fail "no window titled 'Velmora - Tarquen'"

step "the window's class is the desktop entry's StartupWMClass"
wm_class=$(sed -n 's/^StartupWMClass=//p' "$desktop_entry")
[ -n "$wm_class" ] || fail "$desktop_entry has no StartupWMClass"
class=$(LC_ALL=C.UTF-8 xprop -id "$main_window" WM_CLASS)
echo "$class"
# Docks match either part (instance, class): both must name the entry.
[ "$class" = "WM_CLASS(STRING) = \"$wm_class\", \"$wm_class\"" ] ||
  fail "WM_CLASS is not \"$wm_class\", \"$wm_class\""

step "the window cannot be resized"
hints=$(LC_ALL=C.UTF-8 xprop -id "$main_window" WM_NORMAL_HINTS)
echo "$hints"
grep -q "program specified minimum size: 492 by 584" <<<"$hints" || fail "minimum size is not 492x584"
grep -q "program specified maximum size: 492 by 584" <<<"$hints" || fail "maximum size is not 492x584"

step "type abc into Text3 (the first field after the results panel) and press Alt+S"
xdo windowfocus --sync "$main_window" || fail "cannot focus the main window"
xdo key --clearmodifiers Tab ctrl+a
xdo type --delay 30 abc
xdo key --clearmodifiers alt+s

step "the warning box appears"
box=$(xdo search --sync --onlyvisible --name '^HIBÁS ADAT$' | head -n1)
[ -n "$box" ] || fail "no window titled 'HIBÁS ADAT'"

step "close it with Return"
xdo windowfocus --sync "$box"
xdo key Return
for _ in $(seq 100); do
  LC_ALL=C.UTF-8 xdotool search --onlyvisible --name '^HIBÁS ADAT$' >/dev/null 2>&1 || break
  sleep 0.05
done
LC_ALL=C.UTF-8 xdotool search --onlyvisible --name '^HIBÁS ADAT$' >/dev/null 2>&1 && fail "the box did not close"

step "Alt+K ends the program with status 0"
# Without a window manager the focus falls back to the root window when the box closes.
xdo windowfocus --sync "$main_window"
xdo key --clearmodifiers alt+k
for _ in $(seq 200); do
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.05
done
kill -0 "$app_pid" 2>/dev/null && fail "the program is still running after Alt+K"
wait "$app_pid"
status=$?
app_pid=""
[ "$status" -eq 0 ] || fail "exit status $status; output: $(cat "$work/app.log")"
echo "PASS"
