#!/bin/sh
# Runs atspi_test.py with Debian's own Python, which has the AT-SPI bindings (another python3
# on the PATH may not). Exits 77 (skipped) where that Python is missing.
# Usage: atspi_test.sh <path to tarquen>
[ -x /usr/bin/python3 ] || { echo "SKIP: /usr/bin/python3 not installed"; exit 77; }
exec /usr/bin/python3 "${0%/*}/atspi_test.py" "$@"
