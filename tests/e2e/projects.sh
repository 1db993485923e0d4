#!/usr/bin/env bash
# Two curves and a crash, on a real X server: two points are captured into "Curve 1", two into a
# new curve, the project is saved, one more point is captured, and the program is killed. The next
# start offers the unsaved work; taken, Edit > Copy all curves gives every point of both curves,
# the one captured after saving included, byte for byte. A logout then keeps the work again.
# Usage: projects.sh <chartrek> <screenprobe> [<folder for the screenshots>]
set -euo pipefail

source "$(dirname "$0")/session.sh" "$@"

export STATE_HOME=$WORK/state
COPY=$STATE_HOME/chartrek/recovery.chartrek
SECOND=0000ff # the second curve's markers
second_shown() { [ "$(count_blobs $SECOND "$PIC_X" "$PIC_Y" "$SIZE_W" "$SIZE_H")" -eq $(($1 + BLUE0)) ]; }
capture() {
    read -r px_ py_ _ _ <<<"${POINTS[$1]}"
    click_at $((PIC_X + px_)) $((PIC_Y + py_))
}

start_chartrek C.UTF-8 first "$WORK/diagram.png"
calibrate first
BLUE0=$(count_blobs $SECOND "$PIC_X" "$PIC_Y" "$SIZE_W" "$SIZE_H")
click_tool $POINT_ICON head "the point tool's button"
capture 2
capture 0
wait_until 5 markers_shown 2 || fail "the first curve's points got no markers"

xdotool key --clearmodifiers ctrl+shift+n
capture 3
capture 1
wait_until 5 second_shown 2 || fail "the second curve's points got no markers of its colour"

xdotool key --clearmodifiers ctrl+shift+s
DIALOG=$(timeout 15 xdotool search --sync --onlyvisible --name '^Save Project$' | head -n1) ||
    fail "Save Project As shows no dialog"
xdotool windowfocus --sync "$DIALOG"
xdotool type --delay 20 "$WORK/figure.chartrek"
xdotool key Return
wait_until 10 test -s "$WORK/figure.chartrek" || fail "the project was not saved"
wait_until 10 sh -c "! test -e '$COPY'" || fail "saving left the recovery copy"
xdotool windowfocus --sync "$WINDOW"

# One more point, then a crash once the copy holds it.
capture 4
wait_until 5 second_shown 3 || fail "the point after saving got no marker"
wait_until 20 test -s "$COPY" || fail "no recovery copy was written"
kill -9 "$APP_PID"
wait_until 10 no_window || fail "the killed program's window stays on screen"

# Without a picture the window's caption is the boxes' title: the box is the one that stands for
# another window.
find_box() {
    local w
    for w in $(xdotool search --onlyvisible --name "$BOX_TITLE"); do
        if xprop -id "$w" WM_TRANSIENT_FOR | grep -q 'window id'; then BOX=$w && return 0; fi
    done
    return 1
}
start_chartrek C.UTF-8 second
wait_until 15 find_box || fail "the next start offers nothing"
xdotool windowfocus --sync "$BOX" key y
wait_until 5 eval '! find_box' || fail "the question stays after Yes"
WINDOW=$(xdotool search --onlyvisible --name "$CAPTION" | head -n1)
xdotool windowfocus --sync "$WINDOW"

# Edit > Copy all curves: a block per curve, its name first, points by x, an empty line between.
values() { for i in "$@"; do sed -n "$((i + 1))p" <(grep '^point ' "$WORK/known.txt" | cut -d' ' -f4-); done | sed 's/ /\t/; s/$/\r/'; }
{
    printf 'Curve 1\r\n'
    values 0 2
    printf '\r\nCurve 2\r\n'
    values 1 3 4
} >"$WORK/all.want"
xdotool key --clearmodifiers alt+e
sleep 0.5
xdotool key s
wait_until 5 clipboard_is "$WORK/all.want" || fail "Copy all curves is not the captured values" \
    "(cat -A; < wanted, > held):"$'\n'"$(diff <(cat -A "$WORK/all.want") <(cat -A "$WORK/clipboard"))"
cat -A "$WORK/clipboard"

# A logout (SIGTERM) keeps the restored work, still unsaved, for the next start: the copy written
# since the restore is removed first, so that only the signal can have written it again.
sleep 4
rm -f "$COPY"
kill -TERM "$APP_PID"
wait_until 10 no_window || fail "SIGTERM did not end the program"
test -s "$COPY" || fail "SIGTERM did not keep the unsaved work"
echo "PASS"
