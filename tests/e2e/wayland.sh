#!/usr/bin/env bash
# Velmon on a Wayland desktop: a headless sway, with XWayland ("xwayland") or
# without ("native"), a StatusNotifierItem host on the session bus, run as an
# ordinary user (sway refuses root). Velmon picks its platform itself: X11
# through XWayland where it is there, native otherwise. A fault brings the
# hidden window up, focused, on the page of the alarm; its notched corners
# show the desktop in the compositor's screenshot; a drag of its background
# with the compositor's pointer moves it, and polling goes on afterwards.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
mode="${1:-}"
case "$mode" in xwayland | native) ;; *) echo "usage: wayland.sh xwayland|native" >&2; exit 2 ;; esac
. "$here/lib.sh"
. "$here/wayland_lib.sh"
wl_require "$mode"
wl_become_user "$@"
if [ -z "${E2E_PRIVATE_BUS:-}" ]; then
    E2E_PRIVATE_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi

stage="$VELMON_STAGE_DIR"
e2e_file_user '[ZORVMonitor]\nShowLogo=0\nFanInterval=1\nTempInterval=1\nVoltInterval=1\n[Desktop]\nNotifications=False\n'
export VELMON_TEST_ANSWER=yes VELMON_TEST_DUMP="$E2E_TMP/dump"
wl_start_sway "$mode"
wl_start_tray_host

# As a desktop session starts it: Qt is told nothing.
unset QT_QPA_PLATFORM
XDG_SESSION_TYPE=wayland "$stage/velmon" >"$E2E_TMP/velmon.log" 2>&1 &
velmon=$!
E2E_PIDS+=("$velmon")
e2e_wait 20 wl_item || e2e_fail "velmon registered no StatusNotifierItem"
e2e_wait 10 wl_tip_is "System is in normal state" || e2e_fail "the normal state was not reached"
wl_window >/dev/null && e2e_fail "the window shows without a fault: $(wl_window)"
echo "ok: velmon runs in the tray, window hidden"

# The tray's left click shows the window; which shell it came through says
# which platform Velmon chose.
wl_item_call Activate 0 0
e2e_wait 10 wl_window || e2e_fail "Activate did not show the window"
read -r shell x y w h focused < <(wl_window)
expected_shell=xdg_shell
[ "$mode" = xwayland ] && expected_shell=xwayland
[ "$shell" = "$expected_shell" ] || e2e_fail "the window came through $shell, not $expected_shell"
[ "$w" -eq 600 ] && [ "$h" -eq 381 ] || e2e_fail "the window is ${w}x$h, not 600x381"
echo "ok: shown through $shell at $x,$y"

# The Summary page, then Close: the fault must choose the page itself.
wl_click $((x + 545)) $((y + 255))
sleep 0.5
wl_click $((x + 547)) $((y + 336))
e2e_wait 10 wl_window_gone || e2e_fail "the Close oval did not hide the window"
echo "ok: Summary page chosen, window hidden with Close"

write_readings 0
e2e_wait 10 wl_window || e2e_fail "the stopped CPU fan did not bring up the window"
read -r shell x y w h focused < <(wl_window)
[ "$focused" = true ] || e2e_fail "the window came up without focus"
e2e_wait 10 wl_tip_is "System is in warning state" || e2e_fail "no warning state"
echo "ok: the fault brought the window up at $x,$y, focused"

shot="$E2E_TMP/shot.png"
sleep 1
grim "$shot" || e2e_fail "grim took no screenshot"
# The CPU dial's black scale at (82, 104) is the Fan page; the Summary page
# has its dark grey texture there.
[ "$(wl_pixel "$shot" $((x + 82)) $((y + 104)))" = 0,0,0 ] ||
    e2e_fail "the Fan page is not shown: $(wl_pixel "$shot" $((x + 82)) $((y + 104)))"
echo "ok: the window shows the Fan page"
for corner in "3 377" "6 366" "596 377" "593 366"; do
    read -r cx cy <<<"$corner"
    [ "$(wl_pixel "$shot" $((x + cx)) $((y + cy)))" = "$wl_desktop" ] ||
        e2e_fail "the corner pixel $cx,$cy is $(wl_pixel "$shot" $((x + cx)) $((y + cy))), not the desktop's $wl_desktop"
done
# The strip between the notches is the panel's own.
[ "$(wl_pixel "$shot" $((x + 300)) $((y + 375)))" != "$wl_desktop" ] || e2e_fail "the panel's bottom strip is see-through"
cp "$shot" "$E2E_TMP/alarm.png"
echo "ok: the notches show the desktop, the strip between them is painted"

# The compositor's move: press on the background above the pages, drag, release.
wl_drag $((x + 300)) $((y + 12)) 120 90
e2e_wait 5 wl_window_at $((x + 120)) $((y + 90)) ||
    e2e_fail "the drag did not move the window from $x,$y by 120,90: $(wl_window)"
echo "ok: the drag moved the window to $((x + 120)),$((y + 90))"

# Polling resumed after the move: the fan's recovery clears the warning.
write_readings 3500
e2e_wait 10 wl_tip_is "System is in normal state" || e2e_fail "polling did not resume after the move"
echo "ok: polling resumed after the move"
kill -0 "$velmon" || e2e_fail "velmon ended"
echo "PASS"
