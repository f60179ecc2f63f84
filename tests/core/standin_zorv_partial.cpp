// A sensor library that lacks GetVoltIN6, to show how a missing function ends.
#include <cstdint>
#include <cstring>

#define EXPORT extern "C" __attribute__((visibility("default")))

EXPORT std::int16_t GetFanCPURPM() { return 3100; }
EXPORT std::int16_t GetFanPowerRPM() { return 3200; }
EXPORT std::int16_t GetFanChasisRPM() { return 3300; }
EXPORT std::int16_t GetCPUTemperature() { return 42; }
EXPORT std::int16_t GetMBTemperature() { return 31; }
EXPORT std::int16_t GetVoltIN0() { return 1800; }
EXPORT std::int16_t GetVoltIN1() { return 1810; }
EXPORT std::int16_t GetVoltIN2() { return 3300; }
EXPORT std::int16_t GetVoltIN3() { return 5000; }
EXPORT std::int16_t GetVoltIN4() { return 12000; }
EXPORT std::int16_t GetVoltIN5() { return -12000; }
EXPORT char* DMI_GetMBProduct(char* b) {
    std::strcpy(b, "Stand-in Board");
    return b;
}
EXPORT char* DMI_GetMBManufacturer(char* b) {
    // Fills the whole buffer without a NUL: the caller must cut it.
    std::memset(b, 'M', 80);
    return b;
}
EXPORT std::int32_t DMI_GetBIOSVender(char* b) {
    std::strcpy(b, "Vendor");
    return 1;
}
EXPORT char* DMI_GetBIOSVersion(char* b) {
    std::strcpy(b, "1.0");
    return b;
}
EXPORT std::int32_t GetCPUName(char* b) {
    std::strcpy(b, "Stand-in CPU");
    return 1;
}
EXPORT std::int16_t DMI_GetMBClock() { return 100; }
