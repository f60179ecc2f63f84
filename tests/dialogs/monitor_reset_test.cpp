// The Settings dialog's reset against the real monitor: the thresholds land in
// the monitor's state and its next activation re-evaluates every alarm.
#include <gtest/gtest.h>

#include "FakeMonitor.h"
#include "NullPorts.h"
#include "Monitor.h"
#include "MonitorDialogs.h"
#include "SettingsRules.h"

namespace velmon::dialogs {
namespace {

using testing::FakeAutostart;
using testing::FakePrompter;
using testing::FakeSettings;
using testing::FakeTimer;
using testing::FakeView;
using testing::FakeWindow;
using testing::Log;

struct Sensors final : SensorPort {
    std::array<std::int16_t, kChannelCount> values{};
    std::int16_t read(SensorChannel c) override { return values[static_cast<std::size_t>(c)]; }
    void text(DmiText, TextBuffer& b) override { b.fill('\0'); }
    std::int16_t mbClock() override { return 0; }
};
using CpuData = testing::NullCpuData;
using Beeps = testing::NullBeeper;
using Tray = testing::NullTray;
struct Logo final : LogoView {
    [[nodiscard]] bool isVisible() const override { return false; }
    void show() override {}
    void unload() override {}
};
struct Env final : Environment {
    bool anotherInstanceRunning() override { return false; }
    [[nodiscard]] double logicalDpiX() const override { return 96.0; }
    [[nodiscard]] std::string programDirectory() const override { return "/tmp"; }
    void quit(int) override {}
};

class MonitorResetTest : public ::testing::TestWithParam<std::pair<int, bool>> {
protected:
    MonitorResetTest()
        : tmrMonitor(log, "tmrMonitor"), tmrWarn(log, "tmrWarn"), view(log), settings(log),
          prompter(log), autostart(log),
          monitor(Ports{sensors, cpuData, settings, tmrMonitor, tmrWarn, beeps, prompter, tray, view,
                        logo, env}),
          host(monitor) {}

    Log log;
    Sensors sensors;
    CpuData cpuData;
    FakeTimer tmrMonitor;
    FakeTimer tmrWarn;
    Beeps beeps;
    FakeView view;
    FakeSettings settings;
    FakePrompter prompter;
    FakeAutostart autostart;
    Tray tray;
    Logo logo;
    Env env;
    Monitor monitor;
    MonitorDialogHost host;
};

TEST_P(MonitorResetTest, CpuFanAtOrAboveTheDefaultAfterReset) {
    const auto [speed, warns] = GetParam();
    sensors.values[static_cast<std::size_t>(SensorChannel::CpuFan)] = static_cast<std::int16_t>(speed);
    sensors.values[static_cast<std::size_t>(SensorChannel::CpuTemp)] = 30;
    sensors.values[static_cast<std::size_t>(SensorChannel::MbTemp)] = 30;
    // Readings inside every default voltage window, so only the fan can warn.
    const std::array<std::int16_t, 7> mv{2000, 2000, 3300, 5000, 12000, -12000, -5000};
    for (std::size_t i = 0; i < mv.size(); ++i) {
        sensors.values[5 + i] = mv[i];
    }
    settings.values["CPUFan"] = "1000";  // a user threshold well below the speed
    settings.values["PowerFan"] = "0";
    settings.values["ChassisFan"] = "0";
    monitor.load();
    ASSERT_FALSE(monitor.alarms().fan(0));
    sensors.values[static_cast<std::size_t>(SensorChannel::PowerFan)] = 5000;

    SettingsRules rules(host, prompter, autostart, "/usr/bin/velmon");
    FakeWindow<SettingsRules> window(rules, log);
    rules.formLoad();
    EXPECT_FALSE(tmrMonitor.isEnabled());
    for (int r = 0; r < kResetRows; ++r) {
        rules.setResetChecked(static_cast<ResetRow>(r), r == static_cast<int>(ResetRow::CpuFan));
    }
    rules.resetClicked(window);

    EXPECT_EQ(monitor.thresholds().fan[0], 2800);
    EXPECT_EQ(monitor.thresholds().fan[1], 0);
    EXPECT_TRUE(monitor.thresholdsResetPending());
    EXPECT_EQ(view.text(Ctl::FanWarnLabel, 0), "2800");
    EXPECT_TRUE(tmrMonitor.isEnabled());
    EXPECT_EQ(settings.values.at("FanInterval"), "5");
    // Nothing is re-evaluated until the main window is active again.
    EXPECT_FALSE(monitor.alarms().fan(0));

    monitor.formActivated();
    EXPECT_EQ(monitor.alarms().fan(0), warns) << speed;
    EXPECT_FALSE(monitor.thresholdsResetPending());
}

INSTANTIATE_TEST_SUITE_P(Speeds, MonitorResetTest,
                         ::testing::Values(std::pair{2800, true}, std::pair{2801, false}));

// On a machine with defaults of its own, Reset to Default gives those; rows
// the library has no default for keep the system's.
TEST_F(MonitorResetTest, ResetGivesTheMachinesDefaults) {
    MachineDefaults machine;
    machine.thresholds.fan = {300, 2700, 450};
    machine.thresholds.temp = {95, 75};
    machine.thresholds.volDn[2] = 3.0F;
    machine.thresholds.volUp[2] = 3.6F;
    monitor.setMachineDefaults(machine);
    settings.values = {{"CPUFan", "1200"}, {"ChassisFan", "700"}, {"CPUTemp", "60"}, {"MBTemp", "40"},
                       {"VolUp2", "3.5"}, {"VolDn2", "3.1"}, {"VolUp3", "5.3"}};
    monitor.load();
    EXPECT_EQ(monitor.thresholds().fan[0], 1200);  // saved values win at load

    SettingsRules rules(host, prompter, autostart, "/usr/bin/velmon");
    FakeWindow<SettingsRules> window(rules, log);
    rules.formLoad();
    rules.resetClicked(window);  // every row ticked

    EXPECT_EQ(monitor.thresholds().fan, (std::array<std::int16_t, 3>{300, 2700, 450}));
    EXPECT_EQ(monitor.thresholds().temp, (std::array<std::int16_t, 2>{95, 75}));
    EXPECT_EQ(monitor.thresholds().volDn[2], 3.0F);
    EXPECT_EQ(monitor.thresholds().volUp[2], 3.6F);
    EXPECT_EQ(monitor.thresholds().volUp[3], 5.5F);
    EXPECT_EQ(view.text(Ctl::FanWarnLabel, 0), "300");
    EXPECT_EQ(view.text(Ctl::TempWarnLabel, 0), "95/203");
    EXPECT_EQ(view.text(Ctl::VoltDnLabel, 2), "3.0");
    EXPECT_EQ(view.text(Ctl::VoltUpLabel, 2), "3.6");
}

TEST(MonitorDialogHost, IntervalsAndFanConfigurationAreTheMonitors) {
    Log log;
    Sensors sensors;
    CpuData cpuData;
    FakeTimer tmrMonitor(log, "m"), tmrWarn(log, "w");
    Beeps beeps;
    FakeView view(log);
    FakeSettings settings(log);
    FakePrompter prompter(log);
    Tray tray;
    Logo logo;
    Env env;
    Monitor monitor(Ports{sensors, cpuData, settings, tmrMonitor, tmrWarn, beeps, prompter, tray, view,
                          logo, env});
    MonitorDialogHost host(monitor);
    monitor.intervals() = {3, 4, 9};
    EXPECT_EQ(host.interval(IntervalGroup::Fan), 3);
    EXPECT_EQ(host.interval(IntervalGroup::Temp), 4);
    EXPECT_EQ(host.interval(IntervalGroup::Volt), 9);
    host.setInterval(IntervalGroup::Temp, 12);
    EXPECT_EQ(monitor.intervals().temp, 12);
    monitor.fanConfiguration().fitted = {1, 0, 1};
    EXPECT_TRUE(host.fanConfigured(0));
    EXPECT_FALSE(host.fanConfigured(1));
    host.setVoltageThresholds(5, -10.3F, -13.7F);
    EXPECT_EQ(monitor.thresholds().volUp[5], -10.3F);
    EXPECT_EQ(monitor.thresholds().volDn[5], -13.7F);
    host.setTemperatureThreshold(1, 50);
    EXPECT_EQ(monitor.thresholds().temp[1], 50);
    EXPECT_EQ(&host.tmrWarn(), &tmrWarn);
    EXPECT_EQ(&host.mainView(), static_cast<MainView*>(&view));
}

}  // namespace
}  // namespace velmon::dialogs
