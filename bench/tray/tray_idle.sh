#!/usr/bin/env bash
# What Velmon costs the machine while it sits idle in the tray: CPU ticks,
# RSS and Pss, the libraries it maps, and the time from exec to its tray icon.
# Runs on a private X display (Xvfb, openbox, trayer) with a session bus of
# its own, on a fake hwmon tree of today's machines read through libsensors
# in a private mount namespace, so a libsensors peer reads the same chips.
#
#   bench/tray/tray_idle.sh [--seconds N] [--settle N] [--starts N]
#                           [--machine NAME] [--stage DIR] [--peer CMD]
#
#   --seconds N    CPU is counted over N seconds of idling (default 300)
#   --settle N     seconds idle before memory is read and counting starts (60)
#   --starts N     starts timed from exec to the tray icon; median (5)
#   --machine NAME a tree of tests/hwmon/trees/make_tree.sh (amd-nct6798)
#   --stage DIR    the folder holding velmon (VELMON_STAGE_DIR, else build/stage)
#   --top N        how many mapped files to list (12)
#   --peer CMD     another program started beside Velmon in the same run and
#                  measured the same way, for example --peer xsensors
#
# Not a test: it prints figures and judges nothing. Needs root for the mount
# namespace (or a user namespace that permits it).
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
repo="$(cd "$here/../.." && pwd)"
trees="$repo/tests/hwmon/trees/make_tree.sh"

seconds=300 settle=60 starts=5 machine=amd-nct6798 peer="" top=12
stage="${VELMON_STAGE_DIR:-$repo/build/stage}"
while [ $# -gt 0 ]; do
    case "$1" in
    --seconds) seconds="$2"; shift 2 ;;
    --settle) settle="$2"; shift 2 ;;
    --starts) starts="$2"; shift 2 ;;
    --machine) machine="$2"; shift 2 ;;
    --stage) stage="$2"; shift 2 ;;
    --peer) peer="$2"; shift 2 ;;
    --top) top="$2"; shift 2 ;;
    -h | --help) sed -n '2,22p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "tray_idle.sh: unknown option '$1'" >&2; exit 2 ;;
    esac
done
export VELMON_STAGE_DIR="$stage"

# A private mount namespace for the tree, then a session bus for the run.
if [ -z "${VELMON_BENCH_NS:-}" ]; then
    command -v unshare >/dev/null || { echo "tray_idle.sh: unshare is not installed" >&2; exit 1; }
    exec env VELMON_BENCH_NS=1 unshare -m --propagation private "$0" \
        --seconds "$seconds" --settle "$settle" --starts "$starts" --machine "$machine" --stage "$stage" --top "$top" \
        ${peer:+--peer "$peer"}
fi
if [ -z "${VELMON_BENCH_BUS:-}" ]; then
    exec env VELMON_BENCH_BUS=1 dbus-run-session -- "$0" \
        --seconds "$seconds" --settle "$settle" --starts "$starts" --machine "$machine" --stage "$stage" --top "$top" \
        ${peer:+--peer "$peer"}
fi

. "$repo/tests/e2e/lib.sh"
e2e_require Xvfb trayer openbox xdotool xwininfo
[ -x "$stage/velmon" ] || { echo "tray_idle.sh: no velmon in $stage" >&2; exit 1; }

E2E_TMP="$(mktemp -d)"
trap 'umount /etc/sensors.d /etc/sensors3.conf /sys/class 2>/dev/null; e2e_cleanup' EXIT

# The tree, and its libsensors configuration in place of the system's, so a
# peer that reads libsensors' default configuration sees the same labels.
mount -t tmpfs velmon-bench /sys/class || { echo "tray_idle.sh: cannot mount a tmpfs over /sys/class" >&2; exit 1; }
bash "$trees" "$machine" /sys/class "$E2E_TMP/sensors.conf" || exit 1
mkdir -p "$E2E_TMP/sensors.d"
[ -e /etc/sensors3.conf ] && mount --bind "$E2E_TMP/sensors.conf" /etc/sensors3.conf
[ -d /etc/sensors.d ] && mount --bind "$E2E_TMP/sensors.d" /etc/sensors.d

# A fresh user: settings without the logo, nothing else stored.
mkdir -p "$E2E_TMP/config/Velmon" "$E2E_TMP/runtime" "$E2E_TMP/registry" "$E2E_TMP/home"
chmod 700 "$E2E_TMP/runtime"
printf '[ZORVMonitor]\nShowLogo=0\n' >"$E2E_TMP/config/Velmon/Velmon.ini"
export XDG_CONFIG_HOME="$E2E_TMP/config" XDG_RUNTIME_DIR="$E2E_TMP/runtime" ZORV_REGISTRY="$E2E_TMP/registry"
export HOME="$E2E_TMP/home" ZORV_SOURCE=hwmon ZORV_SENSORS_CONF="$E2E_TMP/sensors.conf"

e2e_start_display

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# ticks PID: user plus system CPU of all its threads, in clock ticks.
ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$1/stat"; }
# cpu_ns PID: the same in nanoseconds, summed over the threads' schedstat.
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%d\n", s }'; }
kb() { awk -v k="$2" '$1 == k ":" { print $2 }' "/proc/$1/${3:-status}"; }
memory() {  # PID: "RSS_KB PSS_KB ANON_KB FILE_KB"
    echo "$(kb "$1" VmRSS) $(kb "$1" Pss smaps_rollup) $(kb "$1" RssAnon) $(kb "$1" RssFile)"
}
# top_libraries PID N: the N mapped files holding the most resident memory.
top_libraries() {
    awk '
        /^[0-9a-f]+-[0-9a-f]+ / { file = (NF >= 6) ? $6 : "[anon]"; next }
        $1 == "Rss:" { rss[file] += $2 }
        END { for (f in rss) if (rss[f] > 0) printf "%8d kB  %s\n", rss[f], f }' "/proc/$1/smaps" |
        sort -rn | head -n "$2" || true
}
mb() { awk -v k="$1" 'BEGIN { printf "%.1f MB", k / 1024 }'; }

# Exec to tray icon, Velmon alone on the desktop; each run ends before the next.
startup_ms=() startup_cpu=()
for ((i = 0; i < starts; i++)); do
    t0="$(now_ms)"
    "$stage/velmon" >"$E2E_TMP/velmon.log" 2>&1 &
    pid=$!
    until e2e_tray_icon_centre >/dev/null 2>&1; do
        kill -0 "$pid" 2>/dev/null || { echo "velmon ended at start: $(cat "$E2E_TMP/velmon.log")" >&2; exit 1; }
        [ $(($(now_ms) - t0)) -gt 20000 ] && { echo "no tray icon within 20 s" >&2; exit 1; }
    done
    startup_ms+=($(($(now_ms) - t0)))
    # Its own CPU time to get there: what the machine's load does not change.
    startup_cpu+=($(($(cpu_ns "$pid") / 1000000)))
    kill "$pid"
    wait "$pid" 2>/dev/null
    e2e_wait 10 bash -c "! xwininfo -root -tree | grep -q '(\"velmon\" \"Velmon\")'"
done


# The idle run: Velmon and the peer side by side.
"$stage/velmon" >"$E2E_TMP/velmon.log" 2>&1 &
velmon=$!
E2E_PIDS+=("$velmon")
peer_pid=""
if [ -n "$peer" ]; then
    bash -c "exec $peer" >"$E2E_TMP/peer.log" 2>&1 &
    peer_pid=$!
    E2E_PIDS+=("$peer_pid")
fi
e2e_wait 20 e2e_tray_icon_centre || { echo "no tray icon: $(cat "$E2E_TMP/velmon.log")" >&2; exit 1; }
sleep "$settle"
pids=("$velmon" ${peer_pid:+"$peer_pid"})
declare -A mem0 t0 n0
for p in "${pids[@]}"; do
    kill -0 "$p" 2>/dev/null || { echo "process $p ended: $(cat "$E2E_TMP"/*.log)" >&2; exit 1; }
    mem0[$p]="$(memory "$p")"
    t0[$p]="$(ticks "$p")"
    n0[$p]="$(cpu_ns "$p")"
done
sleep "$seconds"

sorted=($(printf '%s\n' "${startup_ms[@]}" | sort -n))
window="hidden"
e2e_main_window >/dev/null 2>&1 && window="SHOWN"
echo "machine $machine, $settle s settled, CPU over $seconds s; main window $window"
cpu_sorted=($(printf '%s\n' "${startup_cpu[@]}" | sort -n))
echo "start-up to tray icon: median ${sorted[$((starts / 2))]} ms of ${starts} (${startup_ms[*]} ms)"
echo "CPU time of that start-up: median ${cpu_sorted[$((starts / 2))]} ms (${startup_cpu[*]} ms)"
for p in "${pids[@]}"; do
    name="velmon"
    [ "$p" = "$velmon" ] || name="peer: $peer"
    kill -0 "$p" 2>/dev/null || { echo "$name ended during the run" >&2; exit 1; }
    read -r rss pss anon file <<<"${mem0[$p]}"
    read -r rss1 pss1 _ _ <<<"$(memory "$p")"
    echo
    echo "== $name"
    echo "CPU: $(($(ticks "$p") - t0[$p])) ticks, $((($(cpu_ns "$p") - n0[$p]) / 1000000)) ms in $seconds s"
    echo "after $settle s: RSS $(mb "$rss"), Pss $(mb "$pss") (anonymous $(mb "$anon"), files $(mb "$file"))"
    echo "at the end:  RSS $(mb "$rss1"), Pss $(mb "$pss1")"
    echo "threads: $(ls /proc/"$p"/task | wc -l)"
    echo "top mapped files (RSS):"
    top_libraries "$p" "$top"
done
