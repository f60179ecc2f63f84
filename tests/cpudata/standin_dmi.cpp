// Answers the DMI library's processor query with a K6-2 (CPUID 0x58C) at 450 MHz.
#include <cstdint>
#include <cstring>

namespace {
unsigned char record[114];
}  // namespace

extern "C" __attribute__((visibility("default"))) const void* DMI_GetCPUInfo() {
    std::memset(record, 0, sizeof record);
    record[35] = 0x1B;
    record[66] = 0x8C;
    record[67] = 0x05;
    record[110] = 450 & 0xFF;
    record[111] = 450 >> 8;
    return record;
}
