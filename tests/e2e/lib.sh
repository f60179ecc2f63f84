# Shared helpers of the end-to-end runs: a private X display with a tray host,
# bounded waits, and cleanup of everything started here.
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
# other runs choosing at the same time) and trayer on it. -noreset: a server
# that resets when its last client leaves refuses the next one for a moment.
e2e_start_display() {
    local fifo="$E2E_TMP/displayfd" n=""
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$fifo" >"$E2E_TMP/xvfb.log" 2>&1 &
    E2E_PIDS+=($!)
    read -r -t 20 n <"$fifo" || true
    [ -n "$n" ] || e2e_fail "Xvfb did not start: $(cat "$E2E_TMP/xvfb.log")"
    export DISPLAY=":$n"
    e2e_wait 10 xdotool getdisplaygeometry || e2e_fail "display $DISPLAY does not answer"
    trayer --edge top --align right --widthtype pixel --width 120 --heighttype pixel --height 32 \
        >"$E2E_TMP/trayer.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_wait 20 xdotool search --class trayer || e2e_fail "trayer did not start: $(cat "$E2E_TMP/trayer.log")"
}

# The tray icon: a velmon window embedded in the tray host (not a top-level
# window). Prints "X Y" of its centre on the screen.
e2e_tray_icon_centre() {
    xwininfo -root -tree | awk '
        /\("velmon" "Velmon"\)/ && match($0, /^ +/) && RLENGTH > 5 {
            split($(NF-1), size, "x"); split($NF, pos, "+");
            w = size[1]; sub(/\+.*/, "", size[2]); h = size[2];
            print pos[2] + int(w / 2), pos[3] + int(h / 2); found = 1; exit
        }
        END { exit found ? 0 : 1 }'
}

# Prints the window id of the visible main window.
e2e_main_window() {
    xdotool search --onlyvisible --name '^Velmora$' | head -n 1 | grep .
}
