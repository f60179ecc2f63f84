// What the processor itself says, for the record an ordinary user gets: the
// family that its brand string names, and the first block of /proc/cpuinfo.
// Both read outside text and stop at fixed limits.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zorvdmi {

// Processor family codes of the standard, as 16-bit Processor Family 2 values;
// below 0xFE they are the 8-bit codes themselves.
inline constexpr std::uint16_t kFamilyOther = 0x01;
inline constexpr std::uint16_t kFamilyUnknown = 0x02;
inline constexpr std::uint16_t kFamilyArmV7 = 0x100;
inline constexpr std::uint16_t kFamilyArmV8 = 0x101;
inline constexpr std::uint16_t kFamilyArmV9 = 0x102;

// Bytes of a brand string that are read; longer ones are cut.
inline constexpr std::size_t kBrandLimit = 128;

// The family that a brand string such as "Intel(R) Core(TM) i7-8700K CPU @
// 3.70GHz" or "AMD Ryzen 7 5800X 8-Core Processor" names; kFamilyOther when
// it names none.
std::uint16_t familyFromBrand(std::string_view brand);

// The first processor's block of /proc/cpuinfo; -1 for a number not given.
struct CpuInfo {
    std::string vendor, modelName;
    int family = -1, model = -1;
    double mhz = 0;
    // Arm: the fields of the main ID register as the kernel prints them.
    int implementer = -1, architecture = -1, variant = -1, part = -1, revision = -1;
};

// Bytes of /proc/cpuinfo that are read.
inline constexpr std::size_t kCpuInfoLimit = 64 * 1024;

CpuInfo parseCpuInfo(std::string_view text);

// The family of an Arm processor by its architecture number (7, 8, 9).
std::uint16_t armFamily(int architecture);

// The main ID register's value for an Arm processor's fields, as the
// standard's processor ID holds it; 0 without implementer and part.
std::uint32_t armMainId(const CpuInfo& cpu);

}  // namespace zorvdmi
