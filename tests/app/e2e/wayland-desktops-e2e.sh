#!/usr/bin/env bash
# End-to-end test of the capsule on a headless Wayland compositor, shown through its XWayland:
# it shows at its place within the time allowed, stays above a window raised and focused after
# it, shows on every workspace and never takes the focus nor asks for attention. There is no
# pointer to drag with here; the X11 window managers' test drags. Without XWayland, Orvelle runs
# as a plain Wayland window and says what it cannot do.
# Usage: wayland-desktops-e2e.sh PATH_TO_ORVELLE
#        sway|kwin|mutter|mutter-two-monitors|weston|weston-without-xwayland
set -euo pipefail
BIN=$(realpath "$1")
DESKTOP=$2
E2E_DIR=$(cd "$(dirname "$0")" && pwd)
source "$E2E_DIR/x11-session.sh"
source "$E2E_DIR/desktop-session.sh"
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"
APPEAR_LIMIT_MS=2000
if ldd "$BIN" | grep -q libasan; then APPEAR_LIMIT_MS=15000; fi

new_session_dir
trap stop_desktop_session EXIT
cd "$SESSION_DIR"
# Each compositor runs as the desktop's user on a private session bus, gone with it.
start_compositor() {
    as_user env XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" HOME="$SESSION_DIR" dbus-run-session -- "$@" \
        >"$SESSION_DIR/compositor.log" 2>&1 &
    DESKTOP_PIDS=$!
}
case $DESKTOP in
    sway)
        printf 'xwayland force\noutput HEADLESS-1 mode 1440x900\n' >sway.conf
        WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
            start_compositor sway -c "$SESSION_DIR/sway.conf"
        ;;
    kwin)
        # The installed binary carries a file capability that a container refuses to exec.
        cp "$(command -v kwin_wayland)" "$SESSION_DIR/kwin_wayland"
        start_compositor "$SESSION_DIR/kwin_wayland" --virtual --xwayland --width 1440 --height 900
        ;;
    mutter) start_compositor mutter --headless --wayland --virtual-monitor 1440x900 ;;
    # Two outputs side by side, as XWayland's RandR shows them to Qt.
    mutter-two-monitors)
        start_compositor mutter --headless --wayland --virtual-monitor 1440x900 \
            --virtual-monitor 1280x800
        ;;
    weston*)
        xwayland=--xwayland
        [[ $DESKTOP == weston-without-xwayland ]] && xwayland=
        start_compositor weston --backend=headless-backend.so --width=1440 --height=900 $xwayland
        ;;
    *) echo "unknown desktop $DESKTOP" >&2 && exit 2 ;;
esac

wayland_socket() { ls "$XDG_RUNTIME_DIR" | grep -m1 '^wayland-[0-9]*$'; }
wait_until 30 wayland_socket
export WAYLAND_DISPLAY=$(wayland_socket)

if [[ $DESKTOP == weston-without-xwayland ]]; then
    unset DISPLAY
    said=$(timeout 20 "${AS_USER[@]}" env QT_QPA_PLATFORM=wayland-bogus "$BIN" 2>&1) && status=0 || status=$?
    check "no usable platform: one line saying so, status 1" \
        test "$status" -eq 1 -a "$(wc -l <<<"$said")" -eq 1
    grep -q '^orvelle: ' <<<"$said" && echo "said: $said"
    as_user env "$BIN" >"$SESSION_DIR/orvelle.log" 2>&1 &
    APP_PID=$!
    check "runs as a plain Wayland window and says what it cannot do" \
        wait_until 30 grep -q '^orvelle: .*Wayland' "$SESSION_DIR/orvelle.log"
    check "still running" kill -0 "$APP_PID"
    finish_checks "$SESSION_DIR/orvelle.log"
    exit
fi

if [[ $DESKTOP == weston ]]; then
    # weston starts its XWayland only when the first X client connects, and says where it listens.
    listening() { grep -o 'xserver listening on display :[0-9]*' "$SESSION_DIR/compositor.log"; }
    wait_until 30 listening
    export DISPLAY=:$(listening | head -1 | cut -d: -f2)
    unset XAUTHORITY
    wait_until 30 as_user xdpyinfo
else
    use_xwayland
fi
if [[ $DESKTOP == sway ]]; then
    wait_until 10 sh -c "ls $XDG_RUNTIME_DIR/sway-ipc.*.sock"
    export SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock | head -1)
fi
sway_node() { as_user swaymsg -s "$SWAYSOCK" -t get_tree | jq -c --argjson w "$PANEL" '.. | objects | select(.window? == $w)'; }
sway_floating_and_sticky() { sway_node | jq -e '.sticky and .type == "floating_con"'; }
sway_visible() { sway_node | jq -e '.visible'; }
unfocused() {
    if [[ $DESKTOP == sway ]]; then [[ $(sway_node | jq .focused) == false ]]; else not_focused_nor_flagged; fi
}
# sway stacks by its own tree, not by the X server's order: floating windows lie above the tiled
# ones of their workspace, and among themselves the later in floating_nodes is the higher.
sway_stacked_above() {
    as_user swaymsg -s "$SWAYSOCK" -t get_tree | jq -e --argjson a "$1" --argjson b "$2" '
        first(.. | objects | select(.type? == "workspace" and
            ([.floating_nodes[].window] | index($a)) != null)) as $ws
        | ([$ws.floating_nodes[].window] | index($a)) as $ia
        | ([$ws.floating_nodes[].window] | index($b)) as $ib
        | if $ib == null then ([$ws.nodes[] | .. | objects | .window?] | index($b)) != null
          else $ia > $ib end'
}
above() { if [[ $DESKTOP == sway ]]; then sway_stacked_above "$@"; else stacked_above "$@"; fi; }

# sway and KWin give the focus to a window that maps when nothing else has it; with a window
# focused before, as on any desktop in use, the capsule must leave the focus there.
if [[ $DESKTOP != weston ]]; then open_other_window; fi
launch_orvelle
check "shows within ${APPEAR_LIMIT_MS} ms (took $APPEARED_MS ms)" test "$APPEARED_MS" -le "$APPEAR_LIMIT_MS"
expected=$(expected_place)
placed() { [[ $(panel_xy) == "$expected" ]]; }
said_once() { [[ $(refusals) == 1 ]] && grep -q "$1" "$SESSION_DIR/orvelle.log"; }
if [[ $DESKTOP == weston ]]; then
    # weston places every X window itself and keeps none above the others: Orvelle says so once.
    check "says once that weston neither places it nor keeps it above" \
        wait_until 5 said_once '停靠在指定位置、保持在其他窗口之上'
else
    check "placed at $expected" wait_until 5 placed
fi
echo "capsule at $(panel_xy)"
check "not focused on map, no attention asked for" wait_until 5 holds_for 1 unfocused

if [[ $DESKTOP == sway ]]; then
    check "floating and sticky" wait_until 5 sway_floating_and_sticky
elif [[ $DESKTOP != weston ]]; then
    states=$(panel_property _NET_WM_STATE _NET_WM_DESKTOP)
    for state in ABOVE SKIP_TASKBAR SKIP_PAGER; do
        check "_NET_WM_STATE_$state" grep -q "_NET_WM_STATE_$state" <<<"$states"
    done
    check "on every desktop" grep -Eq '_NET_WM_STATE_STICKY|= 4294967295' <<<"$states"
fi

if [[ $DESKTOP == sway ]]; then
    as_user swaymsg -s "$SWAYSOCK" -q "[id=$OTHER] focus"
    check "above a window focused after it" wait_until 5 above "$PANEL" "$OTHER"
    close_other_window
elif [[ $DESKTOP != weston ]]; then
    as_user xdotool windowraise "$OTHER" windowactivate "$OTHER" 2>/dev/null || true
    check "above a window raised and focused after it" wait_until 5 above "$PANEL" "$OTHER"
    close_other_window
fi
if [[ $DESKTOP == sway ]]; then
    as_user swaymsg -s "$SWAYSOCK" -q workspace 2
    check "shown on another workspace" wait_until 5 sway_visible
fi
[[ $DESKTOP == weston ]] || check "says nothing is refused" test "$(refusals)" -eq 0
check "still running" kill -0 "$APP_PID"
finish_checks "$SESSION_DIR/orvelle.log"
