#!/bin/bash
# Start-up benchmark: time from starting the program to its window being painted, and its
# peak resident memory by then, for tarquen and for a minimal Qt window (the floor), run
# interleaved on a private Xvfb so both see the same machine state. Prints the medians and
# the ratios tarquen/minimal. A benchmark, not a test: it reports and never judges.
#
# Usage: bench/startup/run.sh [runs]     (runs of each program, default 15, at least 1)
# Environment:
#   BUILD_DIR     build tree configured with -DTARQUEN_BENCH=ON (default: <repo>/build)
#   TARQUEN, MINIMAL, WAIT_PAINTED   override the programs' paths
#   DBUS_MODE     disabled (default): no session bus at all (DBUS_SESSION_BUS_ADDRESS=disabled:),
#                   so neither program waits on D-Bus or builds an accessibility tree;
#                 session: one private D-Bus session for all runs, as on a desktop (where the
#                   accessibility bus is installed, Qt then switches accessibility on);
#                 autolaunch: DBUS_SESSION_BUS_ADDRESS empty, which libdbus takes as "start
#                   a bus through X11" for every run and leaves those daemons behind
#   SETTLE_MS     wait after the first paint before reading the peak memory (default 300)
#   SCALE_FACTOR  QT_SCALE_FACTOR for both programs (default: none, 100 %); 2 measures the
#                 window with its 2x images
set -euo pipefail

runs=${1:-15}
[[ $runs =~ ^[1-9][0-9]*$ ]] || { echo "usage: $0 [runs]" >&2; exit 2; }
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${BUILD_DIR:-$repo/build}
waiter=${WAIT_PAINTED:-$build/bench/startup/wait_painted}
minimal=${MINIMAL:-$build/bench/startup/minimal_window}
tarquen=${TARQUEN:-$build/window/tarquen}
tarquen_title=${TARQUEN_TITLE:-Velmora - Tarquen}
dbus_mode=${DBUS_MODE:-disabled}
settle=${SETTLE_MS:-300}
scale_factor=${SCALE_FACTOR:-}

for program in "$waiter" "$minimal" "$tarquen"; do
  [[ -n $program && -x $program ]] && continue
  echo "missing program '${program}': build with -DTARQUEN_BENCH=ON (BUILD_DIR=$build)" >&2
  exit 2
done
command -v lscpu >/dev/null || { echo "lscpu is not installed" >&2; exit 2; }
case $dbus_mode in
  disabled | autolaunch | session) ;;
  *) echo "DBUS_MODE must be disabled, session or autolaunch" >&2; exit 2 ;;
esac

# Everything below runs on a private Xvfb (and, with DBUS_MODE=session, in one private D-Bus
# session for all runs). A black root (-br) makes an unpainted window uniformly black, which is
# what the helper expects before the first paint.
if [[ -z ${TARQUEN_BENCH_ON_DISPLAY:-} ]]; then
  display_options=(--xvfb-arg -br)
  [[ $dbus_mode == session ]] && display_options+=(--session-bus)
  TARQUEN_BENCH_ON_DISPLAY=1 exec "$repo/testing/with-display.sh" "${display_options[@]}" -- \
    "${BASH_SOURCE[0]}" "$@"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -m 700 "$work/runtime"
case $dbus_mode in
  disabled) bus="disabled:" ;;
  autolaunch) bus="" ;;
  session) bus=$DBUS_SESSION_BUS_ADDRESS ;;
esac

# Both programs get exactly this environment and nothing inherited.
run_env=(env -i "PATH=/usr/bin:/bin" "HOME=$work" "DISPLAY=$DISPLAY"
  "LANG=hu_HU.UTF-8" "XDG_RUNTIME_DIR=$work/runtime" "DBUS_SESSION_BUS_ADDRESS=$bus")
[[ -n $scale_factor ]] && run_env+=("QT_SCALE_FACTOR=$scale_factor")

# measure <name> <title> <program>: one run, appends "painted_ms vmhwm_kib mapped_ms" to
# $work/<name>; a failed run is reported and left out.
measure() {
  local line
  if line=$("${run_env[@]}" "$waiter" --timeout 10000 --settle "$settle" "$2" "$3" \
    2>>"$work/$1.log"); then
    [[ $line =~ mapped_ms=([0-9.]+)\ painted_ms=([0-9.]+)\ vmhwm_kib=([0-9]+) ]] &&
      echo "${BASH_REMATCH[2]} ${BASH_REMATCH[3]} ${BASH_REMATCH[1]}" >>"$work/$1"
  else
    echo "  run of $1 failed: $(tail -n 3 "$work/$1.log" | tr '\n' ' ')" >&2
  fi
}

# median <file> <column>
median() {
  cut -d' ' -f"$2" "$1" | sort -g | awk '{v[NR] = $1}
    END {if (NR == 0) exit 1; print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'
}
# range <file> <column>: "min-max"
# shellcheck disable=SC2016  # a sed script, not a shell expression
range() { cut -d' ' -f"$2" "$1" | sort -g | sed -n '1h; ${H; x; s/\n/-/; p}'; }

cpu=$(lscpu | sed -n 's/^Model name:[[:space:]]*//p' | head -n1)
echo "Machine: ${cpu:-unknown CPU}, $(nproc) cores; load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "Runs: $runs of each, interleaved, after one warm-up of each; Xvfb $DISPLAY 1366x768x24"
echo "Environment: LANG=hu_HU.UTF-8, D-Bus $dbus_mode, peak memory read ${settle} ms after the first paint${scale_factor:+, QT_SCALE_FACTOR=$scale_factor}"
echo "tarquen: $tarquen"

measure warmup Minimal "$minimal"
measure warmup "$tarquen_title" "$tarquen"
for ((i = 1; i <= runs; i++)); do
  measure minimal Minimal "$minimal"
  measure tarquen "$tarquen_title" "$tarquen"
done

for name in minimal tarquen; do
  [[ -s $work/$name ]] || { echo "no successful run of $name" >&2; exit 1; }
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
printf '%-8s %5s %12s %14s %12s %16s %16s\n' program runs "painted ms" "(min-max)" "mapped ms" \
  "peak RSS KiB" "(min-max)"
for name in minimal tarquen; do
  printf '%-8s %5s %12s %14s %12s %16s %16s\n' "$name" "$(wc -l <"$work/$name")" \
    "$(median "$work/$name" 1)" "$(range "$work/$name" 1)" "$(median "$work/$name" 3)" \
    "$(median "$work/$name" 2)" "$(range "$work/$name" 2)"
done
awk -v tp="$(median "$work/tarquen" 1)" -v mp="$(median "$work/minimal" 1)" \
  -v tm="$(median "$work/tarquen" 2)" -v mm="$(median "$work/minimal" 2)" 'BEGIN {
    printf "\nratio tarquen/minimal: start-up %.2f, peak memory %.2f (targets: at most 1.20 each)\n",
      tp / mp, tm / mm }'
