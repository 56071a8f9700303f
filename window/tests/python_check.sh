#!/bin/sh
# Runs one of the Python checks with Debian's own Python, which has the AT-SPI bindings (another
# python3 on the PATH may not). Exits 77 (skipped) where that Python is missing.
# Usage: python_check.sh <script.py> [ARG...]
[ -x /usr/bin/python3 ] || { echo "SKIP: /usr/bin/python3 not installed"; exit 77; }
# -B: importing the shared module must not write bytecode into the source tree.
exec /usr/bin/python3 -B "$@"
