// Today's processors by name: a brand string (and, on Arm, the cpuinfo
// fields) becomes the processor record an ordinary user gets, and the shipped
// data file names it, as System Information shows it before the speed.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <cstring>
#include <fstream>
#include <sstream>

#include "AhdFormat.h"
#include "CpuBrand.h"
#include "Sources.h"
#include "TestSupport.h"

namespace {

using namespace cpudata_test;

fs::path stage() { return envOr("VELMON_STAGE_DIR"); }

// The name the shipped data file gives the record built from these facts.
std::string shippedName(const std::string& brand, const std::string& cpuinfo, std::uint32_t x86Signature) {
    const zorvdmi::CpuInfo cpu = zorvdmi::parseCpuInfo(cpuinfo);
    zorvdmi::VisibleFacts facts;
    facts.cpuModelName = brand;
    facts.cpuFamilyCode = zorvdmi::processorFamily(cpu, brand);
    const std::uint32_t id = cpu.implementer >= 0 ? zorvdmi::armMainId(cpu) : x86Signature;
    for (int i = 0; i < 4; ++i) facts.cpuId[i] = static_cast<std::uint8_t>(id >> (8 * i));
    facts.cpuMhz = 2400;
    const zorvdmi::Image image = zorvdmi::windowFromFacts(facts);
    const auto ep = zorvdmi::FindDmiEntryPoint(image.view());
    DmiProcessorRecord record;
    if (!ep || !zorvdmi::ReadProcessorRecord(image.view(), *ep, record)) return "<no record>";
    const auto query = cpudata::queryFromDmiRecord(
        platform::ByteSpan(reinterpret_cast<const std::uint8_t*>(&record), sizeof record), 1);
    const auto file = readFile(stage() / "Zorv.ahd");
    if (!query || !file) return "<no query or data file>";
    const auto hit = cpudata::searchStored(platform::ByteSpan(file->data(), file->size()), *query);
    return hit ? std::string(hit->name) : std::string();
}

struct Named {
    const char* brand;
    const char* cpuinfo;
    std::uint32_t signature;  // cpuid leaf 1 EAX
    const char* expected;
};

class TodaysProcessors : public ::testing::TestWithParam<Named> {};

TEST_P(TodaysProcessors, GetTheirNameFromTheShippedFile) {
    const Named& n = GetParam();
    EXPECT_EQ(shippedName(n.brand, n.cpuinfo, n.signature), n.expected) << n.brand << n.cpuinfo;
}

constexpr const char* kA53 = "CPU implementer\t: 0x41\nCPU architecture: 8\nCPU variant\t: 0x0\nCPU part\t: 0xd03\n"
                             "CPU revision\t: 4\n";
constexpr const char* kA72 = "CPU implementer\t: 0x41\nCPU architecture: 8\nCPU variant\t: 0x0\nCPU part\t: 0xd08\n"
                             "CPU revision\t: 3\n";
constexpr const char* kA76 = "CPU implementer\t: 0x41\nCPU architecture: 8\nCPU variant\t: 0x4\nCPU part\t: 0xd0b\n"
                             "CPU revision\t: 1\n";
constexpr const char* kA55 = "CPU implementer\t: 0x41\nCPU architecture: 8\nCPU variant\t: 0x2\nCPU part\t: 0xd05\n"
                             "CPU revision\t: 0\n";
constexpr const char* kN1 = "CPU implementer\t: 0x41\nCPU architecture: 8\nCPU variant\t: 0x3\nCPU part\t: 0xd0c\n"
                            "CPU revision\t: 1\n";
constexpr const char* kV1 = "CPU implementer\t: 0x41\nCPU architecture: 8\nCPU variant\t: 0x1\nCPU part\t: 0xd40\n"
                            "CPU revision\t: 1\n";
constexpr const char* kM1 = "CPU implementer\t: 0x61\nCPU architecture: 8\nCPU variant\t: 0x1\nCPU part\t: 0x023\n"
                            "CPU revision\t: 1\n";
constexpr const char* kA7 = "model name\t: ARMv7 Processor rev 5 (v7l)\nCPU implementer\t: 0x41\nCPU architecture: 7\n"
                            "CPU variant\t: 0x0\nCPU part\t: 0xc07\nCPU revision\t: 5\n";
constexpr const char* kOddArm = "CPU implementer\t: 0x51\nCPU architecture: 8\nCPU variant\t: 0xa\nCPU part\t: 0x801\n"
                                "CPU revision\t: 4\n";

INSTANTIATE_TEST_SUITE_P(
    Shipped, TodaysProcessors,
    ::testing::Values(
        Named{"Intel(R) Core(TM)2 Duo CPU     E8400  @ 3.00GHz", "", 0x1067A, "Intel Core 2 Duo "},
        Named{"Intel(R) Core(TM) i7-2600K CPU @ 3.40GHz", "", 0x206A7, "Intel Core i7 "},
        Named{"Intel(R) Core(TM) i3-4130 CPU @ 3.40GHz", "", 0x306C3, "Intel Core i3 "},
        Named{"Intel(R) Core(TM) i5-8250U CPU @ 1.60GHz", "", 0x806EA, "Intel Core i5 "},
        Named{"12th Gen Intel(R) Core(TM) i7-1260P", "", 0x906A3, "Intel Core i7 "},
        Named{"13th Gen Intel(R) Core(TM) i9-13900K", "", 0xB0671, "Intel Core i9 "},
        Named{"Intel(R) Core(TM) Ultra 7 155H", "", 0xA06A4, "Intel Core Ultra 7 "},
        Named{"Intel(R) Core(TM) Ultra 5 226V", "", 0xB06D1, "Intel Core Ultra 5 "},
        Named{"Intel(R) Core(TM) 5 120U", "", 0xA0652, "Intel Core 5 "},
        Named{"Intel(R) Xeon(R) Platinum 8380 CPU @ 2.30GHz", "", 0x606A6, "Intel Xeon "},
        Named{"Intel(R) Atom(TM) CPU N270   @ 1.60GHz", "", 0x106C2, "Intel Atom "},
        Named{"Intel(R) Celeron(R) N4020 CPU @ 1.10GHz", "", 0x706A8, "Intel Celeron "},
        Named{"Intel(R) Pentium(R) Silver N5000 CPU @ 1.10GHz", "", 0x706A1, "Intel Pentium "},
        Named{"AMD Phenom(tm) II X4 955 Processor", "", 0x100F43, "AMD Phenom II "},
        Named{"AMD FX(tm)-8350 Eight-Core Processor", "", 0x600F20, "AMD FX "},
        Named{"AMD A10-7850K Radeon R7, 12 Compute Cores 4C+8G", "", 0x630F81, "AMD A-Series APU "},
        Named{"AMD Ryzen 7 1700 Eight-Core Processor", "", 0x800F11, "AMD Ryzen/EPYC "},
        Named{"AMD Ryzen 9 7950X 16-Core Processor", "", 0xA60F12, "AMD Ryzen/EPYC "},
        Named{"AMD Ryzen Threadripper PRO 5995WX 64-Cores", "", 0xA00F82, "AMD Ryzen/EPYC "},
        Named{"AMD EPYC 9654 96-Core Processor", "", 0xA10F11, "AMD Ryzen/EPYC "},
        Named{"AMD Athlon Silver 3050U with Radeon Graphics", "", 0x820F01, "AMD Athlon "},
        Named{"", kA53, 0, "Arm Cortex-A53 "},
        Named{"", kA55, 0, "Arm Cortex-A55 "},
        Named{"", kA72, 0, "Arm Cortex-A72 "},
        Named{"", kA76, 0, "Arm Cortex-A76 "},
        Named{"", kN1, 0, "Arm Neoverse N1 "},
        Named{"", kV1, 0, "Arm Neoverse V1 "},
        Named{"", kM1, 0, "Apple M1 "},
        Named{"ARMv7 Processor rev 5 (v7l)", kA7, 0, "Arm Cortex-A7 "},
        Named{"", kOddArm, 0, "ARMv8 processor "},
        // Unknown brands keep "other", which the file does not name.
        Named{"QEMU Virtual CPU version 2.5+", "vendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel\t\t: 6\n", 0x663, ""},
        Named{"AMD Custom APU 0405", "vendor_id\t: AuthenticAMD\ncpu family\t: 23\nmodel\t\t: 144\n", 0x890F02, ""}),
    [](const auto& p) { return "case" + std::to_string(p.index); });

bool namesMaker(const std::string& brand) {
    std::string lower;
    for (char c : brand) lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    std::istringstream words(lower);
    for (std::string w; words >> w;)
        if (w.rfind("intel", 0) == 0 || w.rfind("amd", 0) == 0 || w.rfind("genuine", 0) == 0) return true;
    return false;
}

// What System Information asks for on this machine, as an ordinary user: the
// sensor library's GetCPUName over the real DMI and CPU data libraries, the
// DMI library building the record from what any user can read.
TEST(ThisMachine, AnOrdinaryUserSeesAProcessorNameForAKnownMaker) {
    std::ifstream in("/proc/cpuinfo");
    std::stringstream text;
    text << in.rdbuf();
    const zorvdmi::CpuInfo cpu = zorvdmi::parseCpuInfo(text.str());
    std::string brand = zorvdmi::cpuidBrand();
    if (brand.empty()) brand = cpu.modelName;
    const bool armKnown = cpu.implementer == 0x41 || cpu.implementer == 0x61;
    if (!namesMaker(brand) && !namesMaker(cpu.modelName) && !armKnown)
        GTEST_SKIP() << "neither \"" << brand << "\" nor \"" << cpu.modelName << "\" names a known maker";

    ScopedRegistry reg;
    TempDir dir;
    for (const char* f : {"libzorv.so", "libzorvahd.so", "libzorvdmi.so", "Zorv.ahd"})
        fs::copy_file(stage() / f, dir.path() / f);
    fs::create_directories(dir.path() / "sys" / "class" / "dmi" / "id");
    std::ofstream(dir.path() / "sys" / "class" / "dmi" / "id" / "board_name") << "Today-Board\n";

    // A child of its own, so that the libraries start from their first call.
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(fds[0]);
        setenv("ZORVDMI_SYSFS_ROOT", (dir.path() / "sys").c_str(), 1);
        setenv("ZORVDMI_DEVMEM", "", 1);
        unsetenv("ZORVDMI_IMAGE");
        unsetenv("ZORVDMI_CPUINFO");
        std::array<char, 80> name{};
        void* ahd = dlopen((dir.path() / "libzorvahd.so").c_str(), RTLD_NOW | RTLD_LOCAL);
        void* zorv = dlopen((dir.path() / "libzorv.so").c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!ahd || !zorv) _exit(3);
        auto write = reinterpret_cast<std::int32_t (*)()>(dlsym(ahd, "WriteCPUInfoIntoRegistry"));
        auto getName = reinterpret_cast<std::int32_t (*)(char*)>(dlsym(zorv, "GetCPUName"));
        if (!write || !getName || write() != 1) _exit(4);
        getName(name.data());
        name.back() = '\0';
        const ssize_t n = ::write(fds[1], name.data(), std::strlen(name.data()));
        _exit(n < 0 ? 5 : 0);
    }
    close(fds[1]);
    std::string name;
    char buf[128];
    for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) name.append(buf, static_cast<std::size_t>(n));
    close(fds[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_FALSE(name.empty()) << "brand \"" << brand << "\"";
    EXPECT_EQ(name.back(), ' ') << "the speed follows the name's last blank: \"" << name << "\"";
    EXPECT_EQ(name, shippedName(brand, text.str(), 0)) << "brand \"" << brand << "\"";
}

// zorvread --board prints the dialog's texts; here for a firmware-style table
// whose processor is given in Processor Family 2 and for an LM78-era capture.
std::string boardOutput(const fs::path& image) {
    const std::string cmd = "ZORVDMI_IMAGE='" + image.string() + "' ZORV_SOURCE=sim '" +
                            (stage() / "zorvread").string() + "' --board 2>&1";
    std::string out;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buf[256];
        while (std::fgets(buf, sizeof buf, p)) out += buf;
        pclose(p);
    }
    return out;
}

TEST(Zorvread, BoardShowsWhatSystemInformationShows) {
    ScopedRegistry reg;  // the tool stores the data file as Velmon's startup does
    TempDir dir;
    zorvdmi::VisibleFacts f;
    f.biosVendor = "Firmware Works";
    f.biosVersion = "2.4";
    f.boardVendor = "Board Maker Inc.";
    f.boardName = "Ultra-Board";
    f.cpuFamilyCode = 0x306;
    f.cpuModelName = "Intel(R) Core(TM) Ultra 7 155H";
    f.cpuMhz = 3800;
    const auto image = zorvdmi::windowFromFacts(f);
    writeFile(dir.path() / "today.bin", image.bytes);
    const std::string out = boardOutput(dir.path() / "today.bin");
    EXPECT_NE(out.find("  Manufacturer:     Board Maker Inc.\n"), std::string::npos) << out;
    EXPECT_NE(out.find("  Product:          Ultra-Board\n"), std::string::npos) << out;
    EXPECT_NE(out.find("  CPU:              Intel Core Ultra 7 3800\n"), std::string::npos) << out;
    EXPECT_NE(out.find(" MB\n"), std::string::npos) << out;
    EXPECT_NE(out.find("  Vendor:           Firmware Works\n  Version:          2.4\n"), std::string::npos) << out;

    // A SeaBIOS capture says "other": no name, the speed alone, as before.
    const fs::path capture = fs::path(envOr("CPUDATA_DMI_DATA")) / "p2b-0922-97.bin";
    const std::string old = boardOutput(capture);
    EXPECT_NE(old.find("  Product:          P2B-LS\n"), std::string::npos) << old;
    EXPECT_NE(old.find("  CPU:              450\n"), std::string::npos) << old;
}

}  // namespace
