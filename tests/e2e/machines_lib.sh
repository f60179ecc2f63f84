# Shared steps of the runs on machines with fewer channels (sourced after
# lib.sh, with E2E_TMP set and the desktop of e2e_start_display up): Velmon
# started afresh per machine, and the checks every machine gets.

# machines_private_mounts SCRIPT ARGS…: runs the script again, once, in a
# private mount namespace, so that the tmpfs it puts over /sys/class is its own.
machines_private_mounts() {
    [ -n "${VELMON_IN_NAMESPACE:-}" ] && return 0
    command -v unshare >/dev/null || { echo "SKIP: unshare is not installed"; exit 77; }
    unshare -m --propagation private true 2>/dev/null || { echo "SKIP: mount namespaces are not permitted here"; exit 77; }
    exec env VELMON_IN_NAMESPACE=1 unshare -m --propagation private bash "$@"
}

# Velmon with fresh settings polling every second, no logo, and a stored
# threshold of an input most of these machines lack, which must survive; or
# with the settings given (printf escapes).
machines_start_velmon() {
    rm -rf "$E2E_TMP/config" "$E2E_TMP/runtime" "$E2E_TMP/summary"
    mkdir -p "$E2E_TMP/config/Velmon" "$E2E_TMP/runtime" "$E2E_TMP/registry"
    chmod 700 "$E2E_TMP/runtime"
    # shellcheck disable=SC2059
    printf "${1:-[ZORVMonitor]\nShowLogo=0\nFanInterval=1\nTempInterval=1\nVoltInterval=1\nVolUp6=-4.25\n}" \
        >"$E2E_TMP/config/Velmon/Velmon.ini"
    XDG_CONFIG_HOME="$E2E_TMP/config" XDG_RUNTIME_DIR="$E2E_TMP/runtime" ZORV_REGISTRY="$E2E_TMP/registry" \
        VELMON_TEST_ANSWER=yes VELMON_TEST_DUMP="$E2E_TMP/summary" \
        "$VELMON_STAGE_DIR/velmon" >"$E2E_TMP/velmon.log" 2>&1 &
    velmon_pid=$!
    E2E_PIDS+=($velmon_pid)
}

machines_stop_velmon() {
    kill "$velmon_pid" 2>/dev/null
    wait "$velmon_pid" 2>/dev/null
    e2e_wait 10 machines_no_icon || true
}
machines_no_icon() { ! e2e_tray_icon_centre; }

# The Summary values written so far, sorted, one "control index = text" a line.
machines_summary() { grep -v '^tray = ' "$E2E_TMP/summary" 2>/dev/null | sort; }
machines_summary_is() { [ "$(machines_summary)" = "$1" ]; }
# The tray icon's tooltip as last set.
machines_tip_is() { grep -qx "tray = $1" "$E2E_TMP/summary" 2>/dev/null; }

# How many different images the tray icon shows over about 1.5 seconds (the
# alert flips it every 700 ms; the polls come every second).
machines_icon_images() {
    local x y i
    read -r x y < <(e2e_tray_icon_centre) || { echo 0; return; }
    for i in 1 2 3 4 5; do
        import -window root -crop "16x16+$((x - 8))+$((y - 8))" +repage rgb:- | md5sum
        sleep 0.3
    done | sort -u | wc -l
}

# machines_expect_quiet_start NAME EXPECTED_SUMMARY: the Velmon just started
# shows its tray icon and that Summary, and stays in the normal state.
machines_expect_quiet_start() {
    local name="$1" expected="$2"
    e2e_wait 20 e2e_tray_icon_centre || e2e_fail "$name: the tray icon did not appear"
    e2e_wait 10 machines_summary_is "$expected" ||
        e2e_fail "$name: Summary is
$(machines_summary)
expected
$expected"
    # Watching the icon spans more than a poll of every group; nothing warns.
    [ "$(machines_icon_images)" -eq 1 ] || e2e_fail "$name: the tray icon flips without a fault"
    e2e_main_window >/dev/null && e2e_fail "$name: the window popped up without a fault"
    machines_tip_is "System is in normal state" ||
        e2e_fail "$name: tooltip: $(grep '^tray' "$E2E_TMP/summary")"
    kill -0 "$velmon_pid" 2>/dev/null || e2e_fail "$name: velmon ended"
    echo "ok: $name starts in the normal state; Summary: $(machines_summary | tr '\n' ';')"
}

# machines_run NAME EXPECTED_SUMMARY FAULT_COMMAND…: Velmon starts quietly
# with that Summary; after the fault command the window comes up and the icon
# flips; at the end the stored threshold is still there.
machines_run() {
    local name="$1" expected="$2" t0
    shift 2
    machines_start_velmon
    machines_expect_quiet_start "$name" "$expected"

    t0=$SECONDS
    "$@"
    # One polling interval is a second; the bound is generous for a loaded machine.
    e2e_wait 10 e2e_main_window || e2e_fail "$name: the fault did not bring up the window"
    echo "ok: $name fault brought up the window after about $((SECONDS - t0)) s"
    [ "$(machines_icon_images)" -gt 1 ] || e2e_fail "$name: the tray icon does not flip in the warning state"
    machines_tip_is "System is in warning state" ||
        e2e_fail "$name: tooltip in the warning state: $(grep '^tray' "$E2E_TMP/summary")"
    machines_stop_velmon
    grep -q '^VolUp6=-4.25$' "$E2E_TMP/config/Velmon/Velmon.ini" ||
        e2e_fail "$name: a stored threshold changed: $(cat "$E2E_TMP/config/Velmon/Velmon.ini")"
}

# machines_expect_no_chip NAME: Velmon ends with the system's message.
machines_expect_no_chip() {
    local name="$1" status
    machines_start_velmon
    e2e_wait 20 machines_ended || e2e_fail "$name: velmon is still running"
    wait "$velmon_pid"
    status=$?
    [ "$status" -ne 0 ] || e2e_fail "$name: velmon ended with status 0"
    grep -q 'Your mainboard has no LM75/78 chipsets !' "$E2E_TMP/velmon.log" ||
        e2e_fail "$name: the no-chip message was not shown"
    echo "ok: $name ends with the no-chip message (status $status)"
}
machines_ended() { ! kill -0 "$velmon_pid" 2>/dev/null; }

# Replaces a file's content by rename, as the tests' writers do.
machines_put() { printf '%b' "$2" >"$1.new" && mv "$1.new" "$1"; }
