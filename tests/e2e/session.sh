# Shared by the end-to-end scripts that digitize, sourced with their arguments
# <chartrek> <screenprobe> [<folder for the screenshots>]: starts the X server, makes the diagram
# with known values, and starts, locates and calibrates the program on the screen as a user would.

APP=$1
PROBE=$2
SHOTS=${3:-}
source "$(dirname "${BASH_SOURCE[0]}")/xsession.sh"

on_fail() {
    local shot
    shot=$SHOTS/$(basename "$0" .sh)-failed.png
    if [ -n "$SHOTS" ] && [ -n "${DISPLAY:-}" ]; then
        "$PROBE" grab "$shot" 2>/dev/null && echo "screen: $shot" >&2
    fi
    for log in "$WORK"/*.log; do
        [ -s "$log" ] && { echo "--- $log" >&2; cat "$log" >&2; }
    done
}

start_xserver 1024x768

# The diagram and what it stands for: "size w h", "mark x y", "origin|corner px py x y",
# "point px py x y" in x order, and the curve's "end px py x y" right of them. A click on any
# whole pixel of it stands for short decimals, which the program writes exactly.
"$PROBE" known "$WORK/diagram.png" >"$WORK/known.txt" || fail "cannot make the diagram"
read -r _ SIZE_W SIZE_H < <(grep '^size ' "$WORK/known.txt")
read -r _ MARK_X MARK_Y < <(grep '^mark ' "$WORK/known.txt")
read -r _ ORIGIN_PX ORIGIN_PY _ _ < <(grep '^origin ' "$WORK/known.txt")
read -r _ CORNER_PX CORNER_PY CORNER_X CORNER_Y < <(grep '^corner ' "$WORK/known.txt")
mapfile -t POINTS < <(grep '^point ' "$WORK/known.txt" | cut -d' ' -f2-)
read -r _ END_PX END_PY _ _ < <(grep '^end ' "$WORK/known.txt")

CAPTION='^Chartrek [0-9]+\.[0-9]+\.[0-9]+( - .*)?$'
# The titles of the program's message boxes, and of its Yes/No/Cancel questions (the window's
# caption names its picture, so a box is told from it).
BOX_TITLE='^Chartrek [0-9]+\.[0-9]+\.[0-9]+$'
QUESTION_TITLE='^Chartrek Version [0-9]+\.[0-9]+\.[0-9]+$'
# Indicator colours of the reference labels: not set, waiting, set.
NOT_SET=ff8080
WAITING=ffff80
SET=80ff80
# The red of a point marker, and the red of the point tool's icon (the Autoline icon to its
# right and the delete button, the toolbar's last, have it too).
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

# start_chartrek <LC_ALL> <name> [<picture>]: the program, with a runtime folder of its own (and a
# state folder of its own unless STATE_HOME names one), and the keyboard on its window (there is no
# window manager to give it); APP_PID, WINDOW. Its numbers follow LC_ALL; its texts stay English
# (LANGUAGE), which the scripts compare.
start_chartrek() {
    export XDG_RUNTIME_DIR=$WORK/runtime-$2
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    # Its own state folder too: a start under another name finds no unsaved work to restore.
    export XDG_STATE_HOME=${STATE_HOME:-$WORK/state-$2}
    LANGUAGE=en LC_ALL=$1 "$APP" ${3:+"$3"} >"$WORK/$2.log" 2>&1 &
    APP_PID=$!
    PIDS+=($APP_PID)
    WINDOW=$(timeout 15 xdotool search --sync --onlyvisible --name "$CAPTION" | head -n1) ||
        fail "$2: no main window"
    [ "$(xdotool getwindowpid "$WINDOW")" = "$APP_PID" ] || fail "$2: the window belongs to another process"
    wait_until 5 window_icon_is_ours || fail "$2: the window does not show the program's icon"
    xdotool windowfocus --sync "$WINDOW"
}
# The program's icon, the menu entry's: its paper colour (opaque f4f1e8) fills most of it.
window_icon_is_ours() {
    [ "$(xprop -id "$WINDOW" -notype -f _NET_WM_ICON 32c ' $0+\n' _NET_WM_ICON |
        tr ',' '\n' | grep -cx " *$((0xfff4f1e8))")" -gt 100 ]
}

# stop_chartrek: the program is killed and its window gone, so that the next start is a first one.
stop_chartrek() {
    kill -9 "$APP_PID"
    wait_until 10 no_window || fail "the killed program's window stays on screen"
}
no_window() { ! xdotool search --onlyvisible --name "$CAPTION" >/dev/null 2>&1; }

# calibrate <name>: finds the diagram shown 1:1 (PIC_X, PIC_Y) and the calibration panel
# (PANEL_X, PANEL_Y), and calibrates with real clicks and typed values.
calibrate() {
    local name=$1 found
    # Where the picture sits: shown 1:1, the mark is 4 x 4 pixels.
    wait_until 10 mark_shown 4 || fail "$name: the diagram is not shown 1:1: $MX $MY $MW $MH"
    PIC_X=$((MX - MARK_X))
    PIC_Y=$((MY - MARK_Y))
    calibrate_shown "$name"
}

# calibrate_shown <name>: calibrates the picture at PIC_X, PIC_Y (its origin and corner at the
# known pixels) with real clicks and typed values; finds the panel (PANEL_X, PANEL_Y) first.
calibrate_shown() {
    local name=$1
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
}

# click_tool <colour> head|tail <what>: clicks the toolbar button of the first or the last area
# of that icon colour in the toolbar, left of the panel.
click_tool() {
    local icon bx by bw bh
    icon=$(blobs "$1" 0 "$((PANEL_Y - 2))" "$PANEL_X" 42 | "$2" -n1)
    [ -n "$icon" ] || fail "$3 is not in the toolbar"
    read -r bx by bw bh <<<"$icon"
    click_at $((bx + bw / 2)) $((by + bh / 2))
}

# copy_data <file>: Copy Data by its shortcut with the pointer over the picture (which gives it
# the focus), waited for until the clipboard holds points, then kept in the file.
copy_data() {
    xdotool windowfocus --sync "$WINDOW"
    xdotool mousemove --sync $((PIC_X + 20)) $((PIC_Y + 20))
    xdotool key --clearmodifiers ctrl+c
    wait_until 5 clipboard_has_points || fail "Copy Data puts no points on the clipboard"
    xclip -selection clipboard -o >"$1"
}
clipboard_has_points() { xclip -selection clipboard -o 2>/dev/null | grep -q $'\t'; }
