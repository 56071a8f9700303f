#!/bin/bash
# Runs each fuzzer for the given seconds on a copy of its seed corpus (the repository stays
# clean) and exits non-zero on any finding: a failed check, a sanitizer report, a leak, a
# crash or an input slower than the timeout. Reproducers are kept in
# <build-dir>/fuzz-findings/<fuzzer>/ and shown in hex.
# Usage: fuzz/run.sh <build-dir> [seconds=60]
set -uo pipefail
build=${1:?usage: fuzz/run.sh <build-dir> [seconds=60]}
seconds=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$build" && pwd)

# A 100 kB input takes under 0.1 s here even with the sanitizers: the timeout catches hangs
# and gross slowness. Linearity itself is measured by scaling_check below, since a reader
# that is quadratic at memchr speed still takes only milliseconds at 100 kB.
max_len=100000
timeout_seconds=2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
trap 'exit 130' INT TERM

# Long seeds, made here rather than committed: without them libFuzzer grows its inputs
# slowly and would not reach long texts within a short run.
long_seeds() {
  local corpus=$1 fuzzer=$2
  local digits nines
  digits=$(head -c 99990 /dev/zero | tr '\0' '7')
  nines=$(head -c 30000 /dev/zero | tr '\0' '9')
  if [ "$fuzzer" = number_text_fuzzer ]; then
    printf '0%s' "$digits" >"$corpus/long_integer"
    printf '10.%s' "$digits" >"$corpus/long_fraction"
    printf '0%sx' "$digits" >"$corpus/long_rejected"
  else
    printf '0599,%s\n1,%s\n79,%s\n100\n70\n60' "$nines" "$nines" "$nines" >"$corpus/long_accepted"
    printf '0%s\n1\n80\n100\n70\n60' "$digits" >"$corpus/long_out_of_range"
    printf '0600\n1\n80\n100\n%sx\n60' "$digits" >"$corpus/long_rejected"
  fi
}

# Time of one run of the fuzzer on a file in ms, the faster of two against the noise of a
# shared machine; empty when a run failed or took more than $3 seconds.
time_ms() {
  local best="" t
  for _ in 1 2; do
    t=$(timeout --foreground "$3" "$1" "$2" 2>&1 | sed -n 's/^Executed .* in \([0-9]*\) ms$/\1/p')
    [ -n "$t" ] || return 0
    if [ -z "$best" ] || [ "$t" -lt "$best" ]; then best=$t; fi
  done
  echo "$best"
}

# Linear time, measured: the same shapes of text at 1 MB and at 4 MB. A linear reader
# takes about 4 times as long on the larger; one that is quadratic, even at memchr speed,
# 16 times or more. More than 8 times fails.
scaling_check() {
  local binary=$1 fuzzer=$2 dir=$work/$fuzzer/scaling shape small
  mkdir -p "$dir"
  for size in 1000000 4000000; do
    local digits blanks
    digits=$(head -c "$size" /dev/zero | tr '\0' '7')
    blanks=$(head -c "$size" /dev/zero | tr '\0' ' ')
    if [ "$fuzzer" = number_text_fuzzer ]; then
      printf '0%s' "$digits" >"$dir/integer.$size"
      printf '01,%s' "$digits" >"$dir/fraction.$size"
      printf '0%sx' "$digits" >"$dir/rejected.$size"
      printf '0%s5' "$blanks" >"$dir/blanks.$size"
    else
      printf '0%s\n1,%s\n%sx\n%s100\n7%s\n,%s' "$digits" "$digits" "$digits" \
        "$blanks" "$digits" "$digits" >"$dir/fields.$size"
    fi
  done
  for small in "$dir"/*.1000000; do
    shape=${small%.1000000}
    local t1 t4 limit
    t1=$(time_ms "$binary" "$small" 60)
    if [ -z "$t1" ]; then
      echo "FAIL: $fuzzer: the 1 MB $(basename "$shape") text failed or took over 60 s" >&2
      return 1
    fi
    limit=$((8 * (t1 > 50 ? t1 : 50)))
    t4=$(time_ms "$binary" "$shape.4000000" "$((limit / 1000 + 1))")
    echo "   $(basename "$shape"): 1 MB $t1 ms, 4 MB ${t4:-more than $limit} ms"
    if [ -z "$t4" ] || [ "$t4" -gt "$limit" ]; then
      echo "FAIL: $fuzzer: $(basename "$shape") texts take more than linear time" >&2
      return 1
    fi
  done
}

status=0
for fuzzer in number_text_fuzzer calculation_fuzzer; do
  binary="$build/fuzz/$fuzzer"
  if [ ! -x "$binary" ]; then
    echo "FAIL: $binary is missing; build with -DTARQUEN_FUZZ=ON" >&2
    exit 2
  fi
  corpus="$work/$fuzzer/corpus"
  artifacts="$work/$fuzzer/artifacts"
  mkdir -p "$corpus" "$artifacts"
  cp "$here/corpus/$fuzzer/"* "$corpus/"
  long_seeds "$corpus" "$fuzzer"

  echo "== $fuzzer: time against text length"
  scaling_check "$binary" "$fuzzer" || status=1

  echo "== $fuzzer: ${seconds}s"
  "$binary" -max_total_time="$seconds" -max_len="$max_len" -timeout="$timeout_seconds" \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" \
    >"$work/$fuzzer/log" 2>&1
  result=$?
  grep -E '^(Done |stat::number_of_executed_units|stat::peak_rss_mb)' "$work/$fuzzer/log"
  if [ "$result" -ne 0 ] || [ -n "$(ls -A "$artifacts")" ]; then
    status=1
    findings="$build/fuzz-findings/$fuzzer"
    mkdir -p "$findings"
    echo "FAIL: $fuzzer exited with $result; the end of its log:" >&2
    tail -n 60 "$work/$fuzzer/log" >&2
    for reproducer in "$artifacts"/*; do
      [ -e "$reproducer" ] || continue
      cp "$reproducer" "$findings/"
      echo "-- reproducer $findings/$(basename "$reproducer") ($(stat -c %s "$reproducer") bytes):" >&2
      head -c 512 "$reproducer" | od -An -tx1 -v >&2
      echo "   rerun: $binary $findings/$(basename "$reproducer")" >&2
    done
  fi
done
exit "$status"
