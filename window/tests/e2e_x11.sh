#!/bin/bash
# Drives the real program through a real X server, as a user would: find the window,
# check it cannot be resized, type into Text3 with key events, get the warning box,
# close it with Return, leave with Alt+K and expect a clean exit.
# Usage: e2e_x11.sh <path to tarquen>. Exits 77 (skipped) only when the X tools are missing.
set -u
program=${1:?usage: e2e_x11.sh <tarquen>}
for tool in Xvfb xdotool xprop dbus-run-session timeout; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool not installed"; exit 77; }
done

work=$(mktemp -d)
xvfb_pid="" app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
step() { echo "-- $*"; }

# Xvfb picks a free display itself and writes its number to the pipe.
mkfifo "$work/displayfd"
Xvfb -displayfd 3 -noreset -screen 0 1366x768x24 -nolisten tcp 3>"$work/displayfd" 2>"$work/xvfb.log" &
xvfb_pid=$!
read -r -t 20 display_number <"$work/displayfd" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$display_number"
step "Xvfb on $DISPLAY"

# xdotool and xprop need a UTF-8 locale that glibc has; the program gets the Hungarian one.
xdo() { LC_ALL=C.UTF-8 timeout 20 xdotool "$@"; }
LANG=hu_HU.UTF-8 LC_ALL=hu_HU.UTF-8 dbus-run-session -- "$program" >"$work/app.log" 2>&1 &
app_pid=$!

step "find the main window"
main_window=$(xdo search --sync --onlyvisible --name '^Velmora - Tarquen$' | head -n1)
[ -n "$main_window" ] || fail "no window titled 'Velmora - Tarquen'"

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
