#!/usr/bin/env bash
# Runs every libFuzzer target of a fuzz build (see fuzz/README.md) at the same
# time, each for the given number of seconds, on a scratch copy of its seed
# corpus. Fails when any target finds a crash, a leak, a time-out or runs out
# of memory; the finding is kept in the log folder with the target's output.
#   tools/run-fuzzers.sh <fuzz build folder> [seconds=60]
set -euo pipefail
build=$(cd "${1:?usage: tools/run-fuzzers.sh <fuzz build folder> [seconds]}" && pwd)
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/parlo-fuzz.XXXXXX")
# The settings target syncs every write; a memory file system keeps it fast.
scratch=/dev/shm
[ -w "$scratch" ] || scratch=$work

declare -A corpus=([fuzz_document_reader]=document_reader [fuzz_sapi_xml]=sapi_xml
                   [fuzz_settings]=settings [fuzz_render_input]=render_input)
pids=()
for target in "${!corpus[@]}"; do
  mkdir -p "$work/$target/corpus" "$work/$target/findings"
  cp "$root/fuzz/corpus/${corpus[$target]}/"* "$work/$target/corpus/"
  ( cd "$work/$target/findings" &&
    TMPDIR=$scratch "$build/fuzz/$target" "$work/$target/corpus" -max_total_time="$seconds" \
      -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 > "$work/$target/log" 2>&1 ) &
  pids+=("$!:$target")
done

failed=0
for entry in "${pids[@]}"; do
  pid=${entry%%:*} target=${entry#*:}
  if wait "$pid"; then
    runs=$(grep -m1 'stat::number_of_executed_units' "$work/$target/log" | awk '{print $2}')
    echo "$target: ${seconds} s, ${runs:-?} inputs, no finding"
  else
    failed=1
    echo "$target: FINDING, see $work/$target (log and findings/)"
    tail -n 30 "$work/$target/log"
  fi
done
[ "$failed" -eq 0 ] && rm -rf "$work"
exit "$failed"
