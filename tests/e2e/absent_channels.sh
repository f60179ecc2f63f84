#!/usr/bin/env bash
# Velmon on machines that lack some channels: a laptop, a small ARM board, a
# desktop with a few rails, and a machine with no sensor at all. The readings
# file sets only the names the machine has. Each starts quietly (no window,
# the icon steady), the Summary lists only what is there, and a real fault
# brings the window within a polling interval; the bare machine ends with
# the no-chip message.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/lib.sh"
e2e_require Xvfb trayer openbox xdotool xwininfo import
stage="${VELMON_STAGE_DIR:?VELMON_STAGE_DIR names the folder holding velmon}"
[ -x "$stage/velmon" ] || e2e_fail "no velmon in $stage"
[ -e "$stage/libzorv.so" ] || e2e_fail "no libzorv.so in $stage"

E2E_TMP="$(mktemp -d)"
trap e2e_cleanup EXIT
e2e_start_display
if ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
    openbox --sm-disable >"$E2E_TMP/openbox.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_wait 20 sh -c "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'" ||
        e2e_fail "openbox did not start"
fi

readings="$E2E_TMP/readings"
dump="$E2E_TMP/summary"
put() { printf '%b' "$1" >"$readings.new" && mv "$readings.new" "$readings"; }

# start_velmon: a fresh settings folder polling every second, no logo.
start_velmon() {
    rm -rf "$E2E_TMP/config" "$E2E_TMP/runtime" "$dump"
    mkdir -p "$E2E_TMP/config/Velmon" "$E2E_TMP/runtime" "$E2E_TMP/registry"
    chmod 700 "$E2E_TMP/runtime"
    printf '[ZORVMonitor]\nShowLogo=0\nFanInterval=1\nTempInterval=1\nVoltInterval=1\nVolUp4=13.25\n' \
        >"$E2E_TMP/config/Velmon/Velmon.ini"
    XDG_CONFIG_HOME="$E2E_TMP/config" XDG_RUNTIME_DIR="$E2E_TMP/runtime" ZORV_REGISTRY="$E2E_TMP/registry" \
        ZORV_SOURCE="file:$readings" VELMON_TEST_ANSWER=yes VELMON_TEST_DUMP="$dump" \
        "$stage/velmon" >"$E2E_TMP/velmon.log" 2>&1 &
    velmon_pid=$!
    E2E_PIDS+=($velmon_pid)
}

stop_velmon() {
    kill "$velmon_pid" 2>/dev/null
    wait "$velmon_pid" 2>/dev/null
    e2e_wait 10 no_icon || true
}
no_icon() { ! e2e_tray_icon_centre; }

# The Summary values written so far, sorted, one "control index = text" a line.
summary() { sort "$dump" 2>/dev/null; }
summary_is() { [ "$(summary)" = "$1" ]; }

# The tray icon's centre, told from the main window (same class, which a
# window manager also reparents) by its small size.
icon_centre() {
    xwininfo -root -tree | awk '
        /\("velmon" "Velmon"\)/ && match($0, /^ +/) && RLENGTH > 5 {
            split($(NF-1), size, "x"); split($NF, pos, "+");
            w = size[1]; sub(/\+.*/, "", size[2]); h = size[2];
            if (w > 64 || h > 64) next;
            print pos[2] + int(w / 2), pos[3] + int(h / 2); found = 1; exit
        }
        END { exit found ? 0 : 1 }'
}

# icon_images: how many different images the tray icon shows over about
# two seconds (the alert flips it every 700 ms).
icon_images() {
    local x y i
    read -r x y < <(icon_centre) || { echo 0; return; }
    for i in 1 2 3 4 5; do
        import -window root -crop "16x16+$((x - 8))+$((y - 8))" +repage rgb:- | md5sum
        sleep 0.3
    done | sort -u | wc -l
}
icon_steady() { [ "$(icon_images)" -eq 1 ]; }

# run_case NAME READINGS EXPECTED_SUMMARY FAULT_READINGS
run_case() {
    local name="$1" expected
    put "$2"
    start_velmon
    e2e_wait 20 e2e_tray_icon_centre || e2e_fail "$name: the tray icon did not appear"
    expected="$(printf '%b' "$3" | sort)"
    e2e_wait 10 summary_is "$expected" ||
        e2e_fail "$name: Summary is
$(summary)
expected
$expected"
    # Two polls of every group later, nothing has warned.
    sleep 2
    e2e_main_window >/dev/null && e2e_fail "$name: the window popped up without a fault"
    icon_steady || e2e_fail "$name: the tray icon flips without a fault"
    kill -0 "$velmon_pid" 2>/dev/null || e2e_fail "$name: velmon ended"
    echo "ok: $name starts in the normal state; Summary: $(summary | tr '\n' ';')"

    local t0=$SECONDS
    put "$4"
    # One polling interval is a second; the bound is generous for a loaded machine.
    e2e_wait 10 e2e_main_window || e2e_fail "$name: the fault did not bring up the window"
    echo "ok: $name fault brought up the window after about $((SECONDS - t0)) s"
    [ "$(icon_images)" -gt 1 ] || e2e_fail "$name: the tray icon does not flip in the warning state"
    stop_velmon
    grep -q '^VolUp4=13.25$' "$E2E_TMP/config/Velmon/Velmon.ini" ||
        e2e_fail "$name: a stored threshold changed: $(cat "$E2E_TMP/config/Velmon/Velmon.ini")"
}

run_case laptop \
    'cpu_fan = 3300\ncpu_temp = 52\nmb_temp = 41\n' \
    'fan 0 = 3300\ntemp 0 = 52C/126F\ntemp 1 = 41C/106F' \
    'cpu_fan = 0\ncpu_temp = 52\nmb_temp = 41\n'

run_case arm-board \
    'cpu_temp = 48\n' \
    'temp 0 = 48C/118F' \
    'cpu_temp = 95\n'

run_case desktop \
    'cpu_fan = 3620\nchassis_fan = 2410\ncpu_temp = 46\nmb_temp = 33\nin2 = 3320\nin3 = 5040\nin4 = 12110\n' \
    'fan 0 = 3620\nfan 2 = 2410\ntemp 0 = 46C/115F\ntemp 1 = 33C/91F\nvolt 2 = 3.3\nvolt 3 = 5.0\nvolt 4 = 12.1' \
    'cpu_fan = 0\nchassis_fan = 2410\ncpu_temp = 46\nmb_temp = 33\nin2 = 3320\nin3 = 5040\nin4 = 12110\n'

# No sensor at all: the system's message, the icon gone, a non-zero end.
put 'cpu_fan = 3000\nin3 = 5000\n'
start_velmon
status=0
for _ in $(seq 1 100); do
    kill -0 "$velmon_pid" 2>/dev/null || break
    sleep 0.2
done
kill -0 "$velmon_pid" 2>/dev/null && e2e_fail "no-sensor: velmon is still running"
wait "$velmon_pid"
status=$?
[ "$status" -ne 0 ] || e2e_fail "no-sensor: velmon ended with status 0"
grep -q 'Your mainboard has no LM75/78 chipsets !' "$E2E_TMP/velmon.log" ||
    e2e_fail "no-sensor: the no-chip message was not shown"
echo "ok: a machine without a temperature ends with the no-chip message (status $status)"
