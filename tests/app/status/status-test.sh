#!/usr/bin/env bash
# `orvelle --status` on seeded preference files at a fixed clock (libfaketime): the texts and JSON
# it prints, its exit status, and that it leaves the file byte for byte as it was.
# Usage: status-test.sh PATH_TO_ORVELLE
set -euo pipefail
BIN=$(realpath "$1")
export TZ=Asia/Shanghai FAKETIME_DONT_FAKE_MONOTONIC=1
# libfaketime preloaded rather than through its wrapper, whose shared memory a killed run leaves
# behind for a later one to trip over.
FAKETIME_LIB=$(find /usr/lib -name libfaketime.so.1 -print -quit)
# libfaketime is preloaded before AddressSanitizer's runtime in a sanitizer build; that is safe here.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0"
unset DISPLAY WAYLAND_DISPLAY
# For its tally and its polling, not for an X server.
source "$(dirname "$0")/../e2e/x11-session.sh"
XDG_CONFIG_HOME=$(mktemp -d)
export XDG_CONFIG_HOME
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
PREFS=$XDG_CONFIG_HOME/orvelle/preferences.json
mkdir -p "$(dirname "$PREFS")"

expect() {
    local what=$1 expected=$2 actual=$3
    checks=$((checks + 1))
    if [[ "$actual" == "$expected" ]]; then
        echo "ok: $what"
    else
        echo "FAILED: $what"
        echo "  expected: $expected"
        echo "  actual:   $actual"
        failures=$((failures + 1))
    fi
}

# What is at the preferences path: its listing and, for a regular file, its content.
snapshot() {
    ls -l "$PREFS" 2>/dev/null || true
    if [[ -f "$PREFS" ]]; then cat "$PREFS"; fi
}

# status [-CODE] ARGS...: runs --status with the clock stopped at 13:30 on 2 March 2026 and leaves
# what it printed in $OUTPUT and on standard error in $ERRORS; checks that it exits with CODE (0
# unless given) within 10 s and leaves the preferences file (or whatever is there) as it was.
status() {
    local want=0 before code=0
    if [[ "${1:-}" == -[0-9]* ]]; then
        want=${1#-}
        shift
    fi
    before=$(snapshot)
    OUTPUT=$(timeout 10 env LD_PRELOAD="$FAKETIME_LIB" FAKETIME='2026-03-02 13:30:00' \
        "$BIN" --status "$@" \
        2>"$XDG_CONFIG_HOME/stderr") || code=$?
    ERRORS=$(cat "$XDG_CONFIG_HOME/stderr")
    expect "exit status of --status $*" "$want" "$code"
    [[ "$code" == "$want" ]] || echo "  it said: $ERRORS"
    expect "file untouched by --status $*" "$before" "$(snapshot)"
}
# says WHAT EXPECTED [-CODE] ARGS...: runs status with the rest and expects it to print EXPECTED.
says() {
    local what=$1 expected=$2
    shift 2
    status "$@"
    expect "$what" "$expected" "$OUTPUT"
}

nine=$(date -d '2026-03-02 09:00:00' +%s)
yesterday_nine=$(date -d '2026-03-01 09:00:00' +%s)
hint='点击「开始上班」后，按本次打卡至预计下班时间计薪；再次开始会重新从 0 计。'

# Idle: no file at all.
says "idle, plain" "¥0.00"
says "idle, waybar" "{\"text\":\"¥0.00\",\"tooltip\":\"$hint\",\"class\":\"idle\"}" --format waybar

# Working since 09:00 at 500 a day, end of work 18:00.
cat >"$PREFS" <<JSON
{"salary.mode": "daily", "salary.amount": 500.0, "salary.scheduleEndMin": 1080,
 "salary.calendarDay": "2026-03-02", "salary.sessionStart": $nine,
 "salary.anchorDay": "2026-03-02", "salary.anchorStart": $nine}
JSON
says "working, plain" "¥250.00"
says "working, waybar" \
    '{"text":"¥250.00","tooltip":"计薪区间约 9.00 小时 · 约 0.0154 元/秒","class":"working"}' \
    --format=waybar
says "working, i3blocks" $'¥250.00\n¥250.00\n#EA3F79' --format i3blocks
# Privacy masks the money in every format, digit for digit; waybar says so in its class.
sed -i 's/"salary.mode"/"salary.privacy": true, &/' "$PREFS"
says "private, plain" "¥•••.••"
says "private, waybar" \
    '{"text":"¥•••.••","tooltip":"计薪区间约 9.00 小时 · 约 •.•••• 元/秒","class":"private"}' \
    --format waybar
sed -i 's/"salary.privacy": true, //' "$PREFS"

# Monthly pay of 10,000 over 21.75 days.
sed -i 's/"daily"/"monthly"/; s/500.0/10000.0/' "$PREFS"
says "monthly" "¥229.89"
# Working days written by hand: text that is a number counts as that number, null as absent.
for days in '"22"|¥227.27' 'null|¥229.89'; do
    sed -i "s/\"salary.mode\"/\"salary.workingDays\": ${days%|*}, &/" "$PREFS"
    says "working days stored as ${days%|*}" "${days#*|}"
    sed -i "s/\"salary.workingDays\": ${days%|*}, //" "$PREFS"
done

# The working day: an unpaid break from 12:00 to 13:00, then overtime at 1.5 after an end at 13:00.
cat >"$PREFS" <<JSON
{"salary.amount": 500.0, "salary.scheduleEndMin": 1080, "salary.calendarDay": "2026-03-02",
 "salary.sessionStart": $nine, "salary.anchorDay": "2026-03-02", "salary.anchorStart": $nine,
 "salary.breakEnabled": true, "salary.breakStartMin": 720, "salary.breakEndMin": 780}
JSON
says "unpaid break, waybar" \
    '{"text":"¥218.75","tooltip":"计薪区间约 8.00 小时（不含午休） · 约 0.0174 元/秒","class":"working"}' \
    --format waybar
sed -i 's/"salary.breakEnabled": true/"salary.breakEnabled": false/; s/1080/780/' "$PREFS"
sed -i 's/"salary.amount"/"salary.afterEnd": "overtime", &/' "$PREFS"
says "overtime, waybar: the rate paid now" \
    '{"text":"¥593.75","tooltip":"计薪区间约 4.00 小时 · 约 0.0521 元/秒","class":"overtime"}' --format waybar
says "overtime, i3blocks: in gold" "$(printf '¥593.75\n¥593.75\n#D4A017')" --format i3blocks

# A session stored on another day is over.
cat >"$PREFS" <<JSON
{"salary.amount": 500.0, "salary.calendarDay": "2026-03-01", "salary.sessionStart": $yesterday_nine}
JSON
says "session of another day" "¥0.00"

# A file that cannot be read is an error in every format, never a believable ¥0.00: exit 1, one
# line on standard error, and the file neither moved nor changed. What the reader refuses (too
# deep, too large, no regular file) is JsonFilePreferencesTest's part.
printf '{"salary.amount": 5' >"$PREFS"
says "corrupt file, plain" "设置文件有误" -1
expect "corrupt file is said in one line" "orvelle: $PREFS 不是有效的 JSON" "$ERRORS"
says "corrupt file, waybar" \
    "{\"text\":\"设置文件有误\",\"tooltip\":\"$PREFS 不是有效的 JSON\",\"class\":\"error\"}" -1 --format waybar
says "corrupt file, i3blocks" $'设置文件有误\n设置文件有误\n#FF5555' -1 --format i3blocks
expect "nothing moved aside" 1 "$(ls "$(dirname "$PREFS")" | wc -l)"
rm "$PREFS"

# Output that cannot be written is a failure, and --follow ends once nobody reads it, even while
# the amount stays the same and nothing new is printed.
code=0
"$BIN" --status >/dev/full 2>"$XDG_CONFIG_HOME/stderr" || code=$?
expect "--status >/dev/full exits 1" 1 "$code"
expect "--status >/dev/full says why" 1 "$(grep -c '^orvelle: 无法写入标准输出' "$XDG_CONFIG_HOME/stderr")"
for how in "| head -1 >/dev/null" ">&-"; do
    SECONDS=0
    code=$(bash -c "timeout 10 '$BIN' --status --follow $how; echo \${PIPESTATUS[0]}" 2>/dev/null)
    expect "--follow $how ends at once" "1 fast" "$code $( ((SECONDS <= 5)) && echo fast || echo slow)"
done

# --follow shows the error while the file is bad, and the amount again once it is mended.
printf 'garbage' >"$PREFS"
"$BIN" --status --follow --format waybar >"$XDG_CONFIG_HOME/follow" 2>/dev/null &
follower=$!
check "--follow shows the error" wait_until 10 grep -q '"class":"error"' "$XDG_CONFIG_HOME/follow"
printf '{}' >"$PREFS"
check "--follow recovers" wait_until 10 grep -q '"class":"idle"' "$XDG_CONFIG_HOME/follow"
kill "$follower"
wait "$follower" || true

# --follow prints a line whenever the text changes, at most twice a second. The clock runs ten
# times as fast, so that the amount changes at every check.
cat >"$PREFS" <<JSON
{"salary.amount": 500.0, "salary.scheduleEndMin": 1080, "salary.calendarDay": "2026-03-02",
 "salary.sessionStart": $nine}
JSON
lines=$(timeout 3 env LD_PRELOAD="$FAKETIME_LIB" FAKETIME='@2026-03-02 13:30:00 x10' \
    "$BIN" --status --follow || true)
count=$(wc -l <<<"$lines")
amounts=$(sed 's/¥//; s/,//g' <<<"$lines")
expect "--follow printed 2 to 7 lines in 3 s" yes "$( ((count >= 2 && count <= 7)) && echo yes || echo "no: $count")"
expect "--follow lines rise" "$amounts" "$(sort -n -u <<<"$amounts")"
expect "--follow starts near the amount of 13:30" yes \
    "$(awk 'NR == 1 { print ($1 >= 250 && $1 < 251) ? "yes" : "no: " $1 }' <<<"$amounts")"
finish_checks /dev/null
