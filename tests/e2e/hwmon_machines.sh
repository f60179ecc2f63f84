#!/usr/bin/env bash
# Velmon on the fake hwmon trees of today's machines (tests/hwmon/trees), read
# through libsensors in a private mount namespace. On each: it starts in the
# normal state (no window, the tray icon steady), the Summary lists only what
# the machine has with the values libzorv reads there, and a real fault (the
# CPU fan stopping; without a fan, the CPU at 95 C) brings the window. The
# machine without a sensor ends with the no-chip message.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
repo="$(cd "$here/../.." && pwd)"
trees="$repo/tests/hwmon/trees/make_tree.sh"

if [ -z "${VELMON_IN_NAMESPACE:-}" ]; then
    command -v unshare >/dev/null || { echo "SKIP: unshare is not installed"; exit 77; }
    unshare -m --propagation private true 2>/dev/null || { echo "SKIP: mount namespaces are not permitted here"; exit 77; }
    exec env VELMON_IN_NAMESPACE=1 unshare -m --propagation private bash "$0" "$@"
fi

. "$here/lib.sh"
. "$here/machines_lib.sh"
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

# A file of the tree that holds a reading, found by its value.
file_holding() {  # glob value
    local f
    for f in /sys/class/hwmon/hwmon*/$1; do
        [ "$(cat "$f" 2>/dev/null)" = "$2" ] && { echo "$f"; return 0; }
    done
    return 1
}

for name in $(bash "$trees" --list); do
    umount /sys/class 2>/dev/null
    mount -t tmpfs velmon-machines /sys/class || e2e_fail "cannot mount a tmpfs over /sys/class"
    bash "$trees" "$name" /sys/class "$E2E_TMP/sensors.conf" || e2e_fail "$name: make_tree.sh failed"
    export ZORV_SOURCE=hwmon ZORV_SENSORS_CONF="$E2E_TMP/sensors.conf"
    expected="$(summary_of "$name")"
    cpu_fan="$(bash "$trees" --expect "$name" | awk '$1 == "cpu_fan" { print $2 }')"
    cpu_temp="$(bash "$trees" --expect "$name" | awk '$1 == "cpu_temp" { print $2 }')"
    if [ "$cpu_temp" = absent ]; then
        machines_expect_no_chip "$name"
        continue
    fi
    if [ "$cpu_fan" != absent ]; then
        fault="$(file_holding 'fan*_input' "$cpu_fan")" || e2e_fail "$name: no fan file reads $cpu_fan"
        machines_run "$name" "$expected" machines_put "$fault" "0\n"
    else
        fault="$(for f in /sys/class/hwmon/hwmon*/temp*_input; do
            v="$(cat "$f")"; [ $(((v + 500) / 1000)) = "$cpu_temp" ] && { echo "$f"; break; }
        done)"
        [ -n "$fault" ] || e2e_fail "$name: no temperature file reads $cpu_temp C"
        machines_run "$name" "$expected" machines_put "$fault" "95000\n"
    fi
done
