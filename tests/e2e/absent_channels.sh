#!/usr/bin/env bash
# Velmon with the file: source on machines that lack some channels: the file
# sets only the names the machine has. Runs where mount namespaces (and so
# the hwmon trees of hwmon_machines.sh) are not available too.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/lib.sh"
. "$here/machines_lib.sh"
e2e_require Xvfb trayer openbox xdotool xwininfo import
export VELMON_STAGE_DIR="${VELMON_STAGE_DIR:?VELMON_STAGE_DIR names the folder holding velmon}"
[ -x "$VELMON_STAGE_DIR/velmon" ] || e2e_fail "no velmon in $VELMON_STAGE_DIR"

E2E_TMP="$(mktemp -d)"
trap e2e_cleanup EXIT
e2e_start_display
readings="$E2E_TMP/readings"
export ZORV_SOURCE="file:$readings"

# A laptop: one fan, the CPU and the platform's own sensor, no rails.
machines_put "$readings" 'cpu_fan = 3300\ncpu_temp = 52\nmb_temp = 41\n'
machines_run laptop $'fan 0 = 3300\ntemp 0 = 52C/126F\ntemp 1 = 41C/106F' \
    machines_put "$readings" 'cpu_fan = 0\ncpu_temp = 52\nmb_temp = 41\n'

# A machine without a temperature: the system's message.
machines_put "$readings" 'cpu_fan = 3000\nin3 = 5000\n'
machines_expect_no_chip no-temperature
