// libzorv.so over real libsensors, reading a hwmon tree the test writes: a
// private mount namespace puts a tmpfs over /sys/class, which only this
// process sees.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

const char* const kExports[] = {"GetFanCPURPM",      "GetFanPowerRPM",   "GetFanChasisRPM", "GetCPUTemperature",
                                "GetMBTemperature",  "GetVoltIN0",       "GetVoltIN1",      "GetVoltIN2",
                                "GetVoltIN3",        "GetVoltIN4",       "GetVoltIN5",      "GetVoltIN6"};

void write(const fs::path& p, const std::string& text) {
    std::ofstream out(p);
    out << text << "\n";
    ASSERT_TRUE(out.good()) << p;
}

// One copy of libzorv.so per test, so each has its own process-wide source
// and its own zorv.conf next to it.
class Zorv {
public:
    Zorv(const fs::path& dir, const std::string& conf) {
        const char* lib = std::getenv("ZORV_TEST_LIB");
        if (!lib) return;
        fs::create_directories(dir);
        fs::copy_file(lib, dir / "libzorv.so", fs::copy_options::overwrite_existing);
        std::ofstream(dir / "zorv.conf") << conf;
        handle_ = dlopen((dir / "libzorv.so").c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle_) return;
        for (int i = 0; i < 12; ++i) fns_[i] = reinterpret_cast<std::int16_t (*)()>(dlsym(handle_, kExports[i]));
    }
    ~Zorv() {
        if (handle_) dlclose(handle_);
    }
    Zorv(const Zorv&) = delete;
    Zorv& operator=(const Zorv&) = delete;

    [[nodiscard]] bool loaded() const { return handle_ && fns_[11]; }
    std::vector<int> readAll() {
        std::vector<int> v;
        for (auto* f : fns_) v.push_back(f ? f() : -99999);
        return v;
    }

private:
    void* handle_ = nullptr;
    std::int16_t (*fns_[12])() = {};
};

class HwmonTree : public testing::Test {
protected:
    void SetUp() override {
        if (unshare(CLONE_NEWNS) != 0) {
            if (errno == EPERM) GTEST_SKIP() << "unshare(CLONE_NEWNS) is not permitted here (needs root)";
            FAIL() << "unshare: " << std::strerror(errno);
        }
        // Without this the tmpfs would show up in the parent's /sys/class too.
        ASSERT_EQ(mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr), 0) << std::strerror(errno);
        ASSERT_EQ(mount("zorvtest", "/sys/class", "tmpfs", 0, nullptr), 0) << std::strerror(errno);
        board = "/sys/class/hwmon/hwmon0";
        cpu = "/sys/class/hwmon/hwmon1";
        fs::create_directories(board);
        fs::create_directories(cpu);
        // Pin voltages as an LM78 reports them, chosen so that the example's
        // compute lines give round rail values.
        write(board / "name", "lm78");
        write(board / "fan1_input", "4560");
        write(board / "fan2_input", "3375");
        write(board / "fan3_input", "2410");
        write(board / "temp1_input", "33000");
        write(board / "temp2_input", "61000");
        write(board / "in0_input", "1984");
        write(board / "in1_input", "2000");
        write(board / "in2_input", "3312");
        write(board / "in3_input", "2976");   // 5.000 V through 6.8k/10k
        write(board / "in4_input", "3158");   // 12.000 V through 28k/10k
        write(board / "in5_input", "3451");   // -12.0 V through 210k/60.4k
        write(board / "in6_input", "3322");   // -5.0 V through 90.9k/60.4k
        write(cpu / "name", "lm75");
        write(cpu / "temp1_input", "45250");

        work = fs::temp_directory_path() / ("zorv-hwmon-" + std::to_string(getpid()) + "-" +
                                            testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(work);
        fs::create_directories(work);
        const char* example = std::getenv("ZORV_SENSORS_EXAMPLE");
        ASSERT_NE(example, nullptr);
        setenv("ZORV_SENSORS_CONF", example, 1);
        setenv("ZORV_SOURCE", "hwmon", 1);
        setenv("XDG_CONFIG_HOME", (work / "xdg").c_str(), 1);
    }
    void TearDown() override {
        if (!work.empty()) fs::remove_all(work);
    }

    static std::vector<int> expectedBoard() {
        auto mv = [](double v) { return static_cast<int>(std::nearbyint(v * 1000)); };
        return {4560, 3375, 2410, 45, 33, 1984, 2000, 3312,
                mv(2.976 * (1 + 6.8 / 10)), mv(3.158 * (1 + 28.0 / 10)), mv(-3.451 * (210 / 60.4)),
                mv(-3.322 * (90.9 / 60.4))};
    }

    fs::path board, cpu, work;
};

TEST_F(HwmonTree, TheTwelveExportsReadTheChipWithTheComputeLinesApplied) {
    Zorv zorv(work / "lib", "source = hwmon\n");
    ASSERT_TRUE(zorv.loaded()) << dlerror();
    const auto v = zorv.readAll();
    EXPECT_EQ(v, expectedBoard());
    // The rails the example's resistor lines describe.
    EXPECT_NEAR(v[8], 5000, 3);
    EXPECT_NEAR(v[9], 12000, 3);
    EXPECT_NEAR(v[10], -11998, 3);
    EXPECT_NEAR(v[11], -5000, 3);
}

TEST_F(HwmonTree, FollowsTheFilesFromOneCallToTheNext) {
    Zorv zorv(work / "lib", "");
    ASSERT_TRUE(zorv.loaded()) << dlerror();
    ASSERT_EQ(zorv.readAll(), expectedBoard());

    write(board / "fan1_input", "0");
    write(board / "temp1_input", "52600");
    write(board / "in4_input", "3000");
    auto v = zorv.readAll();
    EXPECT_EQ(v[0], 0);
    EXPECT_EQ(v[4], 53);
    EXPECT_EQ(v[9], 11400);

    // A feature that vanishes reads 0, and is read again when it is back.
    fs::remove(board / "fan2_input");
    fs::remove(cpu / "temp1_input");
    v = zorv.readAll();
    EXPECT_EQ(v[1], 0);
    EXPECT_EQ(v[3], 0);
    EXPECT_EQ(v[2], 2410) << "the other features still read";
    write(board / "fan2_input", "3100");
    EXPECT_EQ(zorv.readAll()[1], 3100);

    // A driver's all-ones "no reading" is clamped, never wrapped.
    write(board / "fan3_input", "4294967295");
    EXPECT_EQ(zorv.readAll()[2], 32767);
    write(board / "fan3_input", "garbage");
    EXPECT_EQ(zorv.readAll()[2], 0);

    // The whole chip gone: every channel of it reads 0, nothing crashes.
    fs::remove_all(board);
    v = zorv.readAll();
    EXPECT_EQ(v, std::vector<int>(12, 0));
}

TEST_F(HwmonTree, AChannelMapInZorvConfTakesPrecedence) {
    Zorv zorv(work / "lib", "source = hwmon\n"
                            "cpu_fan = lm78-virtual-0/fan3\n"
                            "chassis_fan = lm78-*/fan1\n"
                            "cpu_temp = lm78/temp2\n"
                            "in6 = none\n");
    ASSERT_TRUE(zorv.loaded()) << dlerror();
    auto expected = expectedBoard();
    expected[0] = 2410;
    expected[2] = 4560;
    expected[3] = 61;
    expected[11] = 0;
    EXPECT_EQ(zorv.readAll(), expected);
}

TEST_F(HwmonTree, AnIgnoredFeatureReadsZero) {
    std::ofstream(work / "sensors.conf") << "chip \"lm78-*\"\n    ignore fan2\n    compute in4 @*2, @/2\n";
    setenv("ZORV_SENSORS_CONF", (work / "sensors.conf").c_str(), 1);
    Zorv zorv(work / "lib", "");
    ASSERT_TRUE(zorv.loaded()) << dlerror();
    const auto v = zorv.readAll();
    EXPECT_EQ(v[1], 0);
    EXPECT_EQ(v[9], 6316);
}

TEST_F(HwmonTree, AConfigurationThatDoesNotParseIsNotPrintedAndTheChipsStillRead) {
    std::ofstream(work / "sensors.conf") << "chip \"lm78-*\"\n    compute in4 @*(, oops\n";
    setenv("ZORV_SENSORS_CONF", (work / "sensors.conf").c_str(), 1);
    Zorv zorv(work / "lib", "");
    ASSERT_TRUE(zorv.loaded()) << dlerror();
    testing::internal::CaptureStderr();
    const auto v = zorv.readAll();
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(printed, "");
    EXPECT_EQ(v[0], 4560);
    EXPECT_EQ(v[9], 3158) << "the pin voltage, without the broken line";
}

TEST_F(HwmonTree, NoChipReadsZeroEverywhere) {
    fs::remove_all("/sys/class/hwmon");
    fs::create_directories("/sys/class/hwmon");
    Zorv zorv(work / "lib", "");
    ASSERT_TRUE(zorv.loaded()) << dlerror();
    EXPECT_EQ(zorv.readAll(), std::vector<int>(12, 0));
}

TEST_F(HwmonTree, ZorvreadListsEveryFeatureAndTheMap) {
    const char* lib = std::getenv("ZORV_TEST_LIB");
    ASSERT_NE(lib, nullptr);
    const fs::path zorvread = fs::path(lib).parent_path() / "zorvread";
    const fs::path out = work / "list.txt";
    const std::string cmd = zorvread.string() + " --list > " + out.string() + " 2>&1";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    std::ifstream in(out);
    std::string text;
    for (std::string line; std::getline(in, line);) text += line + "\n";
    for (const char* expected : {"lm78-virtual-0", "lm75-virtual-0", "+12V", "12.000", "M/B Temp",
                                 "cpu_temp     = lm75-virtual-0/temp1", "in6          = lm78-virtual-0/in6"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << " not in:\n" << text;
}

}  // namespace
