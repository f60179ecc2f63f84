#!/usr/bin/env bash
# The warning sound through the desktop's sound theme: with a PulseAudio server
# whose only sink is a null sink, the sink's monitor stream is silent in the
# normal state and carries sound while a stopped CPU fan holds the warning.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/lib.sh"
e2e_require Xvfb trayer xdotool xwininfo pulseaudio pactl parec sox
stage="${VELMON_STAGE_DIR:?VELMON_STAGE_DIR names the folder holding velmon}"
[ -x "$stage/velmon" ] || e2e_fail "no velmon in $stage"

e2e_file_user
mkdir -p "$E2E_TMP/home"
export HOME="$E2E_TMP/home" VELMON_TEST_ANSWER=yes
e2e_start_display

# A private sound server: no configuration of its own (-n), one null sink.
pulseaudio --daemonize=no -n --exit-idle-time=-1 --use-pid-file=no \
    --load="module-native-protocol-unix socket=$E2E_TMP/pulse auth-anonymous=1" \
    --load="module-null-sink sink_name=velmon_null" >"$E2E_TMP/pulse.log" 2>&1 &
E2E_PIDS+=($!)
export PULSE_SERVER="unix:$E2E_TMP/pulse"
e2e_wait 20 pactl info || e2e_fail "the sound server did not start: $(cat "$E2E_TMP/pulse.log")"
pactl set-default-sink velmon_null

# Peak level in dB of two seconds of the sink's monitor ("-inf" for silence).
# On a loaded machine parec may not get to record within its two seconds; an
# empty recording says nothing about the level and is taken again.
peak() {
    local p="" _
    for _ in 1 2 3; do
        timeout -s INT 2 parec -d velmon_null.monitor --raw --format=s16le --rate=22050 --channels=1 \
            --latency-msec=50 >"$E2E_TMP/rec.raw" 2>/dev/null
        [ -s "$E2E_TMP/rec.raw" ] || continue
        p="$(sox -t raw -r 22050 -e signed -b 16 -c 1 "$E2E_TMP/rec.raw" -n stats 2>&1 | awk '/^Pk lev dB/ {print $4}')"
        [ -n "$p" ] && break
    done
    echo "$p"
}
loud() { local p; p="$(peak)"; echo "peak $p dB"; [ "$p" != "-inf" ] && awk -v p="$p" 'BEGIN { exit !(p > -40) }'; }
silent() { local p; p="$(peak)"; echo "peak $p dB"; [ "$p" = "-inf" ]; }

"$stage/velmon" >"$E2E_TMP/velmon.log" 2>&1 &
E2E_PIDS+=($!)
e2e_wait 20 e2e_tray_icon_centre || e2e_fail "the tray icon did not appear"
silent >"$E2E_TMP/level" || e2e_fail "sound in the normal state: $(cat "$E2E_TMP/level")"
echo "ok: normal state silent ($(cat "$E2E_TMP/level"))"

write_readings 0
e2e_wait 20 e2e_main_window || e2e_fail "the stopped fan did not bring up the window"
ok=""
for _ in 1 2 3 4 5; do loud >"$E2E_TMP/level" && { ok=1; break; }; done
[ -n "$ok" ] || e2e_fail "no sound during the warning ($(cat "$E2E_TMP/level"))"
echo "ok: warning state heard ($(cat "$E2E_TMP/level"))"

write_readings 3500
ok=""
for _ in $(seq 10); do silent >"$E2E_TMP/level" && { ok=1; break; }; done
[ -n "$ok" ] || e2e_fail "still sound after the fan turned again ($(cat "$E2E_TMP/level"))"
echo "ok: silent again after the warning ($(cat "$E2E_TMP/level"))"
echo "PASS"
