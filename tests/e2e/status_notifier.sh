#!/usr/bin/env bash
# The tray icon as a StatusNotifierItem, on a private session bus with Debian's
# status-notifier-watcher and a host registered with it: the item registers,
# its tooltip and image follow the monitor's state, Activate opens the main
# window (the left click), the exported menu and ContextMenu's popup offer
# "On", "Off", "Exit" and the chosen command runs.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
if [ -z "${E2E_PRIVATE_BUS:-}" ]; then
    command -v dbus-run-session >/dev/null || { echo "SKIP: dbus-run-session is not installed"; exit 77; }
    E2E_PRIVATE_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi
. "$here/lib.sh"
e2e_require Xvfb trayer xdotool xwininfo gdbus status-notifier-watcher md5sum
stage="${VELMON_STAGE_DIR:?VELMON_STAGE_DIR names the folder holding velmon}"
[ -x "$stage/velmon" ] || e2e_fail "no velmon in $stage"

e2e_file_user '[ZORVMonitor]\nShowLogo=0\n[Desktop]\nNotifications=False\n'
export VELMON_TEST_ANSWER=yes
e2e_start_display

watcher=(--session -d org.kde.StatusNotifierWatcher -o /StatusNotifierWatcher)
status-notifier-watcher >"$E2E_TMP/watcher.log" 2>&1 &
E2E_PIDS+=($!)
e2e_wait 20 gdbus introspect "${watcher[@]}" || e2e_fail "the watcher did not start: $(cat "$E2E_TMP/watcher.log")"
# A host: what a panel (Plasma, LXQt, an appindicator extension) registers.
gdbus call "${watcher[@]}" -m org.kde.StatusNotifierWatcher.RegisterStatusNotifierHost \
    org.kde.StatusNotifierHost-velmon-test >/dev/null || e2e_fail "no host could register"

"$stage/velmon" >"$E2E_TMP/velmon.log" 2>&1 &
velmon=$!
E2E_PIDS+=("$velmon")

items() {
    gdbus call "${watcher[@]}" -m org.freedesktop.DBus.Properties.Get \
        org.kde.StatusNotifierWatcher RegisteredStatusNotifierItems | grep -o "'[^']*'" | tr -d "'" | grep .
}
e2e_wait 20 items || e2e_fail "velmon registered no StatusNotifierItem"
item="$(items | head -n 1)"
service="${item%%/*}"
path=/StatusNotifierItem
[[ "$item" == */* ]] && path="/${item#*/}"
echo "ok: item $service $path registered"
e2e_tray_icon_centre >/dev/null && e2e_fail "an XEmbed icon as well as the item"

prop() {
    gdbus call --session -d "$service" -o "$path" -m org.freedesktop.DBus.Properties.Get \
        org.kde.StatusNotifierItem "$1"
}
tooltip_is() { prop ToolTip | grep -qF "'$1'"; }
pixmap() { prop IconPixmap | md5sum | cut -c1-32; }
item_call() { gdbus call --session -d "$service" -o "$path" -m "org.kde.StatusNotifierItem.$1" "${@:2}" >/dev/null; }

e2e_wait 10 tooltip_is "System is in normal state" || e2e_fail "normal tooltip: $(prop ToolTip)"
prop Status | grep -q "'Active'" || e2e_fail "status: $(prop Status)"
normal="$(pixmap)"
echo "ok: normal state in tooltip, status Active"

# The menu the host draws itself (com.canonical.dbusmenu).
menu_path="$(prop Menu | grep -o "objectpath '[^']*'" | cut -d"'" -f2)"
[ -n "$menu_path" ] && [ "$menu_path" != /NO_DBUSMENU ] || e2e_fail "no exported menu: $(prop Menu)"
menu_call() { gdbus call --session -d "$service" -o "$menu_path" -m "com.canonical.dbusmenu.$1" "${@:2}"; }
layout="$(menu_call GetLayout 0 "int32 -1" "[]" 2>&1)" || e2e_fail "GetLayout failed: $layout (menu $menu_path)"
menu_id() { grep -oE "\(([0-9]+), \{[^}]*'label': <'$1'>" <<<"$layout" | grep -oE '^\([0-9]+' | tr -d '('; }
for label in On Off Exit; do
    [ -n "$(menu_id "$label")" ] || e2e_fail "no \"$label\" in the menu: $layout"
done
[ "$(grep -oE "'label': <'[^']*'>" <<<"$layout" | cut -d"'" -f4 | tr '\n' ' ')" = "On Off Exit " ] \
    || e2e_fail "menu items: $layout"
click() {
    menu_call AboutToShow 0 >/dev/null
    menu_call Event "$(menu_id "$1")" clicked '<0>' 0 >/dev/null
}
click Off
e2e_wait 10 tooltip_is "Velmora is Off" || e2e_fail "Off from the exported menu: $(prop ToolTip)"
click On
e2e_wait 10 tooltip_is "System is in normal state" || e2e_fail "On from the exported menu: $(prop ToolTip)"
echo "ok: the exported menu holds On, Off, Exit and its commands run"

# The right click: the popup menu at the pointer; "Off" is its second item.
xdotool mousemove 500 300
item_call ContextMenu 500 300 || e2e_fail "ContextMenu failed"
menu_geometry() {
    local id
    for id in $(xdotool search --onlyvisible --class velmon); do
        eval "$(xdotool getwindowgeometry --shell "$id")"
        if [ "$WIDTH" -gt 40 ] && [ "$WIDTH" -lt 400 ] && [ "$HEIGHT" -gt 40 ] && [ "$HEIGHT" -lt 300 ]; then
            echo "$X $Y $WIDTH $HEIGHT"
            return 0
        fi
    done
    return 1
}
e2e_wait 10 menu_geometry || e2e_fail "ContextMenu opened no menu"
read -r mx my mw mh < <(menu_geometry)
xdotool key Down Down Return
e2e_wait 10 tooltip_is "Velmora is Off" || e2e_fail "Off from the menu: $(prop ToolTip)"
[ "$(pixmap)" != "$normal" ] || e2e_fail "the off image is the normal one"
echo "ok: ContextMenu opened the menu (${mw}x$mh), Off chosen from it"

item_call Activate 500 300
sleep 2
e2e_main_window >/dev/null && e2e_fail "Activate opened the window while Off"
item_call ContextMenu 500 300
e2e_wait 10 menu_geometry || e2e_fail "ContextMenu opened no menu the second time"
xdotool key Down Return
e2e_wait 10 tooltip_is "System is in normal state" || e2e_fail "On from the menu: $(prop ToolTip)"
[ "$(pixmap)" = "$normal" ] || e2e_fail "On did not bring the normal image back"
echo "ok: On chosen from the menu"

item_call Activate 500 300
e2e_wait 10 e2e_main_window || e2e_fail "Activate did not open the main window"
echo "ok: Activate opened the main window"

# While the window is shown the menu's commands are refused, as the right click's are.
click Off
sleep 2
tooltip_is "System is in normal state" || e2e_fail "Off ran with the window shown: $(prop ToolTip)"
echo "ok: the exported menu does nothing while the window is shown"

write_readings 0
e2e_wait 20 tooltip_is "System is in warning state" || e2e_fail "warning tooltip: $(prop ToolTip)"
# The image flips every 700 ms while the warning lasts.
seen="$E2E_TMP/pixmaps"
for _ in $(seq 12); do pixmap >>"$seen"; sleep 0.25; done
[ "$(sort -u "$seen" | wc -l)" -ge 2 ] || e2e_fail "the image did not flip during the warning"
grep -qv "$normal" "$seen" || e2e_fail "the alert image never showed"
echo "ok: warning in tooltip, image flipping"

write_readings 3500
e2e_wait 20 tooltip_is "System is in normal state" || e2e_fail "back to normal: $(prop ToolTip)"
e2e_wait 5 bash -c "[ \"\$(gdbus call --session -d '$service' -o '$path' -m org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierItem IconPixmap | md5sum | cut -c1-32)\" = '$normal' ]" \
    || e2e_fail "the normal image did not come back"
echo "ok: back to the normal tooltip and image"
echo "PASS"
