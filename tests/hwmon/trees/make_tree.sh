#!/usr/bin/env bash
# Fake hwmon trees of real machines, for tests that read them through
# libsensors in a private mount namespace (a tmpfs over /sys/class).
#
#   make_tree.sh NAME DIR CONF   write machine NAME into DIR (used as /sys/class)
#                                and its libsensors configuration into CONF
#                                (pass it as ZORV_SENSORS_CONF; it replaces
#                                /etc/sensors3.conf and /etc/sensors.d)
#   make_tree.sh --list          the machine names, one a line
#   make_tree.sh --expect NAME   what libzorv reads there: twelve lines
#                                "CHANNEL VALUE" (RPM, degrees C, mV) or
#                                "CHANNEL absent", in channel order
#   make_tree.sh --fault NAME    "CHANNEL FILE VALUE": writing VALUE into
#                                DIR/FILE is a real fault (the CPU fan stops;
#                                with no fan, the CPU reaches 95 C); nothing
#                                for a machine without sensors
#
# For example, zorvread on the ThinkPad:
#   unshare -m --propagation private sh -c 'mount -t tmpfs t /sys/class &&
#     tests/hwmon/trees/make_tree.sh thinkpad /sys/class /tmp/s.conf &&
#     ZORV_SOURCE=hwmon ZORV_SENSORS_CONF=/tmp/s.conf build/stage/zorvread'
#
# File names and values follow the kernel drivers: fanN_input (RPM),
# tempN_input (millidegrees), inN_input (millivolts at the pin, or scaled by
# the driver where it knows the divider), *_label where the driver writes one,
# and a device link whose bus gives libsensors' chip name (nct6798-isa-0290,
# k10temp-pci-00c3, acpitz-acpi-0, cpu_thermal-virtual-0 ...). Fans and
# temperatures idle clear of Velmon's default thresholds (CPU fan above
# 2800 RPM, chassis above 1800, CPU below 80 C, mainboard below 50 C), so a
# machine starts in the normal state; a test changes a file to make a fault.
# A file written again is replaced by rename, so a reader never sees half a value.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
repo="$(cd "$here/../../.." && pwd)"

machines="lm78 amd-nct6798 intel-nct6775 ite-it8686 ite-it8686-labelled thinkpad dell arm-cpu-thermal none"

expect() {
    case "$1" in
    lm78) # pin voltages through the example's compute lines
        printf '%s\n' "cpu_fan 4560" "power_fan 3375" "chassis_fan 2410" "cpu_temp 45" "mb_temp 33" \
            "in0 1984" "in1 2000" "in2 3312" "in3 5000" "in4 12000" "in5 -11999" "in6 -5000" ;;
    amd-nct6798)
        printf '%s\n' "cpu_fan 3105" "power_fan absent" "chassis_fan 1912" "cpu_temp 46" "mb_temp 33" \
            "in0 absent" "in1 absent" "in2 3344" "in3 absent" "in4 absent" "in5 absent" "in6 absent" ;;
    intel-nct6775)
        printf '%s\n' "cpu_fan 2946" "power_fan absent" "chassis_fan 1840" "cpu_temp 41" "mb_temp 30" \
            "in0 absent" "in1 absent" "in2 3312" "in3 absent" "in4 absent" "in5 absent" "in6 absent" ;;
    ite-it8686) # the driver labels its internal AVCC3 input "+3.3V" and scales it
        printf '%s\n' "cpu_fan 3013" "power_fan absent" "chassis_fan 1985" "cpu_temp 46" "mb_temp 31" \
            "in0 absent" "in1 absent" "in2 3336" "in3 absent" "in4 absent" "in5 absent" "in6 absent" ;;
    ite-it8686-labelled) # the board's sensors.d labels and computes in1..in3
        printf '%s\n' "cpu_fan 3013" "power_fan absent" "chassis_fan 1985" "cpu_temp 46" "mb_temp 31" \
            "in0 absent" "in1 absent" "in2 3324" "in3 5010" "in4 12060" "in5 absent" "in6 absent" ;;
    thinkpad)
        printf '%s\n' "cpu_fan 3094" "power_fan absent" "chassis_fan absent" "cpu_temp 48" "mb_temp 44" \
            "in0 absent" "in1 absent" "in2 absent" "in3 absent" "in4 absent" "in5 absent" "in6 absent" ;;
    dell)
        printf '%s\n' "cpu_fan 3214" "power_fan absent" "chassis_fan absent" "cpu_temp 52" "mb_temp 38" \
            "in0 absent" "in1 absent" "in2 absent" "in3 absent" "in4 absent" "in5 absent" "in6 absent" ;;
    arm-cpu-thermal)
        printf '%s\n' "cpu_fan absent" "power_fan absent" "chassis_fan absent" "cpu_temp 47" "mb_temp absent" \
            "in0 absent" "in1 absent" "in2 absent" "in3 absent" "in4 absent" "in5 absent" "in6 absent" ;;
    none)
        printf '%s\n' "cpu_fan absent" "power_fan absent" "chassis_fan absent" "cpu_temp absent" "mb_temp absent" \
            "in0 absent" "in1 absent" "in2 absent" "in3 absent" "in4 absent" "in5 absent" "in6 absent" ;;
    *) echo "make_tree.sh: no machine '$1' (try --list)" >&2; return 2 ;;
    esac
}

fault() {
    case "$1" in
    lm78|ite-it8686|ite-it8686-labelled|thinkpad|dell) echo "cpu_fan hwmon/hwmon0/fan1_input 0" ;;
    amd-nct6798|intel-nct6775) echo "cpu_fan hwmon/hwmon0/fan2_input 0" ;;
    arm-cpu-thermal) echo "cpu_temp hwmon/hwmon0/temp1_input 95000" ;;
    none) ;;
    *) echo "make_tree.sh: no machine '$1' (try --list)" >&2; return 2 ;;
    esac
}

usage() { sed -n '2,23p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }

case "${1:-}" in
--list) printf '%s\n' $machines; exit 0 ;;
--expect) [ $# -eq 2 ] || usage; expect "$2"; exit ;;
--fault) [ $# -eq 2 ] || usage; fault "$2"; exit ;;
-h|--help|"") usage ;;
esac
[ $# -eq 3 ] || usage
name="$1" root="$2" conf="$3"
expect "$name" >/dev/null

mkdir -p "$root/hwmon"
next=0
hw=""

put() {
    if [ -e "$hw/$1" ]; then printf '%s\n' "$2" >"$hw/$1.new" && mv "$hw/$1.new" "$hw/$1"
    else printf '%s\n' "$2" >"$hw/$1"; fi
}

# chip NAME DEVICE SUBSYSTEM: a new hwmon device below DIR/devices, linked
# from DIR/hwmon as sysfs does. DEVICE "-" is a device of no bus (virtual).
chip() {
    local dev="$root/devices/${2#-}"
    [ "$2" = "-" ] && dev="$root/devices/virtual/thermal/thermal_zone$next"
    hw="$dev/hwmon/hwmon$next"
    mkdir -p "$hw"
    if [ "$2" != "-" ]; then
        ln -sfn "../.." "$hw/device"
        ln -sfn "../../../bus/$3" "$dev/subsystem"
    fi
    ln -sfn "../devices/${hw#"$root/devices/"}" "$root/hwmon/hwmon$next"
    put name "$1"
    next=$((next + 1))
}

# temp N LABEL MILLIDEGREES; fan N LABEL RPM; volt N LABEL MILLIVOLTS ("" = no label)
temp() { put "temp$1_input" "$3"; [ -z "$2" ] || put "temp$1_label" "$2"; }
fan() { put "fan$1_input" "$3"; [ -z "$2" ] || put "fan$1_label" "$2"; }
volt() { put "in$1_input" "$3"; [ -z "$2" ] || put "in$1_label" "$2"; }

no_config() { printf '# %s: no libsensors configuration of its own\n' "$name" >"$conf"; }

k10temp() {
    chip k10temp "pci0000:00/0000:00:18.3" pci
    temp 1 Tctl 46125
    temp 3 Tccd1 44250
}
nvme() {
    chip nvme "pci0000:00/0000:00:01.1/0000:01:00.0" pci
    temp 1 Composite 38850
    temp 2 "Sensor 1" 38850
    temp 3 "Sensor 2" 41850
}
coretemp() { # PACKAGE_MILLIDEGREES
    chip coretemp "platform/coretemp.0" platform
    temp 1 "Package id 0" "$1"
    temp 2 "Core 0" $(($1 - 2000))
    temp 3 "Core 1" $(($1 - 1000))
    temp 4 "Core 2" $(($1 - 3000))
    temp 5 "Core 3" $(($1 - 1000))
}
acpitz() { # MILLIDEGREES
    chip acpitz "LNXSYSTM:00/LNXSYBUS:00/LNXTHERM:00" acpi
    temp 1 "" "$1"
}
battery() {
    chip BAT0 "LNXSYSTM:00/LNXSYBUS:00/PNP0A08:00/device:2f/PNP0C09:00/PNP0C0A:00" acpi
    volt 0 "" 12452
}

it8686() { # the it87 driver on a Gigabyte board: inputs are pin volts
    chip it8686 "platform/it87.2624" platform
    volt 0 "" 1392; volt 1 "" 2016; volt 2 "" 2010; volt 3 "" 2004
    volt 4 "" 1080; volt 5 "" 912; volt 6 "" 1188
    volt 7 3VSB 3336; volt 8 Vbat 3072; volt 9 +3.3V 3336
    fan 1 "" 3013; fan 2 "" 1985; fan 3 "" 0; fan 4 "" 0; fan 5 "" 0
    temp 1 "" 31000; temp 2 "" 36000; temp 3 "" 43000; temp 4 "" 35000; temp 5 "" 40000; temp 6 "" 33000
    put intrusion0_alarm 0
}

case "$name" in
lm78)
    chip lm78 - -
    put fan1_input 4560; put fan2_input 3375; put fan3_input 2410
    put temp1_input 33000; put temp2_input 61000
    put in0_input 1984; put in1_input 2000; put in2_input 3312
    put in3_input 2976   # 5.0 V through 6.8k/10k
    put in4_input 3158   # 12.0 V through 28k/10k
    put in5_input 3451   # -12.0 V through 210k/60.4k
    put in6_input 3322   # -5.0 V through 90.9k/60.4k
    chip lm75 - -
    put temp1_input 45250
    cp "$repo/zorv/sensors.d/lm78.conf" "$conf"
    ;;
amd-nct6798) # an ASUS AM4 board: Ryzen, NVMe drive, Radeon card
    chip nct6798 "platform/nct6775.656" platform
    volt 0 "" 984; volt 1 "" 1008; volt 2 "" 3392; volt 3 "" 3344; volt 4 "" 1016
    volt 5 "" 736; volt 6 "" 840; volt 7 "" 3392; volt 8 "" 3264; volt 9 "" 1840
    volt 10 "" 1056; volt 11 "" 1000; volt 12 "" 1048; volt 13 "" 936; volt 14 "" 1880
    fan 1 "" 1912; fan 2 "" 3105; fan 3 "" 0; fan 4 "" 0; fan 5 "" 0; fan 6 "" 0; fan 7 "" 0
    temp 1 SYSTIN 33000; temp 2 CPUTIN 41500; temp 3 AUXTIN0 -62000; temp 4 AUXTIN1 97000
    temp 5 AUXTIN2 26000; temp 6 AUXTIN3 -2000; temp 7 "SMBUSMASTER 0" 46125; temp 9 PCH_CHIP_TEMP 0
    put intrusion0_alarm 1; put beep_enable 0; put cpu0_vid 0
    k10temp
    nvme
    chip amdgpu "pci0000:00/0000:00:03.1/0000:03:00.0" pci
    volt 0 vddgfx 806
    fan 1 "" 0   # zero-RPM mode at idle
    temp 1 edge 41000; temp 2 junction 43000; temp 3 mem 44000
    put power1_average 9000000
    no_config
    ;;
intel-nct6775) # an older Intel desktop: Core i5, nct6775
    chip nct6775 "platform/nct6775.656" platform
    volt 0 "" 1040; volt 1 "" 1848; volt 2 "" 3344; volt 3 "" 3312; volt 4 "" 1528
    volt 5 "" 1680; volt 6 "" 1016; volt 7 "" 3344; volt 8 "" 3248
    fan 1 "" 1840; fan 2 "" 2946; fan 3 "" 0
    temp 1 SYSTIN 30000; temp 2 CPUTIN 38500; temp 3 AUXTIN 25500; temp 7 "PECI Agent 0" 41000
    put intrusion0_alarm 0; put cpu0_vid 1175
    coretemp 41000
    no_config
    ;;
ite-it8686) # a Gigabyte AM4 board with its ITE chip
    it8686
    k10temp
    no_config
    ;;
ite-it8686-labelled) # the same board with its own sensors.d file
    it8686
    k10temp
    cat >"$conf" <<'EOF'
# The board's own dividers, as its maker documents them.
chip "it8686-*"
    label in0 "CPU Vcore"
    label in1 "+3.3V"
    label in2 "+12V"
    label in3 "+5V"
    label in4 "Vcore SOC"
    compute in1 @*(1+6.49/10), @/(1+6.49/10)
    compute in2 @*(1+50/10), @/(1+50/10)
    compute in3 @*(1+15/10), @/(1+15/10)
    label temp1 "System 1"
    label temp3 "CPU"
EOF
    ;;
thinkpad) # a ThinkPad with an Intel processor
    chip thinkpad "platform/thinkpad_hwmon" platform
    fan 1 "" 3094
    temp 1 CPU 48000; temp 2 GPU 0; temp 3 "" 0; temp 4 "" 0; temp 5 "" 0; temp 6 "" 0; temp 7 "" 0
    put pwm1 128; put pwm1_enable 2
    coretemp 48000
    acpitz 44000
    battery
    nvme
    no_config
    ;;
dell) # a Dell laptop with a graphics chip of its own
    chip dell_smm "platform/dell_smm_hwmon" platform
    fan 1 "Processor Fan" 3214; fan 2 "Video Fan" 2980
    temp 1 CPU 52000; temp 2 Ambient 38000; temp 3 SODIMM 41000; temp 4 GPU 46000
    coretemp 52000
    acpitz 50000
    battery
    no_config
    ;;
arm-cpu-thermal) # a single-board computer: the SoC's thermal zone only
    chip cpu_thermal - -
    temp 1 "" 47236
    no_config
    ;;
none)
    no_config
    ;;
esac
