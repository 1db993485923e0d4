#!/usr/bin/env bash
# Digitizing by hand on a real X server, as a user does it: a diagram with known values is
# opened, calibrated with two clicks and two typed values, five points are captured with the
# point tool, and Ctrl+C must put exactly the texts of their values on the clipboard, sorted by
# x, as x TAB y CR LF in the locale's number format. Run twice: with a decimal point (C.UTF-8),
# the diagram named on the command line and one more point captured in the fitted view; and
# with a decimal comma (de_DE), the diagram opened through File > Open.
# Usage: digitize.sh <chartrek> <screenprobe> [<folder for the screenshots>]
set -euo pipefail

APP=$1
PROBE=$2
SHOTS=${3:-}
source "$(dirname "$0")/xsession.sh"

on_fail() {
    if [ -n "$SHOTS" ] && [ -n "${DISPLAY:-}" ]; then
        "$PROBE" grab "$SHOTS/digitize-failed.png" 2>/dev/null && echo "screen: $SHOTS/digitize-failed.png" >&2
    fi
    for log in "$WORK"/*.log; do
        [ -s "$log" ] && { echo "--- $log" >&2; cat "$log" >&2; }
    done
}

start_xserver 1024x768

# The diagram and what it stands for (lines "size", "mark", "origin", "corner", "point" in x
# order and the curve's "end"; see screenprobe).
"$PROBE" known "$WORK/diagram.png" >"$WORK/known.txt" || fail "cannot make the diagram"
read -r _ SIZE_W SIZE_H < <(grep '^size ' "$WORK/known.txt")
read -r _ MARK_X MARK_Y < <(grep '^mark ' "$WORK/known.txt")
read -r _ ORIGIN_PX ORIGIN_PY _ _ < <(grep '^origin ' "$WORK/known.txt")
read -r _ CORNER_PX CORNER_PY CORNER_X CORNER_Y < <(grep '^corner ' "$WORK/known.txt")
mapfile -t POINTS < <(grep '^point ' "$WORK/known.txt" | cut -d' ' -f2-)
read -r _ END_PX END_PY _ _ < <(grep '^end ' "$WORK/known.txt")

CAPTION='^Chartrek XP Version 1\.0 - '
# Indicator colours of the reference labels: not set, waiting, set.
NOT_SET=ff8080
WAITING=ffff80
SET=80ff80
# The red of a point marker, and the red of the point tool's icon (the Autoline icon to its
# right has it too).
MARKER=ff0000
POINT_ICON=d62d20
# The highlight behind selected text (the Fusion style's, which the program gets on X without
# a desktop).
SELECTION=308cc6

# Window layout, in twips (15 to a pixel), as the program rounds them to pixels.
px() { echo $((($1 + 7) / 15)); }
# Screen position of the centre of a control at (left, top, width, height) twips in the panel.
panel_centre() { echo "$((PANEL_X + $(px $(($1 + $3 / 2))))) $((PANEL_Y + $(px $(($2 + $4 / 2)))))"; }

blobs() { "$PROBE" blobs "$@"; }
count_blobs() { blobs "$@" | wc -l; }
# panel_shows <colour> <n>: n indicators show that colour (the "0" in one may split off areas
# of its own, so only areas nearly as wide as an indicator count).
panel_shows() { [ "$(blobs "$1" "$PANEL_X" "$PANEL_Y" 343 37 | awk '$3 >= 30' | wc -l)" -eq "$2" ]; }
markers_shown() { [ "$(count_blobs $MARKER "$PIC_X" "$PIC_Y" "$SIZE_W" "$SIZE_H")" -eq "$1" ]; }
click_at() {
    xdotool mousemove --sync "$1" "$2"
    xdotool click 1
}

# type_into <field left top width height twips> <text>: a click into a scale field selects its
# text; the typed value replaces it.
type_into() {
    read -r x y < <(panel_centre "$1" "$2" "$3" "$4")
    click_at "$x" "$y"
    # The selection is made just after the click; typing before it would add to the old text.
    wait_until 5 selection_shown "$((PANEL_X + $(px "$1")))" "$((PANEL_Y + $(px "$2")))" \
        "$(px "$3")" "$(px "$4")" || fail "the field at $1,$2 shows no selection after a click"
    xdotool type --delay 20 "$5"
}
selection_shown() { [ "$(count_blobs "$SELECTION" "$@")" -gt 0 ]; }
# mark_shown <size>: the mark, the leftmost area of its colour (the magnifier to the right
# shows it enlarged), is size x size pixels; MX, MY are where it is.
mark_shown() { read -r MX MY MW MH < <(blobs ff00ff | head -n1) && [ "$MW $MH" = "$1 $1" ]; }

# known_texts <decimal separator> <kind>: the known values of those lines, x TAB y CR LF.
known_texts() { grep "^$2 " "$WORK/known.txt" | cut -d' ' -f4- | sed "s/\./$1/g; s/ /\t/; s/\$/\r/"; }
clipboard_is() { xclip -selection clipboard -o >"$WORK/clipboard" 2>/dev/null && cmp -s "$WORK/clipboard" "$1"; }

# digitize <LC_ALL> <decimal separator> <name> fit|open: one whole session; "fit" captures the
# curve's end in the fitted view too, "open" opens the diagram through File > Open.
digitize() {
    local locale=$1 sep=$2 name=$3 how=$4 file=$WORK/diagram.png
    export XDG_RUNTIME_DIR=$WORK/runtime-$name
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    [ "$how" = open ] && file=
    LC_ALL=$locale "$APP" ${file:+"$file"} >"$WORK/$name.log" 2>&1 &
    APP_PID=$!
    PIDS+=($APP_PID)
    WINDOW=$(timeout 15 xdotool search --sync --onlyvisible --name "$CAPTION" | head -n1) ||
        fail "$name: no main window"
    [ "$(xdotool getwindowpid "$WINDOW")" = "$APP_PID" ] || fail "$name: the window belongs to another process"
    # The keyboard goes to it (there is no window manager to do that).
    xdotool windowfocus --sync "$WINDOW"
    if [ "$how" = open ]; then
        xdotool key --clearmodifiers ctrl+o
        DIALOG=$(timeout 15 xdotool search --sync --onlyvisible --name '^Grafik laden:$' | head -n1) ||
            fail "$name: File > Open shows no dialog"
        # Its file-name box has the focus; Enter opens the file named there.
        xdotool windowfocus --sync "$DIALOG"
        xdotool type --delay 20 "$WORK/diagram.png"
        xdotool key Return
    fi

    # Where the picture sits: shown 1:1, the mark is 4 x 4 pixels.
    wait_until 10 mark_shown 4 || fail "$name: the diagram is not shown 1:1: $MX $MY $MW $MH"
    PIC_X=$((MX - MARK_X))
    PIC_Y=$((MY - MARK_Y))
    # Where the calibration panel sits: X1 is the leftmost of the four unset indicators, at
    # 885, 30 twips in the panel.
    read -r IX IY _ _ < <(blobs $NOT_SET) || fail "$name: no unset reference indicators"
    PANEL_X=$((IX - $(px 885)))
    PANEL_Y=$((IY - $(px 30)))
    wait_until 5 panel_shows $NOT_SET 4 || fail "$name: the panel is not where expected ($PANEL_X, $PANEL_Y)"

    # Calibration: "get", then the origin and the corner on the picture.
    click_at $(panel_centre 40 40 435 435)
    wait_until 5 panel_shows $WAITING 2 || fail "$name: \"get\" does not wait for the origin"
    click_at $((PIC_X + ORIGIN_PX)) $((PIC_Y + ORIGIN_PY))
    wait_until 5 panel_shows $SET 2 || fail "$name: the origin click is not taken"
    click_at $((PIC_X + CORNER_PX)) $((PIC_Y + CORNER_PY))
    wait_until 5 panel_shows $SET 4 || fail "$name: the corner click is not taken"
    type_into 1575 255 735 210 "$CORNER_X"
    type_into 3720 255 735 210 "$CORNER_Y"

    # The point tool: the leftmost area of its icon's red in the toolbar, left of the panel.
    read -r bx by bw bh < <(blobs $POINT_ICON 0 "$((PANEL_Y - 2))" "$PANEL_X" 42) ||
        fail "$name: the point tool's button is not in the toolbar"
    click_at $((bx + bw / 2)) $((by + bh / 2))

    # Five points, not in x order: the table sorts them.
    local n=0 i
    for i in 2 0 4 1 3; do
        read -r px_ py_ _ _ <<<"${POINTS[i]}"
        click_at $((PIC_X + px_)) $((PIC_Y + py_))
        n=$((n + 1))
        wait_until 5 markers_shown $n || fail "$name: point $((i + 1)) at ($px_, $py_) got no marker"
    done
    known_texts "$sep" point >"$WORK/$name.want"

    if [ "$how" = fit ]; then
        # View > Fit to window at half size. The picture area ends 167 pixels (2505 twips: the
        # magnifier's 2205, 200 right of it, 100 before it) left of the window's right edge, so
        # a window SIZE_W / 2 + 167 pixels wide (and 480 high, ample for SIZE_H / 2) gives an
        # area SIZE_W / 2 wide: the fit scale is exactly 2, one screen pixel two picture pixels
        # (30 twips), and the picture pixel (px, py), both even, lies at (px / 2, py / 2).
        xdotool windowsize "$WINDOW" $((SIZE_W / 2 + 167)) 480
        xdotool key --clearmodifiers ctrl+w
        wait_until 10 mark_shown 2 || fail "$name: the fitted view is not at half size: $MX $MY $MW $MH"
        PIC_X=$((MX - MARK_X / 2))
        PIC_Y=$((MY - MARK_Y / 2))
        click_at $((PIC_X + END_PX / 2)) $((PIC_Y + END_PY / 2))
        known_texts "$sep" end >>"$WORK/$name.want"
    fi

    # Copy Data with the picture focused (the pointer over it, a spot inside it in either view,
    # gives it the focus). The texts must be the table's, byte for byte.
    xdotool mousemove --sync $((PIC_X + SIZE_W / 4)) $((PIC_Y + SIZE_H / 4))
    xdotool key --clearmodifiers ctrl+c
    wait_until 5 clipboard_is "$WORK/$name.want" || fail "$name: the clipboard is not the known values" \
        "(cat -A; < wanted, > held):"$'\n'"$(diff <(cat -A "$WORK/$name.want") <(cat -A "$WORK/clipboard"))"
    sed "s/^/LC_ALL=$locale: /" "$WORK/clipboard" | cat -A
}

digitize C.UTF-8 . point fit
kill -9 "$APP_PID"
no_window() { ! xdotool search --onlyvisible --name "$CAPTION" >/dev/null 2>&1; }
wait_until 10 no_window || fail "the first session's window stays on screen"

digitize de_DE.UTF-8 , comma open

echo "PASS"
