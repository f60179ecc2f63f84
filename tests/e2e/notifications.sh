#!/usr/bin/env bash
# The warning state's desktop notification, on a private session bus with a
# real notification server (dunst): a stopped CPU fan sends exactly one
# Notify with the tooltip text and the channel's line, 30 s of warning send
# no more, and the fan turning again closes it.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
if [ -z "${E2E_PRIVATE_BUS:-}" ]; then
    command -v dbus-run-session >/dev/null || { echo "SKIP: dbus-run-session is not installed"; exit 77; }
    E2E_PRIVATE_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi
. "$here/lib.sh"
e2e_require Xvfb trayer xdotool xwininfo dunst dunstctl dbus-monitor
stage="${VELMON_STAGE_DIR:?VELMON_STAGE_DIR names the folder holding velmon}"
[ -x "$stage/velmon" ] || e2e_fail "no velmon in $stage"

e2e_file_user
export VELMON_TEST_ANSWER=yes
e2e_start_display

dunst >"$E2E_TMP/dunst.log" 2>&1 &
E2E_PIDS+=($!)
e2e_wait 20 dunstctl is-paused || e2e_fail "dunst does not answer: $(cat "$E2E_TMP/dunst.log")"
dbus-monitor --session "type='method_call',interface='org.freedesktop.Notifications'" >"$E2E_TMP/bus.log" 2>&1 &
E2E_PIDS+=($!)
e2e_wait 10 grep -q NameAcquired "$E2E_TMP/bus.log" || sleep 1

"$stage/velmon" >"$E2E_TMP/velmon.log" 2>&1 &
E2E_PIDS+=($!)
e2e_wait 20 e2e_tray_icon_centre || e2e_fail "the tray icon did not appear"
sleep 2
calls() { grep -c "member=$1\$" "$E2E_TMP/bus.log"; }
[ "$(calls Notify)" -eq 0 ] || e2e_fail "a notification in the normal state: $(cat "$E2E_TMP/bus.log")"

write_readings 0
e2e_wait 20 bash -c "grep -q 'member=Notify\$' '$E2E_TMP/bus.log'" || e2e_fail "no Notify after the fan stopped"
# The call's arguments follow its header line: app, replaces_id, icon, summary, body.
args="$(grep -A5 'member=Notify$' "$E2E_TMP/bus.log")"
grep -q 'string "System is in warning state"' <<<"$args" || e2e_fail "summary: $args"
grep -q 'string "CPU Fan: 0 RPM, warning at 2800 RPM or less"' <<<"$args" || e2e_fail "body: $args"
e2e_wait 10 bash -c '[ "$(dunstctl count displayed)" -eq 1 ]' || e2e_fail "dunst does not show it"
echo "ok: one Notify: $(grep -o 'string "CPU Fan[^"]*"' <<<"$args")"

# Thirty seconds of the same warning: still the one notification.
sleep 30
[ "$(calls Notify)" -eq 1 ] || e2e_fail "$(calls Notify) Notify calls in 30 s of warning"
[ "$(calls CloseNotification)" -eq 0 ] || e2e_fail "closed during the warning"
echo "ok: 30 s of warning, still one Notify"

write_readings 3500
e2e_wait 20 bash -c "grep -q 'member=CloseNotification\$' '$E2E_TMP/bus.log'" \
    || e2e_fail "the notification was not closed when the fan turned again"
e2e_wait 10 bash -c '[ "$(dunstctl count displayed)" -eq 0 ]' || e2e_fail "dunst still shows it"
[ "$(calls Notify)" -eq 1 ] || e2e_fail "$(calls Notify) Notify calls in all"
echo "ok: the return to normal closed it"
