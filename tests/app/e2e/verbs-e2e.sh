#!/usr/bin/env bash
# The command-line verbs end to end: with no capsule running they act on the preferences file
# alone (no window appears, nothing else in the file changes) or say that they need a capsule;
# with one running under Xvfb they reach it and take effect within a tick.
# Usage: verbs-e2e.sh PATH_TO_ORVELLE
set -euo pipefail
BIN=$(realpath "$1")
source "$(dirname "$0")/x11-session.sh"
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"
checks=0
failures=0
start_x11_session 1440x900
trap 'kill -9 ${APP_PID:-} 2>/dev/null || true; stop_x11_session' EXIT
PREFS=$XDG_CONFIG_HOME/orvelle/preferences.json
mkdir -p "$(dirname "$PREFS")"
LOG=$SESSION_DIR/orvelle.log

# verb EXPECTED_STATUS ARGS...: runs orvelle with ARGS and checks its exit status.
verb() {
    local want=$1 code=0
    shift
    timeout 20 "$BIN" "$@" >>"$LOG" 2>"$SESSION_DIR/stderr" || code=$?
    check "orvelle $* exits $want" test "$code" -eq "$want"
}
has() { jq -e "$1" "$PREFS" >/dev/null 2>&1; }
no_settings_window() { ! xdotool search --onlyvisible --name '^Orvelle设置$' >/dev/null 2>&1; }
no_window() { ! xdotool search --onlyvisible --class orvelle >/dev/null 2>&1; }

# The first launch, with no file yet, shows where the salary goes.
"$BIN" >>"$LOG" 2>&1 &
APP_PID=$!
check "a first launch opens the settings window" \
    wait_until 30 sh -c 'xdotool search --onlyvisible --name "^Orvelle设置\$"'
kill "$APP_PID"
wait "$APP_PID" || true

# No capsule: the work and privacy verbs change the file and nothing else.
echo '{"salary.amount": 800, "salary.mode": "daily", "x-kept": [1, 2]}' >"$PREFS"
verb 0 --start-work
check "--start-work stores a session" has '.["salary.sessionStart"] > 0 and .["salary.amount"] == 800'
verb 0 --start-work
verb 0 --privacy on
check "--privacy on is stored as a boolean" has '.["salary.privacy"] == true'
verb 0 --toggle-work
check "--toggle-work stops it and keeps the rest" \
    has '(has("salary.sessionStart") | not) and .["x-kept"] == [1, 2] and .["salary.privacy"]'
verb 1 --hide
check "--hide says it needs a running capsule" grep -q "没有在运行" "$SESSION_DIR/stderr"
check "no window appeared" no_window
verb 2 --privacy maybe

# A running capsule takes each verb at once.
"$BIN" >>"$LOG" 2>&1 &
APP_PID=$!
check "the capsule appears" wait_until 30 panel_window
check "with a file in place, no settings window" no_settings_window
verb 0 --toggle-work
check "--toggle-work starts work in the running capsule" has '.["salary.sessionStart"] > 0'
verb 0 --privacy off
check "--privacy off reaches it" has '.["salary.privacy"] == false'
verb 0 --hide
check "--hide hides the capsule" wait_until 10 sh -c '! xdotool search --onlyvisible --name "^Orvelle\$"'
verb 0 --toggle-capsule
check "--toggle-capsule shows it again" wait_until 10 panel_window
verb 0 --show-settings
check "--show-settings opens the settings window" \
    wait_until 20 sh -c 'xdotool search --onlyvisible --name "^Orvelle设置\$"'
verb 0 --stop-work
check "--stop-work stops it" has 'has("salary.sessionStart") | not'
check "it is the same capsule throughout" kill -0 "$APP_PID"
kill -STOP "$APP_PID"
verb 1 --toggle-work
check "a capsule that does not answer is named" grep -q "$APP_PID" "$SESSION_DIR/stderr"
kill -CONT "$APP_PID"
finish_checks "$LOG"
