#!/usr/bin/env bash
# Fails when a file under src/ includes one from a folder of the same or a higher layer than its
# own: the folders form layers, and includes run downward only. Usage: check_include_layers.sh <src>
set -euo pipefail
SRC=$1

# The layers, lowest first; folders on one line are one layer and do not include each other.
LAYERS=(
    "core"
    "pixprobe calibration"
    "points"
    "picture"
    "capture scanner memory axes"
    "autoline project"
    "app"
)

declare -A RANK
for i in "${!LAYERS[@]}"; do
    for folder in ${LAYERS[i]}; do RANK[$folder]=$i; done
done

status=0
while IFS= read -r file; do
    from=${file#"$SRC"/}
    from=${from%%/*}
    if [ -z "${RANK[$from]+set}" ]; then
        echo "$file: the folder $from has no layer; add it to $0"
        status=1
        continue
    fi
    while IFS=: read -r line target; do
        to=${target%%/*}
        [ "$to" = "$from" ] && continue
        if [ -z "${RANK[$to]+set}" ]; then
            echo "$file:$line: includes $target from a folder with no layer"
            status=1
        elif [ "${RANK[$to]}" -ge "${RANK[$from]}" ]; then
            echo "$file:$line: $from includes $target, which is not in a lower layer"
            status=1
        fi
    done < <(grep -no '^#include "[^"]*/[^"]*"' "$file" | sed 's/#include "\(.*\)"/\1/')
done < <(find "$SRC" -name '*.h' -o -name '*.cpp' | sort)
exit $status
