#!/usr/bin/env bash
# Thresholds in Velmon.ini that the pages cannot show, as a hand edit or a
# damaged file leaves them: Velmon starts promptly (its tray icon and its
# first Summary within seconds), clamps each to its scale's end (a number that
# is not finite gives the default), warns only as the clamped value says, and
# stores the clamped value at exit.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/lib.sh"
. "$here/machines_lib.sh"
e2e_require Xvfb openbox trayer xdotool xwininfo import
export VELMON_STAGE_DIR="${VELMON_STAGE_DIR:?VELMON_STAGE_DIR names the folder holding velmon}"
[ -x "$VELMON_STAGE_DIR/velmon" ] || e2e_fail "no velmon in $VELMON_STAGE_DIR"

E2E_TMP="$(mktemp -d)"
trap e2e_cleanup EXIT
e2e_start_display
readings="$E2E_TMP/readings"
export ZORV_SOURCE="file:$readings"
board() {  # CPU_FAN CPU_TEMP
    machines_put "$readings" "cpu_fan = $1\npower_fan = 3000\nchassis_fan = 2500\ncpu_temp = $2\nmb_temp = 30\nin0 = 2800\nin1 = 2500\nin2 = 3300\nin3 = 5000\nin4 = 12000\nin5 = -12000\nin6 = -5000\n"
}
summary_shown() { grep -q '^fan 0 = ' "$E2E_TMP/summary" 2>/dev/null; }

# start LINE: Velmon with the line in its settings, up within 10 s.
start() {
    local t0=$SECONDS
    machines_start_velmon "[ZORVMonitor]\nShowLogo=0\nFanInterval=1\nTempInterval=1\nVoltInterval=1\n$1\n"
    e2e_wait 10 e2e_tray_icon_centre || e2e_fail "$1: no tray icon within 10 s"
    e2e_wait 5 summary_shown || e2e_fail "$1: no Summary"
    echo "ok: $1: up in about $((SECONDS - t0)) s"
}
stored_is() {  # KEY=VALUE after the exit by the tray menu
    grep -qx "$1" "$E2E_TMP/config/Velmon/Velmon.ini" || e2e_fail "stored: $(grep "^${1%%=*}=" "$E2E_TMP/config/Velmon/Velmon.ini")"
}
stop() { machines_stop_velmon; }  # the session's end: thresholds are saved
quiet() {  # NAME: watched over more than a poll of every group, nothing warns
    [ "$(machines_icon_images)" -eq 1 ] || e2e_fail "$1: the tray icon flips"
    machines_tip_is "System is in normal state" || e2e_fail "$1: $(grep '^tray' "$E2E_TMP/summary")"
    kill -0 "$velmon_pid" || e2e_fail "$1: velmon ended"
}

board 3500 45
for c in VolUp3=3e8:VolUp3=7 VolUp4=1e7:VolUp4=14; do
    start "${c%%:*}"
    quiet "${c%%:*}"
    stop
    stored_is "${c#*:}"
    echo "ok: ${c%%:*} ends at its bar's top: ${c#*:}"
done

start CPUTemp=-40   # 41 C, the gauge's lowest: a CPU at 45 C warns ...
e2e_wait 5 machines_tip_is "System is in warning state" || e2e_fail "CPUTemp=-40: 45 C does not warn against 41 C"
board 3500 40        # ... and the warning ends when it cools below
e2e_wait 10 machines_tip_is "System is in normal state" || e2e_fail "CPUTemp=-40: the warning never ends"
stop; stored_is CPUTemp=41
echo "ok: CPUTemp=-40 is 41 C: a warning that ends"

board 3500 45
start CPUFan=-5      # 0 RPM: quiet while the fan turns, warns when it stops
quiet CPUFan=-5
board 0 45
e2e_wait 10 e2e_main_window || e2e_fail "CPUFan=-5: a stopped fan does not warn"
stop; stored_is CPUFan=0
echo "ok: CPUFan=-5 is 0 RPM: a stopped fan warns"

board 3500 45
start CPUTemp=nan
quiet CPUTemp=nan
stop; stored_is CPUTemp=80
echo "ok: CPUTemp=nan is the default, 80 C"
