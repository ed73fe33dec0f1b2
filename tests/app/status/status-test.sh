#!/usr/bin/env bash
# `orvelle --status` on seeded preference files at a fixed clock (libfaketime): the texts and JSON
# it prints, its exit status, and that it leaves the file byte for byte as it was.
# Usage: status-test.sh PATH_TO_ORVELLE
set -euo pipefail
BIN=$(realpath "$1")
export TZ=Asia/Shanghai FAKETIME_DONT_FAKE_MONOTONIC=1
# libfaketime is preloaded before AddressSanitizer's runtime in a sanitizer build; that is safe here.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0"
unset DISPLAY WAYLAND_DISPLAY
export XDG_CONFIG_HOME=$(mktemp -d)
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
PREFS=$XDG_CONFIG_HOME/orvelle/preferences.json
mkdir -p "$(dirname "$PREFS")"

checks=0
failures=0
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

# status ARGS...: runs --status with the clock stopped at 13:30 on 2 March 2026 and leaves what
# it printed in $OUTPUT; checks that it exits 0 and leaves the preferences file as it was.
status() {
    local before code=0
    before=$(cat "$PREFS" 2>/dev/null || echo "<none>")
    OUTPUT=$(faketime -f '2026-03-02 13:30:00' "$BIN" --status "$@" 2>"$XDG_CONFIG_HOME/stderr") ||
        code=$?
    expect "exit status of --status $*" 0 "$code"
    expect "file untouched by --status $*" "$before" "$(cat "$PREFS" 2>/dev/null || echo "<none>")"
}

nine=$(date -d '2026-03-02 09:00:00' +%s)
yesterday_nine=$(date -d '2026-03-01 09:00:00' +%s)
hint='点击「开始上班」后，按本次打卡至预计下班时间计薪；再次开始会重新从 0 计。'

# Idle: no file at all.
status
expect "idle, plain" "¥0.00" "$OUTPUT"
status --format waybar
expect "idle, waybar" "{\"text\":\"¥0.00\",\"tooltip\":\"$hint\",\"class\":\"idle\"}" "$OUTPUT"

# Working since 09:00 at 500 a day, end of work 18:00.
cat >"$PREFS" <<JSON
{"salary.mode": "daily", "salary.amount": 500.0, "salary.scheduleEndMin": 1080,
 "salary.calendarDay": "2026-03-02", "salary.sessionStart": $nine,
 "salary.anchorDay": "2026-03-02", "salary.anchorStart": $nine}
JSON
status
expect "working, plain" "¥250.00" "$OUTPUT"
status --format=waybar
expect "working, waybar" \
    '{"text":"¥250.00","tooltip":"计薪区间约 9.00 小时 · 约 0.0154 元/秒","class":"working"}' "$OUTPUT"
status --format i3blocks
expect "working, i3blocks" $'¥250.00\n¥250.00\n#EA3F79' "$OUTPUT"

# Monthly pay of 10,000 over 21.75 days, and a large amount with grouping.
sed -i 's/"daily"/"monthly"/; s/500.0/10000.0/' "$PREFS"
status
expect "monthly" "¥229.89" "$OUTPUT"
sed -i 's/10000.0/1e9/' "$PREFS"
status
expect "grouped" "¥22,988,505.75" "$OUTPUT"

# A session stored on another day is over.
cat >"$PREFS" <<JSON
{"salary.amount": 500.0, "salary.calendarDay": "2026-03-01", "salary.sessionStart": $yesterday_nine}
JSON
status
expect "session of another day" "¥0.00" "$OUTPUT"

# A corrupt file is read as empty, said on standard error, and neither moved nor changed.
printf '{"salary.amount": 5' >"$PREFS"
status
expect "corrupt file" "¥0.00" "$OUTPUT"
expect "corrupt file is reported" 1 "$(grep -c "$PREFS" "$XDG_CONFIG_HOME/stderr")"
expect "nothing moved aside" 1 "$(ls "$(dirname "$PREFS")" | wc -l)"

# --follow prints a line whenever the text changes, at most twice a second. The clock runs ten
# times as fast, so that the amount changes at every check.
cat >"$PREFS" <<JSON
{"salary.amount": 500.0, "salary.scheduleEndMin": 1080, "salary.calendarDay": "2026-03-02",
 "salary.sessionStart": $nine}
JSON
lines=$(timeout 3 faketime -f '@2026-03-02 13:30:00 x10' "$BIN" --status --follow || true)
count=$(wc -l <<<"$lines")
amounts=$(sed 's/¥//; s/,//g' <<<"$lines")
expect "--follow printed 2 to 7 lines in 3 s" yes "$( ((count >= 2 && count <= 7)) && echo yes || echo "no: $count")"
expect "--follow lines rise" "$amounts" "$(sort -n -u <<<"$amounts")"
expect "--follow starts near the amount of 13:30" yes \
    "$(awk 'NR == 1 { print ($1 >= 250 && $1 < 251) ? "yes" : "no: " $1 }' <<<"$amounts")"

echo "$((checks - failures)) passed, $failures failed"
((failures == 0))
