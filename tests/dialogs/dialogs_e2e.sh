#!/usr/bin/env bash
# The logo window, the Settings dialog and the System Information dialog in a
# running velmon on a private X display: the banner shows at the first start,
# "Hide" with the box cleared stores ShowLogo=0 and the next start shows none;
# Settings with "Run When Windows Starts" ticked writes the session entry;
# both dialogs open centred and close with OK.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/../e2e/lib.sh"
e2e_require Xvfb openbox trayer xdotool xwininfo xprop
stage="${VELMON_STAGE_DIR:?VELMON_STAGE_DIR names the folder holding velmon}"
[ -x "$stage/velmon" ] || e2e_fail "no velmon in $stage"

E2E_TMP="$(mktemp -d)"
trap e2e_cleanup EXIT
mkdir -p "$E2E_TMP/config" "$E2E_TMP/runtime" "$E2E_TMP/registry"
chmod 700 "$E2E_TMP/runtime"
export XDG_CONFIG_HOME="$E2E_TMP/config" XDG_RUNTIME_DIR="$E2E_TMP/runtime"
export ZORV_REGISTRY="$E2E_TMP/registry" ZORV_SOURCE=sim VELMON_TEST_ANSWER=yes
ini="$E2E_TMP/config/Velmon/Velmon.ini"
e2e_start_display

# window_sized TITLE WIDTH HEIGHT: the id of a visible window with that title and client size.
window_sized() {
    local id w h
    for id in $(xdotool search --onlyvisible --name "^$1\$"); do
        read -r w h < <(e2e_window_size "$id") || continue
        if [ "$w" -eq "$2" ] && [ "$h" -eq "$3" ]; then
            echo "$id"
            return 0
        fi
    done
    return 1
}
gone() { ! window_sized "$@" >/dev/null; }

"$stage/velmon" >"$E2E_TMP/velmon.log" 2>&1 &
velmon=$!
E2E_PIDS+=("$velmon")

e2e_wait 20 window_sized Velmora 505 247 || e2e_fail "the logo window did not show at the first start"
logo="$(window_sized Velmora 505 247)"
read -r X Y < <(e2e_window_corner "$logo")
[ "$X" -eq 259 ] && [ "$Y" -eq 260 ] || e2e_fail "the logo is at $X,$Y, not centred at 259,260"
echo "ok: logo window centred"

e2e_click "$logo" 30 221     # "Show this next time"
sleep 0.3
e2e_click "$logo" 432 222    # "Hide"
e2e_wait 5 gone Velmora 505 247 || e2e_fail "Hide did not close the logo"
e2e_wait 5 grep -qx ShowLogo=0 "$ini" || e2e_fail "ShowLogo=0 was not stored"
e2e_main_window >/dev/null && e2e_fail "Hide showed the main window"
echo "ok: Hide with the box cleared stored ShowLogo=0"

e2e_wait 20 e2e_tray_icon_centre || e2e_fail "the tray icon did not appear"
read -r ix iy < <(e2e_tray_icon_centre)
xdotool mousemove "$ix" "$iy" click 1
e2e_wait 10 e2e_main_window || e2e_fail "a tray click did not show the main window"
main="$(e2e_main_window)"

e2e_press "$main" 475 336    # Setting oval
e2e_wait 10 window_sized "Settings -- Velmora V1.3" 452 236 || e2e_fail "the Settings dialog did not open"
set_id="$(window_sized "Settings -- Velmora V1.3" 452 236)"
read -r X Y < <(e2e_window_corner "$set_id")
[ "$X" -eq 286 ] && [ "$Y" -eq 266 ] || e2e_fail "Settings is at $X,$Y, not centred at 286,266"
e2e_click "$set_id" 26 161   # "Run When Windows Starts"
sleep 0.3
e2e_click "$set_id" 333 212  # OK
e2e_wait 5 gone "Settings -- Velmora V1.3" 452 236 || e2e_fail "OK did not close Settings"
entry="$E2E_TMP/config/autostart/ZORVVelmora.desktop"
e2e_wait 5 test -f "$entry" || e2e_fail "no autostart entry was written"
grep -qx '\[Desktop Entry\]' "$entry" && grep -qx 'Type=Application' "$entry" \
    && grep -qx "Exec=$stage/velmon" "$entry" || e2e_fail "autostart entry: $(cat "$entry")"
grep -qx FanInterval=5 "$ini" || e2e_fail "FanInterval was not stored"
echo "ok: Settings wrote the intervals and the autostart entry"

e2e_press "$main" 401 336    # System oval
e2e_wait 10 window_sized "System Information -- Velmora V1.3" 452 238 \
    || e2e_fail "the System Information dialog did not open"
sys_id="$(window_sized "System Information -- Velmora V1.3" 452 238)"
e2e_click "$sys_id" 343 220  # OK
e2e_wait 5 gone "System Information -- Velmora V1.3" 452 238 || e2e_fail "OK did not close System Information"
echo "ok: System Information opened and closed"

kill "$velmon"
wait "$velmon" 2>/dev/null
"$stage/velmon" >"$E2E_TMP/velmon2.log" 2>&1 &
E2E_PIDS+=($!)
e2e_wait 20 e2e_tray_icon_centre || e2e_fail "the tray icon did not appear at the second start"
sleep 2
window_sized Velmora 505 247 >/dev/null && e2e_fail "the logo showed although ShowLogo=0"
echo "ok: no logo at the next start"
echo "PASS"
