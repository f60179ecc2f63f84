// Machines that lack some of the twelve channels: what the library says it
// can measure decides what is read, judged, saved and when startup gives up.
#include <gtest/gtest.h>

#include <platform/Registry.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "Fakes.h"
#include "ProgramFolderTest.h"
#include "LibraryBinding.h"

#ifndef STANDIN_MASKED_DIR
#error "STANDIN_MASKED_DIR must name the folder of the stand-in library with a channel mask"
#endif

namespace velmon {
namespace {

using test::Rig;
using SC = SensorChannel;
namespace fs = std::filesystem;

constexpr std::int32_t bit(SC c) { return std::int32_t{1} << static_cast<int>(c); }

// A laptop: CPU fan, CPU temperature and +5 V only.
constexpr std::int32_t kLaptop = bit(SC::CpuFan) | bit(SC::CpuTemp) | bit(SC::In3);

class PresenceTest : public test::ProgramFolderTest {
protected:
    // Readings that would warn on every channel if they were judged.
    void everythingOutOfRange() {
        for (int c = 0; c < kChannelCount; ++c) r.sensor.values[static_cast<std::size_t>(c)] = 0;
        r.sensor[SC::CpuTemp] = 99;
        r.sensor[SC::MbTemp] = 99;
    }
};

TEST_F(PresenceTest, MaskIsTakenOnceBeforeTheFirstReading) {
    r.sensor.mask = kLaptop;
    ASSERT_TRUE(r.taskbar.startup());
    r.monitor.intervals() = {1, 1, 1};
    r.tick(3);
    EXPECT_EQ(r.sensor.maskCalls, 1);
    EXPECT_EQ(r.sensor.maskCallsAtFirstRead, 1);
    for (int c = 0; c < kChannelCount; ++c) {
        EXPECT_EQ(r.monitor.presence().present(static_cast<SC>(c)), ((kLaptop >> c) & 1) != 0) << c;
    }
}

TEST_F(PresenceTest, AbsentChannelsAreNeverReadNorJudged) {
    r.sensor.mask = kLaptop;
    ASSERT_TRUE(r.taskbar.startup());
    everythingOutOfRange();
    r.sensor[SC::CpuFan] = 3000;
    r.sensor[SC::CpuTemp] = 50;
    r.sensor[SC::In3] = 5000;
    r.monitor.intervals() = {1, 1, 1};
    r.tick(4);
    r.monitor.thresholdsResetPending() = true;
    r.monitor.formActivated();
    r.tick(2);
    for (int c = 0; c < kChannelCount; ++c) {
        const auto ch = static_cast<SC>(c);
        if (r.monitor.presence().present(ch)) {
            EXPECT_GT(r.sensor.readsOf(ch), 0) << c;
        } else {
            EXPECT_EQ(r.sensor.readsOf(ch), 0) << c;
        }
        EXPECT_FALSE(r.alarm(ch)) << c;
    }
    // Nothing of an absent channel is drawn or written to the Summary page.
    for (const std::string& d : r.view.draws) {
        EXPECT_NE(d.rfind("gauge 1", 0), 0U) << d;
        EXPECT_NE(d.rfind("bar 4", 0), 0U) << d;
    }
    EXPECT_EQ(r.view.texts.count({Ctl::TempSummaryValue, 1}), 0U);
    EXPECT_EQ(r.view.texts.count({Ctl::VoltSummaryValue, 4}), 0U);
    EXPECT_EQ(r.view.texts.at({Ctl::VoltSummaryValue, 3}), "5.0");
    r.monitor.tmrWarnTick();
    EXPECT_EQ(trayTip(r.monitor.trayRecord()), kTipNormal);
    EXPECT_EQ(r.beeper.simple, 0);
}

TEST_F(PresenceTest, PresentChannelsStillWarn) {
    r.sensor.mask = kLaptop;
    ASSERT_TRUE(r.taskbar.startup());
    r.monitor.intervals() = {1, 1, 1};
    r.sensor[SC::CpuFan] = 0;  // the one fan stops
    r.tick();
    EXPECT_TRUE(r.alarm(SC::CpuFan));
    EXPECT_TRUE(r.view.windowVisible);
    r.sensor[SC::CpuFan] = 3000;
    r.sensor[SC::CpuTemp] = 95;
    r.tick();
    EXPECT_FALSE(r.alarm(SC::CpuFan));
    EXPECT_TRUE(r.alarm(SC::CpuTemp));
}

TEST_F(PresenceTest, AbsentFansAreNotConfigured) {
    {
        std::ofstream out(root / "program" / "MBFAN.INI");
        out << "[Board]\nCPU=1\nPOWER=1\nCHASSIS=0\n";
    }
    r.sensor.product = "Board";
    r.sensor.mask = kAllChannels & ~bit(SC::PowerFan);
    ASSERT_TRUE(r.taskbar.startup());
    const FanConfiguration& fans = r.monitor.fanConfiguration();
    EXPECT_EQ(fans.fitted, (std::array<std::int16_t, 3>{1, 0, 0}));
    EXPECT_EQ(fans.fanCount(), 1);
    EXPECT_EQ(r.sensor.readsOf(SC::PowerFan), 0);
    EXPECT_FALSE(r.settings.wasRead("PowerInst"));
    EXPECT_FALSE(r.settings.wasRead("PowerFan"));
}

TEST_F(PresenceTest, NoFanAtAllStartsQuietly) {
    r.sensor.mask = kAllChannels & ~(bit(SC::CpuFan) | bit(SC::PowerFan) | bit(SC::ChassisFan));
    ASSERT_TRUE(r.taskbar.startup());
    EXPECT_EQ(r.monitor.fanConfiguration().fanCount(), 0);
    r.monitor.intervals() = {1, 1, 1};
    r.tick(2);
    r.monitor.thresholdsResetPending() = true;
    r.monitor.formActivated();
    for (int f = 0; f < 3; ++f) EXPECT_FALSE(r.alarm(static_cast<SC>(f))) << f;
    EXPECT_FALSE(r.monitor.alarms().any());
}

struct NoChipCase {
    const char* name;
    std::int32_t mask;
    std::int16_t cpu, mb;
    bool ends;
};

class NoChip : public PresenceTest, public ::testing::WithParamInterface<NoChipCase> {};

TEST_P(NoChip, EndsOnlyWithoutAPresentTemperatureThatReads) {
    const NoChipCase& c = GetParam();
    r.sensor.mask = c.mask;
    r.sensor[SC::CpuTemp] = c.cpu;
    r.sensor[SC::MbTemp] = c.mb;
    EXPECT_EQ(r.taskbar.startup(), !c.ends);
    if (c.ends) {
        ASSERT_EQ(r.prompter.infos.size(), 1U);
        EXPECT_EQ(r.prompter.infos[0].second, kNoChipMessage);
        EXPECT_EQ(r.env.quits, std::vector<int>{1});
        EXPECT_FALSE(r.monitor.loaded());
    } else {
        EXPECT_TRUE(r.prompter.infos.empty());
        EXPECT_TRUE(r.monitor.loaded());
    }
    // An absent temperature is not even read to decide.
    if (!(c.mask & bit(SC::CpuTemp))) {
        EXPECT_EQ(r.sensor.readsOf(SC::CpuTemp), 0);
    }
    if (!(c.mask & bit(SC::MbTemp))) {
        EXPECT_EQ(r.sensor.readsOf(SC::MbTemp), 0);
    }
}

constexpr std::int32_t kNoTemps = kAllChannels & ~(bit(SC::CpuTemp) | bit(SC::MbTemp));

INSTANTIATE_TEST_SUITE_P(
    Cases, NoChip,
    ::testing::Values(NoChipCase{"AllPresentBothZero", kAllChannels, 0, 0, true},
                      NoChipCase{"AllPresentCpuZero", kAllChannels, 0, 35, false},
                      NoChipCase{"NoTemperature", kNoTemps, 45, 35, true},
                      NoChipCase{"NothingAtAll", 0, 45, 35, true},
                      NoChipCase{"OnlyCpuReading", bit(SC::CpuTemp), 48, 0, false},
                      NoChipCase{"OnlyCpuReadingZero", bit(SC::CpuTemp), 0, 35, true},
                      NoChipCase{"OnlyMainboardReading", kAllChannels & ~bit(SC::CpuTemp), 0, 30, false}),
    [](const ::testing::TestParamInfo<NoChipCase>& p) { return std::string(p.param.name); });

TEST_F(PresenceTest, ThresholdsOfAbsentChannelsStayInTheFile) {
    r.settings.values["MBTemp"] = "61";
    r.settings.values["VolUp4"] = "13.50";
    r.settings.values["VolDn4"] = "garbage";
    r.settings.values["PowerFan"] = "1234";
    r.sensor.mask = kLaptop;
    ASSERT_TRUE(r.taskbar.startup());
    // A reset to the defaults changes them in memory only.
    r.monitor.thresholds().temp[1] = 50;
    r.monitor.thresholds().volUp[4] = 13.0F;
    r.monitor.thresholds().volDn[4] = 11.0F;
    r.monitor.thresholds().temp[0] = 77;
    r.monitor.unload();
    EXPECT_EQ(r.settings.values["MBTemp"], "61");
    EXPECT_EQ(r.settings.values["VolUp4"], "13.50");
    EXPECT_EQ(r.settings.values["VolDn4"], "garbage");
    EXPECT_EQ(r.settings.values["PowerFan"], "1234");
    EXPECT_FALSE(r.settings.wasWritten("VolUp0"));
    EXPECT_FALSE(r.settings.wasWritten("ChassisInst"));
    // What the machine has is saved as always.
    EXPECT_EQ(r.settings.values["CPUTemp"], "77");
    EXPECT_TRUE(r.settings.wasWritten("VolUp3"));
    EXPECT_TRUE(r.settings.wasWritten("CPUFan"));
}

TEST_F(PresenceTest, AbsentControlsIgnorePointerEvents) {
    r.sensor.mask = kLaptop;
    ASSERT_TRUE(r.taskbar.startup());
    const WarningThresholds before = r.monitor.thresholds();
    r.monitor.voltageBarMoved(4, 50);
    r.monitor.voltageMarkerPressed(4, true, 2);
    r.monitor.voltageBarMoved(4, 60);
    r.monitor.temperaturePointerPressed(1, 8);
    r.monitor.temperatureGaugeMoved(1, 40);
    EXPECT_EQ(r.monitor.thresholds().volUp, before.volUp);
    EXPECT_EQ(r.monitor.thresholds().temp, before.temp);
    EXPECT_FALSE(r.alarm(SC::In4));
    EXPECT_FALSE(r.alarm(SC::MbTemp));
}

// ---- The library's export -----------------------------------------------------

struct Fatal {
    std::vector<int> statuses;
    FatalHandler handler() {
        return [this](int s) { statuses.push_back(s); };
    }
};

TEST(ChannelMaskBinding, LibraryWithTheExportSaysWhatItHas) {
    test::FakePrompter prompter;
    Fatal fatal;
    ZorvSensorPort port(prompter, fatal.handler(), STANDIN_MASKED_DIR);
    // Bits beyond the twelve channels mean nothing.
    EXPECT_EQ(port.channelMask(), kLaptop);
    EXPECT_EQ(port.read(SC::In3), 5020);
    EXPECT_TRUE(prompter.infos.empty());
}

TEST(ChannelMaskBinding, LibraryWithoutTheExportHasEveryChannel) {
    test::FakePrompter prompter;
    Fatal fatal;
    ZorvSensorPort port(prompter, fatal.handler(), STANDIN_DIR);
    EXPECT_EQ(port.channelMask(), kAllChannels);
    EXPECT_TRUE(prompter.infos.empty());
    EXPECT_TRUE(fatal.statuses.empty());
}

TEST(ChannelMaskBinding, MissingLibraryIsReportedByTheFirstReading) {
    const auto dir = fs::temp_directory_path() / ("velmon-nomask-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    test::FakePrompter prompter;
    Fatal fatal;
    ZorvSensorPort port(prompter, fatal.handler(), dir.string());
    EXPECT_EQ(port.channelMask(), kAllChannels);
    EXPECT_TRUE(prompter.infos.empty());
    EXPECT_EQ(port.read(SC::CpuTemp), 0);
    ASSERT_EQ(prompter.infos.size(), 1U);
    EXPECT_NE(prompter.infos[0].second.find("GetCPUTemperature"), std::string::npos);
    EXPECT_EQ(fatal.statuses, std::vector<int>{kMissingLibraryStatus});
    fs::remove_all(dir);
}

}  // namespace
}  // namespace velmon
