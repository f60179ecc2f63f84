#!/usr/bin/env bash
# Velmon on a private X display with a tray host: the icon appears, a stopped
# CPU fan brings up the hidden window, a second start exits silently, and Exit
# through the tray menu, answered Yes, stores the thresholds.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/lib.sh"
e2e_require Xvfb openbox trayer xdotool xwininfo xprop
stage="${VELMON_STAGE_DIR:?VELMON_STAGE_DIR names the folder holding velmon}"
[ -x "$stage/velmon" ] || e2e_fail "no velmon in $stage"

E2E_TMP="$(mktemp -d)"
trap e2e_cleanup EXIT
mkdir -p "$E2E_TMP/config/Velmon" "$E2E_TMP/runtime" "$E2E_TMP/registry"
chmod 700 "$E2E_TMP/runtime"
printf '[ZORVMonitor]\nShowLogo=0\n' >"$E2E_TMP/config/Velmon/Velmon.ini"
readings="$E2E_TMP/readings"
write_readings() {
    cat >"$readings.new" <<EOT
cpu_fan = $1
power_fan = 3000
chassis_fan = 2500
cpu_temp = 45
mb_temp = 30
in0 = 2800
in1 = 2500
in2 = 3300
in3 = 5000
in4 = 12000
in5 = -12000
in6 = -5000
EOT
    mv "$readings.new" "$readings"
}
write_readings 3500

export XDG_CONFIG_HOME="$E2E_TMP/config" XDG_RUNTIME_DIR="$E2E_TMP/runtime"
export ZORV_REGISTRY="$E2E_TMP/registry" ZORV_SOURCE="file:$readings" VELMON_TEST_ANSWER=yes
e2e_start_display

"$stage/velmon" >"$E2E_TMP/velmon.log" 2>&1 &
velmon=$!
E2E_PIDS+=("$velmon")

e2e_wait 20 e2e_tray_icon_centre || e2e_fail "the tray icon did not appear"
echo "ok: tray icon at $(e2e_tray_icon_centre)"
e2e_main_window >/dev/null && e2e_fail "the main window is shown at startup"

# A second start with the same lock folder ends at once and says nothing.
timeout 20 "$stage/velmon" >"$E2E_TMP/second.log" 2>&1
status=$?
[ "$status" -eq 0 ] || e2e_fail "second instance ended with status $status"
[ -s "$E2E_TMP/second.log" ] && e2e_fail "second instance printed: $(cat "$E2E_TMP/second.log")"
echo "ok: second instance exited silently"

write_readings 0
e2e_wait 15 e2e_main_window || e2e_fail "the stopped fan did not bring up the main window"
win="$(e2e_main_window)"
read -r _ geometry < <(xwininfo -id "$win" | awk '/-geometry/ {print "g", $2}')
echo "ok: main window $win shown ($geometry)"
[[ "$geometry" == 600x381* ]] || e2e_fail "main window is $geometry, not 600x381"

# The fan turns again; once its alarm has cleared, Close hides the window.
write_readings 3500
sleep 6
e2e_click "$win" 547 336   # Close oval
e2e_wait 5 bash -c '! xdotool search --onlyvisible --name "^Velmora$" | grep -q .' \
    || e2e_fail "the Close oval did not hide the window"
echo "ok: Close hid the window"

e2e_exit_by_tray "$velmon"
wait "$velmon"
status=$?
[ "$status" -eq 0 ] || e2e_fail "velmon ended with status $status"
grep -q "Do you want to exit Velmora ?" "$E2E_TMP/velmon.log" || e2e_fail "the exit question was not asked"

ini="$E2E_TMP/config/Velmon/Velmon.ini"
for line in CPUFan=2800 PowerFan=2700 ChassisFan=1800 CPUInst=True PowerInst=True ChassisInst=True \
            CPUTemp=80 MBTemp=50 VolUp0=3.7 VolDn0=1.5 VolUp4=13 VolDn4=11 VolUp5=-10.3 VolDn5=-13.7 \
            ShowLogo=0; do
    grep -qx "$line" "$ini" || e2e_fail "Velmon.ini lacks $line: $(tr '\n' ' ' <"$ini")"
done
echo "ok: thresholds stored"
echo "PASS"
