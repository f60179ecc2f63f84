// The channels watched change while Velmon runs (a choice of sensors, a
// zorv.conf edited by hand): what comes is read and judged at once with the
// user's or the machine's threshold, what goes keeps its threshold stored.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "ConfigWatch.h"
#include "Fakes.h"
#include "ProgramFolderTest.h"

namespace velmon {
namespace {

using SC = SensorChannel;
namespace fs = std::filesystem;

constexpr std::int32_t bit(SC c) { return std::int32_t{1} << static_cast<int>(c); }

// Today's desktop as the built-in map sees it: no power fan, no VCORE.
constexpr std::int32_t kDesktop =
    bit(SC::CpuFan) | bit(SC::ChassisFan) | bit(SC::CpuTemp) | bit(SC::MbTemp) | bit(SC::In2);

class PresenceChangeTest : public test::ProgramFolderTest {
protected:
    void start() {
        r.sensor.mask = kDesktop;
        r.sensor[SC::CpuFan] = 880;
        r.sensor[SC::ChassisFan] = 640;
        r.sensor[SC::CpuTemp] = 47;
        r.sensor[SC::MbTemp] = 30;
        r.sensor[SC::In2] = 3312;
        r.sensor.defaults[static_cast<std::size_t>(SC::PowerFan)] = ChannelDefault{DefaultOrigin::Today, 300, 0};
        r.sensor.defaults[static_cast<std::size_t>(SC::CpuFan)] = ChannelDefault{DefaultOrigin::Chip, 450, 0};
        r.sensor.defaults[static_cast<std::size_t>(SC::MbTemp)] = ChannelDefault{DefaultOrigin::Chip, 0, 60};
        ASSERT_TRUE(r.taskbar.startup());
        r.monitor.intervals() = {1, 1, 1};
    }
};

TEST_F(PresenceChangeTest, AChannelThatComesIsShownWithTheMachinesDefaultAndJudged) {
    ASSERT_NO_FATAL_FAILURE(start());
    EXPECT_FALSE(r.monitor.watch().fan(1));
    r.sensor[SC::PowerFan] = 760;
    r.sensor.mask = kDesktop | bit(SC::PowerFan);
    r.monitor.sensorsChanged();

    EXPECT_TRUE(r.monitor.watch().fan(1));
    EXPECT_EQ(r.monitor.thresholds().fan[1], 300) << "the machine's default, not the 1997 board's 2700";
    EXPECT_EQ((r.view.texts[{Ctl::FanSummaryValue, 1}]), "760");
    EXPECT_EQ((r.view.texts[{Ctl::FanWarnLabel, 1}]), "300");
    ASSERT_TRUE(r.view.channelsShown);
    EXPECT_EQ(r.view.channelsShown->first, (std::array<int, 3>{1, 1, 1}));
    EXPECT_TRUE(r.view.channelsShown->second[1]);
    EXPECT_FALSE(r.alarm(SC::PowerFan));

    // Judged from then on as any watched fan.
    r.sensor[SC::PowerFan] = 0;
    r.tick();
    EXPECT_TRUE(r.alarm(SC::PowerFan));
}

TEST_F(PresenceChangeTest, AStoredThresholdWinsOverTheMachinesDefault) {
    r.settings.values["PowerFan"] = "500";
    ASSERT_NO_FATAL_FAILURE(start());
    r.sensor[SC::PowerFan] = 400;
    r.sensor.mask = kDesktop | bit(SC::PowerFan);
    r.monitor.sensorsChanged();
    EXPECT_EQ(r.monitor.thresholds().fan[1], 500);
    EXPECT_TRUE(r.alarm(SC::PowerFan)) << "a reading at or below the user's threshold warns at once";
}

TEST_F(PresenceChangeTest, AChannelThatGoesKeepsItsThresholdStoredAndStopsWarning) {
    ASSERT_NO_FATAL_FAILURE(start());
    r.monitor.thresholds().temp[1] = 28;  // set by a drag this session
    r.tick();
    ASSERT_TRUE(r.alarm(SC::MbTemp));
    r.sensor.mask = kDesktop & ~bit(SC::MbTemp);
    r.monitor.sensorsChanged();

    EXPECT_FALSE(r.alarm(SC::MbTemp));
    EXPECT_EQ(r.settings.values["MBTemp"], "28");
    EXPECT_EQ((r.view.texts[{Ctl::TempSummaryValue, 1}]), "");
    ASSERT_TRUE(r.view.channelsShown);
    EXPECT_FALSE(r.view.channelsShown->second[4]);
    r.sensor.resetReads();
    r.tick(3);
    EXPECT_EQ(r.sensor.readsOf(SC::MbTemp), 0);

    // Back again, it has what the user left.
    r.sensor.mask = kDesktop;
    r.monitor.sensorsChanged();
    EXPECT_EQ(r.monitor.thresholds().temp[1], 28);
}

TEST_F(PresenceChangeTest, AFanTheBoardDoesNotFitStaysUnwatchedWhenItsSensorComes) {
    std::ofstream(root / "program/MBFAN.INI") << "[Stand-in Board]\nCPU=1\nPOWER=0\nCHASSIS=1\n";
    r.sensor.product = "Stand-in Board";
    ASSERT_NO_FATAL_FAILURE(start());
    r.sensor.mask = kDesktop | bit(SC::PowerFan);
    r.monitor.sensorsChanged();
    EXPECT_TRUE(r.monitor.presence().fan(1));
    EXPECT_FALSE(r.monitor.watch().fan(1));
    ASSERT_TRUE(r.view.channelsShown);
    EXPECT_EQ(r.view.channelsShown->first[1], 0);
}

TEST(ConfigWatch, SeesAnEditARenameAFileMadeAndOneRemovedOnceEach) {
    const fs::path dir = fs::temp_directory_path() / ("velmon-confwatch-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path conf = dir / "zorv.conf";
    ConfigWatch w;
    w.watch(conf.string());
    EXPECT_FALSE(w.changed());
    std::ofstream(conf) << "source = hwmon\n";
    EXPECT_TRUE(w.changed()) << "made";
    EXPECT_FALSE(w.changed()) << "once per change";
    std::ofstream(dir / "new") << "mb_temp = none\n";
    fs::rename(dir / "new", conf);
    EXPECT_TRUE(w.changed()) << "replaced by rename";
    std::ofstream(conf, std::ios::app) << "in5 = none\n";
    EXPECT_TRUE(w.changed()) << "edited in place";
    fs::remove(conf);
    EXPECT_TRUE(w.changed()) << "removed";
    EXPECT_FALSE(w.changed());
    fs::remove_all(dir);
}

}  // namespace
}  // namespace velmon
