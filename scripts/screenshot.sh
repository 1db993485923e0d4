#!/usr/bin/env bash
# Takes a screenshot of the main window with a diagram loaded, on a private X server: the
# window alone (the one in the software-centre data, data/screenshots/main-window.png, is taken
# at 1200 x 750).
# Usage: scripts/screenshot.sh <out.png> [<width> <height>]   (window size in pixels)
set -euo pipefail
cd "$(dirname "$0")/.."
OUT=$(realpath -m "$1")
BUILD=build/default
cmake --build --preset default --target chartrek screenprobe >/dev/null

WORK=$(mktemp -d)
PIDS=()
# The program first, then its X server.
trap 'for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do kill -9 "${PIDS[i]}" 2>/dev/null || true; done; rm -rf "$WORK"' EXIT
export XDG_RUNTIME_DIR=$WORK/runtime
export CHARTREK_CONFIG_DIR=$WORK/config
mkdir -m 700 "$XDG_RUNTIME_DIR"
# No unsaved work of another run is offered over the window.
export XDG_STATE_HOME=$WORK/state
export QT_QPA_PLATFORM=xcb

Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp 3>"$WORK/display" 2>/dev/null &
PIDS+=($!)
disown $!
for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 "$WORK/display")

"$BUILD/tests/e2e/screenprobe" diagram "$WORK/diagram.png"
# xclip serves the clipboard until the end of the run.
xclip -quiet -selection clipboard -t image/png -i "$WORK/diagram.png" >/dev/null 2>&1 &
PIDS+=($!)
disown $!
for _ in $(seq 100); do xclip -selection clipboard -t TARGETS -o 2>/dev/null | grep -q image/png && break; sleep 0.1; done
"$BUILD/src/app/chartrek" &
PIDS+=($!)
disown $!
WINDOW=$(timeout 15 xdotool search --sync --onlyvisible --name '^Chartrek [0-9]' | head -n1)
if [ $# -ge 3 ]; then
    xdotool windowsize --sync "$WINDOW" "$2" "$3" 2>/dev/null || xdotool windowsize "$WINDOW" "$2" "$3"
fi
sleep 0.5 # let the last paint reach the screen
eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
"$BUILD/tests/e2e/screenprobe" grab "$OUT" "$X" "$Y" "$WIDTH" "$HEIGHT"
echo "$OUT"
