#!/usr/bin/env bash
# Installs what is missing, builds Chartrek and starts it; without a file named, it opens the
# example diagram so that there is something to digitize at once.
set -euo pipefail
# A file named relative to where the script was started from.
if [ $# -gt 0 ]; then
    set -- "$(realpath -m -- "$1")" "${@:2}"
fi
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target chartrek
exec build/default/src/app/chartrek "${@:-examples/diagram.png}"
