#!/usr/bin/env bash
# End-to-end test of the capsule's shape under Xvfb: cut to the capsule while no compositing manager
# runs, whole (translucent) while one holds _NET_WM_CM_S0, and cut again once it is gone, each
# change taken from the X server's report without polling.
# Usage: compositor-e2e.sh PATH_TO_ORVELLE PATH_TO_TAKE_COMPOSITOR_SELECTION
set -euo pipefail
BIN=$(realpath "$1")
TAKE=$(realpath "$2")
source "$(dirname "$0")/x11-session.sh"
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"
LOG=$(mktemp /tmp/orvelle-compositor.XXXXXX)

start_x11_session 1440x900
trap 'kill ${APP_PID:-} ${CM_PID:-} 2>/dev/null || true; stop_x11_session; rm -f "$LOG" "$LOG.cm"' EXIT
xsetroot -solid '#336699'
"$BIN" >"$LOG" 2>&1 &
APP_PID=$!
panel() { xwininfo -root -tree | awk '/"Orvelle".*150x90/ && !n++ {print $1}'; }
wait_until 30 sh -c "[ -n \"\$(xwininfo -root -tree | grep '\"Orvelle\".*150x90')\" ]"
PANEL=$(panel)
# pixel DX DY: the colour on screen at DX, DY from the panel's top left corner.
pixel() {
    local x y
    x=$(xwininfo -id "$PANEL" | awk '/Absolute upper-left X/ {print $4}')
    y=$(xwininfo -id "$PANEL" | awk '/Absolute upper-left Y/ {print $4}')
    import -window root -crop "1x1+$((x + $1))+$((y + $2))" -depth 8 txt:- 2>/dev/null | tail -1
}
shows_desktop() { grep -q '#336699' <<<"$(pixel 2 2)"; }
covers_desktop() { ! shows_desktop; }
# The top of the inner capsule is near-white once the capsule is painted.
drawn() { grep -qE '\((2[4-5][0-9]),(2[4-5][0-9]),(2[3-5][0-9])' <<<"$(pixel 75 12)"; }

wait_until 30 drawn
check "without a compositor the corners show the desktop" shows_desktop
"$TAKE" >"$LOG.cm" 2>&1 &
CM_PID=$!
wait_until 10 grep -q owned "$LOG.cm"
check "with a compositor the whole window is kept" wait_until 10 covers_desktop
kill "$CM_PID"
wait "$CM_PID" 2>/dev/null || true
check "once the compositor is gone the corners show the desktop again" wait_until 10 shows_desktop
finish_checks "$LOG"
