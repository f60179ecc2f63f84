// Default thresholds that fit the machine: the library's answer per channel,
// checked by what the gauges can show; the system's defaults where it has none.
#include <gtest/gtest.h>

#include "Fakes.h"
#include "LibraryBinding.h"
#include "MachineDefaults.h"
#include "ProgramFolderTest.h"

namespace velmon {
namespace {

using SC = SensorChannel;
using O = DefaultOrigin;

ChannelDefault fan(std::int32_t rpm, O o = O::Today) { return {o, rpm, 0}; }
ChannelDefault temp(std::int32_t c, O o = O::Today) { return {o, 0, c}; }
ChannelDefault band(std::int32_t lo, std::int32_t hi, O o = O::Chip) { return {o, lo, hi}; }

struct Case {
    const char* name;
    SC channel;
    ChannelDefault answer;
    bool taken;
};

class Answers : public ::testing::TestWithParam<Case> {};

TEST_P(Answers, TakenOnlyWhereTheGaugesCanShowThem) {
    const Case& c = GetParam();
    test::FakeSensor sensor;
    sensor.defaults[static_cast<std::size_t>(c.channel)] = c.answer;
    const MachineDefaults d = machineDefaults(sensor, ChannelPresence{});
    const WarningThresholds system;
    const auto i = static_cast<std::size_t>(c.channel);
    EXPECT_EQ(d.origin[i], c.taken ? c.answer.origin : O::System);
    if (i < 3) {
        EXPECT_EQ(d.thresholds.fan[i], c.taken ? c.answer.lower : system.fan[i]);
    } else if (i < 5) {
        EXPECT_EQ(d.thresholds.temp[i - 3], c.taken ? c.answer.upper : system.temp[i - 3]);
    } else {
        EXPECT_EQ(d.thresholds.volDn[i - 5], c.taken ? static_cast<float>(c.answer.lower / 100) / 10.0F : system.volDn[i - 5]);
        EXPECT_EQ(d.thresholds.volUp[i - 5], c.taken ? static_cast<float>(c.answer.upper / 100) / 10.0F : system.volUp[i - 5]);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Channels, Answers,
    ::testing::Values(Case{"FanOfToday", SC::CpuFan, fan(300), true},
                      Case{"FanMinimumOfTheChip", SC::ChassisFan, fan(450, O::Chip), true},
                      Case{"FanAtTheSpinBounds", SC::PowerFan, fan(9999), true},
                      Case{"FanOfZeroWouldNeverWarn", SC::CpuFan, fan(0), false},
                      Case{"FanBeyondTheDial", SC::CpuFan, fan(10000), false},
                      Case{"CpuOfToday", SC::CpuTemp, temp(95), true},
                      Case{"BoardLimit", SC::MbTemp, temp(75, O::Chip), true},
                      Case{"PlaceholderLimit", SC::CpuTemp, temp(65261), false},
                      Case{"BelowFreezing", SC::MbTemp, temp(-273), false},
                      Case{"RailBand", SC::In2, band(3000, 3600), true},
                      Case{"NegativeRailBand", SC::In5, band(-13200, -10800), true},
                      Case{"ReversedBand", SC::In3, band(5500, 4500), false},
                      Case{"EmptyBand", SC::In4, band(0, 0), false},
                      Case{"BiosNonsense", SC::In2, band(0, 255000), false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MachineDefaults, BandsAreRoundedOutwardToTheMarkersSteps) {
    test::FakeSensor sensor;
    sensor.defaults[static_cast<std::size_t>(SC::In2)] = band(3040, 3560);
    const MachineDefaults d = machineDefaults(sensor, ChannelPresence{});
    EXPECT_EQ(d.thresholds.volDn[2], 3.0F);
    EXPECT_EQ(d.thresholds.volUp[2], 3.6F);
}

TEST(MachineDefaults, AbsentChannelsAreNotAsked) {
    test::FakeSensor sensor;
    sensor.defaults.fill(fan(300));
    const auto presence = ChannelPresence::fromMask(1 << static_cast<int>(SC::CpuFan));
    const MachineDefaults d = machineDefaults(sensor, presence);
    for (int c = 1; c < kChannelCount; ++c) EXPECT_EQ(sensor.defaultAsks[static_cast<std::size_t>(c)], 0) << c;
    EXPECT_EQ(d.thresholds.fan[0], 300);
    EXPECT_EQ(d.thresholds.fan[1], 2700);
}

TEST(MachineDefaults, WithoutAnswersEverythingIsTheSystems) {
    test::FakeSensor sensor;
    const MachineDefaults d = machineDefaults(sensor, ChannelPresence{});
    const WarningThresholds system;
    EXPECT_EQ(d.thresholds.fan, system.fan);
    EXPECT_EQ(d.thresholds.temp, system.temp);
    EXPECT_EQ(d.thresholds.volUp, system.volUp);
    EXPECT_EQ(d.thresholds.volDn, system.volDn);
    EXPECT_EQ(d.gaugeBase, kGaugeBase);
}

TEST(GaugeBase, RaisedUntilThePointerCanGoAboveTheDefault) {
    struct Row {
        int gauge, threshold, base;
    };
    for (const Row& r : {Row{0, 80, 40}, Row{0, 88, 40}, Row{0, 89, 50}, Row{0, 95, 50}, Row{0, 97, 50},
                         Row{0, 99, 60}, Row{0, 105, 60}, Row{1, 50, 10}, Row{1, 58, 10}, Row{1, 75, 30},
                         Row{1, 2, 10}}) {
        const int base = gaugeBaseFor(r.gauge, r.threshold);
        EXPECT_EQ(base, r.base) << r.gauge << " " << r.threshold;
        EXPECT_LE(r.threshold, base + 48) << r.threshold;
    }
}

// A desktop of today: fans idling at 600-900 RPM, a processor at 50 °C.
class TodaysMachine : public test::ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        r.sensor[SC::CpuFan] = 700;
        r.sensor[SC::PowerFan] = 900;
        r.sensor[SC::ChassisFan] = 600;
        r.sensor[SC::CpuTemp] = 50;
        r.sensor[SC::MbTemp] = 38;
        r.sensor.defaults.fill(std::nullopt);
        for (SC f : {SC::CpuFan, SC::PowerFan, SC::ChassisFan}) r.sensor.defaults[static_cast<std::size_t>(f)] = fan(300);
        r.sensor.defaults[static_cast<std::size_t>(SC::CpuTemp)] = temp(95, O::Chip);
        r.sensor.defaults[static_cast<std::size_t>(SC::MbTemp)] = temp(75);
    }
};

TEST_F(TodaysMachine, FirstStartIsQuietAndWarnsOnRealFaults) {
    ASSERT_TRUE(r.taskbar.startup());
    EXPECT_FALSE(r.monitor.alarms().any());
    EXPECT_EQ(r.monitor.thresholds().fan, (std::array<std::int16_t, 3>{300, 300, 300}));
    EXPECT_EQ(r.monitor.thresholds().temp, (std::array<std::int16_t, 2>{95, 75}));
    // The gauges are drawn on scales that reach the defaults.
    EXPECT_EQ(r.view.countDraws("gauge 0 50 95 50"), 1);
    EXPECT_EQ(r.view.countDraws("gauge 1 38 75 30"), 1);

    r.monitor.intervals() = {1, 1, 1};
    r.sensor[SC::CpuTemp] = 85;  // a healthy full load
    r.tick();
    EXPECT_FALSE(r.monitor.alarms().any());
    r.sensor[SC::CpuTemp] = 99;
    r.tick();
    EXPECT_TRUE(r.alarm(SC::CpuTemp));
    r.sensor[SC::CpuTemp] = 50;
    r.sensor[SC::ChassisFan] = 0;  // a stopped fan
    r.tick();
    EXPECT_FALSE(r.alarm(SC::CpuTemp));
    EXPECT_TRUE(r.alarm(SC::ChassisFan));
}

TEST_F(TodaysMachine, SavedThresholdsWin) {
    r.settings.values = {{"CPUFan", "500"}, {"CPUTemp", "70"}};
    ASSERT_TRUE(r.taskbar.startup());
    EXPECT_EQ(r.monitor.thresholds().fan[0], 500);
    EXPECT_EQ(r.monitor.thresholds().fan[1], 300);
    EXPECT_EQ(r.monitor.thresholds().temp[0], 70);
    // The scale stays where the machine's default put it.
    EXPECT_EQ(r.view.countDraws("gauge 0 50 70 50"), 1);
}

TEST_F(TodaysMachine, TheTemperatureDragCoversTheRaisedScale) {
    ASSERT_TRUE(r.taskbar.startup());
    r.monitor.temperaturePointerPressed(0, 8);
    r.monitor.temperatureGaugeMoved(0, 6);  // delta -2: the top of the scale
    EXPECT_EQ(r.monitor.thresholds().temp[0], 100);
    r.monitor.temperatureGaugeMoved(0, 8 + 6);
    EXPECT_EQ(r.monitor.thresholds().temp[0], 96);
    r.monitor.temperatureGaugeMoved(0, 8 + 115);  // the bottom
    EXPECT_EQ(r.monitor.thresholds().temp[0], 51);
    EXPECT_FALSE(r.alarm(SC::CpuTemp));  // 50 °C stays below it
    r.monitor.temperatureGaugeReleased(0);
}

TEST(ChannelDefaultBinding, LibraryOriginsAreTakenAndUnknownOnesIgnored) {
    test::FakePrompter prompter;
    ZorvSensorPort port(prompter, [](int) {}, STANDIN_MASKED_DIR);
    const auto cpuFan = port.channelDefault(SC::CpuFan);
    ASSERT_TRUE(cpuFan);
    EXPECT_EQ(cpuFan->origin, O::Chip);
    EXPECT_EQ(cpuFan->lower, 400);
    const auto cpuTemp = port.channelDefault(SC::CpuTemp);
    ASSERT_TRUE(cpuTemp);
    EXPECT_EQ(cpuTemp->origin, O::Today);
    EXPECT_EQ(cpuTemp->upper, 95);
    EXPECT_FALSE(port.channelDefault(SC::In3));  // an origin this program does not know
    EXPECT_FALSE(port.channelDefault(SC::MbTemp));
    EXPECT_TRUE(prompter.infos.empty());
}

TEST(ChannelDefaultBinding, LibraryWithoutTheExportKeepsTheSystemsDefaults) {
    test::FakePrompter prompter;
    ZorvSensorPort port(prompter, [](int) {}, STANDIN_DIR);
    for (int c = 0; c < kChannelCount; ++c) EXPECT_FALSE(port.channelDefault(static_cast<SC>(c))) << c;
    EXPECT_TRUE(prompter.infos.empty());
}

}  // namespace
}  // namespace velmon
