# shellcheck shell=bash
# Helpers for tests that drive the real binary on a private X server with a window manager: the
# session itself (tools/x11-session.sh), a tally of checks, and the capsule's windows and menus.
source "$(dirname "${BASH_SOURCE[0]}")/../../../tools/x11-session.sh"
# libfaketime, for the scripts that fake the clock: preloaded rather than run through its wrapper,
# whose shared memory a killed run leaves behind for a later one to trip over.
# shellcheck disable=SC2034  # used by the scripts that source this file
FAKETIME_LIB=$(find /usr/lib -name libfaketime.so.1 -print -quit)

# holds_for SECONDS COMMAND...: whether COMMAND keeps succeeding for SECONDS.
holds_for() {
    local deadline=$((SECONDS + $1))
    shift
    while ((SECONDS < deadline)); do
        "$@" >/dev/null 2>&1 || return 1
        sleep 0.1
    done
}

# await_output SECONDS COMMAND...: waits like wait_until, then prints what COMMAND prints.
await_output() { wait_until "$@" && "${@:2}"; }

# end_pids PID...: ends the processes with SIGTERM, if they still run, and waits for them.
end_pids() {
    kill "$@" 2>/dev/null || true
    wait "$@" 2>/dev/null || true
}

# check WHAT COMMAND...: runs COMMAND and counts it as a passed or failed check named WHAT; pass
# and fail count one whose outcome the script decided itself, expect one that compares two texts.
checks=0
failures=0
pass() {
    checks=$((checks + 1))
    echo "ok: $*"
}
fail() {
    checks=$((checks + 1))
    failures=$((failures + 1))
    echo "FAILED: $*"
}
check() {
    local what=$1
    shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}
# expect WHAT EXPECTED ACTUAL: a check that ACTUAL is EXPECTED, showing both when it is not.
expect() {
    if [[ $3 == "$2" ]]; then pass "$1"; else fail "$1"; printf '  expected: %s\n  actual:   %s\n' "$2" "$3"; fi
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

# begin_e2e: how every script that drives $BIN on an X session of its own begins: leak checks left
# to the unit tests (Qt and fontconfig keep caches until exit; libfaketime may be preloaded before
# the sanitizer's runtime), Xvfb and openbox at 1440 × 900, the capsule killed and the session
# removed at exit, and PREFS naming the settings file, in a folder of its own.
begin_e2e() {
    export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0:verify_asan_link_order=0"
    start_x11_session 1440x900
    trap 'kill -9 ${APP_PID:-} 2>/dev/null || true; stop_x11_session' EXIT
    PREFS=$XDG_CONFIG_HOME/orvelle/preferences.json
    mkdir -p "$(dirname "$PREFS")"
}

# start_app ARGS...: starts $BIN with ARGS (as the desktop's user where AS_USER says how), its
# output added to $SESSION_DIR/orvelle.log, and sets APP_PID; launch also waits up to 60 s for the
# capsule and sets PANEL to it; end_app [SIGNAL] ends it with SIGNAL (TERM) and waits for it.
AS_USER=()
start_app() {
    "${AS_USER[@]}" "$BIN" "$@" >>"$SESSION_DIR/orvelle.log" 2>&1 &
    APP_PID=$!
}
launch() {
    start_app "$@"
    PANEL=$(await_output 60 panel_window) || { cat "$SESSION_DIR/orvelle.log"; return 1; }
}
end_app() {
    kill -"${1:-TERM}" "$APP_PID"
    wait "$APP_PID" 2>/dev/null || true
}
settings_windows() { xdotool search --onlyvisible --name '^Orvelle设置$' 2>/dev/null; }

# panel_xy: prints "X,Y", the top left corner of the capsule $PANEL on the screen; panel_centre
# sets CX and CY to its middle, where a hand clicks and drags it.
panel_xy() {
    xwininfo -id "$PANEL" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x "," y}'
}
panel_centre() {
    local xy
    xy=$(panel_xy)
    CX=$((${xy%,*} + 75)) CY=$((${xy#*,} + 45))
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
    local deadline=$((SECONDS + 30))
    wait_until 30 no_menu_shown
    panel_centre
    xdotool mousemove "$CX" "$CY"
    until menu_shown || ((SECONDS >= deadline)); do
        xdotool click 3
        wait_until 5 menu_shown || true
    done
    menu_shown || { echo "no menu: pointer $(xdotool getmouselocation), capsule at $(panel_xy)"; return 1; }
}
