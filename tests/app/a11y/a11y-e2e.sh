#!/usr/bin/env bash
# The real binary as a screen reader meets it: under Xvfb, on a private session bus with its own
# accessibility bus, read through AT-SPI (atspi.py): the settings window and the capsule are on
# the bus, the capsule says its amount and state, and it tells of the ticking amount seldom. The
# names, roles and keyboard paths of the controls, and the capsule's names and menu action, are
# SettingsPagesTest's and FloatingAmountViewTest's part, checked through Qt itself.
# Usage: a11y-e2e.sh PATH_TO_ORVELLE
set -euo pipefail
BIN=$(realpath "$1")
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/../e2e/x11-session.sh"
begin_e2e
echo '{"salary.amount": 500, "salary.mode": "daily"}' >"$PREFS"

# Everything below runs on its own session bus, which starts the accessibility bus when Qt asks
# for it and ends with it.
export BIN HERE PREFS SESSION_DIR QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
dbus-run-session -- bash -c '
    set -euo pipefail
    source "$HERE/../e2e/x11-session.sh"
    start_app --show-settings
    trap "kill -9 $APP_PID 2>/dev/null || true" EXIT
    # The system Python, which has pyatspi, whatever python3 comes first on PATH.
    atspi() { /usr/bin/python3 "$HERE/atspi.py" "$@"; }

    check "the settings window is on the accessibility bus" wait_until 30 atspi ready
    check "the capsule says its amount and that work has not started" \
        wait_until 10 atspi capsule "^今日收入 ¥[0-9]+\.[0-9]{2}，未在上班$"

    "$BIN" --start-work
    # A cent every 0.65 s at 500 a day: told at most once every 5 s, and never left untold.
    check "and tells of its ticking amount seldom" atspi told 7
    finish_checks "$SESSION_DIR/orvelle.log"
'
