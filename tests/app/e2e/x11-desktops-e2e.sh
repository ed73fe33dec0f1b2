#!/usr/bin/env bash
# End-to-end test of the capsule under an X11 window manager on Xvfb (1440 × 900): it shows at
# its place within the time allowed, stays above a window raised and focused after it, shows on
# every workspace, never takes the focus nor asks for attention (on map, on a click, on a drag),
# stays out of taskbars and pagers, opens its menu on a right-click and moves exactly with a drag.
# Usage: x11-desktops-e2e.sh PATH_TO_ORVELLE openbox|xfwm4-compositor-off|xfwm4-compositor-on|i3
set -euo pipefail
BIN=$(realpath "$1")
DESKTOP=$2
E2E_DIR=$(cd "$(dirname "$0")" && pwd)
# A private session bus, gone with the test, for the window managers that want one.
if [[ -z ${ORVELLE_E2E_BUS:-} ]]; then
    ORVELLE_E2E_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi
source "$E2E_DIR/x11-session.sh"
source "$E2E_DIR/desktop-session.sh"
AS_USER=()  # X11 window managers run as anyone
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"
# A sanitizer build starts several times slower than the release one.
APPEAR_LIMIT_MS=2000
if ldd "$BIN" | grep -q libasan; then APPEAR_LIMIT_MS=15000; fi

new_session_dir
trap stop_desktop_session EXIT
SESSION_SIZE=1440x900
start_x_server
case $DESKTOP in
    openbox) openbox --sm-disable >"$SESSION_DIR/wm.log" 2>&1 & ;;
    xfwm4-compositor-*) xfwm4 --compositor="${DESKTOP##*-}" >"$SESSION_DIR/wm.log" 2>&1 & ;;
    i3)
        printf 'font pango:monospace 8\nbindsym Mod1+q kill\n' >"$SESSION_DIR/i3.conf"
        i3 -c "$SESSION_DIR/i3.conf" >"$SESSION_DIR/wm.log" 2>&1 &
        ;;
    *) echo "unknown desktop $DESKTOP" >&2 && exit 2 ;;
esac
DESKTOP_PIDS=$!
wait_until 60 sh -c "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'" || { cat "$SESSION_DIR/wm.log"; exit 1; }
if [[ $DESKTOP == xfwm4-compositor-on ]]; then
    wait_until 20 sh -c 'xprop -root | grep -q .' # the manager owns _NET_WM_CM_S0 once it runs
fi

i3_node() { i3-msg -t get_tree | jq -c --argjson w "$PANEL" '.. | objects | select(.window? == $w)'; }
i3_floating_and_sticky() { i3_node | jq -e '.sticky and (.type == "floating_con" or .floating == "user_on" or .floating == "auto_on")'; }
i3_not_focused() { [[ $(i3_node | jq .focused) == false ]]; }
unfocused() {
    if [[ $DESKTOP == i3 ]]; then i3_not_focused; else not_focused_nor_flagged; fi
}

launch_orvelle
check "shows within ${APPEAR_LIMIT_MS} ms (took $APPEARED_MS ms)" test "$APPEARED_MS" -le "$APPEAR_LIMIT_MS"
expected=$(expected_place)
check "placed at $expected" wait_until 5 sh -c "[ \"\$(xwininfo -id $PANEL | awk '/Absolute upper-left X/ {x=\$4} /Absolute upper-left Y/ {y=\$4} END {print x \",\" y}')\" = $expected ]"
echo "capsule at $(panel_xy)"
check "not focused on map, no attention asked for" holds_for 1 unfocused

if [[ $DESKTOP == i3 ]]; then
    check "floating and sticky" wait_until 5 i3_floating_and_sticky
else
    states=$(panel_property _NET_WM_STATE _NET_WM_DESKTOP)
    for state in ABOVE SKIP_TASKBAR SKIP_PAGER; do
        check "_NET_WM_STATE_$state" grep -q "_NET_WM_STATE_$state" <<<"$states"
    done
    check "on every desktop" grep -Eq '_NET_WM_STATE_STICKY|= 4294967295' <<<"$states"
fi

open_other_window
check "above a window raised and focused after it" wait_until 5 stacked_above "$PANEL" "$OTHER"
close_other_window

if [[ $DESKTOP == i3 ]]; then
    i3-msg -q workspace 2
else
    xdotool set_desktop 1
fi
check "shown on another workspace" wait_until 5 panel_viewable
if [[ $DESKTOP == i3 ]]; then i3-msg -q workspace 1; else xdotool set_desktop 0; fi

xy=$(panel_xy)
xdotool mousemove $((${xy%,*} + 75)) $((${xy#*,} + 45)) click 1
check "a click leaves the focus where it was" wait_until 5 unfocused
check "a right-click opens the menu" right_click_opens_menu
check "a drag moves it exactly" drag_moves_exactly -200 150
check "a drag leaves the focus where it was" wait_until 5 unfocused
check "says nothing is refused" test "$(refusals)" -eq 0
check "still running" kill -0 "$APP_PID"
finish_checks "$SESSION_DIR/orvelle.log"
