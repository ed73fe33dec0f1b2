#!/usr/bin/env bash
# End-to-end test of the capsule against its window manager under Xvfb. Started the moment openbox
# announces itself, as autostart does at login, the capsule must show every time; and it must stay
# shown, above others and on every desktop when the window manager is replaced.
# Usage: window-manager-e2e.sh PATH_TO_ORVELLE [STARTS]
set -euo pipefail
BIN=$(realpath "$1")
STARTS=${2:-10}
source "$(dirname "$0")/x11-session.sh"
# Leak checking is the unit tests' job. libfaketime goes before AddressSanitizer's runtime in a
# sanitizer build, which is safe here.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0:verify_asan_link_order=0"
LOG=$(mktemp /tmp/orvelle-wm.XXXXXX)

start_x11_session 1440x900
# As at a login with Orvelle set up already: a settings file, so no first-launch window.
mkdir -p "$XDG_CONFIG_HOME/orvelle" && echo '{}' >"$XDG_CONFIG_HOME/orvelle/preferences.json"
trap 'kill -9 ${APP_PID:-} 2>/dev/null || true; stop_x11_session; rm -f "$LOG"' EXIT
# Preloaded libfaketime slows every clock call a little, which makes the race come up more often.
FAKETIME_LIBRARY=$(find /usr/lib -name libfaketime.so.1 -print -quit)
wm_announced() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# race_a_fresh_window_manager together|announced: starts a fresh X server and openbox, and
# orvelle either together with openbox, as a session starts its autostart entries, or the moment
# openbox sets _NET_SUPPORTING_WM_CHECK (polled without pause); succeeds when the capsule shows.
# A fresh server matters: on one that ran openbox before, openbox starts too quickly for the race.
race_a_fresh_window_manager() {
    kill "$WM_PID" "$XVFB_PID" 2>/dev/null || true
    wait "$WM_PID" "$XVFB_PID" 2>/dev/null || true
    start_x_server
    openbox --sm-disable >/dev/null 2>&1 &
    WM_PID=$!
    local deadline=$((SECONDS + 20))
    if [[ $1 == announced ]]; then
        until wm_announced || ((SECONDS >= deadline)); do :; done
    fi
    LD_PRELOAD=$FAKETIME_LIBRARY FAKETIME='+0 x1' "$BIN" >>"$LOG" 2>&1 &
    APP_PID=$!
    local shown=0
    wait_until 15 panel_window || shown=$?
    kill "$APP_PID"
    wait "$APP_PID" || true
    return "$shown"
}

shown=0
for ((start = 1; start <= STARTS; start++)); do
    if race_a_fresh_window_manager "$( ((start % 2)) && echo together || echo announced)"; then
        shown=$((shown + 1))
    fi
done
check "the capsule showed in $shown of $STARTS starts racing openbox" test "$shown" -eq "$STARTS"

"$BIN" >>"$LOG" 2>&1 &
APP_PID=$!
wait_until 30 panel_window
PANEL=$(panel_window)
parent() { xwininfo -children -id "$PANEL" | grep 'Parent window id'; }
old_frame=$(parent)
before=$(xprop -root _NET_SUPPORTING_WM_CHECK)
openbox --replace --sm-disable >/dev/null 2>&1 &
WM_PID=$!
wm_replaced() { wm_announced && [[ $(xprop -root _NET_SUPPORTING_WM_CHECK) != "$before" ]]; }
wait_until 20 wm_replaced
# The new window manager has taken the capsule in once it sits in a frame of its own.
framed() { [[ $(parent) != "$old_frame" && $(parent) != *'(the root window)'* ]]; }
shown_above() {
    xwininfo -id "$PANEL" | grep -q IsViewable &&
        xprop -id "$PANEL" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE
}
check "after openbox --replace the capsule is taken in again" wait_until 20 framed
check "shown and above" wait_until 10 shown_above
check "on every desktop" grep -q '4294967295' <<<"$(xprop -id "$PANEL" _NET_WM_DESKTOP)"
xdotool set_desktop 2
check "still shown on another desktop" wait_until 10 shown_above
kill "$APP_PID"
wait "$APP_PID" || true

finish_checks "$LOG"
