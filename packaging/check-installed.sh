#!/bin/sh
# Checks an installed tarquen the way a desktop sees it: every file in its standard place, each
# icon as large as its folder says, the desktop entry and the AppStream metainfo valid and naming
# each other, the program and the icon.
# Usage: check-installed.sh PREFIX                   checks PREFIX (e.g. /usr)
#        check-installed.sh --install BUILDDIR [CMAKE] installs BUILDDIR into a scratch prefix first
# The app id and the icon sizes come from CMake, in TARQUEN_APP_ID and TARQUEN_ICON_SIZES
# (CTest sets them; outside it, read <build>/packaging/identity.env).
# Exits 1 on any fault (all of them are listed), 77 (skipped) when a validator is not installed.
set -u
app_id=${TARQUEN_APP_ID:?TARQUEN_APP_ID not set: see <build>/packaging/identity.env}
icon_sizes=${TARQUEN_ICON_SIZES:?TARQUEN_ICON_SIZES not set: see <build>/packaging/identity.env}

for tool in desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool not installed"; exit 77; }
done

if [ "${1:-}" = "--install" ]; then
  build=${2:?usage: check-installed.sh --install BUILDDIR [CMAKE]}
  cmake=${3:-cmake}
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  prefix=$scratch/usr
  # An inherited DESTDIR would send the files elsewhere.
  DESTDIR="" "$cmake" --install "$build" --prefix "$prefix" >"$scratch/install.log" 2>&1 ||
    { cat "$scratch/install.log"; echo "FAIL: cmake --install"; exit 1; }
else
  prefix=${1:?usage: check-installed.sh PREFIX | --install BUILDDIR [CMAKE]}
fi

faults=0
fail() { echo "FAIL: $*"; faults=$((faults + 1)); }

desktop=$prefix/share/applications/$app_id.desktop
metainfo=$prefix/share/metainfo/$app_id.metainfo.xml
[ -x "$prefix/bin/tarquen" ] || fail "no executable $prefix/bin/tarquen"
for doc in share/man/man1/tarquen.1.gz share/doc/tarquen/changelog.gz; do
  gzip -t "$prefix/$doc" 2>/dev/null || fail "no compressed $prefix/$doc"
done
[ -f "$desktop" ] || fail "no desktop entry $desktop"
[ -f "$metainfo" ] || fail "no metainfo $metainfo"

# A PNG's width and height are the big-endian words at bytes 16 and 20 of the file.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{ print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8 }'; }
for size in $icon_sizes; do
  png=$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png
  if [ ! -f "$png" ]; then
    fail "no icon $png"
  elif [ "$(png_size "$png")" != "${size}x${size}" ]; then
    fail "$png is $(png_size "$png"), not ${size}x${size}"
  fi
done
svg=$prefix/share/icons/hicolor/scalable/apps/$app_id.svg
grep -q "<svg" "$svg" 2>/dev/null || fail "no SVG icon $svg"

if [ -f "$desktop" ]; then
  # Warnings count as faults too: a desktop entry either passes cleanly or needs fixing.
  if ! report=$(desktop-file-validate "$desktop" 2>&1) || [ -n "$report" ]; then
    fail "desktop-file-validate: $report"
  fi
  # The menu starts Exec and shows Icon: both must be what was installed.
  exec_line=$(sed -n 's/^Exec=//p' "$desktop")
  [ "$exec_line" = tarquen ] || fail "desktop entry runs '$exec_line', not tarquen"
  icon=$(sed -n 's/^Icon=//p' "$desktop")
  [ "$icon" = "$app_id" ] || fail "desktop entry shows icon '$icon', not $app_id"
fi

if [ -f "$metainfo" ]; then
  appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate rejects $metainfo"
  grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
    fail "metainfo does not launch $app_id.desktop"
  grep -q "<id>$app_id</id>" "$metainfo" || fail "metainfo id is not $app_id"
fi

if [ "$faults" -ne 0 ]; then
  echo "$faults fault(s) under $prefix"
  exit 1
fi
echo "PASS: installed files under $prefix"
