#include <gtest/gtest.h>

#include "Fakes.h"
#include "Texts.h"

namespace velmon {
namespace {

using test::Rig;
using SC = SensorChannel;

// ---- Polling intervals -----------------------------------------------------

TEST(Polling, DefaultIntervalsReadEveryFifthTick) {
    Rig r;
    r.monitor.load();
    r.sensor.resetReads();
    std::vector<int> fanTicks, tempTicks, voltTicks;
    for (int t = 1; t <= 15; ++t) {
        const int f = r.sensor.readsOf(SC::CpuFan), c = r.sensor.readsOf(SC::CpuTemp), v = r.sensor.readsOf(SC::In6);
        r.tick();
        if (r.sensor.readsOf(SC::CpuFan) != f) fanTicks.push_back(t);
        if (r.sensor.readsOf(SC::CpuTemp) != c) tempTicks.push_back(t);
        if (r.sensor.readsOf(SC::In6) != v) voltTicks.push_back(t);
    }
    const std::vector<int> expected{5, 10, 15};
    EXPECT_EQ(fanTicks, expected);
    EXPECT_EQ(tempTicks, expected);
    EXPECT_EQ(voltTicks, expected);
}

TEST(Polling, IntervalOneReadsEveryTick) {
    Rig r;
    r.monitor.load();
    r.monitor.intervals().fan = 1;
    r.sensor.resetReads();
    r.tick(4);
    EXPECT_EQ(r.sensor.readsOf(SC::CpuFan), 4);
    EXPECT_EQ(r.sensor.readsOf(SC::CpuTemp), 0);
}

TEST(Polling, LoweredIntervalIsReadAtTheNextTick) {
    Rig r;
    r.monitor.load();
    r.sensor.resetReads();
    r.tick(3);
    EXPECT_EQ(r.sensor.readsOf(SC::In0), 0);
    r.monitor.intervals().volt = 2;  // the counter already stands at 3
    r.tick();
    EXPECT_EQ(r.sensor.readsOf(SC::In0), 1);
    EXPECT_EQ(r.monitor.counters().volt, 0);
    r.tick();
    EXPECT_EQ(r.sensor.readsOf(SC::In0), 1);
    r.tick();
    EXPECT_EQ(r.sensor.readsOf(SC::In0), 2);
}

TEST(Polling, PausedTimeIsNotCounted) {
    Rig r;
    r.monitor.load();
    r.sensor.resetReads();
    // Seconds pass; the timer delivers ticks only while enabled.
    auto second = [&r] {
        if (r.tmrMonitor.enabled) r.monitor.tmrMonitorTick();
    };
    second();
    second();
    r.monitor.temperaturePointerPressed(0, 4);
    EXPECT_FALSE(r.tmrMonitor.enabled);
    for (int i = 0; i < 20; ++i) second();
    r.monitor.temperatureGaugeReleased(0);
    EXPECT_TRUE(r.tmrMonitor.enabled);
    EXPECT_EQ(r.sensor.readsOf(SC::CpuFan), 0);
    second();
    second();
    EXPECT_EQ(r.sensor.readsOf(SC::CpuFan), 0);
    second();  // the fifth counted tick
    EXPECT_EQ(r.sensor.readsOf(SC::CpuFan), 1);
}

// ---- Warning rules at their bounds -----------------------------------------

struct BoundCase {
    SC channel;
    std::int16_t raw;
    bool warns;
};

class WarningBounds : public ::testing::TestWithParam<BoundCase> {};

TEST_P(WarningBounds, ByPollingAndAtLoad) {
    const BoundCase c = GetParam();
    {
        Rig r;
        r.sensor[c.channel] = c.raw;
        r.monitor.load();
        EXPECT_EQ(r.alarm(c.channel), c.warns) << "load";
    }
    Rig r;
    r.monitor.load();
    r.monitor.intervals() = {1, 1, 1};
    r.sensor[c.channel] = c.raw;
    r.tick();
    EXPECT_EQ(r.alarm(c.channel), c.warns) << "poll";
    EXPECT_EQ(r.view.windowVisible, c.warns);
}

INSTANTIATE_TEST_SUITE_P(Rules, WarningBounds,
                         ::testing::Values(BoundCase{SC::CpuFan, 2800, true}, BoundCase{SC::CpuFan, 2801, false},
                                           BoundCase{SC::ChassisFan, 1800, true},
                                           BoundCase{SC::ChassisFan, 1801, false},
                                           BoundCase{SC::CpuTemp, 80, true}, BoundCase{SC::CpuTemp, 79, false},
                                           BoundCase{SC::MbTemp, 50, true}, BoundCase{SC::MbTemp, 49, false},
                                           BoundCase{SC::In3, 5500, true}, BoundCase{SC::In3, 5400, false},
                                           BoundCase{SC::In3, 4500, true}, BoundCase{SC::In3, 4600, false},
                                           BoundCase{SC::In5, -10300, true}, BoundCase{SC::In5, -10400, false},
                                           BoundCase{SC::In1, 3700, true}, BoundCase{SC::In1, 3600, false}));

TEST(Polling, AlarmsAreEvaluatedAtEveryReadButRedrawnOnlyOnChange) {
    Rig r;
    r.monitor.load();
    r.monitor.intervals() = {1, 1, 1};
    r.sensor[SC::In3] = 5500;
    r.sensor[SC::CpuFan] = 2800;
    r.view.draws.clear();
    for (int i = 0; i < 3; ++i) {
        r.monitor.alarms().volt(3) = false;
        r.monitor.alarms().fan(0) = false;
        r.tick();
        EXPECT_TRUE(r.alarm(SC::In3)) << i;
        EXPECT_TRUE(r.alarm(SC::CpuFan)) << i;
    }
    EXPECT_EQ(r.view.countDraws("bar 3 "), 1);
    EXPECT_EQ(r.view.countDraws("bar "), 1);
    EXPECT_EQ(r.view.countDraws("needle 0 2800"), 1);
    EXPECT_EQ(r.view.countDraws("needle"), 1);
    EXPECT_EQ(r.view.countDraws("gauge"), 0);
    EXPECT_EQ(r.view.text(Ctl::VoltSummaryValue, 3), "5.5");
    EXPECT_EQ(r.view.text(Ctl::FanSpeedLabel, 0), "2800");
}

TEST(Polling, CpuTemperatureGoingToZeroShowsNotAvailable) {
    Rig r;
    r.monitor.load();
    EXPECT_EQ(r.view.text(Ctl::TempSummaryValue, 0), "45C/113F");
    r.monitor.intervals().temp = 1;
    r.sensor[SC::CpuTemp] = 0;
    r.sensor[SC::MbTemp] = 0;
    r.tick();
    EXPECT_EQ(r.view.text(Ctl::TempSummaryValue, 0), "N/A");
    EXPECT_EQ(r.view.text(Ctl::TempSummaryValue, 1), "0C/32F");
    EXPECT_FALSE(r.view.vis(Ctl::TempGauge, 0));
    EXPECT_FALSE(r.alarm(SC::CpuTemp));
    r.sensor[SC::CpuTemp] = 50;
    r.tick();
    EXPECT_TRUE(r.view.vis(Ctl::TempGauge, 0));
    EXPECT_EQ(r.view.text(Ctl::TempSummaryValue, 0), "50C/122F");
}

TEST(Polling, NegativeRailShownRounded) {
    Rig r;
    r.sensor[SC::In5] = -12149;
    r.monitor.load();
    EXPECT_EQ(r.view.text(Ctl::VoltSummaryValue, 5), "-12.1");
    r.monitor.intervals().volt = 1;
    r.sensor[SC::In5] = -12151;
    r.tick();
    EXPECT_EQ(r.view.text(Ctl::VoltSummaryValue, 5), "-12.2");
}

// ---- Fans: installed and not installed ---------------------------------------

TEST(Fans, InstalledFanThatStopsOffersTheBoxAndWarns) {
    Rig r;
    r.monitor.load();
    r.monitor.intervals().fan = 1;
    r.sensor[SC::CpuFan] = 0;
    r.tick();
    EXPECT_TRUE(r.view.vis(Ctl::FanCheck, 0));
    EXPECT_TRUE(r.view.vis(Ctl::FanInstLabel, 0));
    EXPECT_TRUE(r.alarm(SC::CpuFan));
    EXPECT_TRUE(r.tmrWarn.enabled);
    EXPECT_TRUE(r.view.windowVisible);
    EXPECT_TRUE(r.view.vis(Ctl::PagePanel, 0));
    // The box was unchecked already: setting it unchecked again runs nothing.
    EXPECT_EQ(r.view.countDraws("check"), 0);
    // The user says the fan does not exist.
    r.monitor.fanCheckClicked(0, true);
    EXPECT_FALSE(r.alarm(SC::CpuFan));
    EXPECT_FALSE(r.monitor.thresholds().installed[0]);
    EXPECT_FALSE(r.view.vis(Ctl::FanDial, 0));
    EXPECT_FALSE(r.view.vis(Ctl::FanCheck, 0));
    EXPECT_FALSE(r.view.vis(Ctl::FanInstLabel, 0));
    // Not installed: still 0, no warning, the box stays checked without a new click.
    r.tick(3);
    EXPECT_FALSE(r.alarm(SC::CpuFan));
    EXPECT_EQ(r.view.countDraws("check"), 0);
}

TEST(Fans, NotInstalledFanThatStartsBecomesInstalled) {
    Rig r;
    r.settings.values["CPUInst"] = "False";
    r.sensor[SC::CpuFan] = 0;
    r.monitor.load();
    EXPECT_FALSE(r.view.vis(Ctl::FanDial, 0));
    EXPECT_FALSE(r.alarm(SC::CpuFan));
    r.monitor.intervals().fan = 1;
    r.tick();
    // The poll checks the box, which runs the click handling once.
    EXPECT_EQ(r.view.countDraws("check 0 1"), 1);
    EXPECT_TRUE(r.view.checked[0]);
    EXPECT_FALSE(r.alarm(SC::CpuFan));
    r.tick();
    EXPECT_EQ(r.view.countDraws("check"), 1);
    r.sensor[SC::CpuFan] = 3000;
    r.tick();
    EXPECT_TRUE(r.monitor.thresholds().installed[0]);
    EXPECT_TRUE(r.view.vis(Ctl::FanDial, 0));
    EXPECT_FALSE(r.view.vis(Ctl::FanCheck, 0));
    r.sensor[SC::CpuFan] = 0;
    r.tick();
    // The box is still checked: unchecking it is a change and warns.
    EXPECT_EQ(r.view.countDraws("check 0 0"), 1);
    EXPECT_TRUE(r.alarm(SC::CpuFan));
    EXPECT_TRUE(r.view.vis(Ctl::FanCheck, 0));
}

TEST(Fans, UncheckingTheBoxWarnsWithoutTouchingTheTimer) {
    Rig r;
    r.monitor.load();
    r.monitor.fanCheckClicked(1, true);
    EXPECT_FALSE(r.monitor.thresholds().installed[1]);
    const int enables = r.tmrWarn.enables;
    r.monitor.fanCheckClicked(1, false);
    EXPECT_TRUE(r.alarm(SC::PowerFan));
    EXPECT_TRUE(r.monitor.thresholds().installed[1]);
    EXPECT_EQ(r.tmrWarn.enables, enables);
    r.monitor.fanCheckClicked(1, false);  // same state: nothing
    EXPECT_EQ(r.tmrWarn.enables, enables);
}

TEST(Fans, UnconfiguredFanIsNeitherReadNorStored) {
    Rig r;
    r.monitor.fanConfiguration().fitted = {1, 0, 1};
    r.monitor.load();
    r.monitor.intervals().fan = 1;
    r.tick(3);
    r.monitor.unload();
    EXPECT_EQ(r.sensor.readsOf(SC::PowerFan), 0);
    for (const char* key : {"PowerInst", "PowerFan"}) {
        EXPECT_FALSE(r.settings.wasRead(key)) << key;
        EXPECT_FALSE(r.settings.wasWritten(key)) << key;
    }
    EXPECT_TRUE(r.settings.wasWritten("ChassisFan"));
    EXPECT_EQ(r.view.countDraws("dial 1"), 0);
}

TEST(Fans, SpinStepsWithinBounds) {
    Rig r;
    r.monitor.load();
    r.monitor.fanSpinChanged(0, true);
    EXPECT_EQ(r.monitor.thresholds().fan[0], 2900);
    EXPECT_EQ(r.view.text(Ctl::FanWarnLabel, 0), "2900");
    EXPECT_EQ(r.view.draws.back(), "zone 0 2900");
    EXPECT_TRUE(r.tmrMonitor.enabled);
    EXPECT_GE(r.tmrMonitor.disables, 1);
    r.monitor.thresholds().fan[0] = 9950;
    r.monitor.fanSpinChanged(0, true);
    EXPECT_EQ(r.monitor.thresholds().fan[0], 9999);
    r.monitor.fanSpinChanged(0, true);
    EXPECT_EQ(r.monitor.thresholds().fan[0], 9999);
    r.monitor.thresholds().fan[0] = 100;
    r.monitor.fanSpinChanged(0, false);
    EXPECT_EQ(r.monitor.thresholds().fan[0], 1);
    r.monitor.fanSpinChanged(0, false);
    EXPECT_EQ(r.monitor.thresholds().fan[0], 1);
}

TEST(Fans, SpinToTheSpeedWarnsAndOneMoreStepClears) {
    Rig r;
    r.sensor[SC::CpuFan] = 2900;
    r.monitor.load();
    EXPECT_FALSE(r.alarm(SC::CpuFan));
    r.monitor.fanSpinChanged(0, true);  // 2900 = speed
    EXPECT_TRUE(r.alarm(SC::CpuFan));
    EXPECT_TRUE(r.tmrWarn.enabled);
    r.view.visible[{Ctl::FanSpeedLabel, 0}] = false;  // left hidden by blinking
    r.view.visible[{Ctl::FanSummaryValue, 0}] = false;
    r.monitor.fanSpinChanged(0, false);
    EXPECT_FALSE(r.alarm(SC::CpuFan));
    EXPECT_TRUE(r.view.vis(Ctl::FanSpeedLabel, 0));
    EXPECT_TRUE(r.view.vis(Ctl::FanSummaryValue, 0));
}

TEST(Fans, SpinOnNotInstalledFanNeverWarns) {
    Rig r;
    r.monitor.load();
    r.monitor.fanCheckClicked(2, true);
    r.monitor.fanSpinChanged(2, true);
    r.monitor.thresholds().fan[2] = 9000;
    r.monitor.fanSpinChanged(2, true);
    EXPECT_FALSE(r.alarm(SC::ChassisFan));
    EXPECT_EQ(r.view.draws.back(), "zone 2 9100");
}

// ---- Alert timer -------------------------------------------------------------

TEST(Alerts, OneChannelBlinksBeepsAndFlips) {
    Rig r;
    r.sensor[SC::CpuFan] = 1000;
    r.monitor.load();
    ASSERT_TRUE(r.tmrWarn.enabled);
    r.tray.calls.clear();
    std::vector<TrayImage> images;
    for (int t = 0; t < 4; ++t) {
        const bool before = r.view.vis(Ctl::FanSpeedLabel, 0);
        const bool beforeSummary = r.view.vis(Ctl::FanSummaryValue, 0);
        r.monitor.tmrWarnTick();
        EXPECT_NE(r.view.vis(Ctl::FanSpeedLabel, 0), before);
        EXPECT_NE(r.view.vis(Ctl::FanSummaryValue, 0), beforeSummary);
        EXPECT_EQ(trayTip(r.tray.calls.back().record), kTipWarning);
        images.push_back(r.tray.calls.back().record.hIcon);
    }
    EXPECT_EQ(r.beeper.order, "sssSsssSsssSsssS");
    EXPECT_EQ(images, (std::vector<TrayImage>{TrayImage::Alert, TrayImage::Normal, TrayImage::Alert,
                                               TrayImage::Normal}));
    EXPECT_EQ(r.tray.count('m'), 8);  // a flip and the tooltip per tick
}

// The steady mark follows the flag whoever sets or clears it, through every
// blink phase: by a reading, a spin step, the fan's check box, and a flag set
// from outside the rules (seen at the next alert tick).
TEST(Alerts, SteadyMarkFollowsTheFlagThroughTheBlinking) {
    Rig r;
    r.sensor[SC::CpuFan] = 1000;
    r.monitor.load();
    EXPECT_TRUE(r.view.marks[0]);
    for (int t = 0; t < 3; ++t) {
        r.monitor.tmrWarnTick();
        EXPECT_TRUE(r.view.marks[0]) << "tick " << t;
    }
    r.monitor.thresholds().fan[0] = 1000;
    r.monitor.fanSpinChanged(0, false);  // 900: the speed is above it
    EXPECT_FALSE(r.view.marks[0]);
    r.monitor.fanSpinChanged(0, true);  // 1000, the speed itself
    EXPECT_TRUE(r.view.marks[0]);
    r.monitor.fanCheckClicked(0, true);  // declared not there
    EXPECT_FALSE(r.view.marks[0]);
    EXPECT_FALSE(r.view.marks[static_cast<std::size_t>(SC::In4)]);
    r.monitor.alarms().volt(4) = true;
    r.monitor.tmrWarnTick();
    EXPECT_TRUE(r.view.marks[static_cast<std::size_t>(SC::In4)]);
    r.monitor.clearAlarm(SC::In4);
    EXPECT_FALSE(r.view.marks[static_cast<std::size_t>(SC::In4)]);
}

TEST(Alerts, FlipsOfSeveralChannelsAddUp) {
    Rig r;
    r.sensor[SC::CpuFan] = 1000;
    r.sensor[SC::MbTemp] = 70;
    r.sensor[SC::In1] = 0;
    r.monitor.load();
    r.monitor.tmrWarnTick();
    EXPECT_EQ(r.beeper.simple, 9);
    EXPECT_EQ(r.beeper.standard, 3);
    EXPECT_EQ(r.monitor.trayIconIndex(), 1);  // three flips
    EXPECT_EQ(r.tray.calls.back().record.hIcon, TrayImage::Alert);
}

TEST(Alerts, NormalStateRestoredWhateverTheIndex) {
    Rig r;
    r.sensor[SC::CpuFan] = 1000;
    r.monitor.load();
    r.monitor.tmrWarnTick();
    ASSERT_EQ(r.monitor.trayIconIndex(), 1);
    r.monitor.clearAlarm(SC::CpuFan);
    r.monitor.tmrWarnTick();
    const TrayIconRecord& last = r.tray.calls.back().record;
    EXPECT_EQ(last.hIcon, TrayImage::Normal);
    EXPECT_EQ(trayTip(last), kTipNormal);
    EXPECT_EQ(r.monitor.trayIconIndex(), 1);
    EXPECT_EQ(r.beeper.simple, 3);
}

TEST(Alerts, HiddenSecondCoreInputStillBeeps) {
    Rig r;
    r.sensor[SC::In1] = 4000;
    r.view.visible[{Ctl::VoltLabel, 1}] = false;
    r.view.visible[{Ctl::VoltSummaryValue, 1}] = false;
    r.monitor.load();
    ASSERT_TRUE(r.alarm(SC::In1));
    r.monitor.tmrWarnTick();
    EXPECT_EQ(r.beeper.simple, 3);
    EXPECT_EQ(r.beeper.standard, 1);
    EXPECT_EQ(r.tray.calls.back().record.hIcon, TrayImage::Alert);
}

TEST(Alerts, AlarmAtLoadDoesNotShowTheWindow) {
    Rig r;
    r.sensor[SC::CpuTemp] = 85;
    r.monitor.load();
    EXPECT_TRUE(r.alarm(SC::CpuTemp));
    EXPECT_TRUE(r.tmrWarn.enabled);
    EXPECT_FALSE(r.view.windowVisible);
}

// ---- ShowAlarmPage -------------------------------------------------------------

TEST(AlarmPage, OnlyWhenHidden) {
    Rig r;
    r.monitor.showAlarmPage(Page::Volt);
    EXPECT_TRUE(r.view.windowVisible);
    for (int p = 0; p < 4; ++p) EXPECT_EQ(r.view.vis(Ctl::PagePanel, p), p == 2) << p;
    r.monitor.showAlarmPage(Page::Temp);
    EXPECT_EQ(r.view.shows, 1);
    EXPECT_TRUE(r.view.vis(Ctl::PagePanel, 2));
    EXPECT_FALSE(r.view.vis(Ctl::PagePanel, 1));
    EXPECT_EQ(r.monitor.pageChoice(), PageChoice::None);
}

TEST(Navigation, PageButtonsAndChoice) {
    Rig r;
    r.monitor.load();
    r.monitor.pageButtonPressed(1);
    EXPECT_FALSE(r.tmrMonitor.enabled);
    EXPECT_TRUE(r.view.vis(Ctl::PagePanel, 1));
    EXPECT_FALSE(r.view.vis(Ctl::PagePanel, 0));
    EXPECT_EQ(r.monitor.pageChoice(), PageChoice::Temp);
    r.monitor.resumePolling();
    // An alarm page while the window is hidden leaves the choice alone, so
    // the same button then does not switch again.
    r.view.visible[{Ctl::PagePanel, 1}] = false;
    r.view.visible[{Ctl::PagePanel, 3}] = true;
    r.monitor.pageButtonPressed(1);
    EXPECT_FALSE(r.view.vis(Ctl::PagePanel, 1));
    r.monitor.windowClosedByOval();
    EXPECT_FALSE(r.view.windowVisible);
    EXPECT_EQ(r.monitor.pageChoice(), PageChoice::None);
    EXPECT_TRUE(r.tmrMonitor.enabled);
    r.monitor.pageButtonPressed(1);
    EXPECT_TRUE(r.view.vis(Ctl::PagePanel, 1));
    r.monitor.pageButtonPressed(3);
    EXPECT_TRUE(r.view.vis(Ctl::PagePanel, 3));
    EXPECT_FALSE(r.view.vis(Ctl::PagePanel, 1));
    EXPECT_EQ(r.monitor.pageChoice(), PageChoice::None);
}

// ---- Redraw after a threshold reset --------------------------------------------

TEST(Activate, NothingUnlessResetPending) {
    Rig r;
    r.monitor.load();
    r.view.draws.clear();
    r.monitor.formActivated();
    EXPECT_TRUE(r.view.draws.empty());
}

TEST(Activate, ResetRedrawReevaluatesEveryAlarm) {
    for (std::int16_t speed : {std::int16_t{2800}, std::int16_t{2801}}) {
        Rig r;
        r.settings.values["CPUFan"] = "2000";
        r.sensor[SC::CpuFan] = speed;
        r.monitor.load();
        ASSERT_FALSE(r.alarm(SC::CpuFan));
        r.monitor.alarms().fan(0) = speed == 2801;  // a stale flag must be cleared
        r.view.visible[{Ctl::FanSpeedLabel, 0}] = false;
        r.view.visible[{Ctl::FanSummaryValue, 0}] = false;
        r.monitor.thresholds() = WarningThresholds{};  // what the dialog's reset does
        r.monitor.thresholdsResetPending() = true;
        r.view.draws.clear();
        r.monitor.formActivated();
        EXPECT_EQ(r.alarm(SC::CpuFan), speed == 2800) << speed;
        if (speed == 2801) {
            EXPECT_TRUE(r.view.vis(Ctl::FanSpeedLabel, 0));
            EXPECT_TRUE(r.view.vis(Ctl::FanSummaryValue, 0));
        }
        EXPECT_FALSE(r.monitor.thresholdsResetPending());
        EXPECT_EQ(r.view.countDraws("clear"), 3);
        EXPECT_EQ(r.view.countDraws("dial"), 3);
        EXPECT_EQ(r.view.countDraws("gauge"), 2);
        EXPECT_EQ(r.view.countDraws("bar"), 6);
        EXPECT_EQ(r.view.countDraws("bar 1 "), 0);
        EXPECT_EQ(r.sensor.readsOf(SC::CpuFan), 1);  // no new reading
    }
}

// A board with fewer fans: the unconfigured ones are never read, so they hold
// reading 0 and their initial installed flag; the reset redraw must leave them
// quiet, or the warning could never be cleared.
TEST(Activate, ResetOnABoardWithOneFanStaysNormal) {
    Rig r;
    r.monitor.fanConfiguration().fitted = {1, 0, 0};
    r.monitor.load();
    ASSERT_TRUE(r.monitor.thresholds().installed[1] && r.monitor.thresholds().installed[2]);
    r.monitor.thresholds() = WarningThresholds{};
    r.monitor.thresholdsResetPending() = true;
    r.monitor.formActivated();
    EXPECT_FALSE(r.alarm(SC::PowerFan));
    EXPECT_FALSE(r.alarm(SC::ChassisFan));
    r.monitor.tmrWarnTick();
    EXPECT_EQ(r.beeper.simple, 0);
    ASSERT_FALSE(r.tray.calls.empty());
    EXPECT_EQ(trayTip(r.tray.calls.back().record), kTipNormal);
}

// ---- Temperature pointer drags ------------------------------------------------

struct TempDragCase {
    int gauge;
    int delta;
    std::optional<int> threshold;
};

class TemperatureDrags : public ::testing::TestWithParam<TempDragCase> {};

TEST_P(TemperatureDrags, DeltaToThreshold) {
    const auto c = GetParam();
    Rig r;
    r.monitor.load();
    const int before = r.monitor.thresholds().temp[static_cast<std::size_t>(c.gauge)];
    r.view.tips[{Ctl::TempGauge, c.gauge}] = "kept";
    r.monitor.temperaturePointerPressed(c.gauge, 7.4);  // grabbed at row 7
    EXPECT_EQ(r.view.en(Ctl::TempPointer, c.gauge), false);
    r.view.draws.clear();
    r.monitor.temperatureGaugeMoved(c.gauge, 7.0 + c.delta);
    const int after = r.monitor.thresholds().temp[static_cast<std::size_t>(c.gauge)];
    if (c.threshold) {
        EXPECT_EQ(after, *c.threshold);
        EXPECT_EQ(r.view.tip(Ctl::TempGauge, c.gauge), "");
        EXPECT_EQ(r.view.text(Ctl::TempWarnLabel, c.gauge), temperaturePair(*c.threshold));
        EXPECT_EQ(r.view.countDraws("gauge " + std::to_string(c.gauge)), 1);
    } else {
        EXPECT_EQ(after, before);
        EXPECT_EQ(r.view.tip(Ctl::TempGauge, c.gauge), "kept");
        EXPECT_TRUE(r.view.draws.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Deltas, TemperatureDrags,
    ::testing::Values(TempDragCase{0, -2, 90}, TempDragCase{0, -1, 90}, TempDragCase{0, 6, 86},
                      TempDragCase{0, 7, 86}, TempDragCase{0, 8, 85}, TempDragCase{0, 9, 85},
                      TempDragCase{0, 10, 85}, TempDragCase{0, 11, 85}, TempDragCase{0, 114, 41},
                      TempDragCase{0, 115, 41}, TempDragCase{0, -3, std::nullopt},
                      TempDragCase{0, 116, std::nullopt}, TempDragCase{1, -2, 60}, TempDragCase{1, 115, 11}));

TEST(TemperatureDrag, ReevaluatesAndReleaseRestores) {
    Rig r;
    r.monitor.load();  // CPU reads 45
    r.monitor.temperatureGaugeMoved(0, 100);  // no drag yet: nothing
    EXPECT_EQ(r.monitor.thresholds().temp[0], 80);
    r.monitor.temperaturePointerPressed(0, 0);
    r.monitor.temperatureGaugeMoved(0, 114);  // 41
    EXPECT_TRUE(r.alarm(SC::CpuTemp));
    EXPECT_TRUE(r.tmrWarn.enabled);
    r.view.visible[{Ctl::TempLabel, 0}] = false;
    r.monitor.temperatureGaugeMoved(0, 0);  // 90
    EXPECT_FALSE(r.alarm(SC::CpuTemp));
    EXPECT_TRUE(r.view.vis(Ctl::TempLabel, 0));
    // A release over the other gauge leaves this drag going.
    r.monitor.temperatureGaugeReleased(1);
    EXPECT_TRUE(r.monitor.temperatureDrag().dragging[0]);
    r.monitor.temperatureGaugeReleased(0);
    EXPECT_FALSE(r.monitor.temperatureDrag().dragging[0]);
    EXPECT_TRUE(r.view.en(Ctl::TempPointer, 0));
    EXPECT_EQ(r.view.tip(Ctl::TempGauge, 0), "CPU Temperature");
    EXPECT_TRUE(r.tmrMonitor.enabled);
    r.monitor.temperaturePointerPressed(1, 0);
    r.monitor.backgroundReleased();
    EXPECT_FALSE(r.monitor.temperatureDrag().dragging[1]);
    EXPECT_EQ(r.view.tip(Ctl::TempGauge, 1), "Mainboard Temperature");
}

// ---- Voltage marker drags ----------------------------------------------------------

TEST(VoltageDrag, UpperDeltaFourIsTheTopOfTheScale) {
    Rig r;
    r.monitor.load();
    r.monitor.voltageMarkerPressed(3, true, 2.0);
    EXPECT_FALSE(r.tmrMonitor.enabled);
    EXPECT_FALSE(r.view.en(Ctl::VoltUpMarker, 3));
    r.monitor.voltageBarMoved(3, 6.0);
    EXPECT_FLOAT_EQ(r.monitor.thresholds().volUp[3], 7.0F);
    EXPECT_EQ(r.view.text(Ctl::VoltUpLabel, 3), "7.0");
    EXPECT_EQ(r.view.draws.back(), "bar 3 3 7 4.5 5");
    r.monitor.voltageBarMoved(3, 5.0);  // delta 3 is refused
    EXPECT_FLOAT_EQ(r.monitor.thresholds().volUp[3], 7.0F);
}

TEST(VoltageDrag, LowerDelta142IsBasePlusATenth) {
    Rig r;
    r.monitor.load();
    r.monitor.voltageMarkerPressed(4, false, 0.0);
    r.monitor.voltageBarMoved(4, 142.0);
    EXPECT_FLOAT_EQ(r.monitor.thresholds().volDn[4], 10.1F);
    EXPECT_EQ(r.view.text(Ctl::VoltDnLabel, 4), "10.1");
    r.monitor.voltageBarMoved(4, 143.0);  // refused
    EXPECT_FLOAT_EQ(r.monitor.thresholds().volDn[4], 10.1F);
}

TEST(VoltageDrag, VcoreLowerMarkerStopsAtThreeAndAHalf) {
    Rig r;
    r.monitor.load();
    r.monitor.voltageMarkerPressed(0, false, 0.0);
    float highest = -100.0F;
    for (int y = 142; y >= -10; --y) {
        r.monitor.voltageBarMoved(0, y);
        highest = std::max(highest, r.monitor.thresholds().volDn[0]);
    }
    EXPECT_FLOAT_EQ(highest, 3.5F);
    EXPECT_FLOAT_EQ(r.monitor.thresholds().volDn[0], 3.5F);
    EXPECT_FLOAT_EQ(r.monitor.thresholds().volUp[0], 3.7F);
}

TEST(VoltageDrag, ReleasesActOnTheBarPressedLast) {
    Rig r;
    r.monitor.load();
    r.monitor.voltageMarkerPressed(2, true, 0.0);
    r.monitor.voltageMarkerPressed(2, false, 0.0);
    r.monitor.voltageMarkerReleased(true);  // over an upper marker: ends only the lower drag
    EXPECT_TRUE(r.monitor.voltageDrag().upDragging[2]);
    EXPECT_FALSE(r.monitor.voltageDrag().dnDragging[2]);
    EXPECT_TRUE(r.view.en(Ctl::VoltDnMarker, 2));
    EXPECT_TRUE(r.tmrMonitor.enabled);
    r.monitor.voltageMarkerPressed(5, false, 0.0);
    r.monitor.voltageBarReleased();  // acts on bar 5, not on 2
    EXPECT_FALSE(r.monitor.voltageDrag().dnDragging[5]);
    EXPECT_TRUE(r.monitor.voltageDrag().upDragging[2]);
    r.monitor.voltageMarkerPressed(2, false, 0.0);
    r.monitor.voltagePageReleased();
    EXPECT_FALSE(r.monitor.voltageDrag().upDragging[2]);
    EXPECT_FALSE(r.monitor.voltageDrag().dnDragging[2]);
    EXPECT_TRUE(r.view.en(Ctl::VoltUpMarker, 2));
}

TEST(VoltageDrag, MovingWithoutADragReevaluates) {
    Rig r;
    r.monitor.load();
    r.monitor.thresholds().volUp[3] = 5.0F;  // the reading 5.0 is now out of range
    r.view.draws.clear();
    r.monitor.voltageBarMoved(3, 50.0);
    EXPECT_TRUE(r.alarm(SC::In3));
    EXPECT_TRUE(r.tmrWarn.enabled);
    EXPECT_TRUE(r.view.draws.empty());
    r.monitor.thresholds().volUp[3] = 5.5F;
    r.view.visible[{Ctl::VoltSummaryValue, 3}] = false;
    r.monitor.voltageBarMoved(3, 50.0);
    EXPECT_FALSE(r.alarm(SC::In3));
    EXPECT_TRUE(r.view.vis(Ctl::VoltSummaryValue, 3));
}

// ---- Load and unload ---------------------------------------------------------

TEST(LoadUnload, StoredValuesAreUsedAndSavedInTheirTextForms) {
    Rig r;
    r.settings.values = {{"CPUFan", "3000"}, {"VolUp0", "3.5"}, {"VolDn5", "-13.9"}, {"MBTemp", "45"}};
    r.monitor.load();
    EXPECT_EQ(r.view.text(Ctl::FanWarnLabel, 0), "3000");
    EXPECT_EQ(r.monitor.thresholds().temp[1], 45);
    EXPECT_TRUE(r.tmrMonitor.enabled);
    EXPECT_EQ(r.view.draws.front(), "dial 0 3000 4000");
    r.settings.writtenKeys.clear();
    r.monitor.unload();
    const std::vector<std::string> order{"CPUInst", "CPUFan", "PowerInst", "PowerFan", "ChassisInst", "ChassisFan",
                                         "CPUTemp", "MBTemp", "VolUp0", "VolUp1", "VolUp2", "VolUp3", "VolUp4",
                                         "VolUp5", "VolUp6", "VolDn0", "VolDn1", "VolDn2", "VolDn3", "VolDn4",
                                         "VolDn5", "VolDn6"};
    EXPECT_EQ(r.settings.writtenKeys, order);
    EXPECT_EQ(r.settings.values["CPUInst"], "True");
    EXPECT_EQ(r.settings.values["VolUp0"], "3.5");
    EXPECT_EQ(r.settings.values["VolUp4"], "13");
    EXPECT_EQ(r.settings.values["VolDn5"], "-13.9");
    EXPECT_EQ(r.settings.values["VolUp5"], "-10.3");
}

TEST(LoadUnload, NothingSavedBeforeLoad) {
    Rig r;
    r.monitor.unload();
    EXPECT_TRUE(r.settings.writtenKeys.empty());
}

}  // namespace
}  // namespace velmon
