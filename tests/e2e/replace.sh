#!/usr/bin/env bash
# A new picture over captured points, on a real X server: with two points captured, Ctrl+V with
# a picture on the clipboard asks "Delete existing data?", and No keeps the picture, the points
# and their markers; Copy Data still gives the points' values.
# Usage: replace.sh <chartrek> <screenprobe> [<folder for the screenshots>]
set -euo pipefail

source "$(dirname "$0")/session.sh" "$@"

BOX='^Chartrek 1\.0$'
no_box() { ! xdotool search --onlyvisible --name "$BOX" >/dev/null 2>&1; }

start_chartrek C.UTF-8 replace "$WORK/diagram.png"
calibrate replace
click_tool $POINT_ICON head "the point tool's button"
for i in 0 1; do
    read -r px_ py_ _ _ <<<"${POINTS[i]}"
    click_at $((PIC_X + px_)) $((PIC_Y + py_))
done
wait_until 5 markers_shown 2 || fail "the two points got no markers"
known_texts . point | head -n2 >"$WORK/want"

# 150 x 100 pixels of magenta on the clipboard, served by xclip until the end of the run.
"$PROBE" picture "$WORK/other.png" 150 100
xclip -quiet -selection clipboard -t image/png -i "$WORK/other.png" >/dev/null 2>&1 &
PIDS+=($!)
disown $!
wait_until 10 sh -c 'xclip -selection clipboard -t TARGETS -o 2>/dev/null | grep -q image/png' ||
    fail "xclip did not take the clipboard"

# Its Ctrl floats the magnifier at the pointer: in a corner, clear of the points and the mark.
xdotool mousemove --sync $((PIC_X + SIZE_W - 40)) $((PIC_Y + SIZE_H - 40))
xdotool key --clearmodifiers ctrl+v
BOX_ID=$(timeout 10 xdotool search --sync --onlyvisible --name "$BOX" | head -n1) || fail "Ctrl+V over points asks nothing"
xdotool windowfocus --sync "$BOX_ID"
xdotool key n
wait_until 5 no_box || fail "the question stays after No"
wait_until 5 mark_shown 4 || fail "No did not keep the picture: $MX $MY $MW $MH"
markers_shown 2 || fail "No did not keep the markers"
copy_data "$WORK/held"
cmp -s "$WORK/want" "$WORK/held" || fail "No did not keep the points:"$'\n'"$(cat -A "$WORK/held")"

echo "PASS"
