#!/usr/bin/env bash
# The main window driven with the pointer under a window manager: it opens
# centred, a click on the CPU fan's spin control, the chassis fan's spin
# arrow held down (it repeats), a drag of the CPU
# temperature pointer and of the +5V bar's upper marker each repaint their
# gauge and are stored at Exit; dragging the window's background moves it
# where the window manager reports it, polling stays paused while the button
# is held (also when the pointer stands still) and resumes at the release.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/lib.sh"
e2e_require Xvfb openbox trayer xdotool xwininfo xprop import convert
stage="${VELMON_STAGE_DIR:?VELMON_STAGE_DIR names the folder holding velmon}"
[ -x "$stage/velmon" ] || e2e_fail "no velmon in $stage"

# Every group read at each tick, so a paused or resumed cycle shows at once.
e2e_file_user '[ZORVMonitor]\nShowLogo=0\nFanInterval=1\nTempInterval=1\nVoltInterval=1\n'
dump="$E2E_TMP/dump"
export VELMON_TEST_ANSWER=yes VELMON_TEST_DUMP="$dump"
e2e_start_display

"$stage/velmon" >"$E2E_TMP/velmon.log" 2>&1 &
velmon=$!
E2E_PIDS+=("$velmon")

e2e_wait 20 e2e_tray_icon_centre || e2e_fail "the tray icon did not appear"
read -r ix iy < <(e2e_tray_icon_centre)
xdotool mousemove "$ix" "$iy" click 1
e2e_wait 10 e2e_main_window || e2e_fail "a tray click did not show the main window"
win="$(e2e_main_window)"
read -r wx wy < <(e2e_window_corner "$win")
[ "$wx" -eq 212 ] && [ "$wy" -eq 193 ] || e2e_fail "the main window is at $wx,$wy, not centred at 212,193"
echo "ok: main window centred at $wx,$wy"

shot="$E2E_TMP/shot.png"
# pixel_is X Y R,G,B: the window's pixel at X Y, as last painted, has that colour.
pixel_is() {
    e2e_shot "$shot" "$win" && [ "$(e2e_pixel "$shot" "$1" "$2")" = "$3" ]
}
pixel_of() { e2e_shot "$shot" "$win" && e2e_pixel "$shot" "$1" "$2"; }

# Fan page, CPU dial at (46, 55): five clicks on the spin control's up arrow
# raise the threshold from 2800 to 3300. The red band then reaches the scale
# at 146 degrees, (36, 49) in the dial, which was black.
[ "$(pixel_of 82 104)" = 0,0,0 ] || e2e_fail "the CPU dial is red at 146 degrees before the clicks"
for _ in 1 2 3 4 5; do
    e2e_click "$win" 109 233
    sleep 0.3
done
e2e_wait 5 pixel_is 82 104 255,0,0 || e2e_fail "the red band did not grow: $(pixel_of 82 104)"
cp "$shot" "$E2E_TMP/fan.png"
echo "ok: spin control repainted the CPU dial"

# The chassis fan's down arrow held for three seconds: the steps repeat and
# speed up, from 1800 RPM down to the bound of 1 in one press (stored at Exit).
read -r x y < <(e2e_window_corner "$win")
xdotool mousemove $((x + 403)) $((y + 241)) mousedown 1
sleep 3
xdotool mouseup 1
echo "ok: held the chassis fan's spin arrow"

# Temperature page: the CPU gauge at (111, 56), its pointer (Top 22 for 80 C)
# dragged 24 rows down sets 70 C; slot 3 (row 47) turns from green to dark red.
e2e_press "$win" 545 121
e2e_wait 5 pixel_is 143 103 0,128,64 || e2e_fail "the Temperature page did not show: $(pixel_of 143 103)"
e2e_drag "$win" 129 86 0 24
e2e_wait 5 pixel_is 143 103 128,0,0 || e2e_fail "the gauge was not repainted for 70 C: $(pixel_of 143 103)"
e2e_wait 5 pixel_is 128 110 255,56,56 || e2e_fail "the pointer did not move to 70 C"
cp "$shot" "$E2E_TMP/temperature.png"
echo "ok: pointer drag repainted the CPU gauge"

# Voltage page: the +5V bar at (186, 63), its upper marker (Top 58 for 5.5 V)
# dragged 18 rows up sets 6.0 V; row 50 of the scale turns from dark red to green.
e2e_press "$win" 545 187
e2e_wait 5 pixel_is 216 113 128,0,0 || e2e_fail "the Voltage page did not show: $(pixel_of 216 113)"
e2e_drag "$win" 203 123 0 -18
e2e_wait 5 pixel_is 216 113 0,128,64 || e2e_fail "the +5V bar was not repainted for 6.0 V: $(pixel_of 216 113)"
cp "$shot" "$E2E_TMP/voltage.png"
echo "ok: marker drag repainted the +5V bar"

# The window's background below the page: a press there moves the window.
# The fan changes while the button is held and the pointer stands still for
# longer than the move's idle limit; the Summary shows it only after the release.
e2e_wait 10 grep -qx "fan 0 = 3500" "$dump" || e2e_fail "Summary: $(cat "$dump")"
xdotool mousemove $((wx + 300)) $((wy + 300)) mousedown 1
sleep 0.3
for i in 1 2 3 4 5 6 7 8; do
    xdotool mousemove $((wx + 300 - 100 * i / 8)) $((wy + 300 - 80 * i / 8))
    sleep 0.05
done
write_readings 3600
sleep 3.5
during="$(grep "^fan 0 = " "$dump")"
read -r mx my < <(e2e_window_corner "$win")
xdotool mouseup 1
[ "$during" = "fan 0 = 3500" ] || e2e_fail "polling ran during the move ($during)"
[ "$mx" -eq $((wx - 100)) ] && [ "$my" -eq $((wy - 80)) ] \
    || e2e_fail "the window is at $mx,$my during the move, not $((wx - 100)),$((wy - 80))"
e2e_wait 10 grep -qx "fan 0 = 3600" "$dump" || e2e_fail "polling did not resume after the release: $(cat "$dump")"
read -r mx my < <(e2e_window_corner "$win")
[ "$mx" -eq $((wx - 100)) ] && [ "$my" -eq $((wy - 80)) ] || e2e_fail "the window ended at $mx,$my"
echo "ok: window moved to $mx,$my; polling paused while held, resumed at the release"

e2e_click "$win" 547 336   # Close oval
e2e_wait 5 bash -c '! xdotool search --onlyvisible --name "^Velmora$" | grep -q .' \
    || e2e_fail "the Close oval did not hide the window"
e2e_exit_by_tray "$velmon"
wait "$velmon" || e2e_fail "velmon ended with status $?"

ini="$E2E_TMP/config/Velmon/Velmon.ini"
for line in CPUFan=3300 ChassisFan=1 CPUTemp=70 VolUp3=6 VolDn3=4.5 PowerFan=2700 MBTemp=50; do
    grep -qx "$line" "$ini" || e2e_fail "Velmon.ini lacks $line: $(tr '\n' ' ' <"$ini")"
done
echo "ok: thresholds stored in their text forms"
echo "PASS"
