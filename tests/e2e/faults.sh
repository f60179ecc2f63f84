#!/usr/bin/env bash
# Faults made on purpose, one row each: a damaged settings file, one that
# cannot be read, a read-only folder, a full disk, a second user without
# XDG_RUNTIME_DIR, a kill after a change in the window, no display, no
# libsensors, no hwmon. Each row checks that Velmon keeps running where it
# should, says what it should and loses nothing it should keep. The offscreen
# platform serves where no window is looked at; the window row runs under
# Xvfb with openbox and trayer. Runs as root in a mount namespace of its own.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
if [ -z "${VELMON_IN_NAMESPACE:-}" ]; then
    [ "$(id -u)" -eq 0 ] || { echo "SKIP: needs root for mounts and a second user"; exit 77; }
    command -v unshare >/dev/null || { echo "SKIP: unshare is not installed"; exit 77; }
    unshare -m --propagation private true 2>/dev/null || { echo "SKIP: mount namespaces are not permitted here"; exit 77; }
    exec env VELMON_IN_NAMESPACE=1 unshare -m --propagation private bash "$0" "$@"
fi
. "$here/lib.sh"
e2e_require Xvfb openbox trayer xdotool xwininfo xprop setpriv
stage="${VELMON_STAGE_DIR:?VELMON_STAGE_DIR names the folder holding velmon}"
[ -x "$stage/velmon" ] || e2e_fail "no velmon in $stage"

e2e_file_user
trap 'umount -l "$E2E_TMP/config/Velmon" /sys/class "$libsensors" 2>/dev/null; e2e_cleanup' EXIT
ini="$E2E_TMP/config/Velmon/Velmon.ini"
dump="$E2E_TMP/dump"
export VELMON_TEST_ANSWER=yes VELMON_TEST_DUMP="$dump"

# offscreen_start [ENV=VALUE…]: Velmon without a display server.
offscreen_start() {
    rm -f "$dump"
    env "$@" QT_QPA_PLATFORM=offscreen "$stage/velmon" >"$E2E_TMP/velmon.log" 2>&1 &
    velmon=$!
    E2E_PIDS+=("$velmon")
    e2e_wait 20 grep -qx "tray = System is in normal state" "$dump" ||
        e2e_fail "velmon did not come up in the normal state"
    sleep 1
    kill -0 "$velmon" 2>/dev/null || e2e_fail "velmon ended: status $(wait "$velmon"; echo $?)"
}
# stop: the end of the session (SIGTERM) saves, and Velmon ends with 0.
stop() {
    kill -TERM "$velmon"
    wait "$velmon"
    local status=$?
    [ "$status" -eq 0 ] || e2e_fail "velmon ended with status $status"
}
said() { grep -qF -- "$1" "$E2E_TMP/velmon.log" || e2e_fail "velmon did not say \"$1\""; }
holds() { grep -qx -- "$1" "$ini" || e2e_fail "Velmon.ini lacks $1: $(tr '\n' ' ' <"$ini")"; }

# --- a damaged line costs that line only; each damaged start keeps its own backup
damaged='[ZORVMonitor]\nShowLogo=0\nCPUTemp=70\n[broken\nMBTemp=45\n'
printf "$damaged" >"$ini"
cp "$ini" "$E2E_TMP/first"
offscreen_start
said "has lines that could not be read (4)"
said "kept as $ini.bad"
stop
cmp -s "$ini.bad" "$E2E_TMP/first" || e2e_fail "the backup is not the file as it was"
holds CPUTemp=70
holds MBTemp=45
grep -q '^\[broken' "$ini" && e2e_fail "the damaged line was written back"
printf '[ZORVMonitor]\nShowLogo=0\nCPUTemp=71\nVolUp3\n' >"$ini"
offscreen_start
said "kept as $ini.bad.2"
stop
cmp -s "$ini.bad" "$E2E_TMP/first" || e2e_fail "the first backup was overwritten"
holds CPUTemp=71
echo "ok: damaged lines skipped, the rest kept, every damaged file kept under its own name"

# --- a file of zeros (a crash before the data reached the disk)
head -c 4096 /dev/zero >"$ini"
offscreen_start
said "could not be read (it holds no readable line)"
said "kept as $ini.bad.3"
[ "$(tr -d '\0' <"$ini.bad.3" | wc -c)" -eq 0 ] && [ "$(wc -c <"$ini.bad.3")" -eq 4096 ] ||
    e2e_fail "the unreadable file was not kept as it was"
stop
holds CPUTemp=80
echo "ok: an unreadable file is moved aside and Velmon runs on the defaults"

# --- a read-only folder: the save fails, is said once, the old file stays
printf '[ZORVMonitor]\nShowLogo=0\nCPUTemp=72\n' >"$ini"
cp "$ini" "$E2E_TMP/before"
mount --bind "$E2E_TMP/config/Velmon" "$E2E_TMP/config/Velmon" &&
    mount -o remount,bind,ro "$E2E_TMP/config/Velmon" || e2e_fail "cannot make the folder read-only"
offscreen_start
stop
umount "$E2E_TMP/config/Velmon"
said "cannot save the settings to $ini"
[ "$(grep -c 'cannot save the settings' "$E2E_TMP/velmon.log")" -eq 1 ] || e2e_fail "the failed save was said more than once"
grep -q 'warning state' "$dump" && e2e_fail "a failed save put Velmon in the warning state"
cmp -s "$ini" "$E2E_TMP/before" || e2e_fail "the old file changed"
echo "ok: read-only folder: said once, not a warning state, the old file intact"

# --- a full disk: the same, and no stale file left beside it
mkdir -p "$E2E_TMP/small"
mount -t tmpfs -o size=64k velmon-full "$E2E_TMP/small" || e2e_fail "cannot mount a small tmpfs"
mkdir -p "$E2E_TMP/small/Velmon"
cp "$E2E_TMP/before" "$E2E_TMP/small/Velmon/Velmon.ini"
dd if=/dev/zero of="$E2E_TMP/small/filler" bs=4k 2>/dev/null
offscreen_start XDG_CONFIG_HOME="$E2E_TMP/small"
stop
said "cannot save the settings to $E2E_TMP/small/Velmon/Velmon.ini"
cmp -s "$E2E_TMP/small/Velmon/Velmon.ini" "$E2E_TMP/before" || e2e_fail "a full disk changed the old file"
[ "$(ls -A "$E2E_TMP/small/Velmon")" = Velmon.ini ] || e2e_fail "files left beside it: $(ls -A "$E2E_TMP/small/Velmon")"
umount "$E2E_TMP/small"
echo "ok: full disk: said, the old file intact, nothing left beside it"

# --- a monitor per user: no XDG_RUNTIME_DIR, a second user starts beside the first
shared="$E2E_TMP/tmp"
mkdir -p "$shared" && chmod 1777 "$shared"
offscreen_start -u XDG_RUNTIME_DIR TMPDIR="$shared"
first=$velmon
[ "$(stat -c '%a %u' "$shared/velmon-0")" = "700 0" ] || e2e_fail "root's folder: $(stat -c '%a %u' "$shared/velmon-0")"
[ -e "$shared/velmon-0/Velmon.lock" ] || e2e_fail "no lock in root's folder"
# The second user's name in the shared folder is taken by someone else: not used.
mkdir -m 777 "$shared/velmon-65534"
other="$E2E_TMP/other"
mkdir -p "$other/config/Velmon" && printf '[ZORVMonitor]\nShowLogo=0\n' >"$other/config/Velmon/Velmon.ini"
chown -R 65534:65534 "$other" && chmod 755 "$E2E_TMP"
chmod 644 "$E2E_TMP/readings"
rm -f "$dump"
setpriv --reuid=65534 --regid=65534 --clear-groups env -u XDG_RUNTIME_DIR TMPDIR="$shared" HOME="$other" \
    XDG_CONFIG_HOME="$other/config" XDG_CACHE_HOME="$other/cache" ZORV_REGISTRY="$other/registry" \
    VELMON_TEST_DUMP="$other/dump" QT_QPA_PLATFORM=offscreen "$stage/velmon" >"$E2E_TMP/other.log" 2>&1 &
second=$!
E2E_PIDS+=("$second")
e2e_wait 20 grep -qx "tray = System is in normal state" "$other/dump" ||
    e2e_fail "the second user's velmon did not come up: $(cat "$E2E_TMP/other.log")"
sleep 1
kill -0 "$second" 2>/dev/null || e2e_fail "the second user's velmon ended: $(cat "$E2E_TMP/other.log")"
grep -qF "velmon-65534 belongs to another user" "$E2E_TMP/other.log" ||
    e2e_fail "the planted folder was not named: $(cat "$E2E_TMP/other.log")"
[ "$(stat -c '%a %u' "$other/cache/Velmon")" = "700 65534" ] && [ -e "$other/cache/Velmon/Velmon.lock" ] ||
    e2e_fail "the second user's lock is not in a private folder of theirs"
[ -e "$shared/velmon-65534/Velmon.lock" ] && e2e_fail "the lock went into the planted folder"
kill -TERM "$second"; wait "$second"
velmon=$first
stop
echo "ok: each user has a monitor; a planted folder is not used"

# --- no display, no libsensors, no hwmon: a message naming the cause, a documented status
ends() {  # ends STATUS TEXT COMMAND…
    local want="$1" text="$2" status
    shift 2
    "$@" >"$E2E_TMP/velmon.log" 2>&1
    status=$?
    [ "$status" -eq "$want" ] || e2e_fail "$* ended with $status, not $want: $(cat "$E2E_TMP/velmon.log")"
    said "$text"
}
ends 4 "there is no display to run on (DISPLAY is not set" env -u DISPLAY -u WAYLAND_DISPLAY "$stage/velmon"
ends 4 "could not connect to display :199" env DISPLAY=:199 "$stage/velmon"
"$stage/velmon" --help | grep -q "^  4  no display to run on" || e2e_fail "--help does not document status 4"
libsensors="$(ldconfig -p | awk '/libsensors\.so\.5 /{print $NF; exit}')"
if [ -n "$libsensors" ]; then
    mount --bind /dev/null "$libsensors" || e2e_fail "cannot hide $libsensors"
    ends 2 "needs libsensors (libsensors.so.5), which could not be loaded. Install it" \
        env QT_QPA_PLATFORM=offscreen ZORV_SOURCE=hwmon "$stage/velmon"
    ends 2 "needs libsensors" env ZORV_SOURCE=hwmon "$stage/zorvread" --list
    umount "$libsensors"
fi
mount -t tmpfs velmon-nohwmon /sys/class || e2e_fail "cannot mount a tmpfs over /sys/class"
ends 1 "Your mainboard has no LM75/78 chipsets !" env QT_QPA_PLATFORM=offscreen ZORV_SOURCE=hwmon "$stage/velmon"
said "finds no sensor chip under /sys/class/hwmon. Load the driver"
ends 3 "finds no sensor chip under /sys/class/hwmon" env ZORV_SOURCE=hwmon "$stage/zorvread" --list
umount /sys/class
"$stage/zorvread" --help | grep -q "^exit status:" || e2e_fail "zorvread --help does not document its statuses"
echo "ok: no display, no libsensors, no hwmon: each names its cause and what to do"

# --- a threshold changed in the window is saved while Velmon runs; a kill keeps it
printf '[ZORVMonitor]\nShowLogo=0\nCPUFan=2000\n' >"$ini"
e2e_start_display
rm -f "$dump"
"$stage/velmon" >"$E2E_TMP/velmon.log" 2>&1 &
velmon=$!
E2E_PIDS+=("$velmon")
e2e_wait 20 e2e_tray_icon_centre || e2e_fail "the tray icon did not appear"
read -r ix iy < <(e2e_tray_icon_centre)
xdotool mousemove "$ix" "$iy" click 1
e2e_wait 10 e2e_main_window || e2e_fail "a tray click did not show the main window"
win="$(e2e_main_window)"
e2e_press "$win" 475 336    # Setting oval
e2e_wait 10 xdotool search --onlyvisible --name "^Settings -- Velmora V1.3$" || e2e_fail "Settings did not open"
set_id="$(xdotool search --onlyvisible --name "^Settings -- Velmora V1.3$" | head -n 1)"
e2e_click "$set_id" 327 163  # "Reset to Default"
e2e_wait 10 grep -qx CPUFan=2800 "$ini" || e2e_fail "the reset was not saved while running: $(cat "$ini")"
kill -KILL "$velmon"
wait "$velmon" 2>/dev/null
holds CPUFan=2800
ls -A "$E2E_TMP/config/Velmon" | grep -v '^Velmon\.ini\(\.bad\(\.[0-9]*\)\?\)\?$' | grep -q . &&
    e2e_fail "files left after the kill: $(ls -A "$E2E_TMP/config/Velmon")"
echo "ok: a change in the window is saved while running; a kill loses nothing and leaves no lock"
