# Shared helpers of the end-to-end runs: a private X display with a window
# manager (openbox) and a tray host, bounded waits, pointer input at window
# positions as the window manager placed them, and cleanup of everything
# started here.
# Sourced by the test scripts; they set E2E_TMP before calling e2e_start_display.

E2E_PIDS=()

e2e_cleanup() {
    local pid
    for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${E2E_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
    [ -n "${E2E_TMP:-}" ] && [ -z "${E2E_KEEP:-}" ] && rm -rf "$E2E_TMP"
    return 0
}

e2e_fail() {
    echo "FAIL: $*" >&2
    [ -f "$E2E_TMP/velmon.log" ] && sed 's/^/  velmon: /' "$E2E_TMP/velmon.log" >&2
    [ -n "${DISPLAY:-}" ] && xwininfo -root -tree 2>/dev/null | grep -iE 'velmon|velmora|trayer|panel' | sed 's/^/  window: /' >&2
    exit 1
}

# e2e_wait SECONDS COMMAND…: runs COMMAND every 0.2 s until it succeeds.
e2e_wait() {
    local limit=$(( $1 * 5 )) i=0
    shift
    while ! "$@" >/dev/null 2>&1; do
        i=$((i + 1))
        [ "$i" -ge "$limit" ] && return 1
        sleep 0.2
    done
}

e2e_require() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
    done
}

# Starts Xvfb on a display number it picks itself (-displayfd: no race with
# other runs choosing at the same time), openbox and trayer on it, as a
# user's desktop has them. -noreset: a server that resets when its last
# client leaves refuses the next one for a moment.
e2e_start_display() {
    local fifo="$E2E_TMP/displayfd" n=""
    # A run without a session bus of its own has none: otherwise every client
    # would start a bus of its own through the display (D-Bus autolaunch).
    export DBUS_SESSION_BUS_ADDRESS="${DBUS_SESSION_BUS_ADDRESS:-disabled:}"
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$fifo" >"$E2E_TMP/xvfb.log" 2>&1 &
    E2E_PIDS+=($!)
    read -r -t 20 n <"$fifo" || true
    [ -n "$n" ] || e2e_fail "Xvfb did not start: $(cat "$E2E_TMP/xvfb.log")"
    export DISPLAY=":$n"
    e2e_wait 10 xdotool getdisplaygeometry || e2e_fail "display $DISPLAY does not answer"
    openbox --sm-disable >"$E2E_TMP/openbox.log" 2>&1 &
    E2E_PIDS+=($!)
    # The manager is in charge once it names its check window on the root.
    e2e_wait 20 e2e_wm_running || e2e_fail "openbox did not start: $(cat "$E2E_TMP/openbox.log")"
    trayer --edge top --align right --widthtype pixel --width 120 --heighttype pixel --height 32 \
        >"$E2E_TMP/trayer.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_wait 20 xdotool search --onlyvisible --class trayer ||
        e2e_fail "trayer did not start: $(cat "$E2E_TMP/trayer.log")"
    # trayer takes the tray selection after its panel shows and announces it on
    # no window a script can read; a client started before that finds no tray.
    sleep 1
}

# The tray icon: a small velmon window embedded in the tray host (the main
# window has the same class and is reparented by the window manager too).
# Prints "X Y" of its centre on the screen. The tree is read whole before it
# is searched: a reader that stops at the first match breaks xwininfo's pipe,
# and under pipefail that reads as "no icon".
e2e_tray_icon_centre() {
    local tree
    tree="$(xwininfo -root -tree)" || return 1
    awk '
        !found && /\("velmon" "Velmon"\)/ && match($0, /^ +/) && RLENGTH > 5 {
            split($(NF-1), size, "x"); split($NF, pos, "+");
            w = size[1]; sub(/\+.*/, "", size[2]); h = size[2];
            if (w > 64 || h > 64) next;
            print pos[2] + int(w / 2), pos[3] + int(h / 2); found = 1
        }
        END { exit found ? 0 : 1 }' <<<"$tree"
}

# Prints the window id of the visible main window.
e2e_main_window() {
    local ids
    ids="$(xdotool search --onlyvisible --name '^Velmora$')" || return 1
    [ -n "$ids" ] && head -n 1 <<<"$ids"
}

e2e_wm_running() {
    xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'
}

# e2e_window_corner ID: prints "X Y", the screen position of the client
# area's top-left corner as the window manager placed it (xdotool's
# geometry is off by the frame under a reparenting manager).
e2e_window_corner() {
    xwininfo -id "$1" | awk '
        /Absolute upper-left X:/ { x = $NF }
        /Absolute upper-left Y:/ { y = $NF }
        END { if (x == "" || y == "") exit 1; print x, y }'
}

# e2e_window_size ID: prints "WIDTH HEIGHT" of the client area.
e2e_window_size() {
    xwininfo -id "$1" | awk '
        /^ +Width:/ { w = $NF }
        /^ +Height:/ { h = $NF }
        END { if (w == "" || h == "") exit 1; print w, h }'
}

# e2e_click ID X Y [BUTTON]: a click at client coordinates of a window.
e2e_click() {
    local x y
    read -r x y < <(e2e_window_corner "$1") || e2e_fail "window $1 is gone"
    xdotool mousemove $((x + $2)) $((y + $3)) click "${4:-1}"
}

# e2e_press ID X Y: a press and a release a moment later, at the same place
# (buttons that act on the release).
e2e_press() {
    local x y
    read -r x y < <(e2e_window_corner "$1") || e2e_fail "window $1 is gone"
    xdotool mousemove $((x + $2)) $((y + $3)) mousedown 1
    sleep 0.3
    xdotool mouseup 1
}

# e2e_drag ID X Y DX DY: presses at client coordinates X Y, moves the pointer
# by DX DY in small steps, releases.
e2e_drag() {
    local x y i steps=8
    read -r x y < <(e2e_window_corner "$1") || e2e_fail "window $1 is gone"
    xdotool mousemove $((x + $2)) $((y + $3)) mousedown 1
    sleep 0.2
    for ((i = 1; i <= steps; i++)); do
        xdotool mousemove $((x + $2 + $4 * i / steps)) $((y + $3 + $5 * i / steps))
        sleep 0.05
    done
    sleep 0.2
    xdotool mouseup 1
}

# e2e_shot FILE [ID]: a screenshot of the screen, or of the window's client area.
e2e_shot() {
    if [ -n "${2:-}" ]; then
        import -window "$2" "$1"
    else
        import -window root "$1"
    fi
}

# e2e_pixel FILE X Y: the colour of one pixel of a picture as "R,G,B".
e2e_pixel() {
    convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}

# The tray menu: a small top-level velmon window that is neither the icon nor
# the main window. Prints "X Y WIDTH HEIGHT".
e2e_tray_menu_geometry() {
    local id x y w h
    for id in $(xdotool search --onlyvisible --class velmon); do
        read -r w h < <(e2e_window_size "$id") || continue
        if [ "$w" -gt 40 ] && [ "$w" -lt 400 ] && [ "$h" -gt 40 ] && [ "$h" -lt 300 ]; then
            read -r x y < <(e2e_window_corner "$id") || continue
            echo "$x $y $w $h"
            return 0
        fi
    done
    return 1
}

# e2e_exit_by_tray PID: "Exit" from the tray menu (the main window must be
# hidden; VELMON_TEST_ANSWER=yes answers the question) and waits for the end.
e2e_exit_by_tray() {
    local ix iy mx my mw mh
    read -r ix iy < <(e2e_tray_icon_centre) || e2e_fail "no tray icon to open the menu on"
    xdotool mousemove "$ix" "$iy" click 3
    e2e_wait 5 e2e_tray_menu_geometry || e2e_fail "the tray menu did not open"
    read -r mx my mw mh < <(e2e_tray_menu_geometry)
    echo "ok: tray menu at $mx,$my ${mw}x$mh"
    # "Exit" is the last item.
    xdotool mousemove $((mx + mw / 3)) $((my + mh - 12)) click 1
    e2e_wait 15 bash -c "! kill -0 $1" || e2e_fail "velmon did not end after Exit"
}

# A private user under a new E2E_TMP (settings, runtime folder, registry) on a
# file: board whose readings are all in range. The settings file holds the
# INI text given (printf escapes), by default only ShowLogo=0.
e2e_file_user() {
    E2E_TMP="$(mktemp -d)"
    trap e2e_cleanup EXIT
    mkdir -p "$E2E_TMP/config/Velmon" "$E2E_TMP/runtime" "$E2E_TMP/registry"
    chmod 700 "$E2E_TMP/runtime"
    # shellcheck disable=SC2059
    printf "${1:-[ZORVMonitor]\nShowLogo=0\n}" >"$E2E_TMP/config/Velmon/Velmon.ini"
    readings="$E2E_TMP/readings"
    write_readings 3500
    export XDG_CONFIG_HOME="$E2E_TMP/config" XDG_RUNTIME_DIR="$E2E_TMP/runtime"
    export ZORV_REGISTRY="$E2E_TMP/registry" ZORV_SOURCE="file:$readings"
}

# write_readings RPM [POWER_RPM CHASSIS_RPM]: the board of e2e_file_user with
# the CPU fan at RPM, replaced in one step so velmon never reads half a file.
write_readings() {
    cat >"$readings.new" <<EOT
cpu_fan = $1
power_fan = ${2:-3000}
chassis_fan = ${3:-2500}
cpu_temp = 45
mb_temp = 30
in0 = 2800
in1 = 2500
in2 = 3300
in3 = 5000
in4 = 12000
in5 = -12000
in6 = -5000
EOT
    mv "$readings.new" "$readings"
}
