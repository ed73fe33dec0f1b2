#!/usr/bin/env bash
# Kills the real binary at every rename of the preferences file (each atomic write ends in one:
# strace stops the process with SIGKILL at the Nth) during start-up on a new day and during the
# midnight tick, and checks that the file always holds one whole state: never a torn file, never
# yesterday's session brought back, never a session lost, and no temporary files left once a later
# start has run. That every other operation is one write is SessionTest's part; one atomic write
# under a real kill stands for all of them. Before that, a traced start checks that each temporary
# file is flushed to disk before it is renamed over the file: without it, a power cut could leave
# the renamed file empty.
# Usage: kill-test.sh PATH_TO_ORVELLE
set -euo pipefail
BIN=$(realpath "$1")
source "$(dirname "$0")/../e2e/x11-session.sh"
export TZ=Asia/Shanghai FAKETIME_DONT_FAKE_MONOTONIC=1

begin_e2e

# day_seconds N: the Unix time of 10:00 Shanghai time on 2026-01-(N), N counting on past 31.
day_seconds() { echo $((1767232800 + ($1 - 1) * 86400)); }
day_key() { date -u -d "@$(day_seconds "$1")" +%Y-%m-%d; }

# seed DAY SESSION: writes a file of day DAY, with a session since 10:00 that day when SESSION=1.
seed() {
    jq -n --arg d "$(day_key "$1")" --argjson s "$(day_seconds "$1")" --argjson session "$2" '
        {"salary.calendarDay": $d, "salary.scheduleEndMin": 1080, "x-kept": [1]} + if $session == 1
        then {"salary.sessionStart": $s, "salary.anchorDay": $d, "salary.anchorStart": $s} else {} end
    ' >"$PREFS"
}
# state DAY SESSION: a jq filter that holds for the file of day DAY, with the session since 10:00
# that day when SESSION=1 and with none at all when SESSION=0.
state() {
    local session='(has("salary.sessionStart") or has("salary.anchorStart")) | not'
    (($2 == 0)) || session=".[\"salary.sessionStart\"] == $(day_seconds "$1")"
    echo ".[\"salary.calendarDay\"] == \"$(day_key "$1")\" and ($session)"
}

# whole_in STATE...: whether the file is a whole JSON object, the member it does not know kept, in
# one of the allowed STATEs: the state before the operation or one after it. Shows it when not.
whole_in() {
    local state
    if jq -e 'type == "object" and .["x-kept"] == [1]' "$PREFS" >/dev/null 2>&1; then
        for state; do jq -e "$state" "$PREFS" >/dev/null && return; done
    fi
    echo "--- file:"
    cat "$PREFS" 2>/dev/null || echo "(none)"
    return 1
}

# run_faked WHEN [STRACE_OPTION...]: starts orvelle at the faked local time WHEN
# ("2026-01-05 09:00:00"), under strace with those options when any are given.
run_faked() {
    local tracer=()
    (($# == 1)) || tracer=(strace -f -qq "${@:2}")
    "${tracer[@]}" env LD_PRELOAD="$FAKETIME_LIB" FAKETIME="@$1" "$BIN" >>"$SESSION_DIR/orvelle.log" 2>&1 &
    APP_PID=$!
}

# Whether the process started by run_faked is gone (killed at its rename), or else has shown the
# capsule or written the next day.
ended() { ! kill -0 "$APP_PID" 2>/dev/null; }
ended_or_shown() { ended || panel_window; }
ended_or_past_midnight() { ended || grep -q 2026-01-06 "$PREFS"; }
stop_app() {
    # Under strace, orvelle is strace's child and would outlive a killed strace.
    pkill -9 -P "$APP_PID" 2>/dev/null || true
    kill -9 "$APP_PID" 2>/dev/null || true
    wait "$APP_PID" 2>/dev/null || true
    # libfaketime keeps a shared-memory entry per process and removes it only at a normal exit;
    # those of processes that are gone, ours killed here among them, serve nobody.
    local entry
    for entry in /dev/shm/faketime_shm_* /dev/shm/sem.faketime_sem_*; do
        [[ -e $entry ]] && ! kill -0 "${entry##*_}" 2>/dev/null && rm -f "$entry"
    done
    return 0
}

# inject LABEL DAY SESSION WHEN ACTION BEFORE AFTER: for N = 1, 2, ...: seeds the file (seed DAY
# SESSION), starts orvelle at WHEN killed at its Nth rename, runs ACTION (a command that makes it
# write), and checks that the file is in state BEFORE or AFTER; stops once a run reaches the end of
# ACTION alive.
inject() {
    local label=$1 day=$2 session=$3 when=$4 action=$5 before=$6 after=$7 nth
    for nth in 1 2 3; do
        seed "$day" "$session"
        # Only renames onto the preferences file count: fonts and sockets are renamed too.
        run_faked "$when" -o /dev/null -P "$PREFS" -e trace=rename,renameat,renameat2 \
            -e inject=rename,renameat,renameat2:signal=SIGKILL:when="$nth"
        wait_until 60 ended_or_shown || { fail "$label: the capsule did not appear"; stop_app; return; }
        ended || $action || true
        if ! ended; then
            stop_app
            check "$label (no kill)" whole_in "$after"
            return
        fi
        stop_app
        check "$label (killed at rename $nth)" whole_in "$before" "$after"
    done
    fail "$label: still killed at the 3rd rename of the file"
    tail -n 20 "$SESSION_DIR/orvelle.log"
}

# Fonts are cached anew the first time the faked clock is seen: once, before anything is timed.
# This first start writes the file and is traced: each rename onto the file must follow an fsync
# of the temporary file it renames.
run_faked "2026-01-05 09:00:00" -y -o "$SESSION_DIR/trace" -e trace=fsync,fdatasync,rename,renameat,renameat2
wait_until 120 panel_window || true
stop_app
flushed_before_renames() {
    awk -v prefs="\"$PREFS\"" '
        /(fsync|fdatasync)\(/ && match($0, /<[^>]*>/) {synced["\"" substr($0, RSTART + 1, RLENGTH - 2) "\""]}
        /rename/ && index($0, prefs) && match($0, /"[^"]*"/) {renames++; unsynced += !(substr($0, RSTART, RLENGTH) in synced)}
        END {exit !(renames > 0 && unsynced == 0)}' "$SESSION_DIR/trace" && return
    grep -E 'fsync|preferences' "$SESSION_DIR/trace"
    return 1
}
check "each temporary file is flushed before its rename" flushed_before_renames

settle() { sleep 0.5; }  # lets a kill that is due arrive before the state is read
wait_past_midnight() { wait_until 20 ended_or_past_midnight || true; settle; }
inject "start-up on the next day" 4 1 "2026-01-05 09:00:00" settle "$(state 4 1)" "$(state 5 0)"
inject "the midnight tick" 5 1 "2026-01-05 23:59:58" wait_past_midnight "$(state 5 1)" "$(state 6 0)"

# A last, unhurried start clears whatever temporary files the kills left.
run_faked "2026-03-01 09:00:00"
check "the capsule appears after the kills" wait_until 60 panel_window
stop_app
expect "no temporary files are left" "" "$(find "$XDG_CONFIG_HOME/orvelle" -name '.preferences.json.*')"
finish_checks /dev/null
