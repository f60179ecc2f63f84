#!/usr/bin/env bash
# Captures the F-segment (physical 0xF0000, 64 KiB) that SeaBIOS builds under
# QEMU for a few machines, and records in images.txt the command that made each.
# Usage: tests/dmi/data/make-images.sh [OUTDIR]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
out="${1:-$here}"
mkdir -p "$out"
list="$out/images.txt"
: > "$list"

capture() {
  local name="$1"; shift
  local file="$out/$name.bin"
  rm -f "$file"
  # SeaBIOS has built its tables well within a few seconds of emulated start.
  (sleep 4; echo "pmemsave 0xf0000 0x10000 \"$file\""; sleep 1; echo quit) |
    timeout 60 qemu-system-x86_64 -accel tcg -m 64 -display none -serial none -nodefaults \
      -monitor stdio "$@" > /dev/null 2>&1 || true
  [ -s "$file" ] || { echo "make-images: no capture for $name" >&2; exit 1; }
  printf '%s.bin: qemu-system-x86_64 -accel tcg -m 64 -display none -serial none -nodefaults -monitor stdio' "$name" >> "$list"
  printf ' %q' "$@" >> "$list"
  printf '\n' >> "$list"
  echo "make-images: $name"
}

capture p2b-0922-97 -M pc -cpu pentium3 \
  -smbios 'type=0,vendor=Firmware Works,version=1.00.07,date=09/22/97' \
  -smbios 'type=2,manufacturer=Board Maker Inc.,product=P2B-LS,version=Rev 1.02,serial=BM-0001' \
  -smbios 'type=4,manufacturer=Zorvel,version=Zorvel Pro 450,max-speed=500,current-speed=450' \
  -smbios 'type=11,value=OEM string one'

capture long-0921-97 -M pc -cpu pentium2 \
  -smbios 'type=0,vendor=Firmware Works,version=2.10.1180-beta-build-0042-xyz,date=09/21/97' \
  -smbios 'type=2,manufacturer=Board Maker Inc.,product=Extended-ATX-Workstation-Board-Rev-C,serial=SN-000123' \
  -smbios 'type=3,manufacturer=Chassis Co,version=Tower 2' \
  -smbios 'type=4,manufacturer=Zorvel,version=Zorvel Pro II 333 with a long version text,max-speed=333,current-speed=333'

capture vendor-1231-96 -M pc -cpu pentium \
  -smbios 'type=0,vendor=Awarded Firmware Technologies Incorporated,version=4.51 PG,date=12/31/96' \
  -smbios 'type=2,manufacturer=Tiny Boards,product=TB-5'

capture amd-09301997 -M pc -cpu Opteron_G1 \
  -smbios 'type=0,vendor=Firmware Works,version=3.0,date=09/30/1997' \
  -smbios 'type=2,manufacturer=Kestrel Systems,product=K7-Duo,version=1.1' \
  -smbios 'type=3,manufacturer=Chassis Co,version=Desk,serial=CH-77' \
  -smbios 'type=4,sock_pfx=Socket A,manufacturer=AuthenticAMD,version=Opteron Class,max-speed=2000,current-speed=1800'

capture q35-1-5-98 -M q35 -cpu core2duo \
  -smbios 'type=0,vendor=Firmware Works,version=5.5,date=1/5/98' \
  -smbios 'type=2,manufacturer=Board Maker Inc.,product=Q35-Board' \
  -smbios 'type=4,manufacturer=GenuineIntel,version=Core 2 Duo class,max-speed=2400,current-speed=2400'

capture y2k-01-10-00 -M pc -cpu qemu64 \
  -smbios 'type=0,vendor=Firmware Works,version=6.0,date=01/10/00' \
  -smbios 'type=2,manufacturer=Board Maker Inc.,product=Millennium'

capture smp-01-15-98 -M pc -cpu pentium3 -smp 2 \
  -smbios 'type=0,vendor=Firmware Works,version=1.10,date=01/15/98' \
  -smbios 'type=2,manufacturer=Board Maker Inc.,product=P2B-D' \
  -smbios 'type=4,manufacturer=Zorvel,version=Zorvel Pro 550,max-speed=550,current-speed=550'

capture sm3-10-01-97 -M q35,smbios-entry-point-type=64 -cpu qemu64 \
  -smbios 'type=0,vendor=Firmware Works,version=7.0,date=10/01/97' \
  -smbios 'type=2,manufacturer=Board Maker Inc.,product=Sixty-Four'
