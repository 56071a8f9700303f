#!/bin/bash
# Opens the real program under real X11 window managers, on a private screen of a laptop's size
# (1366x768) and of a desktop's (1920x1080), and reads from outside what the user gets:
#   - the whole frame lies inside the screen's available area (_NET_WORKAREA, else the screen);
#   - where the frame fits there at the designed place, its top-left corner is at (939, 241);
#   - _MOTIF_WM_HINTS offer moving and closing only: no resizing, minimizing or maximizing, and
#     no resize handles or minimize and maximize buttons among the decorations.
# Prints one line per manager and size with where the window opened.
# Usage: wm_placement.sh <path to tarquen> [MANAGER...]
#   MANAGER is one of openbox, xfwm4, metacity, kwin_x11, mutter (default: all of them).
# A manager that is not installed is skipped; exits 77 (skipped) when none of those asked for
# is installed, or Xvfb or the X tools are missing.
set -u
here=$(cd "$(dirname "$0")" && pwd)
display_script=$here/../../testing/with-display.sh

# How each manager (named by its program) is started: compositing off where it can be, as
# drawing the screen again after each change only slows the run.
declare -A start=(
  [openbox]="openbox"
  [xfwm4]="xfwm4 --compositor=off"
  [metacity]="metacity --no-composite"
  [kwin_x11]="env KWIN_COMPOSE=N kwin_x11"
  [mutter]="mutter --x11"
)
sizes=(1366x768 1920x1080)
designed_x=939 designed_y=241  # 14085 and 3615 twips

# _MOTIF_WM_HINTS bits.
mwm_has_functions=0x1
mwm_move=0x4 mwm_close=0x20
mwm_decor_resize_handles=0x4 mwm_decor_minimize=0x20 mwm_decor_maximize=0x40

# Polls COMMAND every 0.1 s until it succeeds, for at most SECONDS.
wait_for() {
  local seconds=$1
  shift
  local tries=$((seconds * 10))
  while ((tries-- > 0)); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# X property of window $1 named $2, as its comma-separated values ("" when unset).
property() {
  LC_ALL=C xprop -id "$1" -notype "$2" 2>/dev/null | sed -n "s/^$2 = //p" | tr -d ' '
}

# Where the inner area of window $1 is and how large: "x y width height".
client_geometry() {
  LC_ALL=C xwininfo -id "$1" | awk '
    /Absolute upper-left X:/ { x = $NF }
    /Absolute upper-left Y:/ { y = $NF }
    /^ *Width:/ { w = $NF }
    /^ *Height:/ { h = $NF }
    END { print x, y, w, h }'
}

# Second stage, on the private display: one manager, one program, the checks.
if [[ ${1:-} == --inside ]]; then
  manager=$2 program=$3
  root=$(LC_ALL=C xwininfo -root | awk '/^xwininfo: Window id:/ { print $4 }')
  screen=$(client_geometry "$root")
  read -r _ _ sw sh <<<"$screen"
  work=$(mktemp -d)
  wm_pid="" app_pid=""
  # Asks process $1 to end, and ends it after 5 s if it has not.
  gone() { ! kill -0 "$1" 2>/dev/null; }
  stop() {
    kill "$1" 2>/dev/null || return 0
    wait_for 5 gone "$1" || kill -KILL "$1" 2>/dev/null
    wait "$1" 2>/dev/null
  }
  cleanup() {
    [[ -n $app_pid ]] && stop "$app_pid"
    [[ -n $wm_pid ]] && stop "$wm_pid"
    rm -rf "$work"
  }
  trap cleanup EXIT
  fail() {
    echo "FAIL: $manager on ${sw}x${sh}: $*"
    echo "--- $manager output:"; tail -n 20 "$work/wm.log" 2>/dev/null
    echo "--- program output:"; tail -n 20 "$work/app.log" 2>/dev/null
    exit 1
  }

  ${start[$manager]} >"$work/wm.log" 2>&1 &
  wm_pid=$!
  manager_running() { LC_ALL=C xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
  wait_for 20 manager_running || fail "the manager did not start"

  LANG=hu_HU.UTF-8 LC_ALL=hu_HU.UTF-8 "$program" >"$work/app.log" 2>&1 &
  app_pid=$!
  window=$(LC_ALL=C.UTF-8 timeout 20 xdotool search --sync --onlyvisible \
    --name '^Velmora - Tarquen$' | head -n1)
  [[ -n $window ]] || fail "no window titled 'Velmora - Tarquen'"

  # The manager frames the window and the program may place it once more when it learns the
  # frame: read once the frame is known and three readings 0.1 s apart agree.
  last="" same=0
  settled() {
    local now
    now="$(client_geometry "$window") $(property "$window" _NET_FRAME_EXTENTS)"
    [[ $now == "$last" && -n $(property "$window" _NET_FRAME_EXTENTS) ]] && ((++same >= 2)) &&
      return 0
    [[ $now != "$last" ]] && same=0
    last=$now
    return 1
  }
  wait_for 20 settled || fail "the window did not settle: $last"

  read -r cx cy cw ch <<<"$(client_geometry "$window")"
  IFS=, read -r left right top bottom <<<"$(property "$window" _NET_FRAME_EXTENTS)"
  fx=$((cx - left)) fy=$((cy - top)) fw=$((cw + left + right)) fh=$((ch + top + bottom))

  # The available area of the current desktop, else the whole screen.
  desktop=$(property "$root" _NET_CURRENT_DESKTOP)
  IFS=, read -ra areas <<<"$(property "$root" _NET_WORKAREA)"
  if ((${#areas[@]} >= 4 * (${desktop:-0} + 1))); then
    read -r ax ay aw ah <<<"${areas[@]:$((4 * ${desktop:-0})):4}"
  else
    read -r ax ay aw ah <<<"$screen"
  fi

  where="frame ${fw}x${fh} at ($fx,$fy), inner area ${cw}x${ch} at ($cx,$cy), extents $left,$right,$top,$bottom, available ${aw}x${ah} at ($ax,$ay)"
  ((fx >= ax && fy >= ay && fx + fw <= ax + aw && fy + fh <= ay + ah)) ||
    fail "the frame is not inside the available area: $where"
  if ((designed_x >= ax && designed_y >= ay && designed_x + fw <= ax + aw &&
    designed_y + fh <= ay + ah)); then
    ((fx == designed_x && fy == designed_y)) ||
      fail "the frame fits at ($designed_x,$designed_y) but opened elsewhere: $where"
  fi

  IFS=, read -r flags functions decorations _ <<<"$(property "$window" _MOTIF_WM_HINTS)"
  [[ -n ${flags:-} ]] || fail "no _MOTIF_WM_HINTS"
  ((flags & mwm_has_functions && functions == (mwm_move | mwm_close))) ||
    fail "_MOTIF_WM_HINTS flags $flags functions $functions: expected move and close only (0x24)"
  ((!(decorations & (mwm_decor_resize_handles | mwm_decor_minimize | mwm_decor_maximize)))) ||
    fail "_MOTIF_WM_HINTS decorations $decorations ask for resize handles or buttons"

  echo "ok: $manager on ${sw}x${sh}: $where"
  exit 0
fi

program=${1:?usage: wm_placement.sh <tarquen> [MANAGER...]}
shift
managers=("$@")
((${#managers[@]})) || managers=(openbox xfwm4 metacity kwin_x11 mutter)
for manager in "${managers[@]}"; do
  [[ -n ${start[$manager]:-} ]] || { echo "wm_placement.sh: unknown manager $manager" >&2; exit 2; }
done
for tool in xprop xwininfo xdotool timeout; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool not installed"; exit 77; }
done

log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=77  # until one manager ran; 1 once any check failed
for manager in "${managers[@]}"; do
  if ! command -v "$manager" >/dev/null; then
    echo "SKIP: $manager not installed"
    continue
  fi
  for size in "${sizes[@]}"; do
    # The managers' helpers complain on the way out when the display goes; show their output
    # only when a check fails. A file, not a pipe: a helper that outlives the run keeps a pipe
    # open.
    "$display_script" --session-bus --size "$size" -- "$0" --inside "$manager" "$program" \
      >"$log" 2>&1
    result=$?
    if ((result == 0)); then grep '^ok: ' "$log"; else cat "$log"; fi
    ((result == 77)) && { echo "SKIP: no private display for $manager"; continue; }
    if ((result != 0)); then
      status=1
    elif ((status == 77)); then
      status=0
    fi
  done
done
exit "$status"
