// A sensor library of a laptop: it says which channels it has (the CPU fan,
// the CPU temperature and +5 V), and answers 0 for the others. It knows the
// CPU fan's and the CPU's own defaults.
#include <cstdint>
#include <cstring>

#define EXPORT extern "C" __attribute__((visibility("default")))

EXPORT std::int32_t GetChannelMask() { return (1 << 0) | (1 << 3) | (1 << 8) | (1 << 20); }
EXPORT std::int16_t GetFanCPURPM() { return 2400; }
EXPORT std::int16_t GetFanPowerRPM() { return 0; }
EXPORT std::int16_t GetFanChasisRPM() { return 0; }
EXPORT std::int16_t GetCPUTemperature() { return 51; }
EXPORT std::int16_t GetMBTemperature() { return 0; }
EXPORT std::int16_t GetVoltIN0() { return 0; }
EXPORT std::int16_t GetVoltIN1() { return 0; }
EXPORT std::int16_t GetVoltIN2() { return 0; }
EXPORT std::int16_t GetVoltIN3() { return 5020; }
EXPORT std::int16_t GetVoltIN4() { return 0; }
EXPORT std::int16_t GetVoltIN5() { return 0; }
EXPORT std::int16_t GetVoltIN6() { return 0; }
EXPORT char* DMI_GetMBProduct(char* b) {
    std::strcpy(b, "Stand-in Laptop");
    return b;
}
EXPORT std::int16_t DMI_GetMBClock() { return 100; }

// 1: the chip's limit, 2: today's default, 0: the system's; 7 is an origin
// this program does not know.
EXPORT std::int32_t GetChannelDefault(std::int32_t channel, std::int32_t* lower, std::int32_t* upper) {
    if (!lower || !upper || channel < 0 || channel > 11) return -1;
    *lower = *upper = 0;
    switch (channel) {
    case 0: *lower = 400; return 1;
    case 3: *upper = 95; return 2;
    case 8: *lower = 4700; *upper = 5300; return 7;
    default: return 0;
    }
}
