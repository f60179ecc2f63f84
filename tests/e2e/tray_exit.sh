#!/usr/bin/env bash
# Velmon on a private X display with a tray host: the icon appears, a stopped
# CPU fan brings up the hidden window, and Exit
# through the tray menu, answered Yes, stores the thresholds.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/lib.sh"
e2e_require Xvfb openbox trayer xdotool xwininfo xprop
stage="${VELMON_STAGE_DIR:?VELMON_STAGE_DIR names the folder holding velmon}"
[ -x "$stage/velmon" ] || e2e_fail "no velmon in $stage"

e2e_file_user
export VELMON_TEST_ANSWER=yes
e2e_start_display

"$stage/velmon" >"$E2E_TMP/velmon.log" 2>&1 &
velmon=$!
E2E_PIDS+=("$velmon")

e2e_wait 20 e2e_tray_icon_centre || e2e_fail "the tray icon did not appear"
echo "ok: tray icon at $(e2e_tray_icon_centre)"
e2e_main_window >/dev/null && e2e_fail "the main window is shown at startup"

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
