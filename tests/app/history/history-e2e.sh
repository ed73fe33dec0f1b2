#!/usr/bin/env bash
# The history end to end, under Xvfb and openbox with a faked clock (libfaketime, preloaded so a
# kill leaves nothing behind): a capsule writes its session to the history while it runs, and one
# killed with SIGKILL at 11:59 and started on the next day leaves that day's record, which
# `--history` shows as CSV and JSON, with at most a minute of it missing. How records are opened,
# written once a minute, stopped and ended is SessionHistoryTest's part. Last, a night shift that
# starts by itself at 22:00 and goes on past midnight, counted on the day it began.
# Usage: history-e2e.sh PATH_TO_ORVELLE
set -euo pipefail
BIN=$(realpath "$1")
source "$(dirname "$0")/../e2e/x11-session.sh"
export TZ=Asia/Shanghai FAKETIME_DONT_FAKE_MONOTONIC=1
begin_e2e

# capsule_at FAKETIME: starts the capsule on the faked clock and waits for it.
capsule_at() { LD_PRELOAD=$FAKETIME_LIB FAKETIME=$1 launch; }
# working_since_nine DAY: a settings file with a session since 09:00 on DAY, at 500 a day.
working_since_nine() {
    printf '{"salary.amount": 500, "salary.scheduleEndMin": 1080, "salary.calendarDay": "%s",
 "salary.sessionStart": %s}\n' "$1" "$(date -d "$1 09:00:00" +%s)" >"$PREFS"
}
# day_line DAY: the CSV line of DAY from --history, on the real clock, where no session is open.
day_line() { timeout 20 "$BIN" --history --format csv | grep "^$1,"; }
# paid_between DAY LOW HIGH: whether the history holds LOW to HIGH seconds paid on DAY.
paid_between() { day_line "$1" | awk -F, -v low="$2" -v high="$3" '{exit !($3 >= low && $3 <= high)}'; }
# earned_matches DAY: whether DAY's amount is its paid time at 500 over 09:00 to 18:00, to what
# the CSV's rounding leaves (paid seconds whole, so up to 0.008, and the amount to the cent).
earned_matches() {
    day_line "$1" | awk -F, '{d = $4 - $3 * 500 / 32400; exit !(d > -0.015 && d < 0.015)}'
}

working_since_nine 2026-03-03
capsule_at "@2026-03-03 11:58:30 x10"
check "a resumed session is written up to 11:59" wait_until 60 paid_between 2026-03-03 10740 99999
end_app KILL
capsule_at "@2026-03-04 09:00:00"
# Killed within seconds of 11:59 at ten times the speed of time; nothing is added after it.
check "the next day the killed session's record keeps what it wrote, nothing more" \
    paid_between 2026-03-03 10740 11100
check "and its amount is what it last wrote" earned_matches 2026-03-03
json_days() { timeout 20 "$BIN" --history --days 2 --format json | jq -e 'length == 1 and .[0].sessions == 1'; }
check "--history --days 2 --format json holds the day" json_days
end_app

# ¥480 a day over 22:00 to 06:00 is ¥1 a minute; 2026-03-09 is a Monday.
printf '{"salary.amount": 480, "salary.scheduleEndMin": 360, "salary.overnight": true,
 "salary.autoStartEnabled": true, "salary.autoStartMin": 1320}\n' >"$PREFS"
capsule_at "@2026-03-09 21:40:00 x600"
check "work starts by itself at 22:00" \
    wait_until 60 jq -e ".[\"salary.sessionStart\"] == $(date -d '2026-03-09 22:00' +%s)" "$PREFS"
check "the night shift is written past midnight on the day it began" \
    wait_until 60 paid_between 2026-03-09 9000 99999
check "and goes on after midnight" \
    jq -e '.["salary.calendarDay"] == "2026-03-09" and has("salary.sessionStart")' "$PREFS"
expect "--status at 01:00 shows its three hours" "¥180.00" \
    "$(LD_PRELOAD=$FAKETIME_LIB FAKETIME="@2026-03-10 01:00:00" "$BIN" --status)"
end_app
finish_checks "$SESSION_DIR/orvelle.log"
