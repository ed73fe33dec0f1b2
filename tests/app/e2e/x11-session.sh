# Helpers for tests that drive the real binary on a private X server with a window manager.
# Sourced by the end-to-end test and the measurement script. Nothing here sleeps for a fixed
# time: every wait polls a condition until it holds or a time limit runs out.

# wait_until SECONDS COMMAND...: runs COMMAND until it succeeds; fails after SECONDS.
wait_until() {
    local limit=$1
    shift
    local deadline=$((SECONDS + limit))
    until "$@" >/dev/null 2>&1; do
        if ((SECONDS >= deadline)); then
            echo "timed out after ${limit}s waiting for: $*" >&2
            return 1
        fi
        sleep 0.05
    done
}

# check WHAT COMMAND...: runs COMMAND and counts it as a passed or failed check named WHAT.
checks=0
failures=0
check() {
    local what=$1
    shift
    checks=$((checks + 1))
    if "$@"; then
        echo "ok: $what"
    else
        echo "FAILED: $what"
        failures=$((failures + 1))
    fi
}

# finish_checks LOG: prints the tally (and LOG when a check failed); fails when one did.
finish_checks() {
    if ((failures > 0)) && [[ -f $1 ]]; then
        echo "--- what orvelle printed:"
        cat "$1"
    fi
    echo "$((checks - failures)) passed, $failures failed"
    ((failures == 0))
}

# start_x11_session WIDTHxHEIGHT: starts Xvfb on a free display and openbox on it; exports
# DISPLAY and a private XDG_CONFIG_HOME and XDG_RUNTIME_DIR under $SESSION_DIR.
start_x11_session() {
    SESSION_SIZE=$1
    SESSION_DIR=$(mktemp -d /tmp/orvelle-x11.XXXXXX)
    start_x_server
    openbox --sm-disable >"$SESSION_DIR/openbox.log" 2>&1 &
    WM_PID=$!
    wait_until 20 sh -c "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'"
    export XDG_CONFIG_HOME=$SESSION_DIR/config
    export XDG_RUNTIME_DIR=$SESSION_DIR/runtime
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    unset WAYLAND_DISPLAY QT_QPA_PLATFORM XDG_SESSION_TYPE
}

# start_x_server: starts a fresh Xvfb and exports its DISPLAY. The server picks a free display
# number itself and reports it, so that tests running at the same time never take the same one.
start_x_server() {
    local number=$SESSION_DIR/display-number
    : >"$number"
    Xvfb -displayfd 3 -screen 0 "${SESSION_SIZE}x24" -nolisten tcp -noreset \
        3>"$number" >>"$SESSION_DIR/xvfb.log" 2>&1 &
    XVFB_PID=$!
    wait_until 20 grep -q '^[0-9]' "$number"
    export DISPLAY=:$(cat "$number")
    wait_until 20 xdpyinfo
}

stop_x11_session() {
    kill "$WM_PID" "$XVFB_PID" 2>/dev/null || true
    wait "$WM_PID" "$XVFB_PID" 2>/dev/null || true
    rm -rf "$SESSION_DIR"
}

# panel_windows: prints the ids of the visible 150 × 90 windows named "Orvelle".
panel_windows() {
    local id
    for id in $(xdotool search --onlyvisible --name '^Orvelle$' 2>/dev/null); do
        if xwininfo -id "$id" | grep -q 'Width: 150' && xwininfo -id "$id" | grep -q 'Height: 90'; then
            echo "$id"
        fi
    done
}

# panel_window: prints the id of the first visible panel; fails when none is shown.
panel_window() {
    local ids
    ids=$(panel_windows)
    [[ -n $ids ]] && head -1 <<<"$ids"
}
