#!/usr/bin/env bash
# run-fuzzer.sh HARNESS SEED_DIR SECONDS CRASH_DIR [DICTIONARY]: replays the
# seed corpus, then fuzzes for SECONDS. What the run finds goes to a scratch
# folder that is removed afterwards, so the seeds stay as committed; a crash
# input is kept in CRASH_DIR, to be added to the seeds once the fault is mended.
set -euo pipefail
harness=$1 seeds=$2 seconds=$3 crashes=$4 dictionary=${5:-}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$crashes"
options=(-max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -max_len=65536
    -print_final_stats=1 -artifact_prefix="$crashes/$(basename "$harness")-")
if [ -n "$dictionary" ]; then
    options+=(-dict="$dictionary")
fi
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
"$harness" "${options[@]}" "$scratch" "$seeds"
