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
#   make_tree.sh --defaults NAME what GetChannelDefault answers there: twelve
#                                lines "CHANNEL LOWER UPPER ORIGIN" (ORIGIN
#                                system, chip or today) or "CHANNEL absent"
#   make_tree.sh --load NAME     "CHANNEL FILE VALUE" lines of a healthy full
#                                load (an x86 CPU at 85 C, an ARM one at 75 C):
#                                no warning with the defaults
#   make_tree.sh --hot NAME      "CHANNEL FILE VALUE": the CPU at 99 C, which
#                                warns with the defaults
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
# k10temp-pci-00c3, acpitz-acpi-0, cpu_thermal-virtual-0 ...), and the
# limits the drivers publish (fanN_min, inN_min/inN_max, tempN_max/tempN_crit),
# sensible or not, as the drivers leave them.
# Today's machines idle as real ones do: CPU fans at 600..1300 RPM, case fans
# at 500..900, processors at 45..55 C. That is below the 1997 board's default
# thresholds (CPU fan 2800 RPM, CPU 80 C): they start in the normal state only
# with the machine's own defaults (--defaults). The LM78 board keeps the
# readings of its time, clear of those thresholds. A test changes a file to
# make a fault. A file written again is replaced by rename, so a reader never
# sees half a value.
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
        printf '%s\n' "cpu_fan 1050" "power_fan absent" "chassis_fan 720" "cpu_temp 46" "mb_temp 33" \
            "in0 absent" "in1 absent" "in2 3344" "in3 absent" "in4 absent" "in5 absent" "in6 absent" ;;
    intel-nct6775)
        printf '%s\n' "cpu_fan 880" "power_fan absent" "chassis_fan 640" "cpu_temp 47" "mb_temp 30" \
            "in0 absent" "in1 absent" "in2 3312" "in3 absent" "in4 absent" "in5 absent" "in6 absent" ;;
    ite-it8686) # the driver labels its internal AVCC3 input "+3.3V" and scales it
        printf '%s\n' "cpu_fan 1150" "power_fan absent" "chassis_fan 780" "cpu_temp 46" "mb_temp 31" \
            "in0 absent" "in1 absent" "in2 3336" "in3 absent" "in4 absent" "in5 absent" "in6 absent" ;;
    ite-it8686-labelled) # the board's sensors.d labels and computes in1..in3
        printf '%s\n' "cpu_fan 1150" "power_fan absent" "chassis_fan 780" "cpu_temp 46" "mb_temp 31" \
            "in0 absent" "in1 absent" "in2 3324" "in3 5010" "in4 12060" "in5 absent" "in6 absent" ;;
    thinkpad)
        printf '%s\n' "cpu_fan 1240" "power_fan absent" "chassis_fan absent" "cpu_temp 48" "mb_temp 44" \
            "in0 absent" "in1 absent" "in2 absent" "in3 absent" "in4 absent" "in5 absent" "in6 absent" ;;
    dell)
        printf '%s\n' "cpu_fan 1180" "power_fan absent" "chassis_fan absent" "cpu_temp 52" "mb_temp 38" \
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

# What GetChannelDefault answers, in channel order.
defaults() {
    case "$1" in
    lm78) # the 1997 board keeps the system's own thresholds everywhere
        local c; for c in cpu_fan power_fan chassis_fan cpu_temp mb_temp in0 in1 in2 in3 in4 in5 in6; do
            echo "$c 0 0 system"; done ;;
    amd-nct6798) # fan minimums 0, Tctl without limits, 3VCC's 0/0
        printf '%s\n' "cpu_fan 300 0 today" "power_fan absent" "chassis_fan 300 0 today" "cpu_temp 0 97 today" \
            "mb_temp 0 75 today" "in0 absent" "in1 absent" "in2 0 0 system" "in3 absent" "in4 absent" "in5 absent" \
            "in6 absent" ;;
    intel-nct6775) # CPUFAN's min, TjMax 100 less 5, SYSTIN's max, 3VCC's band
        printf '%s\n' "cpu_fan 450 0 chip" "power_fan absent" "chassis_fan 300 0 today" "cpu_temp 0 95 chip" \
            "mb_temp 0 60 chip" "in0 absent" "in1 absent" "in2 3000 3600 chip" "in3 absent" "in4 absent" "in5 absent" \
            "in6 absent" ;;
    ite-it8686) # it87's limits make no sense
        printf '%s\n' "cpu_fan 300 0 today" "power_fan absent" "chassis_fan 300 0 today" "cpu_temp 0 97 today" \
            "mb_temp 0 75 today" "in0 absent" "in1 absent" "in2 0 0 system" "in3 absent" "in4 absent" "in5 absent" \
            "in6 absent" ;;
    ite-it8686-labelled)
        printf '%s\n' "cpu_fan 300 0 today" "power_fan absent" "chassis_fan 300 0 today" "cpu_temp 0 97 today" \
            "mb_temp 0 75 today" "in0 absent" "in1 absent" "in2 0 0 system" "in3 0 0 system" "in4 0 0 system" \
            "in5 absent" "in6 absent" ;;
    thinkpad|dell) # the platform's fan has no min; coretemp's TjMax 100 less 5
        printf '%s\n' "cpu_fan 300 0 today" "power_fan absent" "chassis_fan absent" "cpu_temp 0 95 chip" \
            "mb_temp 0 75 today" "in0 absent" "in1 absent" "in2 absent" "in3 absent" "in4 absent" "in5 absent" \
            "in6 absent" ;;
    arm-cpu-thermal) # crit 90 less 5
        printf '%s\n' "cpu_fan absent" "power_fan absent" "chassis_fan absent" "cpu_temp 0 85 chip" "mb_temp absent" \
            "in0 absent" "in1 absent" "in2 absent" "in3 absent" "in4 absent" "in5 absent" "in6 absent" ;;
    none)
        local c; for c in cpu_fan power_fan chassis_fan cpu_temp mb_temp in0 in1 in2 in3 in4 in5 in6; do
            echo "$c absent"; done ;;
    *) echo "make_tree.sh: no machine '$1' (try --list)" >&2; return 2 ;;
    esac
}

# A healthy machine working hard: the processor hot, its fan and the case warmer.
load() {
    case "$1" in
    lm78) printf '%s\n' "cpu_temp hwmon/hwmon1/temp1_input 65000" "mb_temp hwmon/hwmon0/temp1_input 42000" ;;
    amd-nct6798|ite-it8686|ite-it8686-labelled)
        local cpu=fan1 sys=fan2; case "$1" in amd-*) cpu=fan2 sys=fan1 ;; esac
        printf '%s\n' "cpu_temp hwmon/hwmon1/temp1_input 85000" "cpu_fan hwmon/hwmon0/${cpu}_input 2250" \
            "chassis_fan hwmon/hwmon0/${sys}_input 1150" "mb_temp hwmon/hwmon0/temp1_input 44000" ;;
    intel-nct6775)
        printf '%s\n' "cpu_temp hwmon/hwmon1/temp1_input 85000" "cpu_fan hwmon/hwmon0/fan2_input 1900" \
            "chassis_fan hwmon/hwmon0/fan1_input 1050" "mb_temp hwmon/hwmon0/temp1_input 41000" ;;
    thinkpad) printf '%s\n' "cpu_temp hwmon/hwmon1/temp1_input 85000" "cpu_fan hwmon/hwmon0/fan1_input 4200" \
            "mb_temp hwmon/hwmon2/temp1_input 58000" ;;
    dell) printf '%s\n' "cpu_temp hwmon/hwmon1/temp1_input 85000" "cpu_fan hwmon/hwmon0/fan1_input 3900" \
            "mb_temp hwmon/hwmon0/temp2_input 47000" ;;
    arm-cpu-thermal) echo "cpu_temp hwmon/hwmon0/temp1_input 75000" ;;
    none) ;;
    *) echo "make_tree.sh: no machine '$1' (try --list)" >&2; return 2 ;;
    esac
}

# The processor at 99 C: past every default, a warning.
hot() {
    case "$1" in
    lm78) echo "cpu_temp hwmon/hwmon1/temp1_input 99000" ;;
    arm-cpu-thermal) echo "cpu_temp hwmon/hwmon0/temp1_input 99000" ;;
    amd-nct6798|intel-nct6775|ite-it8686|ite-it8686-labelled|thinkpad|dell)
        echo "cpu_temp hwmon/hwmon1/temp1_input 99000" ;;
    none) ;;
    *) echo "make_tree.sh: no machine '$1' (try --list)" >&2; return 2 ;;
    esac
}

usage() { sed -n '2,29p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }

case "${1:-}" in
--list) printf '%s\n' $machines; exit 0 ;;
--expect) [ $# -eq 2 ] || usage; expect "$2"; exit ;;
--fault) [ $# -eq 2 ] || usage; fault "$2"; exit ;;
--defaults) [ $# -eq 2 ] || usage; defaults "$2"; exit ;;
--load) [ $# -eq 2 ] || usage; load "$2"; exit ;;
--hot) [ $# -eq 2 ] || usage; hot "$2"; exit ;;
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

# temp N LABEL MILLIDEGREES [MAX [CRIT]]; fan N LABEL RPM [MIN];
# volt N LABEL MILLIVOLTS [MIN MAX]. "" = no label, or no such limit.
temp() {
    put "temp$1_input" "$3"; [ -z "$2" ] || put "temp$1_label" "$2"
    [ -z "${4:-}" ] || put "temp$1_max" "$4"; [ -z "${5:-}" ] || put "temp$1_crit" "$5"
}
fan() { put "fan$1_input" "$3"; [ -z "$2" ] || put "fan$1_label" "$2"; [ -z "${4:-}" ] || put "fan$1_min" "$4"; }
volt() {
    put "in$1_input" "$3"; [ -z "$2" ] || put "in$1_label" "$2"
    [ -z "${4:-}" ] || put "in$1_min" "$4"; [ -z "${5:-}" ] || put "in$1_max" "$5"
}

no_config() { printf '# %s: no libsensors configuration of its own\n' "$name" >"$conf"; }

k10temp() {
    chip k10temp "pci0000:00/0000:00:18.3" pci
    temp 1 Tctl 46125
    temp 3 Tccd1 44250
}
nvme() { # the drive's placeholders: -273.1 C and 65261.8 C
    chip nvme "pci0000:00/0000:00:01.1/0000:01:00.0" pci
    temp 1 Composite 38850 81850 84850
    temp 2 "Sensor 1" 38850 65261850; put temp2_min -273150
    temp 3 "Sensor 2" 41850 65261850; put temp3_min -273150
}
coretemp() { # PACKAGE_MILLIDEGREES: TjMax 100 C, max 80 C on the package and every core
    chip coretemp "platform/coretemp.0" platform
    temp 1 "Package id 0" "$1" 80000 100000
    temp 2 "Core 0" $(($1 - 2000)) 80000 100000
    temp 3 "Core 1" $(($1 - 1000)) 80000 100000
    temp 4 "Core 2" $(($1 - 3000)) 80000 100000
    temp 5 "Core 3" $(($1 - 1000)) 80000 100000
}
acpitz() { # MILLIDEGREES: the zone's critical trip point only
    chip acpitz "LNXSYSTM:00/LNXSYBUS:00/LNXTHERM:00" acpi
    temp 1 "" "$1" "" 128000
}
battery() {
    chip BAT0 "LNXSYSTM:00/LNXSYBUS:00/PNP0A08:00/device:2f/PNP0C09:00/PNP0C0A:00" acpi
    volt 0 "" 12452
}

it8686() { # the it87 driver on a Gigabyte board: inputs are pin volts; the limits
    # make no sense (minimums above maximums, a negative high, the 1997 fan minimum)
    chip it8686 "platform/it87.2624" platform
    volt 0 "" 1392 3060 2010; volt 1 "" 2016 3060 2010; volt 2 "" 2010 3060 2010; volt 3 "" 2004 3060 2010
    volt 4 "" 1080 3060 2010; volt 5 "" 912 3060 2010; volt 6 "" 1188 3060 2010
    volt 7 3VSB 3336 3060 2010; volt 8 Vbat 3072; volt 9 +3.3V 3336 4080 0
    fan 1 "" 1150 2700; fan 2 "" 780 65535; fan 3 "" 0 0; fan 4 "" 0 0; fan 5 "" 0 0
    temp 1 "" 31000 -128000; temp 2 "" 36000 -128000; temp 3 "" 43000 127000; temp 4 "" 35000
    temp 5 "" 40000; temp 6 "" 33000
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
    chip nct6798 "platform/nct6775.656" platform  # no limit set: minimums 0, inputs 0/0
    i=0
    for v in 984 1008 3392 3344 1016 736 840 3392 3264 1840 1056 1000 1048 936 1880; do volt $i "" $v 0 0; i=$((i + 1)); done
    fan 1 "" 720 0; fan 2 "" 1050 0; fan 3 "" 0 0; fan 4 "" 0 0; fan 5 "" 0 0; fan 6 "" 0 0; fan 7 "" 0 0
    temp 1 SYSTIN 33000 0; temp 2 CPUTIN 41500 0; temp 3 AUXTIN0 -62000; temp 4 AUXTIN1 97000
    temp 5 AUXTIN2 26000; temp 6 AUXTIN3 -2000; temp 7 "SMBUSMASTER 0" 46125; temp 9 PCH_CHIP_TEMP 0
    put intrusion0_alarm 1; put beep_enable 0; put cpu0_vid 0
    k10temp
    nvme
    chip amdgpu "pci0000:00/0000:00:03.1/0000:03:00.0" pci
    volt 0 vddgfx 806
    fan 1 "" 0   # zero-RPM mode at idle
    temp 1 edge 41000 "" 100000; temp 2 junction 43000 "" 110000; temp 3 mem 44000 "" 105000
    put temp1_crit_hyst -273150
    put power1_average 9000000
    no_config
    ;;
intel-nct6775) # an older Intel desktop: Core i5, nct6775, an NVMe drive
    chip nct6775 "platform/nct6775.656" platform  # the BIOS set CPUFAN, SYSTIN and 3VCC
    volt 0 "" 1040 0 0; volt 1 "" 1848 0 0; volt 2 "" 3344 0 0; volt 3 "" 3312 3040 3560; volt 4 "" 1528 0 0
    volt 5 "" 1680 0 0; volt 6 "" 1016 0 0; volt 7 "" 3344 0 0; volt 8 "" 3248 0 0
    # fan3: a cooler on the third header, which no map takes for the power supply's
    fan 1 "" 640 0; fan 2 "" 880 450; fan 3 "" 760 0
    temp 1 SYSTIN 30000 60000; temp 2 CPUTIN 38500 80000; temp 3 AUXTIN 25500 80000; temp 7 "PECI Agent 0" 41000
    put intrusion0_alarm 0; put cpu0_vid 1175
    coretemp 47000
    nvme
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
    fan 1 "" 1240
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
    fan 1 "Processor Fan" 1180; fan 2 "Video Fan" 860
    temp 1 CPU 52000; temp 2 Ambient 38000; temp 3 SODIMM 41000; temp 4 GPU 46000
    coretemp 52000
    acpitz 50000
    battery
    no_config
    ;;
arm-cpu-thermal) # a single-board computer: the SoC's thermal zone only, critical at 90 C
    chip cpu_thermal - -
    temp 1 "" 47236 "" 90000
    no_config
    ;;
none)
    no_config
    ;;
esac
