#!/usr/bin/env bash
# Building the program alone (scripts/run.sh names only it) must build every part it runs.
#   program_parts.sh NINJA BUILD_DIR PROGRAM PART...
set -euo pipefail
ninja=$1 build=$2 program=$3
shift 3
inputs=$("$ninja" -C "$build" -t inputs "${program#"$build"/}")
status=0
for part in "$@"; do
    if ! grep -qxF "${part#"$build"/}" <<<"$inputs"; then
        echo "FAIL: building ${program##*/} does not build ${part##*/}"
        status=1
    fi
done
exit $status
