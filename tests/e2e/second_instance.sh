#!/usr/bin/env bash
# A second start of Velmon while one runs with its window hidden: the running
# one shows its main window, and the second ends at once, silently, with 0.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/lib.sh"
e2e_require Xvfb trayer xdotool xwininfo
stage="${VELMON_STAGE_DIR:?VELMON_STAGE_DIR names the folder holding velmon}"
[ -x "$stage/velmon" ] || e2e_fail "no velmon in $stage"

e2e_file_user
export VELMON_TEST_ANSWER=yes
e2e_start_display

"$stage/velmon" >"$E2E_TMP/velmon.log" 2>&1 &
velmon=$!
E2E_PIDS+=("$velmon")
e2e_wait 20 e2e_tray_icon_centre || e2e_fail "the tray icon did not appear"
[ -S "$E2E_TMP/runtime/Velmon.socket" ] || e2e_fail "the running instance does not listen beside its lock"
e2e_main_window >/dev/null && e2e_fail "the main window is shown at startup"

second_start() {
    timeout 20 "$stage/velmon" >"$E2E_TMP/second.log" 2>&1
    local status=$?
    [ "$status" -eq 0 ] || e2e_fail "second instance ended with status $status"
    [ -s "$E2E_TMP/second.log" ] && e2e_fail "second instance printed: $(cat "$E2E_TMP/second.log")"
    return 0
}

second_start
e2e_wait 15 e2e_main_window || e2e_fail "the second start did not bring up the main window"
echo "ok: a second start showed the hidden window ($(e2e_main_window)) and ended silently with 0"

# With the window already up, a further start changes nothing and ends the same way.
win="$(e2e_main_window)"
second_start
[ "$(e2e_main_window)" = "$win" ] || e2e_fail "the main window changed after a third start"
kill -0 "$velmon" 2>/dev/null || e2e_fail "the running instance ended"
echo "ok: a third start with the window shown ended silently with 0"
