#!/usr/bin/env bash
# `orvelle --status` on seeded preference files: what it prints, its exit status, and that it
# leaves the file byte for byte as it was; with --follow, on a clock run fast (libfaketime), how
# often it prints and when it ends.
# Usage: status-test.sh PATH_TO_ORVELLE
set -euo pipefail
BIN=$(realpath "$1")
export TZ=Asia/Shanghai FAKETIME_DONT_FAKE_MONOTONIC=1
# libfaketime is preloaded before AddressSanitizer's runtime in a sanitizer build; that is safe here.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0"
unset DISPLAY WAYLAND_DISPLAY
# For its tally and its polling, not for an X server.
source "$(dirname "$0")/../e2e/x11-session.sh"
SESSION_DIR=$(mktemp -d)
export XDG_CONFIG_HOME=$SESSION_DIR
trap 'kill ${APP_PID:-} 2>/dev/null || true; rm -rf "$SESSION_DIR"' EXIT
PREFS=$XDG_CONFIG_HOME/orvelle/preferences.json
mkdir -p "$(dirname "$PREFS")"

# What is at the preferences path: its listing and, for a regular file, its content.
snapshot() { ls -l "$PREFS" 2>&1 && cat "$PREFS" || true; }

# says WHAT EXPECTED CODE ARGS...: runs --status with ARGS and expects it to print EXPECTED and
# exit with CODE within 10 s, leaving whatever is at the preferences path as it was; leaves what
# it said on standard error in $ERRORS.
says() {
    local what=$1 expected=$2 want=$3 before code=0 output
    shift 3
    before=$(snapshot)
    output=$(timeout 10 "$BIN" --status "$@" 2>"$SESSION_DIR/stderr") || code=$?
    ERRORS=$(cat "$SESSION_DIR/stderr")
    expect "$what, and its exit status" "$expected (exit $want)" "$output (exit $code)"
    expect "$what: the file as it was" "$before" "$(snapshot)"
}

# Idle, with no file at all: none is made. What each format prints in each state of the day is
# AppDelegateTest's part, the amounts SalaryStoreEarningsTest's and SessionTest's; an amount read
# from a file at a faked time is checked with --follow below.
says "idle, plain" "¥0.00" 0

# A file that cannot be read is an error in every format, never a believable ¥0.00: exit 1, one
# line on standard error, and the file neither moved nor changed. What the reader refuses (too
# deep, too large, no regular file) is JsonFilePreferencesTest's part.
printf '{"salary.amount": 5' >"$PREFS"
says "corrupt file, plain" "设置文件有误" 1
expect "corrupt file is said in one line" "orvelle: $PREFS 不是有效的 JSON" "$ERRORS"
says "corrupt file, waybar" \
    "{\"text\":\"设置文件有误\",\"tooltip\":\"$PREFS 不是有效的 JSON\",\"class\":\"error\"}" 1 --format waybar
says "corrupt file, i3blocks" $'设置文件有误\n设置文件有误\n#FF5555' 1 --format i3blocks
expect "nothing moved aside" 1 "$(ls "$(dirname "$PREFS")" | wc -l)"
rm "$PREFS"

# Output that cannot be written is a failure, and --follow ends once nobody reads it, even while
# the amount stays the same and nothing new is printed.
code=0
"$BIN" --status >/dev/full 2>"$SESSION_DIR/stderr" || code=$?
expect "--status >/dev/full exits 1 saying why" "1 1" "$code $(grep -c '^orvelle: 无法写入标准输出' "$SESSION_DIR/stderr")"
for how in "| head -1 >/dev/null" ">&-"; do
    SECONDS=0
    code=$(bash -c "timeout 10 '$BIN' --status --follow $how; echo \${PIPESTATUS[0]}" 2>/dev/null)
    expect "--follow $how ends at once" "1 fast" "$code $( ((SECONDS <= 5)) && echo fast || echo slow)"
done

# --follow shows the error while the file is bad, and the amount again once it is mended.
printf 'garbage' >"$PREFS"
start_app --status --follow --format waybar
check "--follow shows the error" wait_until 10 grep -q '"class":"error"' "$SESSION_DIR/orvelle.log"
printf '{}' >"$PREFS"
check "--follow recovers" wait_until 10 grep -q '"class":"idle"' "$SESSION_DIR/orvelle.log"
end_app

# --follow prints a line whenever the text changes, at most twice a second. The clock runs ten
# times as fast, so that the amount changes at every check.
nine=$(date -d '2026-03-02 09:00:00' +%s)
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
