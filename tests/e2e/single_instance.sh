#!/usr/bin/env bash
# One running instance per user, on a real X server: the first start shows the main window;
# with a picture on the clipboard, a second start shows no window and ends, and the first shows
# the picture 1:1. (A start after a killed instance is test_single_instance's.)
# Usage: single_instance.sh <chartrek> <screenprobe>
set -euo pipefail

APP=$1
PROBE=$2
source "$(dirname "$0")/xsession.sh"
start_xserver 1280x1024

visible_windows() { xdotool search --onlyvisible --name '.' 2>/dev/null | sort || true; }

"$APP" >"$WORK/first.log" 2>&1 &
FIRST=$!
PIDS+=($FIRST)
WINDOW=$(timeout 15 xdotool search --sync --onlyvisible --name '^Chartrek [0-9]+\.[0-9]+\.[0-9]+$' | head -n1) ||
    fail "the first start shows no window"
[ "$(xdotool getwindowpid "$WINDOW")" = "$FIRST" ] || fail "the window does not belong to the first start"
# The splash is gone once the main window is up.
wait_until 10 test "$(visible_windows | wc -l)" -eq 1 || fail "more than the main window is on screen: $(visible_windows | wc -l)"
BEFORE=$(visible_windows)

# 150 x 100 pixels of pure magenta on the clipboard, served by xclip until the end of the run.
"$PROBE" picture "$WORK/picture.png" 150 100
xclip -quiet -selection clipboard -t image/png -i "$WORK/picture.png" >/dev/null 2>&1 &
PIDS+=($!)
disown $!
wait_until 10 sh -c 'xclip -selection clipboard -t TARGETS -o 2>/dev/null | grep -q image/png' || fail "xclip did not take the clipboard"

timeout 15 "$APP" >"$WORK/second.log" 2>&1 || fail "the second start did not end by itself (status $?)"
[ "$(visible_windows)" = "$BEFORE" ] || fail "the second start left a window on screen"
kill -0 "$FIRST" 2>/dev/null || fail "the first instance ended"

# The first shows the picture 1:1, as one area in the picture area (the left 600 pixels; the
# magnifier to the right shows it enlarged).
shown() { [ "$("$PROBE" blobs ff00ff 0 0 600 1024 | cut -d' ' -f3-)" = "150 100" ]; }
wait_until 10 shown || fail "the picture is not shown 1:1: $("$PROBE" blobs ff00ff 0 0 600 1024)"

echo "PASS"
