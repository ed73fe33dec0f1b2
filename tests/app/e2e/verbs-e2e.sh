#!/usr/bin/env bash
# The command-line verbs end to end: with no capsule running they act on the preferences file
# alone (no window appears, nothing else in the file changes) or say that they need a capsule;
# with one running under Xvfb they reach it and take effect within a tick. A verb from another
# runtime folder, and one withdrawn from a capsule that does not answer, are SingleInstanceTest's
# part; --show-settings reaching a running capsule is orvelle-e2e.sh's.
# Usage: verbs-e2e.sh PATH_TO_ORVELLE
set -euo pipefail
BIN=$(realpath "$1")
source "$(dirname "$0")/x11-session.sh"
begin_e2e
LOG=$SESSION_DIR/orvelle.log

# verb EXPECTED_STATUS ARGS...: runs orvelle with ARGS and checks its exit status.
verb() {
    local want=$1 code=0
    shift
    timeout 20 "$BIN" "$@" >>"$LOG" 2>"$SESSION_DIR/stderr" || code=$?
    check "orvelle $* exits $want" test "$code" -eq "$want"
}
has() { jq -e "$1" "$PREFS" >/dev/null 2>&1; }
no_window() { ! xdotool search --onlyvisible --class orvelle >/dev/null 2>&1; }

# The first launch, with no file yet, shows where the salary goes; a status bar's --show-settings
# with no capsule starts one, with its settings window.
for how in "" --show-settings; do
    start_app ${how:+"$how"}
    check "${how:-a first launch} opens the settings window" wait_until 30 settings_windows
    end_app
done

# No capsule: the work and privacy verbs change the file and nothing else.
echo '{"salary.amount": 800, "salary.mode": "daily", "x-kept": [1, 2]}' >"$PREFS"
verb 0 --start-work
check "--start-work stores a session" has '.["salary.sessionStart"] > 0 and .["salary.amount"] == 800'
verb 0 --privacy on
check "--privacy on is stored as a boolean" has '.["salary.privacy"] == true'
verb 0 --toggle-work
check "--toggle-work stops it and keeps the rest" \
    has '(has("salary.sessionStart") | not) and .["x-kept"] == [1, 2] and .["salary.privacy"]'
verb 1 --hide
check "--hide says it needs a running capsule" grep -q "没有在运行" "$SESSION_DIR/stderr"
check "no window appeared" no_window
verb 2 --privacy maybe
verb 0 --click-through toggle
check "--click-through toggle without a capsule is stored" has '.["salary.clickThrough"] == true'

# A verb that cannot store its change says why and fails: a process that ends at once keeps
# nothing in memory.
mv "$PREFS" "$PREFS.kept"
mkfifo "$PREFS"
verb 1 --privacy off
check "a FIFO in the file's place is named" grep -q "无法保存设置" "$SESSION_DIR/stderr"
rm "$PREFS" && mv "$PREFS.kept" "$PREFS"

# Verbs with no capsule take turns on the settings file's lock: none fails, none is lost.
pids=()
for _ in $(seq 120); do
    timeout 60 "$BIN" --privacy toggle 2>>"$SESSION_DIR/stderr" &
    pids+=($!)
done
failed=0
for pid in "${pids[@]}"; do wait "$pid" || failed=$((failed + 1)); done
check "120 verbs at once all succeed" test "$failed" -eq 0
check "and every toggle counted" has '.["salary.privacy"] == true'

# A running capsule takes each verb at once.
start_app
check "the capsule appears" wait_until 30 panel_window
check "with a file in place, no settings window" test -z "$(settings_windows)"
verb 0 --toggle-work
check "--toggle-work starts work in the running capsule" has '.["salary.sessionStart"] > 0'
verb 0 --privacy off
check "--privacy off reaches it" has '.["salary.privacy"] == false'
verb 0 --hide
check "--hide hides the capsule" wait_until 10 sh -c '! xdotool search --onlyvisible --name "^Orvelle\$"'
verb 0 --toggle-capsule
check "--toggle-capsule shows it again" wait_until 10 panel_window
verb 0 --stop-work
check "--stop-work stops it" has 'has("salary.sessionStart") | not'
check "it is the same capsule throughout" kill -0 "$APP_PID"

finish_checks "$LOG"
