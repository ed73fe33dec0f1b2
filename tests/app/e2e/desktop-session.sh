# Helpers for the per-desktop end-to-end tests: start a desktop headless, run Orvelle in it with a
# private configuration and runtime folder, and read the capsule's state back from the window
# manager. Sourced by x11-desktops-e2e.sh and wayland-desktops-e2e.sh, after x11-session.sh.

# Wayland compositors refuse to run as root; under root every desktop process runs as nobody.
if [[ $(id -u) -eq 0 ]]; then
    AS_USER=(setpriv --reuid=65534 --regid=65534 --clear-groups --)
else
    AS_USER=()
fi

# as_user COMMAND...: runs COMMAND as the desktop's user, with the session's environment.
as_user() { "${AS_USER[@]}" "$@"; }

# new_session_dir: makes $SESSION_DIR with a private config and runtime folder the desktop's user
# owns, and exports them.
new_session_dir() {
    SESSION_DIR=$(mktemp -d /tmp/orvelle-desktop.XXXXXX)
    export XDG_CONFIG_HOME=$SESSION_DIR/config XDG_RUNTIME_DIR=$SESSION_DIR/runtime
    mkdir -p "$XDG_CONFIG_HOME/orvelle" "$XDG_RUNTIME_DIR"
    # Set up already, as at a login: a first launch would open the settings window too.
    echo '{}' >"$XDG_CONFIG_HOME/orvelle/preferences.json"
    chmod 700 "$XDG_RUNTIME_DIR"
    if ((${#AS_USER[@]} > 0)); then chown -R 65534:65534 "$SESSION_DIR"; fi
    unset WAYLAND_DISPLAY QT_QPA_PLATFORM XDG_SESSION_TYPE SWAYSOCK I3SOCK DBUS_SESSION_BUS_ADDRESS
}

# descendants PID: prints PID and every process below it.
descendants() {
    echo "$1"
    local child
    for child in $(pgrep -P "$1"); do descendants "$child"; done
}

# xwayland_of: prints "DISPLAY AUTHFILE" of the XWayland of this session's compositor, read
# from its command line. It takes the first free display number, so it cannot be known
# beforehand, and it may be forked off, so it is found by the runtime folder it was given.
xwayland_of() {
    local pid args
    for pid in $(pgrep -x Xwayland); do
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR" ||
            continue
        args=$(tr '\0' ' ' <"/proc/$pid/cmdline")
        local display auth
        display=$(grep -o ' :[0-9]*' <<<" $args" | head -1 | tr -d ' ')
        auth=$(grep -oP '(?<=-auth )\S+' <<<"$args" || true)
        [[ -n $display ]] && echo "$display ${auth:-none}" && return 0
    done
    return 1
}

# use_xwayland: waits for the session's XWayland and points DISPLAY and XAUTHORITY at it.
use_xwayland() {
    local found
    wait_until 30 xwayland_of || return 1
    found=$(xwayland_of)
    export DISPLAY=${found% *}
    if [[ ${found#* } != none ]]; then export XAUTHORITY=${found#* }; else unset XAUTHORITY; fi
    wait_until 30 as_user xdpyinfo
}

# launch_orvelle [VAR=VALUE...]: starts Orvelle as the desktop's user; sets APP_PID and the
# time it took the capsule to show in APPEARED_MS, or fails after 30 s.
launch_orvelle() {
    local started=$EPOCHREALTIME
    as_user env "$@" "$BIN" >>"$SESSION_DIR/orvelle.log" 2>&1 &
    APP_PID=$!
    wait_until 30 panel_window_as_user || return 1
    APPEARED_MS=$(((${EPOCHREALTIME/./} - ${started/./}) / 1000))
    PANEL=$(panel_window_as_user)
}
panel_window_as_user() { as_user bash -c "source '$E2E_DIR/x11-session.sh'; panel_window"; }

# The capsule's geometry and properties, as the X server and the window manager see them.
panel_xy() {
    as_user xwininfo -id "$PANEL" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x "," y}'
}
# refusals: prints how often Orvelle said that the window manager refuses it something.
refusals() { grep -c '^orvelle: 当前窗口管理器无法让悬浮胶囊' "$SESSION_DIR/orvelle.log"; }
panel_property() { as_user xprop -id "$PANEL" "$@" 2>/dev/null; }
root_property() { as_user xprop -root "$@" 2>/dev/null; }
panel_viewable() { as_user xwininfo -id "$PANEL" | grep -q IsViewable; }
panel_hex() { printf '0x%x' "$PANEL"; }
panel_is_active() { root_property _NET_ACTIVE_WINDOW | grep -qi "$(panel_hex)\$"; }
demands_attention() { panel_property _NET_WM_STATE | grep -q DEMANDS_ATTENTION; }
not_focused_nor_flagged() { ! panel_is_active && ! demands_attention; }

# expected_place: prints where the capsule belongs on a 1440 × 900 screen: 96 from the right of
# the work area (or of the screen where the window manager publishes none), 72 below its top.
expected_place() {
    # The main monitor (else the first), and of it the part the work area covers.
    local mx my mw mh
    read -r mw mh mx my < <(as_user xrandr --listmonitors |
        awk 'NR > 1 {print ($2 ~ /\*/ ? 0 : 1), $3}' | sort -s -k1,1 | head -1 |
        sed -E 's|^[01] ([0-9]+)/-?[0-9]+x([0-9]+)/-?[0-9]+\+([0-9]+)\+([0-9]+)|\1 \2 \3 \4|')
    local wx=$mx wy=$my ww=$mw area
    area=$(root_property _NET_WORKAREA | sed -n 's/.*= //p' | tr -d ,)
    if [[ -n $area ]]; then read -r wx wy ww _ <<<"$area"; fi
    local right=$((wx + ww < mx + mw ? wx + ww : mx + mw))
    ((wy < my)) && wy=$my
    local gap=$((mx + mw - right + 96))
    ((gap < 12)) && gap=12
    echo "$((right - 150 - gap)),$((wy + 72))"
}

# toplevel_of WINDOW: prints the child of the root window that holds WINDOW (its frame).
toplevel_of() {
    local id=$1 info
    while info=$(as_user xwininfo -children -id "$id") &&
        ! grep -q 'Parent window id: .*(the root window)' <<<"$info"; do
        id=$(awk '/Parent window id/ {print $4}' <<<"$info")
    done
    echo "$id"
}

# stacked_above A B: whether window A is stacked above window B, from the root's stacking order
# (xwininfo lists the root's children topmost first).
stacked_above() {
    local a b order
    a=$(toplevel_of "$1")
    b=$(toplevel_of "$2")
    order=$(as_user xwininfo -root -children | awk '/^ +0x/ {print $1}')
    local ia ib
    ia=$(grep -nx "$(printf '0x%x' "$a")" <<<"$order" | cut -d: -f1)
    ib=$(grep -nx "$(printf '0x%x' "$b")" <<<"$order" | cut -d: -f1)
    [[ -n $ia && -n $ib ]] && ((ia < ib))
}

# open_other_window: opens an ordinary window over the capsule, raised and focused after it;
# sets OTHER to its id.
open_other_window() {
    as_user xmessage -geometry 600x400+1000+20 -name orvelle-e2e-other 'another window' &
    OTHER_PID=$!
    wait_until 20 as_user xdotool search --onlyvisible --classname orvelle-e2e-other
    OTHER=$(as_user xdotool search --onlyvisible --classname orvelle-e2e-other | head -1)
    as_user xdotool windowraise "$OTHER" windowactivate "$OTHER" 2>/dev/null || true
}
close_other_window() { kill "$OTHER_PID" 2>/dev/null || true; }

# stop_desktop_session: ends what the session started, by its ids, and removes its folder.
stop_desktop_session() {
    kill ${APP_PID:-} ${OTHER_PID:-} ${XVFB_PID:-} 2>/dev/null || true
    local pid
    for pid in ${DESKTOP_PIDS:-}; do
        kill $(descendants "$pid" | tac) 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$SESSION_DIR"
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

# Whether one of Orvelle's popup menus is on screen: they are its only override-redirect windows
# on the root window. Its tray icon is one too, but a tray (i3bar's) holds it as its child.
menu_shown() {
    local id info
    for id in $(as_user xdotool search --onlyvisible --class orvelle 2>/dev/null); do
        info=$(as_user xwininfo -children -id "$id" 2>/dev/null && as_user xwininfo -id "$id" 2>/dev/null)
        grep -q 'Override Redirect State: yes' <<<"$info" &&
            grep -q 'Parent window id: .*(the root window)' <<<"$info" && return 0
    done
    return 1
}

no_menu_shown() { ! menu_shown; }

# right_click_opens_menu: right-clicks the capsule's middle until its menu shows (a window
# manager that has just moved it may take the first click), then closes the menu.
right_click_opens_menu() {
    local xy
    xy=$(panel_xy)
    as_user xdotool mousemove $((${xy%,*} + 75)) $((${xy#*,} + 45))
    local deadline=$((SECONDS + 20))
    until menu_shown || ((SECONDS >= deadline)); do
        as_user xdotool click 3
        wait_until 3 menu_shown || true
    done
    menu_shown || return 1
    as_user xdotool key Escape
    wait_until 10 no_menu_shown
}

# drag_moves_exactly DX DY: drags the capsule by its middle as a hand does, in steps, and tells
# whether it ended exactly DX DY from where it was.
drag_moves_exactly() {
    local dx=$1 dy=$2 xy x0 y0 step
    xy=$(panel_xy)
    x0=$((${xy%,*} + 75))
    y0=$((${xy#*,} + 45))
    local wanted="$((${xy%,*} + dx)),$((${xy#*,} + dy))"
    as_user xdotool mousemove "$x0" "$y0" mousedown 1
    for ((step = 1; step <= 40; step++)); do
        as_user xdotool mousemove $((x0 + dx * step / 40)) $((y0 + dy * step / 40))
    done
    local deadline=$((SECONDS + 10))
    until [[ $(panel_xy) == "$wanted" ]] || ((SECONDS >= deadline)); do
        as_user xdotool mousemove $((x0 + dx + 1)) $((y0 + dy)) mousemove $((x0 + dx)) $((y0 + dy))
        sleep 0.05
    done
    as_user xdotool mouseup 1
    echo "capsule at $(panel_xy) after the drag, wanted $wanted"
    [[ $(panel_xy) == "$wanted" ]]
}
