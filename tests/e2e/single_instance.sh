#!/usr/bin/env bash
# One running instance per user, on a real X server:
#  1. the first start shows the main window;
#  2. a picture is put on the clipboard and the program is started again: the second start
#     shows no window and ends, and the first shows the picture 1:1;
#  3. after the first is killed with SIGKILL (its socket and lock left behind), a third start
#     comes up normally.
# Usage: single_instance.sh <chartrek> <screenprobe>
set -euo pipefail

APP=$1
PROBE=$2
source "$(dirname "$0")/xsession.sh"
start_xserver 1280x1024

CAPTION='^Chartrek XP Version 1\.0 - '

visible_windows() {
    xdotool search --onlyvisible --name '.' 2>/dev/null | sort || true
}

# 1. First start.
"$APP" >"$WORK/first.log" 2>&1 &
FIRST=$!
PIDS+=($FIRST)
WINDOW=$(timeout 15 xdotool search --sync --onlyvisible --name "$CAPTION" | head -n1) || fail "the first start shows no window"
[ "$(xdotool getwindowpid "$WINDOW")" = "$FIRST" ] || fail "the window does not belong to the first start"
# The splash is gone once the main window is up.
wait_until 10 test "$(visible_windows | wc -l)" -eq 1 || fail "more than the main window is on screen: $(visible_windows | wc -l)"
BEFORE=$(visible_windows)

# 2. A picture on the clipboard, 150 x 100 pixels of pure magenta, then the second start.
"$PROBE" picture "$WORK/picture.png" 150 100
# xclip serves the clipboard until the end of the run.
xclip -quiet -selection clipboard -t image/png -i "$WORK/picture.png" >/dev/null 2>&1 &
PIDS+=($!)
disown $!
wait_until 10 sh -c 'xclip -selection clipboard -t TARGETS -o 2>/dev/null | grep -q image/png' || fail "xclip did not take the clipboard"

timeout 15 "$APP" >"$WORK/second.log" 2>&1 || fail "the second start did not end by itself (status $?)"
[ "$(visible_windows)" = "$BEFORE" ] || fail "the second start left a window on screen"
kill -0 "$FIRST" 2>/dev/null || fail "the first instance ended"

# The first shows the picture at its own size, 1:1, in the picture area (the left 600 pixels;
# the magnifier to the right shows it enlarged).
shown() { [ "$("$PROBE" find ff00ff 600 | cut -d' ' -f3-)" = "150 100" ]; }
wait_until 10 shown || fail "the picture is not shown 1:1: $("$PROBE" find ff00ff 600)"

# 3. Killed without a chance to clean up, then started again.
kill -9 "$FIRST"
wait "$FIRST" 2>/dev/null || true
wait_until 10 test "$(visible_windows | wc -l)" -eq 0 || fail "the killed window stays on screen"

"$APP" >"$WORK/third.log" 2>&1 &
THIRD=$!
PIDS+=($THIRD)
disown $THIRD
WINDOW=$(timeout 15 xdotool search --sync --onlyvisible --name "$CAPTION" | head -n1) || fail "the start after a crash shows no window"
[ "$(xdotool getwindowpid "$WINDOW")" = "$THIRD" ] || fail "the window does not belong to the third start"

echo "PASS"
