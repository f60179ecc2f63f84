#!/usr/bin/env bash
# The hwmon numbers of a running Velmon's chips change (as after a resume or
# a driver reload): the fake tree of an AM4 board, whose board chip and CPU
# sensor swap their hwmonN links while Velmon reads them. Velmon finds the
# chips anew and keeps reading each channel from its own chip, by name.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
repo="$(cd "$here/../.." && pwd)"

if [ -z "${VELMON_IN_NAMESPACE:-}" ]; then
    command -v unshare >/dev/null || { echo "SKIP: unshare is not installed"; exit 77; }
    unshare -m --propagation private true 2>/dev/null || { echo "SKIP: mount namespaces are not permitted here"; exit 77; }
    exec env VELMON_IN_NAMESPACE=1 unshare -m --propagation private bash "$0" "$@"
fi

. "$here/lib.sh"
. "$here/machines_lib.sh"
e2e_require Xvfb openbox trayer xdotool xwininfo import
export VELMON_STAGE_DIR="${VELMON_STAGE_DIR:?VELMON_STAGE_DIR names the folder holding velmon}"
[ -x "$VELMON_STAGE_DIR/velmon" ] || e2e_fail "no velmon in $VELMON_STAGE_DIR"
trees="$repo/tests/hwmon/trees/make_tree.sh"

E2E_TMP="$(mktemp -d)"
trap e2e_cleanup EXIT
mount -t tmpfs velmon-renumber /sys/class || e2e_fail "cannot mount a tmpfs over /sys/class"
bash "$trees" amd-nct6798 /sys/class "$E2E_TMP/sensors.conf" || e2e_fail "make_tree.sh failed"
export ZORV_SOURCE=hwmon ZORV_SENSORS_CONF="$E2E_TMP/sensors.conf"
e2e_start_display

hw=/sys/class/hwmon
[ "$(cat $hw/hwmon0/name)" = nct6798 ] && [ "$(cat $hw/hwmon1/name)" = k10temp ] ||
    e2e_fail "the tree's numbering changed: $(cat $hw/*/name | tr '\n' ' ')"
shown() { grep -qx "$1 = $2" "$E2E_TMP/summary" 2>/dev/null; }
machines_start_velmon
e2e_wait 20 e2e_tray_icon_centre || e2e_fail "the tray icon did not appear"
e2e_wait 10 shown "temp 0" "46C/115F" || e2e_fail "CPU (k10temp): $(machines_summary)"
shown "temp 1" "33C/91F" || e2e_fail "mainboard (nct6798): $(machines_summary)"
echo "ok: k10temp is hwmon1, nct6798 hwmon0: CPU 46 C, mainboard 33 C"

# Swap the two links, each in one step; then the CPU warms up a little.
ln -sfn "$(readlink $hw/hwmon1)" $hw/new0 && ln -sfn "$(readlink $hw/hwmon0)" $hw/new1 &&
    mv -T $hw/new0 $hw/hwmon0 && mv -T $hw/new1 $hw/hwmon1 || e2e_fail "cannot renumber"
[ "$(cat $hw/hwmon0/name)" = k10temp ] || e2e_fail "the swap did not take"
printf '50125\n' >$hw/hwmon0/temp1_input.new && mv $hw/hwmon0/temp1_input.new $hw/hwmon0/temp1_input
e2e_wait 10 shown "temp 0" "50C/122F" || e2e_fail "CPU after the renumbering: $(machines_summary)"
shown "temp 1" "33C/91F" || e2e_fail "mainboard after the renumbering: $(machines_summary)"
shown "fan 0" 1050 || e2e_fail "CPU fan after the renumbering: $(machines_summary)"
echo "ok: after the swap each channel reads its own chip: CPU 50 C, mainboard 33 C, CPU fan 1050"
sleep 3
shown "temp 1" "33C/91F" && shown "temp 0" "50C/122F" || e2e_fail "the readings drifted: $(machines_summary)"
grep -q 'sensor lost' "$E2E_TMP/velmon.log" && e2e_fail "a renumbering was taken for a lost sensor"
machines_tip_is "System is in normal state" || e2e_fail "tooltip: $(grep '^tray' "$E2E_TMP/summary")"
echo "ok: no sensor lost, no warning"
