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

# start_x11_session WIDTHxHEIGHT: starts Xvfb on a free display and openbox on it; exports
# DISPLAY and a private XDG_CONFIG_HOME and XDG_RUNTIME_DIR under $SESSION_DIR.
start_x11_session() {
    local size=$1
    SESSION_DIR=$(mktemp -d /tmp/orvelle-x11.XXXXXX)
    local display=90
    while [[ -e /tmp/.X11-unix/X$display || -e /tmp/.X$display-lock ]]; do
        display=$((display + 1))
    done
    export DISPLAY=:$display
    Xvfb "$DISPLAY" -screen 0 "${size}x24" -nolisten tcp -noreset >"$SESSION_DIR/xvfb.log" 2>&1 &
    XVFB_PID=$!
    wait_until 20 xdpyinfo
    openbox --sm-disable >"$SESSION_DIR/openbox.log" 2>&1 &
    WM_PID=$!
    wait_until 20 sh -c "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'"
    export XDG_CONFIG_HOME=$SESSION_DIR/config
    export XDG_RUNTIME_DIR=$SESSION_DIR/runtime
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    unset WAYLAND_DISPLAY QT_QPA_PLATFORM XDG_SESSION_TYPE
}

stop_x11_session() {
    kill "$WM_PID" "$XVFB_PID" 2>/dev/null || true
    wait "$WM_PID" "$XVFB_PID" 2>/dev/null || true
    rm -rf "$SESSION_DIR"
}

# panel_window: prints the id of the visible 150 × 90 window named "Orvelle".
panel_window() {
    local id
    for id in $(xdotool search --onlyvisible --name '^Orvelle$' 2>/dev/null); do
        if xwininfo -id "$id" | grep -q 'Width: 150' && xwininfo -id "$id" | grep -q 'Height: 90'; then
            echo "$id"
            return 0
        fi
    done
    return 1
}
