// A machine without DMI tables, as zorvread --board shows it: a private
// mount namespace hides class/dmi, the published tables and /dev/mem, and
// puts a device tree of the test's own over /sys/firmware. Only this process
// and its children see any of it.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "CpuBrand.h"
#include "LibraryRunner.h"
#include "Sources.h"

namespace {

namespace fs = std::filesystem;
using dmitest::stageDir;
using dmitest::TempDir;

void writeProperty(const fs::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << p;
}

// The labels zorvread --board prints ("Manufacturer", "CPU", ...) with their texts.
std::map<std::string, std::string> boardLabels(const std::string& out) {
    std::map<std::string, std::string> labels;
    std::size_t pos = 0;
    while (pos < out.size()) {
        const auto nl = out.find('\n', pos);
        const std::string line = out.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
        pos = nl == std::string::npos ? out.size() : nl + 1;
        const auto colon = line.find(':');
        if (line.rfind("  ", 0) != 0 || colon == std::string::npos) continue;
        const auto text = line.find_first_not_of(' ', colon + 1);
        labels[line.substr(2, colon - 2)] = text == std::string::npos ? "" : line.substr(text);
    }
    return labels;
}

// The CPU label split as the dialog builds it: the name, then the speed's digits.
std::pair<std::string, long> nameAndSpeed(const std::string& cpu) {
    const auto digits = cpu.find_last_not_of("0123456789");
    const std::size_t at = digits == std::string::npos ? 0 : digits + 1;
    if (at == cpu.size()) return {cpu, -1};
    return {cpu.substr(0, at), std::strtol(cpu.c_str() + at, nullptr, 10)};
}

class WithoutDmiTables : public testing::Test {
protected:
    void SetUp() override {
        if (geteuid() != 0) GTEST_SKIP() << "needs root for a private mount namespace";
        if (unshare(CLONE_NEWNS) != 0) {
            if (errno == EPERM) GTEST_SKIP() << "unshare(CLONE_NEWNS) is not permitted here";
            FAIL() << "unshare: " << std::strerror(errno);
        }
        // Without this the mounts would show up in the parent's namespace too.
        ASSERT_EQ(mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr), 0) << std::strerror(errno);
        std::error_code ec;
        if (fs::is_directory("/sys/class/dmi", ec)) {
            ASSERT_EQ(mount("zorvtest", "/sys/class/dmi", "tmpfs", 0, nullptr), 0) << std::strerror(errno);
        }
        // The published tables and any real device tree.
        ASSERT_EQ(mount("zorvtest", "/sys/firmware", "tmpfs", 0, nullptr), 0) << std::strerror(errno);
        if (fs::exists("/dev/mem", ec)) {
            ASSERT_EQ(mount("/dev/null", "/dev/mem", nullptr, MS_BIND, nullptr), 0) << std::strerror(errno);
        }
        deviceTree = "/sys/firmware/devicetree/base";
    }

    // What zorvread --board prints, with nothing but the machine itself to go by.
    std::map<std::string, std::string> board(const std::string& extraEnv = "") {
        const std::string cmd = "env -u ZORVDMI_IMAGE -u ZORVDMI_SYSFS_ROOT -u ZORVDMI_DEVMEM -u ZORVDMI_CPUINFO "
                                "ZORV_SOURCE=sim ZORV_REGISTRY='" + work.path() + "/registry' XDG_CONFIG_HOME='" +
                                work.path() + "/config' XDG_DATA_HOME='" + work.path() + "/data' " + extraEnv + " '" +
                                stageDir() + "/zorvread' --board 2>&1";
        std::string out;
        if (FILE* p = popen(cmd.c_str(), "r")) {
            char buf[256];
            while (std::fgets(buf, sizeof buf, p)) out += buf;
            EXPECT_EQ(pclose(p), 0) << out;
        }
        output = out;
        return boardLabels(out);
    }

    // The name the shipped data file has for this processor's family, when it
    // has one: a brand that names no family leaves the speed alone.
    static bool familyIsNamed() {
        std::ifstream in("/proc/cpuinfo");
        std::ostringstream text;
        text << in.rdbuf();
        const zorvdmi::CpuInfo cpu = zorvdmi::parseCpuInfo(text.str());
        const std::string brand = zorvdmi::cpuidBrand();
        const std::uint16_t family = zorvdmi::processorFamily(cpu, brand.empty() ? cpu.modelName : brand);
        return family != zorvdmi::kFamilyOther && family != zorvdmi::kFamilyUnknown;
    }

    TempDir work;
    fs::path deviceTree;
    std::string output;
};

TEST_F(WithoutDmiTables, TheProcessorIsNamedAndItsSpeedRead) {
    const auto labels = board();
    ASSERT_EQ(labels.count("CPU"), 1u) << output;
    const auto [name, speed] = nameAndSpeed(labels.at("CPU"));
    EXPECT_GT(speed, 0) << output;
    if (familyIsNamed()) {
        EXPECT_FALSE(name.empty()) << output;
    }
    EXPECT_EQ(labels.at("Manufacturer"), "") << output;
    EXPECT_EQ(labels.at("Product"), "") << output;
    EXPECT_EQ(labels.at("Vendor"), "") << output;
    EXPECT_EQ(labels.at("Version"), "") << output;
}

TEST_F(WithoutDmiTables, TheBoardIsNamedByTheDeviceTreesModel) {
    fs::create_directories(deviceTree);
    writeProperty(deviceTree / "model", std::string("Pine64 RockPro64 v2.1\0", 22));
    writeProperty(deviceTree / "compatible", std::string("pine64,rockpro64-v2.1\0rockchip,rk3399\0", 38));
    const auto labels = board();
    EXPECT_EQ(labels.at("Manufacturer"), "Pine64") << output;
    EXPECT_EQ(labels.at("Product"), "Pine64 RockPro64 v2.1") << output;
    EXPECT_GT(nameAndSpeed(labels.at("CPU")).second, 0) << output;
    EXPECT_EQ(labels.at("Vendor"), "") << output;
    EXPECT_EQ(labels.at("Version"), "") << output;
}

TEST_F(WithoutDmiTables, AnArmBoardShowsItsCoreAndItsHighestSpeed) {
    fs::create_directories(deviceTree);
    writeProperty(deviceTree / "model", std::string("Raspberry Pi 4 Model B Rev 1.4\0", 31));
    writeProperty(deviceTree / "compatible", std::string("raspberrypi,4-model-b\0brcm,bcm2711\0", 35));
    // The core as an Arm kernel prints it, without a speed; the frequency driver has it.
    const fs::path cpuinfo = fs::path(work.path()) / "cpuinfo";
    std::ofstream(cpuinfo) << "processor\t: 0\nBogoMIPS\t: 108.00\nFeatures\t: fp asimd evtstrm crc32 cpuid\n"
                              "CPU implementer\t: 0x41\nCPU architecture: 8\nCPU variant\t: 0x0\nCPU part\t: 0xd08\n"
                              "CPU revision\t: 3\n\n";
    ASSERT_EQ(mount("zorvtest", "/sys/devices/system/cpu/cpu0", "tmpfs", 0, nullptr), 0) << std::strerror(errno);
    fs::create_directories("/sys/devices/system/cpu/cpu0/cpufreq");
    std::ofstream("/sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq") << "1800000\n";
    const auto labels = board("ZORVDMI_CPUINFO='" + cpuinfo.string() + "'");
    EXPECT_EQ(labels.at("Manufacturer"), "Raspberry Pi") << output;
    // Cut to the 29 characters a DMI string slot holds.
    EXPECT_EQ(labels.at("Product"), "Raspberry Pi 4 Model B Rev 1.") << output;
    EXPECT_EQ(labels.at("CPU"), "Arm Cortex-A72 1800") << output;
    EXPECT_EQ(labels.at("Vendor"), "") << output;
}

}  // namespace
