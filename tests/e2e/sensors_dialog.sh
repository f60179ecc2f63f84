#!/usr/bin/env bash
# The Sensors dialog on a fake Intel desktop (tests/hwmon/trees, intel-nct6775)
# read through libsensors: from Settings, Sensors… maps the NVMe drive's
# Composite temperature as Mainboard and the Nuvoton's third fan header as
# Power. The Summary shows both at the next reading and zorv.conf holds the
# lines; after a restart the choice stays; "automatic" brings the built-in
# map back. A hand edit of zorv.conf, replaced by rename while Velmon runs,
# shows at the next reading. With VELMON_SCREENSHOT_DIR set, the dialog's
# picture is kept there as sensors.png.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
repo="$(cd "$here/../.." && pwd)"
trees="$repo/tests/hwmon/trees/make_tree.sh"

. "$here/lib.sh"
. "$here/machines_lib.sh"
machines_private_mounts "$0" "$@"
e2e_require Xvfb trayer openbox xdotool xwininfo import
stage="${VELMON_STAGE_DIR:?VELMON_STAGE_DIR names the folder holding velmon}"
[ -x "$stage/velmon" ] || e2e_fail "no velmon in $stage"

E2E_TMP="$(mktemp -d)"
trap 'umount /sys/class 2>/dev/null; e2e_cleanup' EXIT
mount -t tmpfs velmon-sensors /sys/class || e2e_fail "cannot mount a tmpfs over /sys/class"
bash "$trees" intel-nct6775 /sys/class "$E2E_TMP/sensors.conf" || e2e_fail "make_tree.sh failed"
export ZORV_SOURCE=hwmon ZORV_SENSORS_CONF="$E2E_TMP/sensors.conf"
conf="$E2E_TMP/config/zorv/zorv.conf"
mkdir -p "$E2E_TMP/config/Velmon" "$E2E_TMP/config/zorv" "$E2E_TMP/runtime" "$E2E_TMP/registry"
chmod 700 "$E2E_TMP/runtime"
printf '[ZORVMonitor]\nShowLogo=0\nFanInterval=1\nTempInterval=1\nVoltInterval=1\n' >"$E2E_TMP/config/Velmon/Velmon.ini"
printf '# my own notes stay\nsource = hwmon\n' >"$conf"
e2e_start_display

# Velmon on the same settings and zorv.conf each time.
start_velmon() {
    rm -f "$E2E_TMP/summary"
    XDG_CONFIG_HOME="$E2E_TMP/config" XDG_RUNTIME_DIR="$E2E_TMP/runtime" ZORV_REGISTRY="$E2E_TMP/registry" \
        VELMON_TEST_ANSWER=yes VELMON_TEST_DUMP="$E2E_TMP/summary" \
        "$stage/velmon" >>"$E2E_TMP/velmon.log" 2>&1 &
    velmon_pid=$!
    E2E_PIDS+=($velmon_pid)
    e2e_wait 20 e2e_tray_icon_centre || e2e_fail "the tray icon did not appear"
}
summary_has() { grep -qx "$1" "$E2E_TMP/summary" 2>/dev/null; }
expect_summary() {  # LINE WHAT
    e2e_wait 10 summary_has "$1" || e2e_fail "$2: the Summary lacks \"$1\":
$(machines_summary)"
}
dialog_id() { xdotool search --onlyvisible --name "^$1\$" | head -n 1 | grep .; }

# Main window from the tray, Settings from its oval, Sensors… from Settings.
open_sensors() {
    local ix iy win set_id
    if ! e2e_main_window >/dev/null; then
        read -r ix iy < <(e2e_tray_icon_centre)
        xdotool mousemove "$ix" "$iy" click 1
        e2e_wait 10 e2e_main_window || e2e_fail "a tray click did not show the main window"
    fi
    win="$(e2e_main_window)"
    e2e_press "$win" 475 336  # the Setting oval
    e2e_wait 10 dialog_id "Settings -- Velmora V1.3" >/dev/null || e2e_fail "the Settings dialog did not open"
    set_id="$(dialog_id "Settings -- Velmora V1.3")"
    e2e_click "$set_id" 55 212  # Sensors…
    e2e_wait 10 dialog_id "Sensors -- Velmora V1.3" >/dev/null || e2e_fail "the Sensors dialog did not open"
    sensors_id="$(dialog_id "Sensors -- Velmora V1.3")"
    settings_id="$set_id"
    sleep 1
}
# pick ROW_Y TEXT: opens the channel's list at the row and picks the first
# entry starting with TEXT.
pick() {
    e2e_click "$sensors_id" 207 "$1"
    sleep 0.7
    xdotool type --delay 40 "$2"
    sleep 0.3
    xdotool key Return
    sleep 0.5
}
close_dialogs() {
    e2e_click "$sensors_id" 549 424  # OK
    e2e_wait 10 bash -c '! xdotool search --onlyvisible --name "^Sensors -- Velmora V1.3$" | grep -q .' ||
        e2e_fail "OK did not close the Sensors dialog: $(tail -3 "$E2E_TMP/velmon.log")"
    e2e_click "$settings_id" 333 212  # Settings' OK
    e2e_wait 10 bash -c '! xdotool search --onlyvisible --name "^Settings -- Velmora V1.3$" | grep -q .' ||
        e2e_fail "Settings did not close"
}
kMainboard=345 kPower=270

start_velmon
expect_summary "temp 1 = 30C/86F" "at the start (SYSTIN)"
summary_has "fan 1 = 760" && e2e_fail "the power fan is read before it is chosen"
echo "ok: the built-in map at the start"

open_sensors
if [ -n "${VELMON_SCREENSHOT_DIR:-}" ]; then
    e2e_shot "$VELMON_SCREENSHOT_DIR/sensors.png" "$sensors_id"
fi
pick $kMainboard "nvme-pci"
pick $kPower "nct6775-isa-0290/fan3"
if [ -n "${VELMON_SCREENSHOT_DIR:-}" ]; then
    e2e_shot "$VELMON_SCREENSHOT_DIR/sensors-chosen.png" "$sensors_id"
fi
close_dialogs
expect_summary "temp 1 = 39C/102F" "after the choice (NVMe Composite 38.85 C)"
expect_summary "fan 1 = 760" "after the choice (third header)"
grep -qx "mb_temp = nvme-pci-0100/temp1" "$conf" || e2e_fail "zorv.conf: $(cat "$conf")"
grep -qx "power_fan = nct6775-isa-0290/fan3" "$conf" || e2e_fail "zorv.conf: $(cat "$conf")"
grep -qx "# my own notes stay" "$conf" || e2e_fail "zorv.conf lost a comment: $(cat "$conf")"
echo "ok: the choice shows at the next reading and zorv.conf holds it"

machines_stop_velmon
start_velmon
expect_summary "temp 1 = 39C/102F" "after a restart"
expect_summary "fan 1 = 760" "after a restart"
echo "ok: the choice stays after a restart"

open_sensors
pick $kMainboard "auto"
pick $kPower "auto"
close_dialogs
expect_summary "temp 1 = 30C/86F" "after automatic again"
expect_summary "fan 1 = " "after automatic again (no power fan)"
grep -q "^mb_temp\|^power_fan" "$conf" && e2e_fail "automatic left lines in zorv.conf: $(cat "$conf")"
echo "ok: automatic brings the built-in map back"

# A hand edit, replaced by rename as editors do.
if win="$(e2e_main_window)"; then e2e_click "$win" 547 336; fi  # the Close oval: polling runs on
machines_put "$conf" "$(cat "$conf")\npower_fan = nct6775-isa-0290/fan3\n"
expect_summary "fan 1 = 760" "after a hand edit of zorv.conf"
echo "ok: a hand edit shows at the next reading"

machines_stop_velmon
# The power fan came with the machine's default (a stall threshold), not the
# 1997 board's 2700 RPM, and it is stored as any watched fan's.
grep -qx "PowerFan=300" "$E2E_TMP/config/Velmon/Velmon.ini" ||
    e2e_fail "Velmon.ini: $(grep -E '^(Power|CPU|MB)' "$E2E_TMP/config/Velmon/Velmon.ini" | tr '\n' ' ')"
echo "ok: the new channel has the machine's default"
echo "PASS"
