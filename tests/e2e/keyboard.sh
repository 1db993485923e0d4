#!/usr/bin/env bash
# Real keys on a real X server, with the diagram of known values calibrated: keypad 6 moves the
# pointer one pixel, Alt+keypad 6 ten, onto a data point (also after a step at the screen's
# edge), and Enter captures exactly it; Ctrl alone floats the magnifier at the pointer, a click
# on it captures the picture point under the pointer, Ctrl+C leaves it floating and Ctrl alone
# docks it; Shift+click on a point with Yes deletes it; Delete data with Yes empties the table
# and takes the markers off the picture. Copy Data shows the table, byte for byte. Run with a
# decimal point (C.UTF-8) and a decimal comma (de_DE).
# Usage: keyboard.sh <chartrek> <screenprobe> [<folder for the screenshots>]
set -euo pipefail

source "$(dirname "$0")/session.sh" "$@"

# The magnifier's crosshair; the pointer tool's black arrow (the tools right of it have it too);
# the title of the program's message boxes.
CROSSHAIR=c00000
POINTER_ICON=1e1e1e
BOX=$BOX_TITLE

pointer_at() { [ "$(xdotool getmouselocation | cut -d' ' -f1,2)" = "x:$1 y:$2" ]; }
# moves <keys> <x> <y>: the keys put the pointer there.
moves() {
    xdotool key "$1"
    wait_until 5 pointer_at "$2" "$3" || fail "$NAME: $1 puts the pointer at $(xdotool getmouselocation), not $2 $3"
}

# The magnifier floats when its crosshair is over the picture. floats_at <x> <y>: centred there
# (an odd number of pixels wide and high, placed in twips: its middle may lie one pixel off).
crosshair() { blobs $CROSSHAIR "$PIC_X" "$PIC_Y" "$SIZE_W" "$SIZE_H"; }
docked() { [ -z "$(crosshair)" ]; }
floats_at() {
    local x y w h
    read -r x y w h < <(crosshair) || return 1
    [ "$w $h" = "$MAG_W $MAG_H" ] && (((x + w / 2 - $1) ** 2 + (y + h / 2 - $2) ** 2 <= 2))
}

# answer <key> <what>: the window-modal message box takes the key; the keyboard then goes back
# to the main window (without a window manager nothing gives it back).
no_box() { ! xdotool search --onlyvisible --name "$BOX" >/dev/null 2>&1; }
answer() {
    local box
    box=$(timeout 10 xdotool search --sync --onlyvisible --name "$BOX" | head -n1) || fail "$NAME: $2 shows no message box"
    xdotool windowfocus --sync "$box"
    xdotool key "$1"
    wait_until 5 no_box || fail "$NAME: the message box after $2 stays"
    xdotool windowfocus --sync "$WINDOW"
}

# copied <file>: Copy Data by its shortcut puts exactly that text on the clipboard. Its Ctrl is
# not Ctrl alone: the magnifier stays where it is.
copied() {
    xdotool key --clearmodifiers ctrl+c
    wait_until 5 clipboard_is "$1" || fail "$NAME: the clipboard is not $(basename "$1")" \
        "(cat -A; < wanted, > held):"$'\n'"$(diff <(cat -A "$1") <(cat -A "$WORK/clipboard"))"
}

# keyboard <LC_ALL> <decimal separator> <name>: one whole session.
keyboard() {
    NAME=$3
    start_chartrek "$1" "$NAME" "$WORK/diagram.png"
    calibrate "$NAME"
    # The docked magnifier, right of the picture, gives its size.
    read -r _ _ MAG_W MAG_H < <(blobs $CROSSHAIR | tail -n1) || fail "$NAME: no magnifier on the screen"
    click_tool $POINT_ICON head "$NAME: the point tool's button"
    local x1 y1 x2 y2
    read -r x1 y1 _ _ <<<"${POINTS[0]}"
    read -r x2 y2 _ _ <<<"${POINTS[1]}"
    x1=$((PIC_X + x1)) y1=$((PIC_Y + y1)) x2=$((PIC_X + x2)) y2=$((PIC_Y + y2))
    known_texts "$2" point | head -n2 >"$WORK/$NAME-both"
    known_texts "$2" point | sed -n 2p >"$WORK/$NAME-second"

    # At the screen's edge the pointer stays, and the keys go on moving the real pointer.
    xdotool mousemove --sync 0 "$y1"
    xdotool key KP_4
    xdotool mousemove --sync $((x1 - 11)) "$y1"
    moves KP_6 $((x1 - 10)) "$y1"
    moves alt+KP_6 "$x1" "$y1"
    xdotool key Return
    wait_until 5 markers_shown 1 || fail "$NAME: Enter captures no point"

    # Floating centred between the two points, the magnifier covers both.
    xdotool mousemove --sync $(((x1 + x2) / 2)) $(((y1 + y2) / 2))
    xdotool key ctrl
    wait_until 5 floats_at $(((x1 + x2) / 2)) $(((y1 + y2) / 2)) ||
        fail "$NAME: Ctrl does not float the magnifier at the pointer: $(crosshair)"
    click_at "$x2" "$y2"
    copied "$WORK/$NAME-both"
    floats_at $(((x1 + x2) / 2)) $(((y1 + y2) / 2)) || fail "$NAME: Ctrl+C moves the magnifier"
    xdotool key ctrl
    wait_until 5 docked || fail "$NAME: the second Ctrl does not dock the magnifier"
    wait_until 5 markers_shown 2 || fail "$NAME: the click on the magnifier left no marker"

    click_tool $POINTER_ICON head "$NAME: the pointer tool's button"
    xdotool mousemove --sync "$x1" "$y1" keydown shift click 1 keyup shift
    answer y "Shift+click on a point"
    copied "$WORK/$NAME-second"

    # Delete data: the toolbar's last button.
    click_tool $POINT_ICON tail "$NAME: the delete button"
    answer y "Delete data"
    wait_until 5 markers_shown 0 || fail "$NAME: Delete data leaves markers on the picture"
    # Copy Data of an empty table says so in a box.
    xdotool key --clearmodifiers ctrl+c
    answer Return "Copy Data of no data"
}

keyboard C.UTF-8 . point
stop_chartrek
keyboard de_DE.UTF-8 , comma

echo "PASS"
