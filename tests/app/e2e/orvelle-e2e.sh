#!/usr/bin/env bash
# End-to-end test of the real binary under Xvfb and openbox: the capsule's menu, the settings
# window, one instance per user, start-up failures that say why, and quitting. How the capsule
# sits on each desktop is desktops-e2e.sh's part.
# Usage: orvelle-e2e.sh PATH_TO_ORVELLE
set -euo pipefail
BIN=$(realpath "$1")
source "$(dirname "$0")/x11-session.sh"
begin_e2e
# Not a first launch, which would open the settings window by itself (the verbs test covers that).
echo '{}' >"$PREFS"

# choose_from_menu Down|Up: opens the capsule's menu and chooses its first (Down) or last (Up) item.
choose_from_menu() { open_menu && xdotool key "$1" Return; }

launch
choose_from_menu Down
check "打开设置 opens the settings window" wait_until 30 settings_windows
SETTINGS=$(settings_windows | head -1)
check "settings window is 460 × 420" grep -Pzq 'Width: 460\n *Height: 420\n' <<<"$(xwininfo -id "$SETTINGS")"
# That the window is opened once and then reused is AppDelegateTest's part, and what starting
# work stores SessionTest's. A fresh capsule, without its window, for the request below to open.
end_app KILL
launch

# second_launch [VAR=VALUE...] [ARGS...]: runs another orvelle with the VARs set and ARGS to its
# end; leaves its exit status in $status and what it printed in $said.
second_launch() {
    local variables=()
    while [[ ${1:-} == *=* ]]; do variables+=("$1") && shift; done
    status=0
    said=$(timeout 60 env "${variables[@]}" "$BIN" "$@" 2>&1) || status=$?
    echo "$said" >>"$SESSION_DIR/orvelle.log"
}
failed_saying() { [[ $status -eq 1 ]] && grep -q "$1" <<<"$said"; }
no_display_line() { [[ $status -eq 1 && $(wc -l <<<"$said") -eq 1 && $said == "orvelle: 找不到可用的显示"* ]]; }

# One instance per user: neither another spelling of the display nor a removed lock file lets a
# second capsule start. Another runtime folder is SingleInstanceTest's part, the choice of the
# folder RuntimeFolderTest's.
second_launch DISPLAY="$DISPLAY.0"
# A capsule just relaunched in a sanitizer build, under parallel tests, may not answer within the
# patience; the request is then withdrawn, not carried out late, and a user would ask again.
[[ $status -eq 0 || $said != *请求已撤回* ]] || second_launch DISPLAY="$DISPLAY.0"
expect "a second instance on $DISPLAY.0 exits with status 0" 0 "$status"
check "the first instance keeps running" kill -0 "$APP_PID"
check "and shows its settings window" wait_until 30 settings_windows
rm "$PREFS.lock"
second_launch
expect "with the lock file removed a second instance exits with status 0" 0 "$status"
expect "and no second capsule shows" 1 "$(panel_windows | wc -l)"
kill -STOP "$APP_PID"
second_launch
kill -CONT "$APP_PID"
check "a stopped first instance makes the second exit 1 naming it" failed_saying "进程 $APP_PID"

# Each way to quit: the running instance must end with status 0.
choose_from_menu Up
check "退出 ends the process with status 0" wait "$APP_PID"
for signal in TERM INT; do
    launch
    kill -"$signal" "$APP_PID"
    check "SIG$signal ends the process with status 0" wait "$APP_PID"
done

# Start-up failures are one line with the reason and status 1, never a crash or "already running".
mkdir -p "$SESSION_DIR/blocked/orvelle/preferences.json.lock"
second_launch XDG_CONFIG_HOME="$SESSION_DIR/blocked"
check "a lock that cannot be made is an error with its reason" failed_saying 'Is a directory'
for no_display in "DISPLAY= WAYLAND_DISPLAY=" "DISPLAY=:4242" "DISPLAY=$DISPLAY.1" \
    "QT_QPA_PLATFORM=nowhere" "-display :4243" "WAYLAND_DISPLAY= -platform wayland"; do
    # shellcheck disable=SC2086  # one word per variable
    second_launch $no_display
    check "$no_display: one line that no display was found, status 1" no_display_line
done

finish_checks "$SESSION_DIR/orvelle.log"
