// Answers every DMI query the sensor library passes through with fixed facts,
// and a processor record whose family, ID bytes and speed the CPU stand-in checks.
#include <cstdint>
#include <cstring>

namespace {
unsigned char record[114];
int infoCalls = 0;
}  // namespace

extern "C" {
__attribute__((visibility("default"))) char* DMI_GetMBProduct(char* b) { return std::strcpy(b, "P2B-LS Stand-in"); }
__attribute__((visibility("default"))) char* DMI_GetMBManufacturer(char* b) { return std::strcpy(b, "Board Maker Inc."); }
__attribute__((visibility("default"))) int32_t DMI_GetBIOSVender(char* b) {
    std::strcpy(b, "Firmware Works");
    return 1;
}
// A string of 29 characters, the longest a DMI slot holds.
__attribute__((visibility("default"))) char* DMI_GetBIOSVersion(char* b) {
    return std::strcpy(b, "1.00.07-29-characters-long-xx");
}
__attribute__((visibility("default"))) uint16_t DMI_GetMBClock() { return 450; }
__attribute__((visibility("default"))) const void* DMI_GetCPUInfo() {
    ++infoCalls;
    std::memset(record, 0, sizeof record);
    record[35] = 0x1B;  // family
    record[66] = 0x58;  // ID byte 0
    record[67] = 0x05;  // ID byte 1
    record[110] = 450 & 0xFF;
    record[111] = 450 >> 8;
    return record;
}
__attribute__((visibility("default"))) int StandinInfoCalls() { return infoCalls; }
}
