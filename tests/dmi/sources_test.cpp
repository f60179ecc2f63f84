// Where the image comes from: the published-table window, the visible facts,
// /dev/mem in flat mode, and the order in which the sources are tried.
#include <gtest/gtest.h>

#include <fstream>

#include "ImageBuilder.h"
#include "LibraryRunner.h"
#include "Sources.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

using namespace zorvdmi;
using namespace dmitest;

namespace {

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
}

std::string productOf(const Image& image) {
    const auto ep = FindDmiEntryPoint(image.view());
    if (!ep) return "<no entry point>";
    DmiBoardRecord r;
    if (!ReadBoardRecord(image.view(), *ep, r)) return "<no board>";
    return r.product;
}

std::vector<std::uint8_t> smbios2EntryPoint(std::uint16_t count) {
    std::vector<std::uint8_t> e(0x1F, 0);
    const std::string sm = "_SM_", dmi = "_DMI_";
    std::copy(sm.begin(), sm.end(), e.begin());
    std::copy(dmi.begin(), dmi.end(), e.begin() + 0x10);
    e[6] = 2;
    e[7] = 8;
    put16(e, 0x1C, count);
    e[0x1E] = 0x28;
    return e;
}

std::vector<std::uint8_t> smbios3EntryPoint() {
    std::vector<std::uint8_t> e(0x18, 0);
    const std::string sm3 = "_SM3_";
    std::copy(sm3.begin(), sm3.end(), e.begin());
    e[7] = 3;
    e[8] = 2;
    return e;
}

const Structure kEnd{area(127, 4), {}};

}  // namespace

TEST(FirmwareTables, CountsSmbios3StructuresUpToTheEndOfTable) {
    const auto table = tableBytes({bios("V", "1", "d"), Structure{area(16, 0x17), {}}, board("M", "P", "V", "S"), kEnd,
                                   board("M", "after end", "V", "S")});
    EXPECT_EQ(countStructures(table), 4);
    const auto unterminated = tableBytes({bios("V", "1", "d"), board("M", "P", "V", "S")});
    EXPECT_EQ(countStructures(unterminated), 2);
    auto cut = unterminated;
    cut.resize(cut.size() - 3);  // the board's string set loses its end
    EXPECT_EQ(countStructures(cut), 1);
}

TEST(FirmwareTables, PlaceTheTableAfterALegacyEntryPoint) {
    const auto table = tableBytes({bios("V", "1", "d"), board("M", "Published", "V", "S"), kEnd});
    for (const auto& entry : {smbios2EntryPoint(3), smbios3EntryPoint()}) {
        const auto image = windowFromFirmwareTables(entry, table);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->source, Source::FirmwareTables);
        EXPECT_EQ(image->mode, Mode::Window);
        EXPECT_EQ(FindDmiEntryPoint(image->view()), std::optional<std::size_t>(0));
        EXPECT_EQ(image->view().bytes.u16le(12), std::optional<std::uint16_t>(3));
        EXPECT_EQ(productOf(*image), "Published");
        std::uint8_t sum = 0;
        for (std::size_t i = 0; i < 15; ++i) sum = static_cast<std::uint8_t>(sum + image->bytes[i]);
        EXPECT_EQ(sum, 0);
    }
    EXPECT_FALSE(windowFromFirmwareTables(std::vector<std::uint8_t>{'J', 'U', 'N', 'K'}, table));
    EXPECT_FALSE(windowFromFirmwareTables({}, table));
}

TEST(FirmwareTables, ATableLargerThanTheWindowIsCutAndTheWalkEndsThere) {
    Structure big{area(1, 0xFF, {{4, 1}, {5, 2}}), {std::string(0x7FFF, 'a'), std::string(0x7FFF, 'b')}};
    const auto table = tableBytes({bios("V", "1", "d"), big, board("M", "Beyond", "V", "S"), kEnd});
    const auto image = windowFromFirmwareTables(smbios2EntryPoint(4), table);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->bytes.size(), kWindowSize);
    EXPECT_EQ(productOf(*image), "<no board>");
}

TEST(ImageFile, ReadsAtMostTheBiosAreaAndIsMissingWhenUnreadable) {
    TempDir dir;
    EXPECT_FALSE(loadImageFile(dir.path() + "/missing.bin"));
    std::vector<std::uint8_t> big(0x30000, 0x11);
    writeBytes(dir.path() + "/big.bin", big);
    const auto image = loadImageFile(dir.path() + "/big.bin");
    ASSERT_TRUE(image);
    EXPECT_EQ(image->bytes.size(), 0x10000u);
    EXPECT_EQ(normalized(image->view()).bytes.size(), kWindowSize);
}

TEST(DevMem, ReadsTheFirstMegabyteInFlatMode) {
    TempDir dir;
    std::vector<std::uint8_t> memory(0x100000, 0);
    putEntryPoint(memory, 0xF0100, 0xE0000, 2);
    const auto table = tableBytes({bios("V", "1", "d"), board("M", "Legacy", "V", "S")});
    std::copy(table.begin(), table.end(), memory.begin() + 0xE0000);
    writeBytes(dir.path() + "/mem", memory);
    const auto image = loadDevMem(dir.path() + "/mem");
    ASSERT_TRUE(image);
    EXPECT_EQ(image->mode, Mode::Flat);
    EXPECT_EQ(productOf(*image), "Legacy");

    put32(memory, 0xF0100 + 8, 0xBFF00000);  // a modern table above the first megabyte
    writeBytes(dir.path() + "/high", memory);
    EXPECT_FALSE(loadDevMem(dir.path() + "/high"));
    EXPECT_FALSE(loadDevMem(dir.path() + "/absent"));
}

TEST(VisibleFacts, FamilyCodesFollowMakerFamilyAndModel) {
    struct Case {
        const char* vendor;
        int family, model;
        std::uint8_t code;
    };
    const Case cases[] = {
        {"GenuineIntel", 4, 8, 0x06}, {"GenuineIntel", 5, 2, 0x0B}, {"GenuineIntel", 5, 4, 0x0E},
        {"GenuineIntel", 6, 1, 0x0C}, {"GenuineIntel", 6, 5, 0x0D}, {"GenuineIntel", 6, 8, 0x11},
        {"GenuineIntel", 6, 158, 0x01}, {"GenuineIntel", 15, 2, 0xB2}, {"AuthenticAMD", 5, 1, 0x19},
        {"AuthenticAMD", 5, 6, 0x1A}, {"AuthenticAMD", 5, 8, 0x1B}, {"AuthenticAMD", 5, 9, 0x1C},
        {"AuthenticAMD", 6, 4, 0x1D}, {"AuthenticAMD", 15, 5, 0x83}, {"AuthenticAMD", 25, 1, 0x01},
        {"Other Maker", 6, 1, 0x02}, {"", -1, -1, 0x02},
    };
    for (const Case& c : cases)
        EXPECT_EQ(familyCode(c.vendor, c.family, c.model), c.code) << c.vendor << " " << c.family << "/" << c.model;
}

TEST(VisibleFacts, BecomeTypes0To4WithTheProcessorsOwnId) {
    VisibleFacts f;
    f.biosVendor = "Firmware Works";
    f.biosDate = "01/15/98";
    f.boardName = "Facts-Board";
    f.chassisType = 0x09;
    f.cpuVendor = "AuthenticAMD";
    f.cpuFamilyCode = 0x1D;
    f.cpuMhz = 1200;
    const std::uint8_t id[8] = {0x42, 0x06, 0x00, 0x00, 0xFF, 0xFB, 0x83, 0x01};
    std::copy(id, id + 8, f.cpuId);
    const Image image = windowFromFacts(f);
    EXPECT_EQ(image.source, Source::SysfsId);
    const auto ep = FindDmiEntryPoint(image.view());
    ASSERT_TRUE(ep);
    DmiBiosRecord b;
    ASSERT_EQ(ReadBiosRecord(image.view(), *ep, b), 1);
    EXPECT_STREQ(b.vendor, "Firmware Works");
    EXPECT_STREQ(b.version, "");
    EXPECT_STREQ(b.release_date, "01/15/98");
    EXPECT_EQ(productOf(image), "Facts-Board");
    EXPECT_EQ(IsNotebook(image.view(), *ep), 0);
    DmiProcessorRecord p;
    ASSERT_EQ(ReadProcessorRecord(image.view(), *ep, p), 1);
    EXPECT_EQ(p.processor_family, 0x1D);
    EXPECT_EQ(p.current_speed_mhz, 1200);
    EXPECT_EQ(std::memcmp(p.processor_id, id, 8), 0);
    EXPECT_STREQ(p.manufacturer, "AuthenticAMD");
    EXPECT_STREQ(p.version, "");
}

TEST(VisibleFacts, ReadFromSysfsAndCpuinfo) {
    TempDir dir;
    // Without the folder, a processor that says nothing about itself leaves nothing.
    EXPECT_FALSE(readVisibleFacts(dir.path(), dir.path() + "/cpuinfo", false));
    const std::string id = dir.path() + "/class/dmi/id";
    std::filesystem::create_directories(id);
    std::ofstream(id + "/board_name") << "Trailing Blanks   \n";
    std::ofstream(id + "/chassis_type") << "10\n";
    const auto f = readVisibleFacts(dir.path(), dir.path() + "/no-cpuinfo");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->boardName, "Trailing Blanks");
    EXPECT_EQ(f->biosVendor, "");
    EXPECT_EQ(f->chassisType, 10);
    EXPECT_EQ(f->cpuMhz, 0);
    // Without cpuinfo only the processor's own brand string can name a family.
    const std::string brand = cpuidBrand();
    EXPECT_EQ(f->cpuModelName, brand);
    EXPECT_EQ(f->cpuFamilyCode, familyFromBrand(brand) != kFamilyOther ? familyFromBrand(brand) : 0x02);
#if defined(__i386__) || defined(__x86_64__)
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    ASSERT_TRUE(__get_cpuid(1, &eax, &ebx, &ecx, &edx));
    EXPECT_EQ(f->cpuId[0], eax & 0xFF);
    EXPECT_EQ(f->cpuId[1], (eax >> 8) & 0xFF);
    EXPECT_EQ(f->cpuId[4], edx & 0xFF);
    EXPECT_EQ(f->cpuId[7], edx >> 24);
#endif
}

namespace {

constexpr const char* kX86CpuInfo =
    "processor\t: 0\nvendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel\t\t: 142\n"
    "model name\t: Intel(R) Core(TM) i5-8250U CPU @ 1.60GHz\ncpu MHz\t\t: 1799.998\n\n"
    "processor\t: 1\ncpu MHz\t\t: 400.000\n";
constexpr const char* kArmCpuInfo =
    "processor\t: 0\nBogoMIPS\t: 108.00\nCPU implementer\t: 0x41\nCPU architecture: 8\nCPU variant\t: 0x0\n"
    "CPU part\t: 0xd08\nCPU revision\t: 3\n\nprocessor\t: 1\nCPU implementer\t: 0x41\n";

// A sysfs root without class/dmi: a processor of the given cpuinfo (with
// the frequency driver's highest speed when khz is given) and, when model is
// given, a device tree.
struct NoDmiMachine {
    const char* name;
    const char* cpuinfo;  // nullptr: no cpuinfo
    const char* maxKhz;   // nullptr: no cpufreq
    std::string model, compatible;  // both empty: no device tree
    const char* maker;
    const char* board;
    std::uint16_t family, mhz;
    const char* version;
};

std::ostream& operator<<(std::ostream& os, const NoDmiMachine& m) { return os << m.name; }

std::string nulTerminated(const char* s) { return std::string(s) + '\0'; }

class WithoutDmi : public ::testing::TestWithParam<NoDmiMachine> {};

}  // namespace

TEST_P(WithoutDmi, TheBoardIsTheDeviceTreesAndTheProcessorItsOwn) {
    const NoDmiMachine& m = GetParam();
    TempDir dir;
    const std::string sys = dir.path() + "/sys";
    std::filesystem::create_directories(sys + "/class/hwmon");
    if (m.cpuinfo) std::ofstream(dir.path() + "/cpuinfo") << m.cpuinfo;
    if (m.maxKhz) {
        const std::string cpufreq = sys + "/devices/system/cpu/cpu0/cpufreq";
        std::filesystem::create_directories(cpufreq);
        std::ofstream(cpufreq + "/cpuinfo_max_freq") << m.maxKhz << "\n";
    }
    if (!m.model.empty() || !m.compatible.empty()) {
        const std::string base = sys + "/firmware/devicetree/base";
        writeBytes(base + "/model", std::vector<std::uint8_t>(m.model.begin(), m.model.end()));
        writeBytes(base + "/compatible", std::vector<std::uint8_t>(m.compatible.begin(), m.compatible.end()));
    }
    const auto f = readVisibleFacts(sys, dir.path() + "/cpuinfo", false);
    ASSERT_TRUE(f);
    EXPECT_FALSE(f->fromDmi);

    // Through the image, as the queries answer.
    const Image image = chooseImage({"", sys, "", dir.path() + "/cpuinfo", false});
    EXPECT_EQ(image.source, Source::Kernel);
    const auto ep = FindDmiEntryPoint(image.view());
    ASSERT_TRUE(ep);
    DmiBoardRecord board;
    ASSERT_EQ(ReadBoardRecord(image.view(), *ep, board), 1);
    EXPECT_STREQ(board.manufacturer, m.maker);
    EXPECT_STREQ(board.product, m.board);
    DmiBiosRecord bios;
    ASSERT_EQ(ReadBiosRecord(image.view(), *ep, bios), 1);
    EXPECT_STREQ(bios.vendor, "");
    EXPECT_STREQ(bios.version, "");
    EXPECT_STREQ(bios.release_date, "");
    DmiProcessorRecord p;
    ASSERT_EQ(ReadProcessorRecord(image.view(), *ep, p), 1);
    EXPECT_EQ(p.current_speed_mhz, m.mhz);
    EXPECT_EQ(m.family > 0xFD ? p.processor_family2 : p.processor_family, m.family);
    EXPECT_STREQ(p.version, m.version);
    if (m.cpuinfo == kArmCpuInfo) {
        // The core's main ID register: Cortex-A72 (part 0xd08) revision 3.
        EXPECT_EQ(p.processor_id[0], 0x83);
        EXPECT_EQ(p.processor_id[1], 0xD0);
    }
    EXPECT_EQ(IsNotebook(image.view(), *ep), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Machines, WithoutDmi,
    ::testing::Values(
        NoDmiMachine{"x86VirtualMachine", kX86CpuInfo, nullptr, "", "", "", "", 0xCD, 1800,
                     "Intel(R) Core(TM) i5-8250U CP"},
        NoDmiMachine{"x86WithCpufreqOnly", "vendor_id\t: AuthenticAMD\nmodel name\t: AMD EPYC 7763 64-Core Processor\n",
                     "2450000", "", "", "", "", 0x6B, 2450, "AMD EPYC 7763 64-Core Process"},
        NoDmiMachine{"RaspberryPi4", kArmCpuInfo, "1800000", nulTerminated("Raspberry Pi 4 Model B Rev 1.4"),
                     std::string("raspberrypi,4-model-b\0brcm,bcm2711\0", 35), "Raspberry Pi",
                     // The record's slot holds 29 characters, as for a DMI string.
                     "Raspberry Pi 4 Model B Rev 1.", 0x101, 1800, ""},
        NoDmiMachine{"RockPro64", kArmCpuInfo, "1800000", nulTerminated("Pine64 RockPro64 v2.1"),
                     std::string("pine64,rockpro64-v2.1\0rockchip,rk3399\0", 38), "Pine64", "Pine64 RockPro64 v2.1",
                     0x101, 1800, ""},
        NoDmiMachine{"ArmWithoutSpeed", kArmCpuInfo, nullptr, nulTerminated("Acme Devboard"),
                     nulTerminated("acme,devboard"), "acme", "Acme Devboard", 0x101, 0, ""},
        NoDmiMachine{"BinaryDeviceTree", kArmCpuInfo, "1500000", std::string("\x7f" "ELF\x02\x01\0", 7),
                     std::string("\xd0\x0d\xfe\xed,x\0", 7), "", "", 0x101, 1500, ""},
        NoDmiMachine{"HugeModel", kArmCpuInfo, "1500000", std::string(64 * 1024, 'M') + '\0',
                     nulTerminated("radxa,rock-5b"), "Radxa", "", 0x101, 1500, ""},
        NoDmiMachine{"DeviceTreeWithoutCpuinfo", nullptr, nullptr, nulTerminated("Bare Board"),
                     nulTerminated("ti,am335x-bone-black"), "Texas Instruments", "Bare Board", 0x02, 0, ""}),
    [](const ::testing::TestParamInfo<NoDmiMachine>& p) { return std::string(p.param.name); });

TEST(VisibleFacts, DmiFactsWinOverTheDeviceTree) {
    TempDir dir;
    const std::string sys = dir.path() + "/sys";
    std::filesystem::create_directories(sys + "/class/dmi/id");
    std::ofstream(sys + "/class/dmi/id/board_name") << "DMI-Board\n";
    std::ofstream(sys + "/class/dmi/id/bios_vendor") << "Firmware Works\n";
    writeBytes(sys + "/firmware/devicetree/base/model", {'D', 'T', '-', 'B', 'o', 'a', 'r', 'd', 0});
    writeBytes(sys + "/firmware/devicetree/base/compatible", {'a', 'r', 'm', ',', 'x', 0});
    std::ofstream(dir.path() + "/cpuinfo") << kArmCpuInfo;
    const auto f = readVisibleFacts(sys, dir.path() + "/cpuinfo", false);
    ASSERT_TRUE(f);
    EXPECT_TRUE(f->fromDmi);
    EXPECT_EQ(f->boardName, "DMI-Board");
    EXPECT_EQ(f->boardVendor, "");
    EXPECT_EQ(f->biosVendor, "Firmware Works");
    EXPECT_EQ(windowFromFacts(*f).source, Source::SysfsId);
}

TEST(VisibleFacts, WithoutDmiProcessorOrDeviceTreeThereIsNothing) {
    TempDir dir;
    const std::string sys = dir.path() + "/sys";
    std::filesystem::create_directories(sys + "/firmware/devicetree/base");
    std::ofstream(dir.path() + "/cpuinfo") << "processor\t: 0\n\n";
    EXPECT_FALSE(readVisibleFacts(sys, dir.path() + "/no-cpuinfo", false));
    EXPECT_FALSE(readVisibleFacts(sys, dir.path() + "/cpuinfo", false));
    // Properties that name nothing do not make a board.
    writeBytes(sys + "/firmware/devicetree/base/model", {0});
    writeBytes(sys + "/firmware/devicetree/base/compatible", {'s', 'i', 'm', 'p', 'l', 'e', 0});
    EXPECT_FALSE(readVisibleFacts(sys, dir.path() + "/cpuinfo", false));
    EXPECT_EQ(chooseImage({"", sys, "", dir.path() + "/cpuinfo", false}).source, Source::None);
    // An empty sysfs root still switches the source off.
    std::ofstream(dir.path() + "/cpuinfo") << kX86CpuInfo;
    EXPECT_FALSE(readVisibleFacts("", dir.path() + "/cpuinfo", false));
#if defined(__i386__) || defined(__x86_64__)
    // The processor's own brand string is enough to describe it.
    if (!cpuidBrand().empty()) {
        const auto f = readVisibleFacts(sys, dir.path() + "/no-cpuinfo", true);
        ASSERT_TRUE(f);
        EXPECT_EQ(f->cpuModelName, cpuidBrand());
    }
#endif
}

TEST(SourceOrder, TheFirstSourceThatWorksIsTaken) {
    TempDir dir;
    const std::string sys = dir.path() + "/sys";
    writeBytes(dir.path() + "/image.bin", windowImage({board("M", "From-Image", "V", "S")}));
    writeBytes(sys + "/firmware/dmi/tables/smbios_entry_point", smbios2EntryPoint(1));
    writeBytes(sys + "/firmware/dmi/tables/DMI", tableBytes({board("M", "From-Tables", "V", "S")}));
    std::vector<std::uint8_t> memory(0x100000, 0);
    putEntryPoint(memory, 0xF0000, 0xF1000, 1);
    const auto table = tableBytes({board("M", "From-Memory", "V", "S")});
    std::copy(table.begin(), table.end(), memory.begin() + 0xF1000);
    writeBytes(dir.path() + "/mem", memory);
    std::filesystem::create_directories(sys + "/class/dmi/id");
    std::ofstream(sys + "/class/dmi/id/board_name") << "From-Facts\n";

    SourcePaths paths{dir.path() + "/image.bin", sys, dir.path() + "/mem", dir.path() + "/cpuinfo"};
    EXPECT_EQ(chooseImage(paths).source, Source::ImageFile);
    EXPECT_EQ(productOf(chooseImage(paths)), "From-Image");
    paths.imageFile = dir.path() + "/unreadable.bin";
    EXPECT_EQ(productOf(chooseImage(paths)), "From-Tables");
    std::filesystem::remove(sys + "/firmware/dmi/tables/DMI");
    EXPECT_EQ(productOf(chooseImage(paths)), "From-Memory");
    paths.devMem = dir.path() + "/no-mem";
    EXPECT_EQ(chooseImage(paths).source, Source::SysfsId);
    EXPECT_EQ(productOf(chooseImage(paths)), "From-Facts");
    std::filesystem::remove_all(sys + "/class");
    // Without DMI only a processor that says nothing about itself leaves nothing.
    paths.cpuidBrand = false;
    const Image none = chooseImage(paths);
    EXPECT_EQ(none.source, Source::None);
    EXPECT_FALSE(FindDmiEntryPoint(none.view()));
}

TEST(SourceOrder, AnImageWithoutEntryPointIsStillTheImage) {
    TempDir dir;
    writeBytes(dir.path() + "/blank.bin", std::vector<std::uint8_t>(0x10000, 0));
    std::filesystem::create_directories(dir.path() + "/class/dmi/id");
    const Image image = chooseImage({dir.path() + "/blank.bin", dir.path(), "", ""});
    EXPECT_EQ(image.source, Source::ImageFile);
    EXPECT_FALSE(FindDmiEntryPoint(image.view()));
}
