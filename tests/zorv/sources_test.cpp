#include <gtest/gtest.h>

#include <ostream>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "Source.h"

namespace zorv {
namespace {

namespace fs = std::filesystem;

struct Range {
    Channel channel;
    int low, high;  // both inside the default thresholds' safe side
};

// The simulated board must stay plausible and never cross a default threshold
// (fans above 2800/2700/1800 RPM, temperatures below 80/50 °C, voltages strictly
// inside their default windows).
const Range kSafe[] = {
    {Channel::CpuFan, 4200, 4800},   {Channel::PowerFan, 3000, 3600},  {Channel::ChassisFan, 2100, 2700},
    {Channel::CpuTemp, 40, 50},      {Channel::MbTemp, 30, 36},        {Channel::In0, 1900, 2100},
    {Channel::In1, 1900, 2100},      {Channel::In2, 3200, 3400},       {Channel::In3, 4900, 5100},
    {Channel::In4, 11800, 12200},    {Channel::In5, -12200, -11800},   {Channel::In6, -5100, -4900},
};

TEST(SimSource, StaysInsidePlausibleRangesForADay) {
    for (std::uint64_t seed : {0ull, 1ull, 1998ull, 0xFFFFFFFFFFFFFFFFull}) {
        SimSource sim(seed, [] { return 0.0; });
        for (const auto& r : kSafe) {
            for (double t = 0; t < 86400; t += 37) {
                const int v = sim.simulated(r.channel, t);
                ASSERT_GE(v, r.low) << channelName(r.channel) << " seed " << seed << " t " << t;
                ASSERT_LE(v, r.high) << channelName(r.channel) << " seed " << seed << " t " << t;
            }
        }
    }
}

TEST(SimSource, DriftsSlowlyAndDeterministically) {
    SimSource a(7, [] { return 0.0; }), b(7, [] { return 0.0; }), c(8, [] { return 0.0; });
    bool seedsDiffer = false, drifts = false;
    for (const auto& r : kSafe) {
        for (double t = 0; t < 3600; t += 5) {
            ASSERT_EQ(a.simulated(r.channel, t), b.simulated(r.channel, t));
            // One polling interval never jumps by more than a few units.
            const int step = std::abs(a.simulated(r.channel, t + 5) - a.simulated(r.channel, t));
            ASSERT_LE(step, 60) << channelName(r.channel) << " at " << t;
            if (a.simulated(r.channel, t) != c.simulated(r.channel, t)) seedsDiffer = true;
            if (a.simulated(r.channel, t) != a.simulated(r.channel, 0)) drifts = true;
        }
    }
    EXPECT_TRUE(seedsDiffer);
    EXPECT_TRUE(drifts);
}

TEST(SimSource, ScenarioOverridesFromItsSecondOn) {
    double now = 0;
    SimSource sim(1, [&] { return now; }, parseScenario("# the CPU fan stops at second 12\n"
                                                       "12 cpu_fan = 0\n"
                                                       "30 cpu_fan = 4100\n"
                                                       "5 in3 = 5600\n"
                                                       "x cpu_fan = 1\n"
                                                       "4 no_such = 1\n"));
    EXPECT_GT(sim.read(Channel::CpuFan), 4000);
    EXPECT_EQ(sim.read(Channel::In3), sim.simulated(Channel::In3, 0));
    now = 12;
    EXPECT_EQ(sim.read(Channel::CpuFan), 0);
    EXPECT_EQ(sim.read(Channel::In3), 5600);
    now = 31;
    EXPECT_EQ(sim.read(Channel::CpuFan), 4100);
    EXPECT_EQ(sim.read(Channel::PowerFan), sim.simulated(Channel::PowerFan, 31));
}

struct TextCase {
    const char* text;
    Channel channel;
    int expected;
};

void PrintTo(const TextCase& c, std::ostream* os) {
    for (const char* p = c.text; *p; ++p) {
        if (*p == '\n') *os << "\\n";
        else if (*p == '\r') *os << "\\r";
        else *os << *p;
    }
}


class ReadingFromText : public ::testing::TestWithParam<TextCase> {};

TEST_P(ReadingFromText, Reads) {
    EXPECT_EQ(readingFromText(GetParam().text, GetParam().channel), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadingFromText,
    ::testing::Values(TextCase{"cpu_fan = 4500\n", Channel::CpuFan, 4500},
                      TextCase{"  cpu_fan=4500  \r\n", Channel::CpuFan, 4500},
                      TextCase{"cpu_fan = 4500\ncpu_fan = 10\n", Channel::CpuFan, 10},  // the last line wins
                      TextCase{"in5 = -12050\n", Channel::In5, -12050},
                      TextCase{"in0 = 1999.5\n", Channel::In0, 2000},
                      TextCase{"cpu_fan = 4500\n", Channel::PowerFan, 0},        // missing name
                      TextCase{"cpu_fan = fast\n", Channel::CpuFan, 0},          // garbage
                      TextCase{"cpu_fan = 12abc\n", Channel::CpuFan, 0},         // trailing garbage
                      TextCase{"cpu_fan =\n", Channel::CpuFan, 0},               // empty
                      TextCase{"cpu_fan = nan\n", Channel::CpuFan, 0},
                      TextCase{"cpu_fan = 4294967295\n", Channel::CpuFan, 32767},  // clamped, not wrapped
                      TextCase{"in6 = -70000\n", Channel::In6, -32768},
                      TextCase{"in4 = 1e300\n", Channel::In4, 32767},
                      TextCase{"# cpu_fan = 5\ncpu_fan = 6\n", Channel::CpuFan, 6},
                      TextCase{"mb_temp = 33", Channel::MbTemp, 33}));  // no final newline

class TempDir : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("zorv-test-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    void write(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }
    fs::path dir_;
};

using FileSourceTest = TempDir;

TEST_F(FileSourceTest, ReadsAnewAtEveryCall) {
    const fs::path f = dir_ / "readings";
    write(f, "cpu_fan = 4500\nmb_temp = 33\n");
    FileSource src(f.string());
    EXPECT_EQ(src.read(Channel::CpuFan), 4500);
    write(f, "cpu_fan = 0\nmb_temp = 33\n");
    EXPECT_EQ(src.read(Channel::CpuFan), 0);
    EXPECT_EQ(src.read(Channel::MbTemp), 33);
    fs::remove(f);
    EXPECT_EQ(src.read(Channel::MbTemp), 0);  // a file that vanished reads 0
}

TEST_F(FileSourceTest, MaskFollowsTheFile) {
    const fs::path f = dir_ / "readings";
    write(f, "cpu_fan = 4500\n");
    FileSource src(f.string());
    EXPECT_EQ(src.channelMask(), 0x1u);
    write(f, "cpu_fan = 4500\nin4 = 12000\n");
    EXPECT_EQ(src.channelMask(), 0x201u);
    fs::remove(f);
    EXPECT_EQ(src.channelMask(), 0u);
}

TEST_F(FileSourceTest, UnreadableFileReadsZero) {
    FileSource missing((dir_ / "nothing-here").string());
    EXPECT_EQ(missing.read(Channel::CpuTemp), 0);
    FileSource directory(dir_.string());
    EXPECT_EQ(directory.read(Channel::CpuTemp), 0);
}

using ConfigTest = TempDir;

TEST_F(ConfigTest, LibraryDirectoryComesBeforeTheUserConfig) {
    fs::create_directories(dir_ / "lib");
    fs::create_directories(dir_ / "xdg/zorv");
    write(dir_ / "xdg/zorv/zorv.conf", "source = file:/user\n");
    ::setenv("XDG_CONFIG_HOME", (dir_ / "xdg").string().c_str(), 1);
    ::unsetenv("ZORV_SOURCE");
    EXPECT_EQ(chooseSourceName(loadConfig((dir_ / "lib").string())), "file:/user");
    write(dir_ / "lib/zorv.conf", "# next to the library\nsource = sim\n");
    EXPECT_EQ(chooseSourceName(loadConfig((dir_ / "lib").string())), "sim");
    ::setenv("ZORV_SOURCE", "file:/env", 1);
    EXPECT_EQ(chooseSourceName(loadConfig((dir_ / "lib").string())), "file:/env");
    ::unsetenv("ZORV_SOURCE");
    write(dir_ / "lib/zorv.conf", "cpu_fan = nct6798-isa-0290/fan2\n");
    EXPECT_EQ(chooseSourceName(loadConfig((dir_ / "lib").string())), "hwmon");
}

TEST(MakeSource, UnknownSourceNameReadsZeroEverywhere) {
    auto src = makeSource("bogus", Config{});
    for (int i = 0; i < kChannelCount; ++i) EXPECT_EQ(src->read(static_cast<Channel>(i)), 0);
    EXPECT_EQ(src->channelMask(), 0u);
}

TEST(MakeSource, SimulatedBoardHasEveryChannel) {
    EXPECT_EQ(makeSource("sim", Config{})->channelMask(), 0xFFFu);
}

struct MaskCase {
    const char* text;
    std::uint32_t expected;
};

TEST(ChannelsSetInText, NamesWithAValue) {
    const MaskCase cases[] = {
        {"", 0},
        {"cpu_fan = 4500\nmb_temp = 33\n", 0x1 | 0x10},
        {"in6 = -5000\nin0 = 1.5\n", 0x800 | 0x20},
        {"chassis_fan = 0\n", 0x4},                     // a fan that stands still is there
        {"cpu_temp = hot\n", 0x8},                     // named, reads 0
        {"cpu_fan =\n", 0},                            // no value
        {"cpu_fan = 1\ncpu_fan =\n", 0},              // the last line wins
        {"cpu_fan =\ncpu_fan = 1\n", 0x1},
        {"# in2 = 3300\nIN2 = 3300\nfan = 1\n", 0},  // comments and unknown names
        {"cpu_fan=1\npower_fan=1\nchassis_fan=1\ncpu_temp=1\nmb_temp=1\nin0=1\nin1=1\nin2=1\nin3=1\nin4=1\nin5=1\nin6=1",
         0xFFF},
    };
    for (const auto& c : cases) EXPECT_EQ(channelsSetInText(c.text), c.expected) << testing::PrintToString(c.text);
}

TEST(MakeSource, KnowsExactlyTheFourForms) {
    for (const char* name : {"sim", "sim:/tmp/scenario", "file:/tmp/readings", "hwmon"})
        EXPECT_TRUE(isKnownSourceName(name)) << name;
    for (const char* name : {"bogus", "", "Sim", "hwmon ", "sim:", "file:", "file", "simulated", "hw"})
        EXPECT_FALSE(isKnownSourceName(name)) << '"' << name << '"';
}

TEST(MakeSource, UnknownSourceTextNamesTheSourceWhereItWasSetAndTheKnownOnes) {
    EXPECT_EQ(unknownSourceText("bogus", "ZORV_SOURCE"),
              "Unknown sensor source \"bogus\" (from ZORV_SOURCE). The sources are: sim, sim:FILE, file:FILE, hwmon.");
    EXPECT_EQ(unknownSourceText("hwnom", ""),
              "Unknown sensor source \"hwnom\". The sources are: sim, sim:FILE, file:FILE, hwmon.");
}

TEST_F(ConfigTest, OriginOfTheSourceName) {
    fs::create_directories(dir_ / "lib");
    ::unsetenv("ZORV_SOURCE");
    ::setenv("XDG_CONFIG_HOME", (dir_ / "xdg").string().c_str(), 1);
    EXPECT_EQ(sourceOrigin(loadConfig((dir_ / "lib").string())), "");
    write(dir_ / "lib/zorv.conf", "source = hwnom\n");
    EXPECT_EQ(sourceOrigin(loadConfig((dir_ / "lib").string())), (dir_ / "lib" / "zorv.conf").string());
    ::setenv("ZORV_SOURCE", "bogus", 1);
    EXPECT_EQ(sourceOrigin(loadConfig((dir_ / "lib").string())), "ZORV_SOURCE");
    ::unsetenv("ZORV_SOURCE");
}

}  // namespace
}  // namespace zorv
