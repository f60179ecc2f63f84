# Shared steps of the Wayland end-to-end runs (sourced after lib.sh): an
# ordinary user to run them as, a headless sway with or without XWayland, a
# StatusNotifierItem host, the window as the compositor sees it, pointer input
# through the compositor, and pixels of the compositor's screenshots.

# The desktop's colour behind every window, "R,G,B" as e2e_pixel prints it.
wl_desktop=51,102,170
wl_screen_w=1024
wl_screen_h=768

wl_require() {
    e2e_require sway swaymsg grim jq dbus-run-session status-notifier-watcher gdbus convert
    [ "$1" = xwayland ] && e2e_require Xwayland
    [ -n "${VELMON_STAGE_DIR:-}" ] && [ -x "$VELMON_STAGE_DIR/velmon" ] ||
        e2e_fail "VELMON_STAGE_DIR names no folder holding velmon"
    [ -n "${VELMON_VPOINTER:-}" ] && [ -x "$VELMON_VPOINTER" ] ||
        { echo "SKIP: no virtual-pointer client (VELMON_VPOINTER; built where libwayland-dev is installed)"; exit 77; }
    return 0
}

# sway refuses to run as root: as root, the run goes on as a user made for it
# and removed at the end; as an ordinary user, as that user.
wl_become_user() {
    [ "$(id -u)" -eq 0 ] || return 0
    command -v useradd >/dev/null && command -v runuser >/dev/null ||
        { echo "SKIP: running as root without useradd and runuser to make an ordinary user"; exit 77; }
    local user="velmon-e2e-$$" status
    useradd --no-create-home --home-dir /nonexistent --shell /bin/sh --user-group "$user" ||
        { echo "SKIP: no ordinary user could be made"; exit 77; }
    # shellcheck disable=SC2064
    trap "userdel '$user' 2>/dev/null || userdel -f '$user' 2>/dev/null" EXIT
    runuser -u "$user" -- test -x "$VELMON_STAGE_DIR/velmon" -a -r "$0" -a -x "$VELMON_VPOINTER" ||
        e2e_fail "user $user cannot run $VELMON_STAGE_DIR/velmon, $0 or $VELMON_VPOINTER: a folder on the way is closed to others"
    runuser -u "$user" -- env -i PATH="$PATH" LC_ALL=C HOME=/tmp \
        VELMON_STAGE_DIR="$VELMON_STAGE_DIR" VELMON_VPOINTER="$VELMON_VPOINTER" E2E_KEEP="${E2E_KEEP:-}" \
        bash "$0" "$@"
    status=$?
    exit "$status"
}

# Starts sway on its headless backend in E2E_TMP's runtime folder, with
# XWayland ("xwayland") or without ("native"); exports WAYLAND_DISPLAY and
# SWAYSOCK, and DISPLAY where XWayland is there.
wl_start_sway() {
    local xwayland=disable i sock=""
    [ "$1" = xwayland ] && xwayland=enable
    export HOME="$E2E_TMP"
    cat >"$E2E_TMP/sway.conf" <<EOT
output HEADLESS-1 resolution ${wl_screen_w}x$wl_screen_h position 0 0 bg #3366aa solid_color
xwayland $xwayland
EOT
    unset DISPLAY WAYLAND_DISPLAY
    WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        sway -c "$E2E_TMP/sway.conf" >"$E2E_TMP/sway.log" 2>&1 &
    E2E_PIDS+=($!)
    for ((i = 0; i < 100; i++)); do
        sock="$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock 2>/dev/null | head -n 1)"
        [ -n "$sock" ] && ls "$XDG_RUNTIME_DIR"/wayland-? >/dev/null 2>&1 && break
        sleep 0.2
    done
    [ -n "$sock" ] || e2e_fail "sway did not start: $(tail -n 20 "$E2E_TMP/sway.log")"
    export SWAYSOCK="$sock"
    WAYLAND_DISPLAY="$(basename "$(ls "$XDG_RUNTIME_DIR"/wayland-? | head -n 1)")"
    export WAYLAND_DISPLAY
    e2e_wait 10 swaymsg -t get_outputs || e2e_fail "sway does not answer"
    # The background is drawn by a client of sway's: wait for its colour.
    e2e_wait 10 wl_desktop_shown || e2e_fail "the desktop's colour never showed"
    if [ "$xwayland" = enable ]; then
        # XWayland's display is known to sway's own children.
        swaymsg exec "echo \$DISPLAY >'$E2E_TMP/display'" >/dev/null
        e2e_wait 10 grep -q : "$E2E_TMP/display" || e2e_fail "sway named no XWayland display"
        DISPLAY="$(cat "$E2E_TMP/display")"
        export DISPLAY
    fi
}

wl_desktop_shown() {
    grim "$E2E_TMP/desktop.png" && [ "$(e2e_pixel "$E2E_TMP/desktop.png" 5 5)" = "$wl_desktop" ]
}

# The watcher and a host registered with it, as a panel of a Wayland desktop.
wl_watcher=(--session -d org.kde.StatusNotifierWatcher -o /StatusNotifierWatcher)
wl_start_tray_host() {
    status-notifier-watcher >"$E2E_TMP/watcher.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_wait 20 gdbus introspect "${wl_watcher[@]}" || e2e_fail "the watcher did not start"
    gdbus call "${wl_watcher[@]}" -m org.kde.StatusNotifierWatcher.RegisterStatusNotifierHost \
        org.kde.StatusNotifierHost-velmon-test >/dev/null || e2e_fail "no host could register"
}

# The registered item, "SERVICE/PATH".
wl_item() {
    gdbus call "${wl_watcher[@]}" -m org.freedesktop.DBus.Properties.Get \
        org.kde.StatusNotifierWatcher RegisteredStatusNotifierItems | grep -o "'[^']*'" | tr -d "'" | grep .
}

# wl_item_call METHOD ARGS…: a method of the item, as the host calls it.
wl_item_call() {
    local item service path=/StatusNotifierItem
    item="$(wl_item | head -n 1)" || e2e_fail "no item to call $1 on"
    service="${item%%/*}"
    [[ "$item" == */* ]] && path="/${item#*/}"
    gdbus call --session -d "$service" -o "$path" -m "org.kde.StatusNotifierItem.$1" "${@:2}" >/dev/null
}

wl_tip_is() { grep -qx "tray = $1" "$VELMON_TEST_DUMP" 2>/dev/null; }

# The main window as sway has it: "SHELL X Y WIDTH HEIGHT FOCUSED" of its
# content on the screen (velmon's window titled Velmora).
wl_window() {
    swaymsg -t get_tree | jq -er --argjson pid "$velmon" '
        first(.. | objects | select(.pid? == $pid and .name? == "Velmora"))
        | "\(.shell) \(.rect.x + .window_rect.x) \(.rect.y + .window_rect.y) \(.window_rect.width) \(.window_rect.height) \(.focused)"'
}
wl_window_gone() { ! wl_window; }
wl_window_at() {
    local shell x y rest
    read -r shell x y rest < <(wl_window) && [ "$x" -eq "$1" ] && [ "$y" -eq "$2" ]
}

# Pointer input through the compositor. A new device first waits a moment:
# clients take up a pointer when the seat announces one.
wl_pointer() { "$VELMON_VPOINTER" "$wl_screen_w" "$wl_screen_h" wait 300 "$@"; }
wl_click() { wl_pointer move "$1" "$2" wait 150 down wait 150 up wait 150; }
# wl_drag X Y DX DY: press at X Y, move by DX DY in small steps, release.
wl_drag() {
    local steps=8 i moves=()
    for ((i = 1; i <= steps; i++)); do
        moves+=(move $(($1 + $3 * i / steps)) $(($2 + $4 * i / steps)) wait 50)
    done
    wl_pointer move "$1" "$2" wait 200 down wait 300 "${moves[@]}" wait 200 up wait 300
}

wl_pixel() { e2e_pixel "$@"; }
