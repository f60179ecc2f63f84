#!/usr/bin/env bash
# Velmon on the fake hwmon trees of today's machines (tests/hwmon/trees), read
# through libsensors in a private mount namespace, as a new user starts it:
# nothing stored. On each: it starts in the normal state (no window, the tray
# icon steady), the Summary lists only what the machine has with the values
# libzorv reads there, a healthy full load stays normal, a CPU at 99 C and a
# stopped fan warn, and the thresholds stored at the end are the machine's
# defaults. Started again with thresholds that warn at once, Settings' "Reset
# to Default" brings the machine's defaults back and the warning ends. The
# machine without a sensor ends with the no-chip message.
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
[ -x "$trees" ] || [ -f "$trees" ] || e2e_fail "no $trees"

E2E_TMP="$(mktemp -d)"
trap 'umount /sys/class 2>/dev/null; e2e_cleanup' EXIT
e2e_start_display

# summary_of NAME: the Summary lines libzorv's readings give, sorted.
summary_of() {
    bash "$trees" --expect "$1" | awk '
        $2 == "absent" { next }
        $1 ~ /_fan$/ { i = ($1 == "cpu_fan") ? 0 : ($1 == "power_fan") ? 1 : 2; print "fan " i " = " $2 }
        $1 ~ /_temp$/ {
            i = ($1 == "cpu_temp") ? 0 : 1
            f = $2 * 9 / 5 + 32; f = (f >= 0) ? int(f + 0.5) : -int(-f + 0.5)
            print "temp " i " = " $2 "C/" f "F"
        }
        $1 ~ /^in[0-6]$/ {
            v = int(($2 / 1000 + 0.05) * 10 + 1e-6); if (($2 / 1000 + 0.05) * 10 < v) v--
            printf "volt %s = %.1f\n", substr($1, 3), v / 10
        }' | sort
}

# The system's defaults, for the channels the library has none of its own for.
system_default() {
    case "$1" in
    cpu_fan) echo "2800 0" ;; power_fan) echo "2700 0" ;; chassis_fan) echo "1800 0" ;;
    cpu_temp) echo "0 80" ;; mb_temp) echo "0 50" ;;
    in0) echo "1500 3700" ;; in1) echo "1300 3700" ;; in2) echo "2900 3900" ;; in3) echo "4500 5500" ;;
    in4) echo "11000 13000" ;; in5) echo "-13700 -10300" ;; in6) echo "-5700 -4300" ;;
    esac
}

# stored_defaults NAME: the Velmon.ini lines the machine's defaults give, sorted.
stored_defaults() {
    local channel lower upper origin
    bash "$trees" --defaults "$1" | while read -r channel lower upper origin; do
        [ "$lower" = absent ] && continue
        [ "$origin" = system ] && read -r lower upper < <(system_default "$channel")
        case "$channel" in
        cpu_fan) echo "CPUFan=$lower" ;; power_fan) echo "PowerFan=$lower" ;; chassis_fan) echo "ChassisFan=$lower" ;;
        cpu_temp) echo "CPUTemp=$upper" ;; mb_temp) echo "MBTemp=$upper" ;;
        in[0-6]) awk -v i="${channel#in}" -v lo="$lower" -v hi="$upper" \
            'BEGIN { printf "VolDn%s=%g\nVolUp%s=%g\n", i, lo / 1000, i, hi / 1000 }' ;;
        esac
    done | sort
}
stored_thresholds() {
    grep -E '^(CPUFan|PowerFan|ChassisFan|CPUTemp|MBTemp|VolUp[0-6]|VolDn[0-6])=' \
        "$E2E_TMP/config/Velmon/Velmon.ini" | sort
}
# check_stored_defaults NAME WHEN [LINES]: Velmon.ini holds the machine's
# defaults, and the lines given (thresholds of channels it lacks) unchanged.
check_stored_defaults() {
    local expected
    expected="$({ stored_defaults "$1"; [ -z "${3:-}" ] || printf '%s\n' "$3"; } | sort)"
    [ "$(stored_thresholds)" = "$expected" ] ||
        e2e_fail "$1: $2, Velmon.ini holds
$(stored_thresholds)
expected
$expected"
}

# put_lines: "CHANNEL FILE VALUE" lines on stdin written into the tree; the
# old contents are kept in $E2E_TMP/restore.
put_lines() {
    local channel file value
    while read -r channel file value; do
        [ -n "$file" ] || continue
        printf '%s %s\n' "$file" "$(cat "/sys/class/$file")" >>"$E2E_TMP/restore"
        machines_put "/sys/class/$file" "$value\n"
    done
}
restore_lines() {
    local file value
    while read -r file value; do machines_put "/sys/class/$file" "$value\n"; done <"$E2E_TMP/restore"
    rm -f "$E2E_TMP/restore"
}

first_start() {  # NAME
    local name="$1" expected
    expected="$(summary_of "$name")"
    machines_start_velmon '[ZORVMonitor]\nShowLogo=0\nFanInterval=1\nTempInterval=1\nVoltInterval=1\n'
    machines_expect_quiet_start "$name" "$expected"

    rm -f "$E2E_TMP/restore"
    bash "$trees" --load "$name" | put_lines
    sleep 3  # three polls of every group
    e2e_main_window >/dev/null && e2e_fail "$name: a healthy full load brought up the window"
    machines_tip_is "System is in normal state" || e2e_fail "$name: a healthy full load warns"
    restore_lines
    echo "ok: $name stays normal under a healthy full load"

    bash "$trees" --hot "$name" | put_lines
    e2e_wait 10 e2e_main_window || e2e_fail "$name: a CPU at 99 C did not bring up the window"
    e2e_wait 5 machines_tip_is "System is in warning state" || e2e_fail "$name: a CPU at 99 C does not warn"
    restore_lines
    e2e_wait 5 machines_tip_is "System is in normal state" || e2e_fail "$name: the warning outlasts the heat"
    echo "ok: $name warns at 99 C and ends the warning when it cools"

    bash "$trees" --fault "$name" | put_lines
    e2e_wait 10 machines_tip_is "System is in warning state" || e2e_fail "$name: the fault does not warn"
    [ "$(machines_icon_images)" -gt 1 ] || e2e_fail "$name: the tray icon does not flip in the warning state"
    restore_lines
    echo "ok: $name warns on its fault: $(bash "$trees" --fault "$name" | cut -d' ' -f1,3)"
    machines_stop_velmon
    check_stored_defaults "$name" "after a first start"
    echo "ok: $name stored its own defaults"
}

# Thresholds of the user's that warn at once; Reset to Default in Settings
# brings the machine's defaults back.
reset_to_default() {  # NAME
    local name="$1" win set_id kept key
    machines_start_velmon '[ZORVMonitor]\nShowLogo=0\nFanInterval=1\nTempInterval=1\nVoltInterval=1\nCPUFan=5000\nPowerFan=5000\nChassisFan=5000\nCPUTemp=41\nMBTemp=11\n'
    cp "$E2E_TMP/config/Velmon/Velmon.ini" "$E2E_TMP/config/Velmon/Velmon.ini.start"
    e2e_wait 20 e2e_tray_icon_centre || e2e_fail "$name: the tray icon did not appear"
    e2e_wait 10 e2e_main_window || e2e_fail "$name: thresholds below the readings did not bring up the window"
    e2e_wait 5 machines_tip_is "System is in warning state" || e2e_fail "$name: stored thresholds do not win"
    win="$(e2e_main_window)"
    e2e_press "$win" 475 336  # the Setting oval
    settings_open() { xdotool search --onlyvisible --name '^Settings -- Velmora V1.3$' | head -n 1 | grep .; }
    e2e_wait 10 settings_open >/dev/null || e2e_fail "$name: the Settings dialog did not open"
    set_id="$(settings_open)"
    e2e_click "$set_id" 327 163  # "Reset to Default", every box ticked
    e2e_wait 10 bash -c '! xdotool search --onlyvisible --name "^Settings -- Velmora V1.3$" | grep -q .' ||
        e2e_fail "$name: the reset did not close Settings"
    e2e_wait 10 machines_tip_is "System is in normal state" || e2e_fail "$name: still warning after Reset to Default"
    machines_stop_velmon
    # The user's thresholds of channels the machine lacks stay as they were.
    kept="$(for key in CPUFan PowerFan ChassisFan CPUTemp MBTemp; do
        stored_defaults "$name" | grep -q "^$key=" || grep "^$key=" "$E2E_TMP/config/Velmon/Velmon.ini.start"
    done)"
    check_stored_defaults "$name" "after Reset to Default" "$kept"
    echo "ok: $name: Reset to Default gives the machine's defaults"
}

for name in $(bash "$trees" --list); do
    umount /sys/class 2>/dev/null
    mount -t tmpfs velmon-machines /sys/class || e2e_fail "cannot mount a tmpfs over /sys/class"
    bash "$trees" "$name" /sys/class "$E2E_TMP/sensors.conf" || e2e_fail "$name: make_tree.sh failed"
    export ZORV_SOURCE=hwmon ZORV_SENSORS_CONF="$E2E_TMP/sensors.conf"
    cpu_temp="$(bash "$trees" --expect "$name" | awk '$1 == "cpu_temp" { print $2 }')"
    if [ "$cpu_temp" = absent ]; then
        machines_expect_no_chip "$name"
        continue
    fi
    first_start "$name"
    reset_to_default "$name"
done
