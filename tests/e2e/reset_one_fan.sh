#!/usr/bin/env bash
# A board whose MBFAN.INI section fits only the CPU fan: "Reset to Default"
# in Settings, then the main window active again, leaves the monitor in the
# normal state (the two fans it never reads do not warn), and Exit stores the
# default thresholds.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/lib.sh"
e2e_require Xvfb openbox trayer xdotool xwininfo xprop import convert
stage="${VELMON_STAGE_DIR:?VELMON_STAGE_DIR names the folder holding velmon}"
[ -x "$stage/velmon" ] || e2e_fail "no velmon in $stage"

# The two fans the board lacks read 0, as they would on such a board.
e2e_file_user '[ZORVMonitor]\nShowLogo=0\nCPUFan=2000\nCPUTemp=85\n'
write_readings 3500 0 0
# MBFAN.INI is read next to the program: a copy of the staged folder with a
# file of our own, and a firmware whose board name is its section.
app="$E2E_TMP/app"
mkdir -p "$app" "$E2E_TMP/sys/class/dmi/id"
cp -a "$stage/." "$app/" || e2e_fail "cannot copy $stage"
printf '[E2E One Fan]\nCPU=1\nPOWER=0\nCHASSIS=0\n' >"$app/MBFAN.INI"
printf 'E2E One Fan\n' >"$E2E_TMP/sys/class/dmi/id/board_name"

dump="$E2E_TMP/dump"
export ZORVDMI_SYSFS_ROOT="$E2E_TMP/sys" ZORVDMI_DEVMEM=/nonexistent ZORVDMI_IMAGE=
export VELMON_TEST_ANSWER=yes VELMON_TEST_DUMP="$dump"
e2e_start_display

"$app/velmon" >"$E2E_TMP/velmon.log" 2>&1 &
velmon=$!
E2E_PIDS+=("$velmon")

e2e_wait 20 e2e_tray_icon_centre || e2e_fail "the tray icon did not appear"
e2e_wait 10 grep -qx "tray = System is in normal state" "$dump" || e2e_fail "not normal at the start: $(cat "$dump")"
grep -q "^fan 1 = \|^fan 2 = " "$dump" && e2e_fail "a fan the board does not have was read: $(cat "$dump")"
read -r ix iy < <(e2e_tray_icon_centre)
xdotool mousemove "$ix" "$iy" click 1
e2e_wait 10 e2e_main_window || e2e_fail "a tray click did not show the main window"
win="$(e2e_main_window)"
shot="$E2E_TMP/shot.png"
e2e_shot "$shot" "$win"
# One fan: its dial stands alone at x 165 on the page, its disc black at
# (279, 135) in the window; the band of 2000 RPM leaves 168 degrees,
# (228, 117), black too.
[ "$(e2e_pixel "$shot" 279 135)" = 0,0,0 ] && [ "$(e2e_pixel "$shot" 228 117)" = 0,0,0 ] \
    || e2e_fail "no dial at x 165, or red at 168 degrees before the reset"
echo "ok: one fan dial, normal state"

window_sized() {
    local id w h
    for id in $(xdotool search --onlyvisible --name "^$1\$"); do
        read -r w h < <(e2e_window_size "$id") || continue
        [ "$w" -eq "$2" ] && [ "$h" -eq "$3" ] && { echo "$id"; return 0; }
    done
    return 1
}
e2e_press "$win" 475 336    # Setting oval
e2e_wait 10 window_sized "Settings -- Velmora V1.3" 452 236 || e2e_fail "the Settings dialog did not open"
set_id="$(window_sized "Settings -- Velmora V1.3" 452 236)"
e2e_click "$set_id" 327 163  # "Reset to Default", every box ticked
e2e_wait 10 bash -c '! xdotool search --onlyvisible --name "^Settings -- Velmora V1.3$" | grep -q .' \
    || e2e_fail "the reset did not close Settings"
e2e_wait 5 grep -q "All select warning thresholds have been reset to default thresholds." "$E2E_TMP/velmon.log" \
    || e2e_fail "the reset's message was not shown"
# The main window is active again and has redrawn with the defaults: the CPU
# dial's band now reaches 2800 RPM (157 degrees), past the old 2000.
e2e_wait 5 e2e_main_window || e2e_fail "the main window is gone after the reset"
redrawn() { e2e_shot "$shot" "$win" && [ "$(e2e_pixel "$shot" 228 117)" = 255,0,0 ]; }
e2e_wait 5 redrawn || e2e_fail "the dial was not redrawn after the reset: $(e2e_pixel "$shot" 228 117)"
echo "ok: Reset to Default redrew the window"

# Several alert ticks (700 ms each): the state stays normal.
sleep 3
grep -qx "tray = System is in normal state" "$dump" || e2e_fail "warning state after the reset: $(cat "$dump")"
e2e_click "$win" 547 336   # Close oval
e2e_wait 5 bash -c '! xdotool search --onlyvisible --name "^Velmora$" | grep -q .' \
    || e2e_fail "the Close oval did not hide the window"
sleep 2
e2e_main_window >/dev/null && e2e_fail "the window popped up again"
grep -qx "tray = System is in normal state" "$dump" || e2e_fail "warning state after Close: $(cat "$dump")"
echo "ok: normal state after the reset"

e2e_exit_by_tray "$velmon"
wait "$velmon" || e2e_fail "velmon ended with status $?"
ini="$E2E_TMP/config/Velmon/Velmon.ini"
for line in CPUFan=2800 CPUInst=True CPUTemp=80 MBTemp=50 VolUp0=3.7; do
    grep -qx "$line" "$ini" || e2e_fail "Velmon.ini lacks $line: $(tr '\n' ' ' <"$ini")"
done
grep -q "^PowerFan=\|^ChassisFan=\|^PowerInst=\|^ChassisInst=" "$ini" \
    && e2e_fail "thresholds of fans the board does not have were stored: $(tr '\n' ' ' <"$ini")"
echo "ok: default thresholds stored"
echo "PASS"
