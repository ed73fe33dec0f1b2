#!/usr/bin/env bash
# End-to-end test of the capsule on screen layouts and scale factors, under Xvfb and openbox.
# RandR monitors, as Qt reads them from any X server, make two screens side by side and one above
# the other, each time with the main screen away from 0,0; the main screen is then unplugged while
# the capsule is on it. At scale factors 1.5 and 2 the capsule keeps its logical size and place,
# and at 2 its text and its edges (cut to shape, with no compositor) are drawn at device pixels.
# Usage: screens-e2e.sh PATH_TO_ORVELLE
set -euo pipefail
BIN=$(realpath "$1")
E2E_DIR=$(cd "$(dirname "$0")" && pwd)
source "$E2E_DIR/x11-session.sh"
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"

start_x11_session 2880x1800
trap 'kill "${APP_PID:-}" 2>/dev/null || true; stop_x11_session' EXIT
mkdir -p "$XDG_CONFIG_HOME/orvelle"
echo '{}' >"$XDG_CONFIG_HOME/orvelle/preferences.json"
xsetroot -solid '#00ff00'

# set_monitors SPEC...: replaces the monitors with SPECs "NAME WIDTHxHEIGHT+X+Y"; a name that
# begins with * is the main screen. The first takes the server's one output, which stands in for
# the automatic monitor that cannot be deleted.
set_monitors() {
    local name spec output=screen
    for name in $(xrandr --listmonitors | awk 'NR > 1 && $2 !~ /^\+/ {print $2}' | tr -d '*'); do
        xrandr --delmonitor "$name"
    done
    for spec in "$@"; do
        # WIDTHxHEIGHT+X+Y, with sizes in millimetres added: WIDTH/380xHEIGHT/238+X+Y.
        xrandr --setmonitor "${spec%% *}" \
            "$(sed -E 's|^([0-9]+)x([0-9]+)|\1/380x\2/238|' <<<"${spec#* }")" "$output"
        output=none
    done
}
capsule() { xdotool search --onlyvisible --name '^Orvelle$' 2>/dev/null | head -1; }
geometry() {
    xwininfo -id "$(capsule)" |
        awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
             /Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h "+" x "+" y}'
}
at() { [[ $(geometry) == "$1" ]]; }
run_orvelle() {
    "$BIN" "$@" >>"$SESSION_DIR/orvelle.log" 2>&1 &
    APP_PID=$!
    wait_until 30 capsule
}
stop_orvelle() {
    kill "$APP_PID" && wait "$APP_PID" 2>/dev/null || true
    wait_until 10 sh -c '! xdotool search --onlyvisible --name "^Orvelle$"'
}

set_monitors "A 1440x900+0+0" "*B 1440x900+1440+0"
run_orvelle
check "side by side, main screen at the right: on the main screen" wait_until 5 at 150x90+2634+72
stop_orvelle

set_monitors "A 1440x900+0+0" "*B 1440x900+0+900"
run_orvelle
check "one above the other, main screen below: on the main screen" wait_until 5 at 150x90+1194+972
set_monitors "*A 1440x900+0+0"
check "its screen unplugged: back at its place on the one left" wait_until 5 at 150x90+1194+72
stop_orvelle

# At scale factor s the screen of 1440 × 900 pixels is 1440/s × 900/s logical pixels; the capsule
# keeps 150 × 90 of them, its place computed in them.
QT_SCALE_FACTOR=1.5 run_orvelle
check "scale 1.5: its logical size of 150 × 90 and its place" wait_until 5 at 225x135+1071+108
stop_orvelle
QT_SCALE_FACTOR=2 run_orvelle
check "scale 2: its logical size of 150 × 90 and its place" wait_until 5 at 300x180+948+144

# Reads the capsule's pixels off the screen as "x y colour" lines into $SESSION_DIR/pixels.
# Drawn at device pixels, some aligned 2 × 2 block differs within itself, both where the shape's
# edge runs (left of the top rows) and in the text; drawn at logical pixels and doubled, none would.
pixels() {
    import -window root -crop 300x180+948+144 -depth 8 txt:- |
        awk -F'[,: ]+' 'NR > 1 {print $1, $2, $0 ~ /#00FF00/ ? "root" : $(NF - 1)}' >"$SESSION_DIR/pixels"
}
edge_at_device_pixels() {
    pixels
    awk '$3 != "root" && !($2 in left) {left[$2] = $1}
         END {for (y = 0; y < 90; y += 2) if (left[y] != left[y + 1]) found = 1; exit !found}' \
        "$SESSION_DIR/pixels"
}
text_at_device_pixels() {
    pixels
    awk '$2 >= 60 && $2 < 120 && $1 >= 40 && $1 < 260 {
             block = int($1 / 2) "," int($2 / 2)
             if (block in seen && seen[block] != $3) split_blocks++
             seen[block] = $3
         }
         END {exit !(split_blocks > 0)}' "$SESSION_DIR/pixels"
}
# Read again until they hold, as the first paint may follow the map.
check "scale 2: the shape's edge cut at device pixels" wait_until 5 edge_at_device_pixels
check "scale 2: the text drawn at device pixels" wait_until 5 text_at_device_pixels
check "still running" kill -0 "$APP_PID"
finish_checks "$SESSION_DIR/orvelle.log"
