#!/usr/bin/env bash
# The start-up banner left alone on a machine whose CPU fan stands still: the
# tray never says "System is in normal state" while the banner holds the
# watch, the banner hides itself, and the warning comes within about 15 s of
# the start.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/lib.sh"
e2e_require Xvfb trayer xdotool xwininfo
stage="${VELMON_STAGE_DIR:?VELMON_STAGE_DIR names the folder holding velmon}"
[ -x "$stage/velmon" ] || e2e_fail "no velmon in $stage"

# No ShowLogo in the settings: the banner shows, as at a first start.
e2e_file_user '[Desktop]\nNotifications=False\n'
write_readings 0
dump="$E2E_TMP/summary"
export VELMON_TEST_ANSWER=yes VELMON_TEST_DUMP="$dump"
e2e_start_display

"$stage/velmon" >"$E2E_TMP/velmon.log" 2>&1 &
E2E_PIDS+=($!)
started=$SECONDS
# The tray's tooltip as the dump keeps it.
tooltip() { sed -n 's/^tray = //p' "$dump" 2>/dev/null | tail -n 1; }
# The banner: a visible "Velmora" window of the banner's size.
banner_open() {
    local id
    for id in $(xdotool search --onlyvisible --name '^Velmora$' 2>/dev/null); do
        [ "$(e2e_window_size "$id")" = "505 247" ] && return 0
    done
    return 1
}
e2e_wait 10 banner_open || e2e_fail "no banner at the start"
echo "ok: the banner is open"

# While it is open, every look at the tooltip: never the normal state.
looks=0
while banner_open; do
    tip="$(tooltip)"
    case "$tip" in
    *"System is in normal state"*) e2e_fail "the tray says normal while the banner holds the watch: $tip" ;;
    esac
    looks=$((looks + 1))
    [ $((SECONDS - started)) -le 30 ] || e2e_fail "the banner stood for 30 s untouched"
    sleep 0.5
done
[ "$looks" -ge 3 ] || e2e_fail "the tooltip was looked at only $looks times while the banner stood"
echo "ok: no normal state in the tooltip while the banner stood ($looks looks, last: $tip)"

warned() { [ "$(tooltip)" = "System is in warning state" ]; }
e2e_wait 15 warned || e2e_fail "no warning after the banner closed: $(tooltip)"
took=$((SECONDS - started))
[ "$took" -le 17 ] || e2e_fail "the warning came $took s after the start"
echo "ok: the stopped fan warned $took s after the start, the banner left untouched"
echo "PASS"
