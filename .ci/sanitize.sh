#!/bin/bash
# Builds the whole project with AddressSanitizer and UndefinedBehaviorSanitizer in a second
# build tree and runs every CTest test there, the window tests included (they run headless
# by themselves). Any report fails the run: the sanitizers stop the test at the first error.
# Usage: .ci/sanitize.sh [build-dir=build-asan]   (parallel jobs: CMAKE_BUILD_PARALLEL_LEVEL)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-asan}

# gcc: Debian's Qt is built with it and is not instrumented, so only our code is checked.
cmake --preset asan -B "$build"
cmake --build "$build"

export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/.ci/lsan.supp:print_suppressions=1"
ctest --test-dir "$build" --output-on-failure
