#!/usr/bin/env bash
# A new picture over captured points, on a real X server: Ctrl+V with a picture on the clipboard
# asks "Delete existing data?", and No keeps the picture, the points and their markers.
# Usage: replace.sh <chartrek> <screenprobe> [<folder for the screenshots>]
set -euo pipefail

source "$(dirname "$0")/session.sh" "$@"

start_chartrek C.UTF-8 replace "$WORK/diagram.png"
calibrate replace
click_tool $POINT_ICON head "the point tool's button"
for i in 0 1; do
    read -r px_ py_ _ _ <<<"${POINTS[i]}"
    click_at $((PIC_X + px_)) $((PIC_Y + py_))
done
wait_until 5 markers_shown 2 || fail "the two points got no markers"

# 150 x 100 pixels of magenta on the clipboard, served by xclip until the end of the run.
"$PROBE" picture "$WORK/other.png" 150 100
xclip -quiet -selection clipboard -t image/png -i "$WORK/other.png" >/dev/null 2>&1 &
PIDS+=($!)
disown $!
wait_until 10 sh -c 'xclip -selection clipboard -t TARGETS -o 2>/dev/null | grep -q image/png' || fail "xclip took nothing"

# Its Ctrl floats the magnifier at the pointer: in a corner, clear of the points and the mark.
xdotool mousemove --sync $((PIC_X + SIZE_W - 40)) $((PIC_Y + SIZE_H - 40)) key --clearmodifiers ctrl+v
BOX=$(timeout 10 xdotool search --sync --onlyvisible --name "$BOX_TITLE" | head -n1) || fail "Ctrl+V asks nothing"
xdotool windowfocus --sync "$BOX" key n
wait_until 5 sh -c "! xdotool search --onlyvisible --name '$BOX_TITLE'" || fail "the question stays after No"
wait_until 5 mark_shown 4 || fail "No did not keep the picture: $MX $MY $MW $MH"
markers_shown 2 || fail "No did not keep the points' markers"
echo "PASS"
