#!/usr/bin/env bash
# Digitizing by hand on a real X server, as a user does it: a diagram with known values is
# opened, calibrated with two clicks and two typed values, five points are captured with the
# point tool, and Ctrl+C must put exactly the texts of their values on the clipboard, sorted by
# x, as x TAB y CR LF in the locale's number format. Run twice: with a decimal point (C.UTF-8),
# the diagram named on the command line and one more point captured in the fitted view; and
# with a decimal comma (de_DE), the diagram opened through File > Open.
# Usage: digitize.sh <chartrek> <screenprobe> [<folder for the screenshots>]
set -euo pipefail

source "$(dirname "$0")/session.sh" "$@"

# digitize <LC_ALL> <decimal separator> <name> fit|open: one whole session; "fit" captures the
# curve's end in the fitted view too, "open" opens the diagram through File > Open.
digitize() {
    local locale=$1 sep=$2 name=$3 how=$4 file=$WORK/diagram.png
    [ "$how" = open ] && file=
    start_chartrek "$locale" "$name" "$file"
    if [ "$how" = open ]; then
        xdotool key --clearmodifiers ctrl+o
        DIALOG=$(timeout 15 xdotool search --sync --onlyvisible --name '^Open Graphic$' | head -n1) ||
            fail "$name: File > Open shows no dialog"
        # Its file-name box has the focus; Enter opens the file named there.
        xdotool windowfocus --sync "$DIALOG"
        xdotool type --delay 20 "$WORK/diagram.png"
        xdotool key Return
    fi

    calibrate "$name"
    click_tool $POINT_ICON head "$name: the point tool's button"

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
stop_chartrek

digitize de_DE.UTF-8 , comma open

echo "PASS"
