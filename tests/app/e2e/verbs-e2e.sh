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
    expect "orvelle $* exits $want" "$want" "$code"
}
has() { jq -e "$1" "$PREFS" >/dev/null 2>&1; }
# verb_leaves ARGS... FILTER: runs orvelle with ARGS; whether it exits 0 and leaves the file holding
# the jq FILTER.
verb_leaves() { timeout 20 "$BIN" "${@:1:$#-1}" >>"$LOG" 2>"$SESSION_DIR/stderr" && has "${@: -1}"; }
# all_at_once N ARGS...: runs N orvelles with ARGS at the same time; whether every one succeeded.
all_at_once() { seq "$1" | xargs -P "$1" -I{} timeout 60 "$BIN" "${@:2}" 2>>"$SESSION_DIR/stderr"; }

# The first launch, with no file yet, shows where the salary goes; a status bar's --show-settings
# with no capsule starts one, with its settings window.
for how in "" --show-settings; do
    start_app ${how:+"$how"}
    check "${how:-a first launch} opens the settings window" wait_until 30 settings_windows
    end_app
done

# No capsule: the work and privacy verbs change the file and nothing else.
echo '{"salary.amount": 800, "salary.mode": "daily", "x-kept": [1, 2]}' >"$PREFS"
check "--start-work stores a session" \
    verb_leaves --start-work '.["salary.sessionStart"] > 0 and .["salary.amount"] == 800'
check "--privacy on is stored as a boolean" verb_leaves --privacy on '.["salary.privacy"] == true'
check "--toggle-work stops it and keeps the rest" verb_leaves --toggle-work \
    '(has("salary.sessionStart") | not) and .["x-kept"] == [1, 2] and .["salary.privacy"]'
verb 1 --hide
check "--hide says it needs a running capsule" grep -q "没有在运行" "$SESSION_DIR/stderr"
expect "no window appeared" "" "$(xdotool search --onlyvisible --class orvelle 2>/dev/null)"
verb 2 --privacy maybe
check "--click-through toggle is stored" verb_leaves --click-through toggle '.["salary.clickThrough"] == true'

# A verb that cannot store its change says why and fails: a process that ends at once keeps
# nothing in memory.
mv "$PREFS" "$PREFS.kept"
mkfifo "$PREFS"
verb 1 --privacy off
check "a FIFO in the file's place is named" grep -q "无法保存设置" "$SESSION_DIR/stderr"
rm "$PREFS" && mv "$PREFS.kept" "$PREFS"

# Verbs with no capsule take turns on the settings file's lock: none fails, none is lost.
check "120 verbs at once all succeed" all_at_once 120 --privacy toggle
check "and every toggle counted" has '.["salary.privacy"] == true'

# A running capsule takes each verb at once.
start_app
check "the capsule appears" wait_until 30 panel_window
check "with a file in place, no settings window" test -z "$(settings_windows)"
check "--toggle-work starts work in the running capsule" verb_leaves --toggle-work '.["salary.sessionStart"] > 0'
check "--privacy off reaches it" verb_leaves --privacy off '.["salary.privacy"] == false'
verb 0 --hide
check "--hide hides the capsule" wait_until 10 sh -c '! xdotool search --onlyvisible --name "^Orvelle\$"'
verb 0 --toggle-capsule
check "--toggle-capsule shows it again" wait_until 10 panel_window
check "--stop-work stops it" verb_leaves --stop-work 'has("salary.sessionStart") | not'
check "it is the same capsule throughout" kill -0 "$APP_PID"

finish_checks "$LOG"
