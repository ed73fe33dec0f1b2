# shellcheck shell=bash
# Drives the real binary on a private X server: a fresh Xvfb with openbox, polling waits, and
# finding the capsule's window. Sourced by tools/measure-app, tools/screenshot-app and the
# end-to-end tests. Nothing here sleeps for a fixed time: every wait polls a condition until it
# holds or a time limit runs out.

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
# DISPLAY and a private XDG_CONFIG_HOME, XDG_DATA_HOME and XDG_RUNTIME_DIR under $SESSION_DIR.
start_x11_session() {
    SESSION_SIZE=$1
    SESSION_DIR=$(mktemp -d /tmp/orvelle-x11.XXXXXX)
    start_x_server
    openbox --sm-disable >"$SESSION_DIR/openbox.log" 2>&1 &
    WM_PID=$!
    wait_until 20 wm_announced
    export XDG_CONFIG_HOME=$SESSION_DIR/config XDG_DATA_HOME=$SESSION_DIR/data
    export XDG_RUNTIME_DIR=$SESSION_DIR/runtime
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    unset WAYLAND_DISPLAY QT_QPA_PLATFORM XDG_SESSION_TYPE
}

# start_x_server: starts a fresh Xvfb of $SESSION_SIZE and exports its DISPLAY. The server picks
# a free display number itself and reports it, so that tests running at the same time never take
# the same one.
start_x_server() {
    local number=$SESSION_DIR/display-number
    : >"$number"
    Xvfb -displayfd 3 -screen 0 "${SESSION_SIZE}x24" -nolisten tcp -noreset \
        3>"$number" >>"$SESSION_DIR/xvfb.log" 2>&1 &
    XVFB_PID=$!
    wait_until 20 grep -q '^[0-9]' "$number"
    DISPLAY=:$(cat "$number")
    export DISPLAY
    wait_until 20 xdpyinfo
}

wm_announced() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

stop_x11_session() {
    kill "$WM_PID" "$XVFB_PID" 2>/dev/null || true
    wait "$WM_PID" "$XVFB_PID" 2>/dev/null || true
    rm -rf "$SESSION_DIR"
}

# panel_windows: prints the ids of the visible 150 × 90 windows named "Orvelle".
panel_windows() {
    local id
    for id in $(xdotool search --onlyvisible --name '^Orvelle$' 2>/dev/null); do
        if xwininfo -id "$id" | grep -Pzq 'Width: 150\n *Height: 90\n'; then echo "$id"; fi
    done
}

# panel_window: prints the id of the first visible panel; fails when none is shown.
panel_window() {
    local ids
    ids=$(panel_windows)
    [[ -n $ids ]] && head -1 <<<"$ids"
}

