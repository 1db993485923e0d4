# Shared by the end-to-end scripts (sourced): a work folder, a private runtime folder and X
# server, cleanup of everything started, and polling with a deadline.
# Scripts add the PIDs they start to PIDS; a script may define on_fail to add to a failure.

WORK=$(mktemp -d)
PIDS=()
# The program's settings stay in the work folder: every run starts as a first start.
export CHARTREK_CONFIG_DIR=$WORK/config

cleanup() {
    # The programs first, then their X server.
    for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do
        kill -9 "${PIDS[i]}" 2>/dev/null || true
    done
    rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    if declare -F on_fail >/dev/null; then on_fail; fi
    exit 1
}

# wait_until <seconds> <command...>: polls the command until it succeeds.
wait_until() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.05
    done
}

# start_xserver <width>x<height>: a private X server on the first free display.
start_xserver() {
    export QT_QPA_PLATFORM=xcb
    export XDG_RUNTIME_DIR=$WORK/runtime
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    export XDG_STATE_HOME=$WORK/state
    Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp 3>"$WORK/display" 2>"$WORK/xvfb.log" &
    PIDS+=($!)
    disown $!
    wait_until 10 test -s "$WORK/display" || fail "Xvfb did not start"
    export DISPLAY=:$(head -n1 "$WORK/display")
}
