#!/usr/bin/env bash
# Straightening a tilted scan on a real X server, as a user does it: a diagram whose axes are
# turned by a known angle is opened, View > Rotate Graphic, "calculate" and two real clicks on
# its x-axis measure the tilt, "do it" and OK turn it back; the x-axis must then lie level on
# the screen within one pixel. The turned diagram is calibrated with clicks and typed values, one
# point is captured, and Ctrl+C must give its known values (decimal comma) within a pixel.
# Usage: rotate.sh <chartrek> <screenprobe> [<folder for the screenshots>]
set -euo pipefail

source "$(dirname "$0")/session.sh" "$@"

AXIS=008000 # the x-axis's own colour
"$PROBE" tilted "$WORK/tilted.png" >"$WORK/tilted.txt" || fail "cannot make the tilted diagram"
read -r _ W H < <(grep '^size ' "$WORK/tilted.txt")
read -r _ MARK_X MARK_Y < <(grep '^mark ' "$WORK/tilted.txt")
mapfile -t PICKS < <(grep '^pick ' "$WORK/tilted.txt" | cut -d' ' -f2-)
read -r _ ORIGIN_PX ORIGIN_PY _ _ < <(grep '^origin ' "$WORK/tilted.txt")
read -r _ CORNER_PX CORNER_PY CORNER_X CORNER_Y < <(grep '^corner ' "$WORK/tilted.txt")
read -r _ POINT_PX POINT_PY POINT_X POINT_Y < <(grep '^point ' "$WORK/tilted.txt")

# The x-axis on the picture (the magnifier right of it may show it too): AW x AH pixels.
axis_spans() { read -r _ _ AW AH < <(blobs $AXIS "$PIC_X" "$PIC_Y" "$W" "$H" | head -n1) && [ "$AW" -ge 495 ] && "$@"; }
tilted() { [ "$AH" -ge 20 ]; }
level() { [ "$AH" -le 3 ]; } # two pixels thick, one row more at most
DIALOG_NAME='^rotate graphic$'
no_dialog() { ! xdotool search --onlyvisible --name "$DIALOG_NAME" >/dev/null 2>&1; }

NAME=comma
start_chartrek de_DE.UTF-8 "$NAME" "$WORK/tilted.png"
# Room for the whole picture at 1:1.
xdotool windowsize "$WINDOW" 1000 740
wait_until 10 mark_shown 4 || fail "the diagram is not shown 1:1: $MX $MY $MW $MH"
PIC_X=$((MX - MARK_X))
PIC_Y=$((MY - MARK_Y))
wait_until 5 axis_spans tilted || fail "the x-axis is not shown tilted: ${AW:-} x ${AH:-}"

# View > Rotate Graphic; in the dialog the angle field has the focus, "calculate" is next.
xdotool key --clearmodifiers alt+v g
DIALOG=$(timeout 10 xdotool search --sync --onlyvisible --name "$DIALOG_NAME" | head -n1) ||
    fail "View > Rotate Graphic shows no dialog"
xdotool windowfocus --sync "$DIALOG"
xdotool key Tab space
for pick in "${PICKS[@]}"; do
    read -r x y <<<"$pick"
    click_at $((PIC_X + x)) $((PIC_Y + y))
done
# Enter presses "do it", then Alt+O is OK.
xdotool windowfocus --sync "$DIALOG"
xdotool key Return
wait_until 10 axis_spans level || fail "\"do it\" leaves the x-axis tilted: $AW x $AH"
xdotool key --clearmodifiers alt+o
wait_until 5 no_dialog || fail "OK leaves the dialog open"
xdotool windowfocus --sync "$WINDOW"
wait_until 5 axis_spans level || fail "after OK the x-axis is not level: $AW x $AH"

# Calibration on the turned diagram, at the turned positions.
calibrate_shown rotate

click_tool $POINT_ICON head "the point tool's button"
click_at $((PIC_X + POINT_PX)) $((PIC_Y + POINT_PY))
wait_until 5 eval '[ "$(count_blobs $MARKER "$PIC_X" "$PIC_Y" "$W" "$H")" -eq 1 ]' || fail "the point got no marker"

copy_data "$WORK/clipboard"
# One line, x TAB y CR LF with a decimal comma; within a pixel of the known values (a pixel is
# 0.02 on x and 0.5 on y), which a diagram left tilted misses by several.
tr -d '\r' <"$WORK/clipboard" | tr ',' '.' | awk -F'\t' -v x="$POINT_X" -v y="$POINT_Y" '
    NF != 2 { print "not x TAB y: " $0; bad = 1 }
    { dx = $1 - x; dy = $2 - y; if (dx < 0) dx = -dx; if (dy < 0) dy = -dy
      if (dx > 0.03 || dy > 0.75) { print "off the known point: " $0; bad = 1 } }
    END { if (NR != 1) { print NR " lines"; bad = 1 }; exit bad }' || fail "the captured point is not the known one"
grep -q ',' "$WORK/clipboard" && ! grep -q '\.' "$WORK/clipboard" || fail "the values are not in the locale's format"
echo "PASS ($(tr -d '\r' <"$WORK/clipboard" | tr '\t' ' '))"
