#!/bin/bash
# Installs tarquen the way a user does and starts it the way the desktop menu does: builds the
# .deb from a built tree, checks it with lintian (no error or warning), installs it with apt,
# checks what the package put where, then drives the installed program through the X11
# end-to-end check and, where qt6-wayland is installed, the Wayland smoke test. Removes the
# package again at the end.
# Usage (as root): packaging/install-test.sh BUILDDIR
# Set TARQUEN_E2E to run another end-to-end script than window/tests/e2e_x11.sh.
set -euo pipefail
build=$(realpath "${1:?usage: install-test.sh BUILDDIR}")
here=$(cd "$(dirname "$0")" && pwd)
e2e=${TARQUEN_E2E:-$here/../window/tests/e2e_x11.sh}
export DEBIAN_FRONTEND=noninteractive

fail() { echo "FAIL: $*"; exit 1; }
step() { echo "-- $*"; }

# The app id and the icon sizes, as CMake wrote them; check-installed.sh reads them too.
identity=$build/packaging/identity.env
[ -f "$identity" ] || fail "no $identity: configure $build with CMake first"
set -a
# shellcheck source=/dev/null
. "$identity"
set +a
app_id=$TARQUEN_APP_ID

step "cpack -G DEB in $build"
rm -f "$build"/tarquen_*.deb
(cd "$build" && cpack -G DEB)
debs=("$build"/tarquen_*.deb)
if [ "${#debs[@]}" -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  fail "expected one tarquen_*.deb, got: ${debs[*]}"
fi
deb=${debs[0]}

step "dependencies of $(basename "$deb")"
depends=$(dpkg-deb -f "$deb" Depends)
echo "$depends"
# libqt6widgets6 and libc6 can only be there if dpkg-shlibdeps read the program.
for package in libqt6widgets6 libc6 fonts-liberation2 fonts-dejavu-core qt6-translations-l10n; do
  grep -Eq "(^|, )$package( |,|$)" <<<"$depends" || fail "Depends lacks $package"
done

recommends=$(dpkg-deb -f "$deb" Recommends)
echo "Recommends: $recommends"
# Without Qt's Wayland plugin the program runs through XWayland on Wayland desktops.
grep -Eq "(^|, )qt6-wayland( |,|$)" <<<"$recommends" || fail "Recommends lacks qt6-wayland"

step "lintian $(basename "$deb")"
command -v lintian >/dev/null || fail "lintian is not installed"
lintian --fail-on error,warning "$deb" || fail "lintian reports errors or warnings"

# apt would keep an installed tarquen of the same version and skip this one.
if dpkg-query -W -f='${Status}' tarquen 2>/dev/null | grep -q "ok installed"; then
  step "remove the tarquen installed before"
  apt-get -o DPkg::Lock::Timeout=300 remove -y tarquen
fi
step "apt-get install $deb"
apt-get -o DPkg::Lock::Timeout=300 install -y "$deb"
trap 'echo "-- apt-get remove tarquen"; apt-get -o DPkg::Lock::Timeout=300 remove -y tarquen >/dev/null' EXIT

step "the package owns the program and its desktop files"
owned=$(dpkg -L tarquen)
expected=(/usr/bin/tarquen
  "/usr/share/applications/$app_id.desktop"
  "/usr/share/metainfo/$app_id.metainfo.xml"
  "/usr/share/icons/hicolor/scalable/apps/$app_id.svg"
  /usr/share/man/man1/tarquen.1.gz /usr/share/doc/tarquen/changelog.gz)
for size in $TARQUEN_ICON_SIZES; do
  expected+=("/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png")
done
for path in "${expected[@]}"; do
  grep -qx "$path" <<<"$owned" || fail "dpkg -L tarquen does not list $path"
done

step "validate the installed files"
sh "$here/check-installed.sh" /usr

# Start what the menu entry starts, found through PATH as the desktop does.
exec_line=$(sed -n 's/^Exec=//p' "/usr/share/applications/$app_id.desktop")
program=$(command -v "$exec_line") || fail "the menu command '$exec_line' is not on PATH"
[ "$program" = /usr/bin/tarquen ] || fail "the menu would start $program, not the packaged /usr/bin/tarquen"
step "end-to-end check of $program"
"$here/../testing/with-display.sh" --session-bus -- \
  "$e2e" "$program" "/usr/share/applications/$app_id.desktop"

# The same program on a Wayland desktop, where the package recommends Qt's Wayland plugin.
if dpkg-query -W -f='${Status}' qt6-wayland 2>/dev/null | grep -q "ok installed"; then
  step "Wayland smoke test of $program"
  "$here/../testing/with-display.sh" --wayland --atspi -- "$here/../window/tests/python_check.sh" \
    "$here/../window/tests/wayland_smoke.py" "$program" "$app_id"
fi
