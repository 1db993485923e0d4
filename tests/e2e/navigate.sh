#!/usr/bin/env bash
# Moving around a picture larger than the screen on a real X server, as a user does it: the
# wheel scrolls to the bottom-right corner (Shift+wheel sideways), Ctrl+wheel zooms in three
# steps about the pointer to 300 %, the origin is clicked there, the wheel scrolls to the
# top-left for the second reference, and a point is captured back at the bottom-right. Each
# click lands a third of a picture pixel (5 twips) apart from the next screen pixel, so the
# calibration and the point are finer than a picture pixel. Typed as the references' distances
# in twips, the values make the clipboard hold the point's own distance from the origin in
# twips, which must be exact.
# Usage: navigate.sh <chartrek> <screenprobe> [<folder for the screenshots>]
set -euo pipefail

source "$(dirname "$0")/session.sh" "$@"

"$PROBE" large "$WORK/large.png" >"$WORK/large.txt" || fail "cannot make the large chart"
read -r _ ORIGIN_X ORIGIN_Y < <(grep '^origin ' "$WORK/large.txt")
read -r _ CORNER_X CORNER_Y < <(grep '^corner ' "$WORK/large.txt")
read -r _ POINT_X POINT_Y < <(grep '^point ' "$WORK/large.txt")
ZOOM=3 # screen pixels per picture pixel after three steps up from 100 %: 150, 200, 300
T=15   # twips per picture pixel

NAME=navigate
start_chartrek C.UTF-8 "$NAME" "$WORK/large.png"
xdotool windowsize "$WINDOW" 1000 740

# one_pixel <colour> <size>: the leftmost area of that colour on the picture (the magnifier
# lies right of it) is size x size screen pixels; BX, BY are where it is.
one_pixel() { read -r BX BY BW BH < <(blobs "$1" "$VIEW_X" "$VIEW_Y" 820 600 | head -n1) && [ "$BW $BH" = "$2 $2" ]; }
# wheel <button> <times> [shift]: wheel turns over the picture (4 up, 5 down).
wheel() {
    # Not --sync: a pointer already there would never report the move it waits for.
    xdotool mousemove $((VIEW_X + 300)) $((VIEW_Y + 300))
    if [ -n "${3:-}" ]; then xdotool keydown shift; fi
    xdotool click --repeat "$2" --delay 5 "$1"
    if [ -n "${3:-}" ]; then xdotool keyup shift; fi
}

# Shown 1:1 from its top-left corner: the corner's pixel gives where the picture control is.
VIEW_X=0 VIEW_Y=0
wait_until 10 one_pixel 00ffff 1 || fail "the picture is not shown 1:1 from its top-left corner"
VIEW_X=$((BX - CORNER_X))
VIEW_Y=$((BY - CORNER_Y))

# To the bottom-right corner with the wheel, then three steps of Ctrl+wheel on the origin.
wheel 5 150
wheel 5 150 shift
wait_until 10 one_pixel ff00ff 1 || fail "the wheel does not bring the origin into view"
xdotool mousemove --sync "$BX" "$BY"
xdotool keydown ctrl click --repeat 3 --delay 50 4 keyup ctrl
wait_until 10 one_pixel ff00ff $ZOOM || fail "Ctrl+wheel does not zoom to 300 %: $BW x $BH"
ORIGIN_SCREEN="$((BX + 1)) $((BY + 2))"

# The origin there: a third and two thirds of a pixel into the origin's pixel.
read -r IX IY _ _ < <(blobs $NOT_SET) || fail "no unset reference indicators"
PANEL_X=$((IX - $(px 885)))
PANEL_Y=$((IY - $(px 30)))
click_at $(panel_centre 40 40 435 435)
wait_until 5 panel_shows $WAITING 2 || fail "\"get\" does not wait for the origin"
click_at $ORIGIN_SCREEN
wait_until 5 panel_shows $SET 2 || fail "the origin click is not taken"

# Back to the top-left with the wheel for the corner, two thirds of a pixel in.
wheel 4 150
wheel 4 150 shift
wait_until 10 one_pixel 00ffff $ZOOM || fail "the wheel does not bring the corner into view at 300 %"
click_at $((BX + 2)) "$BY"
wait_until 5 panel_shows $SET 4 || fail "the corner click is not taken"

# Twips from the picture's top-left corner of each click.
ORIGIN_TX=$((ORIGIN_X * T + T / ZOOM)) ORIGIN_TY=$((ORIGIN_Y * T + 2 * T / ZOOM))
CORNER_TX=$((CORNER_X * T + 2 * T / ZOOM)) CORNER_TY=$((CORNER_Y * T))
type_into 1575 255 735 210 $((ORIGIN_TX - CORNER_TX))
type_into 3720 255 735 210 $((ORIGIN_TY - CORNER_TY))

# A point at the bottom-right again, two thirds and a third of a pixel into its pixel.
wheel 5 150
wheel 5 150 shift
wait_until 10 one_pixel ffff00 $ZOOM || fail "the point is not in view at 300 %"
click_tool $POINT_ICON head "the point tool's button"
click_at $((BX + 2)) $((BY + 1))
POINT_TX=$((POINT_X * T + 2 * T / ZOOM)) POINT_TY=$((POINT_Y * T + T / ZOOM))
wait_until 5 eval '[ "$(count_blobs $MARKER "$VIEW_X" "$VIEW_Y" 820 600)" -ge 1 ]' || fail "the point got no marker"

printf '%d\t%d\r\n' $((ORIGIN_TX - POINT_TX)) $((ORIGIN_TY - POINT_TY)) >"$WORK/want"
xdotool key --clearmodifiers ctrl+c
wait_until 5 clipboard_is "$WORK/want" || fail "the clipboard is not the point's distance from the origin" \
    "(cat -A; < wanted, > held):"$'\n'"$(diff <(cat -A "$WORK/want") <(cat -A "$WORK/clipboard"))"
echo "PASS ($(tr -d '\r' <"$WORK/clipboard" | tr '\t' ' '))"
