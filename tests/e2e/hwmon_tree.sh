#!/usr/bin/env bash
# Velmon on real-sensor code with a fake chip: a private mount namespace puts
# a tmpfs over /sys/class holding an lm78 and an lm75 where libsensors looks.
# The Summary page shows the chip's values (with the example's compute lines
# applied) and a fan file dropping to 0 raises the alarm and the window.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
repo="$(cd "$here/../.." && pwd)"

if [ -z "${VELMON_IN_NAMESPACE:-}" ]; then
    command -v unshare >/dev/null || { echo "SKIP: unshare is not installed"; exit 77; }
    unshare -m --propagation private true 2>/dev/null || { echo "SKIP: mount namespaces are not permitted here"; exit 77; }
    exec env VELMON_IN_NAMESPACE=1 unshare -m --propagation private bash "$0" "$@"
fi

. "$here/lib.sh"
e2e_require Xvfb openbox trayer xdotool xwininfo xprop
stage="${VELMON_STAGE_DIR:?VELMON_STAGE_DIR names the folder holding velmon}"
[ -x "$stage/velmon" ] || e2e_fail "no velmon in $stage"

E2E_TMP="$(mktemp -d)"
trap e2e_cleanup EXIT
mount -t tmpfs velmon-e2e /sys/class || e2e_fail "cannot mount a tmpfs over /sys/class"
board=/sys/class/hwmon/hwmon0
cpu=/sys/class/hwmon/hwmon1
mkdir -p "$board" "$cpu"
put() { printf '%s\n' "$2" >"$1.new" && mv "$1.new" "$1"; }
put "$board/name" lm78
put "$board/fan1_input" 4560
put "$board/fan2_input" 3375
put "$board/fan3_input" 2410
put "$board/temp1_input" 33000
put "$board/in0_input" 1984
put "$board/in1_input" 2000
put "$board/in2_input" 3312
put "$board/in3_input" 2976   # 5.0 V through 6.8k/10k
put "$board/in4_input" 3158   # 12.0 V through 28k/10k
put "$board/in5_input" 3451   # -12.0 V through 210k/60.4k
put "$board/in6_input" 3322   # -5.0 V through 90.9k/60.4k
put "$cpu/name" lm75
put "$cpu/temp1_input" 45250

mkdir -p "$E2E_TMP/config/Velmon" "$E2E_TMP/runtime" "$E2E_TMP/registry"
chmod 700 "$E2E_TMP/runtime"
printf '[ZORVMonitor]\nShowLogo=0\n' >"$E2E_TMP/config/Velmon/Velmon.ini"
dump="$E2E_TMP/summary"
export XDG_CONFIG_HOME="$E2E_TMP/config" XDG_RUNTIME_DIR="$E2E_TMP/runtime" ZORV_REGISTRY="$E2E_TMP/registry"
export ZORV_SOURCE=hwmon ZORV_SENSORS_CONF="$repo/zorv/sensors.d/lm78.conf"
export VELMON_TEST_ANSWER=yes VELMON_TEST_DUMP="$dump"
e2e_start_display

"$stage/velmon" >"$E2E_TMP/velmon.log" 2>&1 &
E2E_PIDS+=($!)
e2e_wait 20 e2e_tray_icon_centre || e2e_fail "the tray icon did not appear (no chip found?)"
echo "ok: tray icon shown, the fake chip was read"

expect() {  # expect "fan 0" "4560"
    grep -qx "$1 = $2" "$dump" 2>/dev/null
}
e2e_wait 10 expect "fan 0" 4560 || e2e_fail "Summary: $(cat "$dump" 2>/dev/null)"
for pair in "fan 1|3375" "fan 2|2410" "temp 0|45C/113F" "temp 1|33C/91F" "volt 0|2.0" \
            "volt 2|3.3" "volt 3|5.0" "volt 4|12.0" "volt 5|-12.0" "volt 6|-5.0"; do
    expect "${pair%|*}" "${pair#*|}" || e2e_fail "Summary ${pair%|*} is not ${pair#*|}: $(cat "$dump")"
done
echo "ok: Summary page shows the chip's values"

e2e_main_window >/dev/null && e2e_fail "the main window is shown before any alarm"
put "$board/fan1_input" 0
e2e_wait 15 e2e_main_window || e2e_fail "a stopped CPU fan did not bring up the main window"
e2e_wait 10 expect "fan 0" 0 || e2e_fail "Summary does not show the stopped fan: $(cat "$dump")"
echo "ok: stopped fan raised the alarm and the window"
