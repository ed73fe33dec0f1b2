#!/usr/bin/env bash
# The end-of-work notice through the desktop notifier to a real notification daemon (dunst, on a
# private Xvfb with openbox) on a private session bus: the notification it sends in privacy mode is
# the one the daemon shows, masked.
# Usage: notification-e2e.sh PATH_TO_orvelle_notice_service_test
set -euo pipefail
BIN=$(realpath "$1")
source "$(dirname "$0")/../e2e/x11-session.sh"

start_x11_session 1024x768
trap stop_x11_session EXIT

# Everything below runs on its own session bus, which ends with it.
export BIN SESSION_DIR
dbus-run-session -- bash -c '
    set -euo pipefail
    source "$0"
    dunst >"$SESSION_DIR/dunst.log" 2>&1 &
    DUNST_PID=$!
    trap "kill $DUNST_PID 2>/dev/null || true" EXIT
    wait_until 20 dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.GetNameOwner string:org.freedesktop.Notifications
    QT_QPA_PLATFORM=offscreen "$BIN"
    shown() { dunstctl history | jq -e ".data[0][] | select(.summary.data == \"$1\" and .body.data == \"$2\")"; }
    displayed() { dunstctl count displayed | grep -qx 1; }
    check "the daemon shows the notification" wait_until 10 displayed
    dunstctl close-all
    check "with its summary and the amount masked" \
        wait_until 10 shown "Orvelle · 下班啦" "今日工资已到手：¥•••.••"
    finish_checks "$SESSION_DIR/dunst.log"
' "$(dirname "$0")/../e2e/x11-session.sh"
