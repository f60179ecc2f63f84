// Today's processors in the processor record: the family a brand string
// names, the facts of /proc/cpuinfo on x86 and Arm, and firmware tables that
// give the family in Processor Family 2.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "CpuBrand.h"
#include "ImageBuilder.h"
#include "LibraryRunner.h"
#include "Sources.h"

using namespace zorvdmi;
using namespace dmitest;

namespace {

struct BrandCase {
    const char* brand;
    std::uint16_t family;
};

class BrandFamily : public ::testing::TestWithParam<BrandCase> {};

TEST_P(BrandFamily, IsTheOneTheBrandNames) {
    EXPECT_EQ(familyFromBrand(GetParam().brand), GetParam().family) << GetParam().brand;
}

INSTANTIATE_TEST_SUITE_P(
    Intel, BrandFamily,
    ::testing::Values(BrandCase{"Intel(R) Core(TM)2 Duo CPU     E8400  @ 3.00GHz", 0xBF},
                      BrandCase{"Intel(R) Core(TM)2 Quad CPU    Q6600  @ 2.40GHz", 0xC2},
                      BrandCase{"Intel(R) Core(TM) i5 CPU       M 520  @ 2.40GHz", 0xCD},
                      BrandCase{"Intel(R) Core(TM) i7-2600K CPU @ 3.40GHz", 0xC6},
                      BrandCase{"Intel(R) Core(TM) i3-4130 CPU @ 3.40GHz", 0xCE},
                      BrandCase{"Intel(R) Core(TM) i7-8700K CPU @ 3.70GHz", 0xC6},
                      BrandCase{"Intel(R) Core(TM) i9-9900K CPU @ 3.60GHz", 0xCF},
                      BrandCase{"11th Gen Intel(R) Core(TM) i5-1135G7 @ 2.40GHz", 0xCD},
                      BrandCase{"12th Gen Intel(R) Core(TM) i7-1260P", 0xC6},
                      BrandCase{"13th Gen Intel(R) Core(TM) i9-13900K", 0xCF},
                      BrandCase{"Intel(R) Core(TM) Ultra 7 155H", 0x306},
                      BrandCase{"Intel(R) Core(TM) Ultra 9 285K", 0x307},
                      BrandCase{"Intel(R) Core(TM) Ultra 5 226V", 0x305},
                      BrandCase{"Intel(R) Core(TM) 5 120U", 0x301},
                      BrandCase{"Intel(R) Core(TM) m3-7Y30 CPU @ 1.00GHz", 0x2D},
                      BrandCase{"Intel(R) Core(TM) M-5Y10c CPU @ 0.80GHz", 0x2C},
                      BrandCase{"Intel(R) Core(TM) Duo CPU      T2450  @ 2.00GHz", 0x28},
                      BrandCase{"Intel(R) Xeon(R) CPU E5-2680 v4 @ 2.40GHz", 0xB3},
                      BrandCase{"Intel(R) Xeon(R) Platinum 8380 CPU @ 2.30GHz", 0xB3},
                      BrandCase{"Intel(R) Atom(TM) CPU N270   @ 1.60GHz", 0x2B},
                      BrandCase{"Intel(R) Celeron(R) N4020 CPU @ 1.10GHz", 0x0F},
                      BrandCase{"Intel(R) Celeron(R) M processor         1.50GHz", 0x14},
                      BrandCase{"Intel(R) Pentium(R) Silver N5000 CPU @ 1.10GHz", 0x0B},
                      BrandCase{"Pentium(R) Dual-Core  CPU      E5200  @ 2.50GHz", 0x0B},
                      BrandCase{"Intel(R) Pentium(R) 4 CPU 3.00GHz", 0xB2},
                      BrandCase{"Intel(R) Pentium(R) M processor 1.73GHz", 0xB9},
                      BrandCase{"Pentium III (Coppermine)", 0x11},
                      BrandCase{"Celeron (Mendocino)", 0x0F}),
    [](const auto& p) { return "case" + std::to_string(p.index); });

INSTANTIATE_TEST_SUITE_P(
    Amd, BrandFamily,
    ::testing::Values(BrandCase{"AMD Athlon(tm) 64 Processor 3200+", 0x83},
                      BrandCase{"AMD Athlon(tm) 64 X2 Dual Core Processor 4200+", 0x88},
                      BrandCase{"AMD Athlon(tm) II X2 250 Processor", 0xED},
                      BrandCase{"AMD Phenom(tm) II X4 955 Processor", 0xEC},
                      BrandCase{"AMD Phenom(tm) 9550 Quad-Core Processor", 0x8D},
                      BrandCase{"AMD Turion(tm) 64 X2 Mobile Technology TL-60", 0x89},
                      BrandCase{"AMD Sempron(tm) Processor 3000+", 0x85},
                      BrandCase{"AMD Opteron(tm) Processor 6174", 0x84},
                      BrandCase{"AMD FX(tm)-8350 Eight-Core Processor", 0x3F},
                      BrandCase{"AMD A10-7850K Radeon R7, 12 Compute Cores 4C+8G", 0x48},
                      BrandCase{"AMD E-350 Processor", 0x47},
                      BrandCase{"AMD Ryzen 7 1700 Eight-Core Processor", 0x6B},
                      BrandCase{"AMD Ryzen 5 3600 6-Core Processor", 0x6B},
                      BrandCase{"AMD Ryzen 9 7950X 16-Core Processor", 0x6B},
                      BrandCase{"AMD Ryzen AI 9 HX 370 w/ Radeon 890M", 0x6B},
                      BrandCase{"AMD Ryzen Threadripper PRO 5995WX 64-Cores", 0x6B},
                      BrandCase{"AMD EPYC 7763 64-Core Processor", 0x6B},
                      BrandCase{"AMD EPYC", 0x6B},
                      BrandCase{"AMD Athlon Silver 3050U with Radeon Graphics", 0x1D}),
    [](const auto& p) { return "case" + std::to_string(p.index); });

// Brands that name no family of the table keep "other".
INSTANTIATE_TEST_SUITE_P(
    Unknown, BrandFamily,
    ::testing::Values(BrandCase{"", 0x01}, BrandCase{"QEMU Virtual CPU version 2.5+", 0x01},
                      BrandCase{"Intel Core Processor (Skylake, IBRS)", 0x01},
                      BrandCase{"AMD Custom APU 0405", 0x01}, BrandCase{"Zorvel Pro 450", 0x01},
                      BrandCase{"AMD-K6(tm) 3D processor", 0x01}, BrandCase{"ARMv7 Processor rev 4 (v7l)", 0x01},
                      BrandCase{"\xff\xfe(R)(TM)---  core", 0x01}),
    [](const auto& p) { return "case" + std::to_string(p.index); });

TEST(BrandFamily, OnlyTheFirstBytesOfALongBrandCount) {
    const std::string padding(kBrandLimit, ' ');
    EXPECT_EQ(familyFromBrand(padding + "Intel(R) Xeon(R)"), kFamilyOther);
    EXPECT_EQ(familyFromBrand("Intel(R) Xeon(R)" + padding), 0xB3);
}

TEST(CpuInfoText, X86BlockGivesMakerFamilyModelNameAndSpeed) {
    const CpuInfo c = parseCpuInfo(
        "processor\t: 0\nvendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel\t\t: 158\n"
        "model name\t: Intel(R) Core(TM) i7-8700K CPU @ 3.70GHz\ncpu MHz\t\t: 3700.123\n\n"
        "processor\t: 1\nvendor_id\t: Other\ncpu MHz\t\t: 800.000\n");
    EXPECT_EQ(c.vendor, "GenuineIntel");
    EXPECT_EQ(c.family, 6);
    EXPECT_EQ(c.model, 158);
    EXPECT_DOUBLE_EQ(c.mhz, 3700.123);
    EXPECT_EQ(c.implementer, -1);
    EXPECT_EQ(processorFamily(c, c.modelName), 0xC6);
    // An old processor without a brand the table knows: by maker, family and model.
    CpuInfo k62;
    k62.vendor = "AuthenticAMD";
    k62.family = 5;
    k62.model = 8;
    EXPECT_EQ(processorFamily(k62, "AMD-K6(tm) 3D processor"), 0x1B);
    EXPECT_EQ(processorFamily(CpuInfo{}, "QEMU Virtual CPU version 2.5+"), kFamilyUnknown);
    // A virtual machine's own cpuid brand: the kernel's model name still names the processor.
    CpuInfo vm;
    vm.vendor = "AuthenticAMD";
    vm.family = 26;
    vm.modelName = "AMD EPYC";
    EXPECT_EQ(processorFamily(vm, "Oxide Virtual Turin-like Processor"), 0x6B);
}

struct ArmCase {
    const char* what;
    const char* text;
    std::uint16_t family;
    std::uint32_t mainId;
};

class ArmCpuInfo : public ::testing::TestWithParam<ArmCase> {};

TEST_P(ArmCpuInfo, GivesFamilyAndMainId) {
    const CpuInfo c = parseCpuInfo(GetParam().text);
    EXPECT_EQ(processorFamily(c, c.modelName), GetParam().family) << GetParam().what;
    EXPECT_EQ(armMainId(c), GetParam().mainId) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Samples, ArmCpuInfo,
    ::testing::Values(
        ArmCase{"Raspberry Pi 3 (Cortex-A53 r0p4)",
                "processor\t: 0\nBogoMIPS\t: 38.40\nFeatures\t: fp asimd evtstrm crc32 cpuid\n"
                "CPU implementer\t: 0x41\nCPU architecture: 8\nCPU variant\t: 0x0\nCPU part\t: 0xd03\n"
                "CPU revision\t: 4\n\nprocessor\t: 1\nCPU part\t: 0xd08\n",
                0x101, 0x410FD034},
        ArmCase{"Raspberry Pi 4 (Cortex-A72 r0p3)",
                "processor : 0\nCPU implementer : 0x41\nCPU architecture: 8\nCPU variant : 0x0\n"
                "CPU part : 0xd08\nCPU revision : 3\n",
                0x101, 0x410FD083},
        ArmCase{"Neoverse N1 r3p1",
                "processor\t: 0\nCPU implementer\t: 0x41\nCPU architecture: 8\nCPU variant\t: 0x3\n"
                "CPU part\t: 0xd0c\nCPU revision\t: 1\n",
                0x101, 0x413FD0C1},
        ArmCase{"Apple M1 (Icestorm)",
                "processor\t: 0\nCPU implementer\t: 0x61\nCPU architecture: 8\nCPU variant\t: 0x1\n"
                "CPU part\t: 0x022\nCPU revision\t: 1\n",
                0x101, 0x611F0221},
        ArmCase{"32-bit kernel on a Cortex-A7",
                "processor\t: 0\nmodel name\t: ARMv7 Processor rev 5 (v7l)\nCPU implementer\t: 0x41\n"
                "CPU architecture: 7\nCPU variant\t: 0x0\nCPU part\t: 0xc07\nCPU revision\t: 5\n",
                0x100, 0x410FC075},
        ArmCase{"no part: no main ID", "processor\t: 0\nCPU implementer\t: 0x41\nCPU architecture: 8\n", 0x101, 0}),
    [](const auto& p) { return "case" + std::to_string(p.index); });

TEST(CpuInfoText, OnlyTheFirstBytesAreRead) {
    const std::string filler(kCpuInfoLimit, 'x');
    EXPECT_EQ(parseCpuInfo(filler + "\nvendor_id : GenuineIntel\n").vendor, "");
    EXPECT_EQ(parseCpuInfo("vendor_id : GenuineIntel\n" + filler).vendor, "GenuineIntel");
    EXPECT_EQ(parseCpuInfo("CPU part : 0xzz\nmodel : -3\n").part, -1);
}

// A firmware-style type-4 structure: family byte, and Processor Family 2 at
// 0x28 when the structure is long enough to hold it.
DmiProcessorRecord recordFor(std::uint8_t family, std::uint16_t family2, std::size_t length) {
    auto f = area(4, length, {{6, family}, {8, 0x34}, {9, 0xD0}});
    if (length >= 0x2A) put16(f, 0x28, family2);
    const auto image = windowImage({Structure(f)});
    const MemoryView view{platform::ByteSpan(image.data(), image.size()), Mode::Window};
    DmiProcessorRecord r;
    std::memset(&r, 0x5A, sizeof r);
    const auto ep = FindDmiEntryPoint(view);
    EXPECT_TRUE(ep);
    if (ep) {
        EXPECT_EQ(ReadProcessorRecord(view, *ep, r), 1);
    }
    return r;
}

struct Family2Case {
    const char* what;
    std::uint8_t family;
    std::uint16_t family2;
    std::size_t length;
    std::uint8_t recordFamily;
    std::uint16_t recordFamily2;
};

class FirmwareFamily2 : public ::testing::TestWithParam<Family2Case> {};

TEST_P(FirmwareFamily2, IsReadBehindFe) {
    const Family2Case& c = GetParam();
    const DmiProcessorRecord r = recordFor(c.family, c.family2, c.length);
    EXPECT_EQ(r.processor_family, c.recordFamily) << c.what;
    EXPECT_EQ(r.processor_family2, c.recordFamily2) << c.what;
    EXPECT_EQ(r.unused[0], 0) << c.what;
    EXPECT_EQ(r.processor_id[0], 0x34) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FirmwareFamily2,
    ::testing::Values(Family2Case{"Core i7 given in Processor Family 2: its 8-bit twin", 0xFE, 0xC6, 0x30, 0xC6, 0},
                      Family2Case{"ARMv8 has no twin: it stays beside 0xFE", 0xFE, 0x101, 0x2A, 0xFE, 0x101},
                      Family2Case{"Core Ultra 7", 0xFE, 0x306, 0x32, 0xFE, 0x306},
                      Family2Case{"a structure too short for the field keeps 0xFE", 0xFE, 0x101, 0x28, 0xFE, 0},
                      Family2Case{"Processor Family 2 of 0 keeps 0xFE", 0xFE, 0, 0x2A, 0xFE, 0},
                      Family2Case{"an 8-bit family ignores the field", 0xC6, 0x101, 0x2A, 0xC6, 0},
                      Family2Case{"an SMBIOS 2.0 structure", 0x11, 0, 0x1A, 0x11, 0}),
    [](const auto& p) { return "case" + std::to_string(p.index); });

TEST(VisibleFacts, TodaysFamiliesGoToProcessorFamily2) {
    for (const std::uint16_t family : {std::uint16_t{0xCD}, std::uint16_t{0x101}, std::uint16_t{0x306}}) {
        VisibleFacts f;
        f.cpuFamilyCode = family;
        f.cpuModelName = "Brand";
        const Image image = windowFromFacts(f);
        const auto ep = FindDmiEntryPoint(image.view());
        ASSERT_TRUE(ep);
        DmiProcessorRecord p;
        ASSERT_EQ(ReadProcessorRecord(image.view(), *ep, p), 1);
        EXPECT_EQ(p.processor_family, family < 0xFE ? family : 0xFE) << family;
        EXPECT_EQ(p.processor_family2, family < 0xFE ? 0 : family) << family;
        EXPECT_STREQ(p.version, "Brand");
    }
}

TEST(VisibleFacts, ArmProcessorFromCpuinfoWithTheFrequencyDriversSpeed) {
    TempDir dir;
    std::filesystem::create_directories(dir.path() + "/class/dmi/id");
    std::filesystem::create_directories(dir.path() + "/devices/system/cpu/cpu0/cpufreq");
    std::ofstream(dir.path() + "/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq") << "1800000\n";
    std::ofstream(dir.path() + "/cpuinfo") << "processor\t: 0\nCPU implementer\t: 0x41\nCPU architecture: 8\n"
                                              "CPU variant\t: 0x0\nCPU part\t: 0xd08\nCPU revision\t: 3\n";
    const auto f = readVisibleFacts(dir.path(), dir.path() + "/cpuinfo", false);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->cpuFamilyCode, 0x101);
    EXPECT_EQ(f->cpuMhz, 1800);
    const std::uint8_t id[8] = {0x83, 0xD0, 0x0F, 0x41, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(f->cpuId, id, 8), 0);
}

}  // namespace
