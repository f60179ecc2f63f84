#!/usr/bin/env bash
# Sensors that vanish from a file: board while Velmon runs: a temperature, a
# fan and a voltage each lose their line. Each shows "no reading" (not 0),
# raises no alarm, is said lost once (standard error, the tray's tooltip),
# drops out of velmon.prom (which promtool still accepts) while its failed
# reads count up, and is read again when its line comes back.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/lib.sh"
. "$here/machines_lib.sh"
e2e_require Xvfb openbox trayer xdotool xwininfo import
stage="${VELMON_STAGE_DIR:?VELMON_STAGE_DIR names the folder holding velmon}"
[ -x "$stage/velmon" ] || e2e_fail "no velmon in $stage"

e2e_file_user '[ZORVMonitor]\nShowLogo=0\nFanInterval=1\nTempInterval=1\nVoltInterval=1\n'
mkdir -p "$E2E_TMP/textfile"
e2e_start_display
dump="$E2E_TMP/summary"
prom="$E2E_TMP/textfile/velmon.prom"
VELMON_TEST_DUMP="$dump" "$stage/velmon" --metrics-dir "$E2E_TMP/textfile" >"$E2E_TMP/velmon.log" 2>&1 &
velmon_pid=$!
E2E_PIDS+=($velmon_pid)
shown() { grep -qx "$1 = $2" "$dump" 2>/dev/null; }
e2e_wait 20 e2e_tray_icon_centre || e2e_fail "the tray icon did not appear"
e2e_wait 10 shown "temp 0" "45C/113F" || e2e_fail "Summary: $(cat "$dump" 2>/dev/null)"
machines_tip_is "System is in normal state" || e2e_fail "not in the normal state at start"

# without NAME: the board's readings without NAME's line, replaced in one step
without() {
    write_readings 3500
    grep -v "^$1 " "$readings" >"$readings.new" && mv "$readings.new" "$readings"
}
lost_lines() { grep -c "^velmon: $1 sensor lost: no reading after 3 failed reads$" "$E2E_TMP/velmon.log"; }
back_lines() { grep -c "^velmon: $1 sensor reads again$" "$E2E_TMP/velmon.log"; }
said_lost() { [ "$(lost_lines "$1")" -ge 1 ]; }
said_back() { [ "$(back_lines "$1")" -ge 1 ]; }
promtool_ok() {
    command -v promtool >/dev/null || return 0
    local out
    out="$(promtool check metrics <"$prom" 2>&1)" && [ -z "$out" ] || { echo "$out"; return 1; }
}

# line    Summary key  name on the page    its sample in velmon.prom               value when back
cases=(
    "cpu_temp|temp 0|CPU Temperature|velmon_temperature_celsius{sensor=\"cpu\"}|45C/113F"
    "cpu_fan|fan 0|CPU Fan|velmon_fan_speed_rpm{fan=\"cpu\"}|3500"
    "in3|volt 3|+5V|velmon_voltage_volts{input=\"5v\"}|5.0"
)
for c in "${cases[@]}"; do
    IFS='|' read -r line key name sample value <<<"$c"
    without "$line"
    e2e_wait 10 shown "$key" "no reading" || e2e_fail "$name: Summary does not say no reading: $(grep "^$key" "$dump")"
    e2e_wait 10 said_lost "$name" || e2e_fail "$name: no word that the sensor is lost"
    e2e_wait 5 machines_tip_is "Sensor lost: $name" || e2e_fail "$name: tooltip $(grep '^tray' "$dump")"
    e2e_wait 5 bash -c "! grep -qF '$sample ' '$prom'" || e2e_fail "$name: velmon.prom keeps the sample: $(grep -F "$sample" "$prom")"
    grep -q "^velmon_read_failures_total{channel=\"$line\"} [1-9]" "$prom" || e2e_fail "$name: no failed reads counted"
    promtool_ok || e2e_fail "$name: promtool check metrics refuses velmon.prom"
    sleep 3
    [ "$(lost_lines "$name")" -eq 1 ] || e2e_fail "$name: said lost $(lost_lines "$name") times"
    e2e_main_window >/dev/null && e2e_fail "$name: a vanished sensor brought up the window"
    grep -q '^tray = System is in warning state$' "$dump" && e2e_fail "$name: a vanished sensor warned"
    grep -qx 'velmon_warning_state 0' "$prom" || e2e_fail "$name: velmon.prom is in the warning state"
    echo "ok: $name: no reading, no alarm, said lost once, not in velmon.prom"

    write_readings 3500
    e2e_wait 10 shown "$key" "$value" || e2e_fail "$name: not read again: $(grep "^$key" "$dump")"
    e2e_wait 5 said_back "$name" || e2e_fail "$name: no word that it reads again"
    e2e_wait 5 machines_tip_is "System is in normal state" || e2e_fail "$name: tooltip after return: $(grep '^tray' "$dump")"
    e2e_wait 5 grep -qF "$sample " "$prom" || e2e_fail "$name: the sample did not come back to velmon.prom"
    echo "ok: $name: read again ($value)"
done

# Back and judged again: the fan that returns stopped warns.
write_readings 0
e2e_wait 10 e2e_main_window || e2e_fail "a stopped fan after its return did not warn"
echo "ok: a returned sensor is judged again"
