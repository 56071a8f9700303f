#!/bin/bash
# Runs one command on a private display (Xvfb on a display it picks itself, or with --wayland a
# headless Wayland compositor), optionally inside a private D-Bus session with the accessibility
# bus, and ends them all when the command ends. Every script that needs a display starts it
# this way.
#
# Usage: testing/with-display.sh [options] -- COMMAND [ARG...]
#   --size WxH        screen size (default 1366x768); the depth is always 24
#   --session-bus     run COMMAND in a private D-Bus session (dbus-run-session)
#   --atspi           also start the accessibility bus in that session (implies --session-bus)
#   --xvfb-arg ARG    one more argument for Xvfb (repeatable), e.g. --xvfb-arg -br
#   --wayland         Debian's weston with its headless backend instead of Xvfb, on a socket in
#                     a private XDG_RUNTIME_DIR
# COMMAND sees DISPLAY, or with --wayland WAYLAND_DISPLAY and XDG_RUNTIME_DIR (and
# DBUS_SESSION_BUS_ADDRESS with a session bus); the other display variables and any inherited
# bus addresses are removed. Exits with COMMAND's status, or 77 (skipped) when Xvfb, weston,
# dbus-run-session or the accessibility bus launcher is not installed.
set -u

size=1366x768 session_bus=0 atspi=0 xvfb_args=() inside=0 wayland=0
while (($#)); do
  case $1 in
    --size) size=${2:?--size WxH}; shift 2 ;;
    --session-bus) session_bus=1; shift ;;
    --atspi) atspi=1 session_bus=1; shift ;;
    --xvfb-arg) xvfb_args+=("${2:?--xvfb-arg ARG}"); shift 2 ;;
    --wayland) wayland=1; shift ;;
    --inside-session) inside=1; shift ;;
    --) shift; break ;;
    *) echo "with-display.sh: unknown option $1" >&2; exit 2 ;;
  esac
done
(($#)) || { echo "usage: with-display.sh [options] -- COMMAND [ARG...]" >&2; exit 2; }
[[ $size =~ ^([0-9]+)x([0-9]+)$ ]] || { echo "with-display.sh: --size WxH, not $size" >&2; exit 2; }
width=${BASH_REMATCH[1]} height=${BASH_REMATCH[2]}
if ((wayland && ${#xvfb_args[@]})); then
  echo "with-display.sh: --xvfb-arg does not go with --wayland" >&2
  exit 2
fi

atspi_launcher() {
  local path
  for path in /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher; do
    [[ -x $path ]] && { echo "$path"; return 0; }
  done
  return 1
}

# Second stage, inside the private session bus: the accessibility bus, then the command.
if ((inside)); then
  launcher_pid=""
  if ((atspi)); then
    "$(atspi_launcher)" --launch-immediately >/dev/null 2>&1 &
    launcher_pid=$!
    for _ in $(seq 100); do
      dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null |
        grep -q 'boolean true' && break
      sleep 0.1
    done
  fi
  "$@"
  status=$?
  [[ -n $launcher_pid ]] && kill "$launcher_pid" 2>/dev/null
  exit "$status"
fi

if ((wayland)); then
  command -v weston >/dev/null || { echo "SKIP: weston not installed"; exit 77; }
else
  command -v Xvfb >/dev/null || { echo "SKIP: Xvfb not installed"; exit 77; }
fi
if ((session_bus)); then
  for tool in dbus-run-session dbus-send; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool not installed"; exit 77; }
  done
fi
if ((atspi)) && ! atspi_launcher >/dev/null; then
  echo "SKIP: at-spi-bus-launcher not installed (Debian package at-spi2-core)"
  exit 77
fi

work=$(mktemp -d)
server_pid=""
cleanup() {
  [[ -n $server_pid ]] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 143' TERM INT

start_xvfb() {
  # -noreset: a client that connects and leaves before the next one comes (the accessibility
  # bus launcher, a window manager's helper) must not reset the server under the command.
  mkfifo "$work/displayfd"
  Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 "${size}x24" "${xvfb_args[@]}" \
    3>"$work/displayfd" 2>"$work/server.log" &
  server_pid=$!
  if ! read -r -t 20 display_number <"$work/displayfd"; then
    echo "with-display.sh: Xvfb did not start: $(cat "$work/server.log")" >&2
    exit 1
  fi
  export DISPLAY=":$display_number"
  unset WAYLAND_DISPLAY
}

start_weston() {
  # The socket lives in a runtime folder of this run only, so no other compositor is reached.
  mkdir -m 700 "$work/runtime"
  export XDG_RUNTIME_DIR=$work/runtime
  weston --backend=headless-backend.so --socket=wayland-0 --idle-time=0 \
    --width="$width" --height="$height" --log="$work/server.log" \
    </dev/null >/dev/null 2>&1 &
  server_pid=$!
  for _ in $(seq 200); do
    [[ -S $XDG_RUNTIME_DIR/wayland-0 ]] && break
    kill -0 "$server_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [[ ! -S $XDG_RUNTIME_DIR/wayland-0 ]]; then
    echo "with-display.sh: weston did not start: $(cat "$work/server.log")" >&2
    exit 1
  fi
  export WAYLAND_DISPLAY=wayland-0
  unset DISPLAY
}

if ((wayland)); then start_weston; else start_xvfb; fi
unset DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS

if ((session_bus)); then
  stage2=(--inside-session)
  ((atspi)) && stage2+=(--atspi)
  dbus-run-session -- "${BASH_SOURCE[0]}" "${stage2[@]}" -- "$@"
else
  "$@"
fi
