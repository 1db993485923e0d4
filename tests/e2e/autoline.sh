#!/usr/bin/env bash
# Autoline on a real X server, as a user traces a curve: a diagram with one straight line of
# known values is calibrated with clicks and typed values, Ctrl+A opens the Autoline window, and
# three real clicks (ending point, starting point, distance) trace the line. A message ends the
# trace, and Ctrl+C must put the points on the clipboard in the locale's number format, every
# one on the known line, in x order from the start to the end, one every 10 pixels (the distance
# click lies 10 pixels right of the start).
# Usage: autoline.sh <chartrek> <screenprobe> [<folder for the screenshots>]
set -euo pipefail

source "$(dirname "$0")/session.sh" "$@"

BOX=$BOX_TITLE
no_box() { ! xdotool search --onlyvisible --name "$BOX" >/dev/null 2>&1; }
"$PROBE" line "$WORK/line.png" >"$WORK/line.txt" || fail "cannot make the line diagram"
read -r _ LINE_A LINE_B < <(grep '^line ' "$WORK/line.txt")
click_of() { grep "^click $1 " "$WORK/${2:-line}.txt" | cut -d' ' -f3-; }
no_window_named() { ! xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }

NAME=comma
# The chart named as a user in its folder would name it.
cd "$WORK"
start_chartrek de_DE.UTF-8 "$NAME" line.png
calibrate "$NAME"

# Over the picture (which takes the focus from the scale field, where Ctrl+A selects the text).
xdotool mousemove --sync $((PIC_X + 20)) $((PIC_Y + 20))
xdotool key --clearmodifiers ctrl+a
timeout 10 xdotool search --sync --onlyvisible --name '^Autoline$' >/dev/null || fail "Ctrl+A shows no Autoline window"
for what in end start step; do
    read -r x y < <(click_of $what)
    click_at $((PIC_X + x)) $((PIC_Y + y))
done

# The trace ends with "Line read. N points were read." in an information box (its text is
# checked in the window's own tests: a box on X cannot hand its text out).
box=$(timeout 20 xdotool search --sync --onlyvisible --name "$BOX" | head -n1) || fail "the trace ends with no message"
xdotool windowfocus --sync "$box"
xdotool key Return
wait_until 5 no_box || fail "the message box stays"

copy_data "$WORK/clipboard"
# Every line: x TAB y CR LF with decimal commas; y within half a pixel (a quarter of a unit)
# of the line, x rising from the start (1) to past the end (9).
tr -d '\r' <"$WORK/clipboard" | tr ',' '.' | awk -F'\t' -v a="$LINE_A" -v b="$LINE_B" '
    NF != 2 { print "not x TAB y: " $0; bad = 1 }
    { d = $2 - (a + b * $1); if (d < 0) d = -d
      if (d > 0.25) { print "off the line by " d ": " $0; bad = 1 }
      if (NR > 1 && $1 <= last) { print "x does not rise: " $0; bad = 1 }
      if (NR == 1) first = $1; last = $1 }
    END { if (NR < 40) { print "only " NR " points"; bad = 1 }
          if (first < 0.95 || first > 1.05 || last < 9) { print "from " first " to " last; bad = 1 }
          exit bad }' || fail "the traced points are not the known line"
grep -q ',' "$WORK/clipboard" && ! grep -q '\.' "$WORK/clipboard" || fail "the values are not in the locale's format"
TRACED=$(grep -c . "$WORK/clipboard")

stop_chartrek
"$PROBE" line "$WORK/broken.png" broken >"$WORK/broken.txt" || fail "cannot make the broken line"
start_chartrek C.UTF-8 kept broken.png
calibrate kept
click_tool $POINT_ICON head "the point tool's button"
read -r x y < <(click_of keep broken)
click_at $((PIC_X + x)) $((PIC_Y + y))
copy_data "$WORK/kept"
xdotool key --clearmodifiers ctrl+a
box=$(timeout 10 xdotool search --sync --onlyvisible --name "$QUESTION_TITLE" | head -n1) ||
    fail "Autoline does not ask whether to delete the point"
xdotool windowfocus --sync "$box"
xdotool key n
timeout 10 xdotool search --sync --onlyvisible --name '^Autoline$' >/dev/null || fail "no Autoline window after No"
for what in end start step; do
    read -r x y < <(click_of $what broken)
    click_at $((PIC_X + x)) $((PIC_Y + y))
done
dialog=$(timeout 20 xdotool search --sync --onlyvisible --name '^Get the line$' | head -n1) ||
    fail "the trace does not stop at the gap"
xdotool windowfocus --sync "$dialog"
xdotool key Escape
wait_until 5 no_window_named '^Get the line$' || fail "Escape leaves \"Get the line\" open"
wait_until 5 no_window_named '^Autoline$' || fail "Escape in \"Get the line\" leaves the Autoline window open"
no_box || fail "a cancelled trace shows a message"
copy_data "$WORK/kept-after"
cmp -s "$WORK/kept" "$WORK/kept-after" || fail "the cancelled trace changed the points:"$'\n'"$(diff "$WORK/kept" "$WORK/kept-after")"
echo "PASS ($TRACED points; a cancelled trace keeps $(grep -c . "$WORK/kept") point)"
