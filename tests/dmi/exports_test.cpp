// The exported queries through the shared library, each run in a child that
// loads the library with its own image.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "ImageBuilder.h"
#include "LibraryRunner.h"

using namespace dmitest;

namespace {

std::string writeImage(const TempDir& dir, const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const std::string path = dir.path() + "/" + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
    return path;
}

Structure cpu(const std::vector<std::uint8_t>& id) {
    auto b = area(4, 0x1A, {{4, 1}, {5, 3}, {6, 0x11}, {7, 2}, {0x10, 3}, {0x11, 0x02}});
    for (std::size_t i = 0; i < 8; ++i) b[8 + i] = id[i];
    put16(b, 0x12, 100);
    put16(b, 0x14, 500);
    put16(b, 0x16, 450);
    b[0x18] = 0x41;
    return {b, {"Slot 1", "Zorvel", "Zorvel Pro 450"}};
}

const std::vector<std::uint8_t> kIdWithZeros = {0x73, 0x06, 0x00, 0x00, 0x00, 0xFB, 0x83, 0x00};

}  // namespace

TEST(Exports, AnswerEveryQueryFromTheImage) {
    TempDir dir;
    const auto image = writeImage(
        dir, "full.bin",
        windowImage({bios("Firmware Works", "1.00.07", "09/22/97"), board("Board Maker Inc.", "P2B-LS", "1.02", "BM-1"),
                     Structure{area(3, 9, {{4, 1}, {5, 0x8A}}), {"Chassis Co"}}, cpu(kIdWithZeros)}));
    const Answers a = answersFor(onlyImage(image, dir.path()));
    ASSERT_TRUE(a.loaded);
    EXPECT_STREQ(a.biosVendor, "Firmware Works");
    EXPECT_EQ(a.venderResult, 1);
    EXPECT_STREQ(a.biosVersion, "1.00.07");
    EXPECT_TRUE(a.versionReturnsBuffer);
    EXPECT_STREQ(a.biosDate, "09/22/97");
    EXPECT_STREQ(a.mbManufacturer, "Board Maker Inc.");
    EXPECT_STREQ(a.mbProduct, "P2B-LS");
    EXPECT_STREQ(a.mbVersion, "1.02");
    EXPECT_STREQ(a.mbSerial, "BM-1");
    EXPECT_STREQ(a.mbSocket, "Slot 1");
    EXPECT_STREQ(a.cpuVendor, "Zorvel");
    EXPECT_STREQ(a.cpuVersion, "Zorvel Pro 450");
    EXPECT_EQ(a.family, 0x11);
    EXPECT_EQ(a.voltage, 0x02);
    EXPECT_EQ(a.clock, 450);  // current speed, not the external clock (100)
    EXPECT_EQ(std::vector<std::uint8_t>(a.cpuid, a.cpuid + 8), kIdWithZeros);
    ASSERT_TRUE(a.hasInfo);
    EXPECT_TRUE(a.infoStable);
    EXPECT_EQ(a.info.max_speed_mhz, 500);
    EXPECT_STREQ(a.info.version, "Zorvel Pro 450");
    EXPECT_EQ(a.dmi20, 1);
    EXPECT_EQ(a.notebook, 1);
    EXPECT_EQ(a.serviceHandle, 0);
}

TEST(Exports, WithoutEntryPointAnswerNothingFound) {
    TempDir dir;
    const auto image = writeImage(dir, "blank.bin", std::vector<std::uint8_t>(0x10000, 0));
    const Answers a = answersFor(onlyImage(image, dir.path()));
    ASSERT_TRUE(a.loaded);
    EXPECT_STREQ(a.biosVendor, "");
    EXPECT_EQ(a.venderResult, 1);
    EXPECT_STREQ(a.mbProduct, "");
    EXPECT_STREQ(a.biosDate, "");
    EXPECT_EQ(a.clock, 0);
    EXPECT_EQ(a.family, 0);
    EXPECT_FALSE(a.hasInfo);
    EXPECT_EQ(a.dmi20, 0);
    EXPECT_EQ(a.notebook, 0);
    // A single zero byte, the rest of the caller's buffer untouched.
    EXPECT_EQ(a.cpuid[0], 0);
    for (int i = 1; i < 8; ++i) EXPECT_EQ(a.cpuid[i], 0xAA) << i;
}

TEST(Exports, WithoutProcessorStructureTheRecordIsStillHandedOut) {
    TempDir dir;
    const auto image = writeImage(dir, "noproc.bin", windowImage({bios("V", "1", "01/15/98"), board("M", "P", "V", "S")}));
    const Answers a = answersFor(onlyImage(image, dir.path()));
    ASSERT_TRUE(a.loaded);
    ASSERT_TRUE(a.hasInfo);
    const DmiProcessorRecord zero{};
    EXPECT_EQ(std::memcmp(&a.info, &zero, sizeof zero), 0);
    EXPECT_EQ(a.clock, 0);
    EXPECT_STREQ(a.cpuVersion, "");
    for (int i = 0; i < 8; ++i) EXPECT_EQ(a.cpuid[i], 0) << i;
    EXPECT_STREQ(a.mbProduct, "P");
    EXPECT_EQ(a.dmi20, 1);
}

TEST(Exports, NullBuffersAreLeftAlone) {
    TempDir dir;
    const auto image = writeImage(dir, "full.bin", windowImage({bios("V", "1", "d"), board("M", "P", "V", "S")}));
    struct Result {
        bool returnedNull;
        std::int32_t vender;
    };
    const auto [ok, r] = inChild<Result>(onlyImage(image, dir.path()), [] {
        Result res{};
        void* h = dlopen(libraryPath().c_str(), RTLD_NOW);
        if (!h) _exit(3);
        res.vender = reinterpret_cast<std::int32_t (*)(char*)>(dlsym(h, "DMI_GetBIOSVender"))(nullptr);
        res.returnedNull = reinterpret_cast<char* (*)(char*)>(dlsym(h, "DMI_GetMBProduct"))(nullptr) == nullptr;
        reinterpret_cast<void (*)(std::uint8_t*)>(dlsym(h, "DMI_GetCPUID"))(nullptr);
        return res;
    });
    ASSERT_TRUE(ok);
    EXPECT_EQ(r.vender, 1);
    EXPECT_TRUE(r.returnedNull);
}

TEST(Exports, VisibleFactsAnswerWithoutRootTables) {
    TempDir dir;
    const std::string id = dir.path() + "/class/dmi/id";
    std::filesystem::create_directories(id);
    auto put = [&](const std::string& name, const std::string& value) { std::ofstream(id + "/" + name) << value << "\n"; };
    put("bios_vendor", "Firmware Works");
    put("bios_version", "2.3");
    put("bios_date", "10/01/97");
    put("board_vendor", "Board Maker Inc.");
    put("board_name", "Visible-Board");
    put("board_version", "rev 3");
    put("chassis_type", "10");
    std::ofstream(dir.path() + "/cpuinfo") << "processor\t: 0\nvendor_id\t: GenuineIntel\ncpu family\t: 6\n"
                                              "model\t\t: 7\nmodel name\t: Zorvel III\ncpu MHz\t\t: 549.730\n\n"
                                              "processor\t: 1\ncpu MHz\t\t: 100.000\n";
    Env env = onlyImage("", dir.path());
    env.push_back({"ZORVDMI_CPUINFO", dir.path() + "/cpuinfo"});
    const Answers a = answersFor(env);
    ASSERT_TRUE(a.loaded);
    EXPECT_STREQ(a.biosVendor, "Firmware Works");
    EXPECT_STREQ(a.biosVersion, "2.3");
    EXPECT_STREQ(a.mbProduct, "Visible-Board");
    EXPECT_STREQ(a.mbManufacturer, "Board Maker Inc.");
    EXPECT_STREQ(a.mbVersion, "rev 3");
    EXPECT_STREQ(a.mbSerial, "");  // unreadable for a user: absent
    EXPECT_EQ(a.dmi20, 1);
    EXPECT_EQ(a.notebook, 1);
    EXPECT_EQ(a.clock, 550);
    EXPECT_EQ(a.family, 0x11);  // Pentium III
    EXPECT_STREQ(a.cpuVendor, "GenuineIntel");
    EXPECT_STREQ(a.cpuVersion, "Zorvel III");
}

TEST(Exports, TheHostAnswersFromVisibleFactsOrNothingAndSaysNothing) {
    std::error_code ec;
    if (std::filesystem::exists("/sys/firmware/dmi/tables/DMI", ec) || std::filesystem::exists("/dev/mem", ec))
        GTEST_SKIP() << "this machine shows root tables";
    TempDir dir;
    const std::string out = dir.path() + "/output";
    struct Result {
        char product[80];
        bool hasInfo;
    };
    const auto [ok, r] = inChild<Result>({}, [&] {
        if (!std::freopen(out.c_str(), "w", stdout) || !std::freopen(out.c_str(), "a", stderr)) _exit(4);
        const Answers a = queryAll(libraryPath());
        if (!a.loaded) _exit(3);
        Result res{};
        std::memcpy(res.product, a.mbProduct, sizeof res.product);
        res.hasInfo = a.hasInfo;
        std::fflush(stdout);
        std::fflush(stderr);
        return res;
    });
    ASSERT_TRUE(ok);
    EXPECT_EQ(std::filesystem::file_size(out), 0u);
    if (std::filesystem::is_directory("/sys/class/dmi/id", ec)) {
        std::ifstream in("/sys/class/dmi/id/board_name");
        std::string name;
        std::getline(in, name);
        while (!name.empty() && name.back() == ' ') name.pop_back();
        EXPECT_EQ(std::string(r.product), name.substr(0, 29));
        EXPECT_TRUE(r.hasInfo);
    } else {
        // Without DMI the processor still describes itself, and the board is
        // the device tree's model where there is one.
        std::ifstream in("/sys/firmware/devicetree/base/model", std::ios::binary);
        std::string model;
        std::getline(in, model, '\0');
        EXPECT_EQ(std::string(r.product), model.substr(0, 29));
        EXPECT_TRUE(r.hasInfo);
    }
}

TEST(Exports, TheSensorLibraryPassesTheImageThrough) {
    const std::string image = dataDir() + "/p2b-0922-97.bin";
    ASSERT_TRUE(std::filesystem::exists(image));
    TempDir dir;
    struct Result {
        char product[80];
        std::int16_t clock;
    };
    const auto [ok, r] = inChild<Result>(onlyImage(image, dir.path()), [] {
        Result res{};
        void* h = dlopen((stageDir() + "/libzorv.so").c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!h) _exit(3);
        auto product = reinterpret_cast<char* (*)(char*)>(dlsym(h, "DMI_GetMBProduct"));
        auto clock = reinterpret_cast<std::int16_t (*)()>(dlsym(h, "DMI_GetMBClock"));
        if (!product || !clock) _exit(4);
        product(res.product);
        res.clock = clock();
        return res;
    });
    ASSERT_TRUE(ok);
    EXPECT_STREQ(r.product, "P2B-LS");
    EXPECT_EQ(r.clock, 450);
}
