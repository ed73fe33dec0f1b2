# shellcheck shell=bash
# Helpers for tests that drive the real binary on a private X server with a window manager.
# Sourced by the end-to-end tests and the measurement script. Nothing here sleeps for a fixed
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

# holds_for SECONDS COMMAND...: whether COMMAND keeps succeeding for SECONDS.
holds_for() {
    local deadline=$((SECONDS + $1))
    shift
    while ((SECONDS < deadline)); do
        "$@" >/dev/null 2>&1 || return 1
        sleep 0.1
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
    wait_until 20 wm_announced
    export XDG_CONFIG_HOME=$SESSION_DIR/config
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

# start_app ARGS...: starts $BIN with ARGS, its output added to $SESSION_DIR/orvelle.log, and sets
# APP_PID; end_app ends it with SIGTERM and waits for it.
start_app() {
    "$BIN" "$@" >>"$SESSION_DIR/orvelle.log" 2>&1 &
    APP_PID=$!
}
end_app() {
    kill "$APP_PID"
    wait "$APP_PID" || true
}
settings_windows() { xdotool search --onlyvisible --name '^Orvelle设置$' 2>/dev/null; }

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

# panel_xy: prints "X,Y", the top left corner of the capsule $PANEL on the screen.
panel_xy() {
    xwininfo -id "$PANEL" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x "," y}'
}

# Whether one of Orvelle's popup menus is on screen: they are its only override-redirect windows
# on the root window. Its tray icon is one too, but a tray (i3bar's) holds it as its child.
menu_shown() {
    local id info
    for id in $(xdotool search --onlyvisible --class orvelle 2>/dev/null); do
        info=$(xwininfo -children -id "$id" 2>/dev/null && xwininfo -id "$id" 2>/dev/null)
        grep -q 'Override Redirect State: yes' <<<"$info" &&
            grep -q 'Parent window id: .*(the root window)' <<<"$info" && return 0
    done
    return 1
}
no_menu_shown() { ! menu_shown; }

# open_menu: right-clicks the middle of the capsule until its menu shows: a window manager that
# has just moved it may take the first click, and a sanitizer build on a busy machine takes
# seconds over its first popup.
open_menu() {
    local xy deadline=$((SECONDS + 30))
    wait_until 30 no_menu_shown
    xy=$(panel_xy)
    xdotool mousemove $((${xy%,*} + 75)) $((${xy#*,} + 45))
    until menu_shown || ((SECONDS >= deadline)); do
        xdotool click 3
        wait_until 5 menu_shown || true
    done
    menu_shown || { echo "no menu: pointer $(xdotool getmouselocation), capsule at $xy"; return 1; }
}
