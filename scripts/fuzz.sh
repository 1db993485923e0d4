#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/) and runs each for SECONDS (default 60), starting from the
# seeds and from what earlier runs found. Prints each target's runs; ends non-zero when one
# crashed, and leaves the input that did it in build/fuzz/crashes/<target>/.
#
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
seconds=${1:-60}
cd "$(dirname "$0")/.."
scripts/install-deps.sh >/dev/null
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
build=build/fuzz/fuzz
"$build/fuzz_seeds" "$build/seeds"

status=0
while read -r target seeds; do
    [ -n "$target" ] || continue
    corpus=$build/corpus/$target crashes=build/fuzz/crashes/$target log=$build/$target.log
    mkdir -p "$corpus" "$crashes"
    # A reader that takes long or much memory on one input is a finding too.
    if "$build/$target" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=4096 -print_final_stats=1 \
        -artifact_prefix="$crashes/" "$corpus" "$build/seeds/$seeds" >"$log" 2>&1; then
        result="0 crashes"
    else
        result="CRASHED, see $log and $crashes/"
        status=1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    echo "fuzz: $target: ${runs:-?} runs in $seconds s, $result"
done <"$build/targets.txt"
exit $status
