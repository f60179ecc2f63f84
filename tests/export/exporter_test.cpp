// When the export publishes, what it publishes from the monitor, and that the
// tap in front of the core leaves the core's behaviour as it was.
#include <gtest/gtest.h>

#include "Fakes.h"
#include "MetricsExport.h"

namespace velmon::test {
namespace {

bool hasLine(const std::string& text, const std::string& line) {
    return text.find("\n" + line + "\n") != std::string::npos || text.rfind(line + "\n", 0) == 0;
}

struct ExportRig : Rig {
    std::vector<std::string> texts;
    std::int64_t now = 1765389600000;
    MetricsExporter exporter{monitor, [this] { return taskbar.isOn(); }, [this] { return now; }, "1.3.0",
                             [this](const std::string& t) { texts.push_back(t); }};
    EventTap tap{monitor, taskbar, exporter};

    void start() {
        ASSERT_TRUE(taskbar.startup());
        exporter.started();
    }
    void tapTicks(int n) {
        for (int i = 0; i < n; ++i) {
            now += 1000;
            tap.tmrMonitorTick();
        }
    }
    const std::string& last() const { return texts.back(); }
};

TEST(Exporter, PublishesAtStartAndAfterEachTickThatRead) {
    ExportRig r;
    r.start();
    ASSERT_EQ(r.texts.size(), 1u);
    EXPECT_TRUE(hasLine(r.last(), "velmon_last_reading_timestamp_seconds 1765389600")) << r.last();
    EXPECT_TRUE(hasLine(r.last(), "velmon_fan_speed_rpm{fan=\"cpu\"} 4000"));

    // Intervals of 5 s: ticks 1 to 4 read nothing.
    r.tapTicks(4);
    EXPECT_EQ(r.texts.size(), 1u);
    r.sensor[SensorChannel::CpuFan] = 3900;
    r.tapTicks(1);
    ASSERT_EQ(r.texts.size(), 2u);
    EXPECT_TRUE(hasLine(r.last(), "velmon_fan_speed_rpm{fan=\"cpu\"} 3900"));
    EXPECT_TRUE(hasLine(r.last(), "velmon_last_reading_timestamp_seconds 1765389605"));

    // With the fan group read every second, every tick publishes.
    r.monitor.intervals().fan = 1;
    r.tapTicks(3);
    EXPECT_EQ(r.texts.size(), 5u);
}

TEST(Exporter, PublishesWhenAnEventChangesTheWarningState) {
    ExportRig r;
    r.sensor[SensorChannel::CpuFan] = 0;
    r.start();
    ASSERT_EQ(r.texts.size(), 1u);
    EXPECT_TRUE(hasLine(r.last(), "velmon_warning_state 1"));
    EXPECT_TRUE(hasLine(r.last(), "velmon_channel_alarm{channel=\"cpu_fan\"} 1"));

    r.tap.pageButtonPressed(0);  // changes nothing the export shows
    r.tap.tmrWarnTick();
    EXPECT_EQ(r.texts.size(), 1u);

    // The user says the fan is not there: the warning ends at once.
    r.tap.fanCheckClicked(0, true);
    ASSERT_EQ(r.texts.size(), 2u);
    EXPECT_TRUE(hasLine(r.last(), "velmon_warning_state 0"));
    EXPECT_TRUE(hasLine(r.last(), "velmon_fan_installed{fan=\"cpu\"} 0"));
    // The time of the last reading stays that of the reading.
    EXPECT_TRUE(hasLine(r.last(), "velmon_last_reading_timestamp_seconds 1765389600"));
}

TEST(Exporter, OffAndOnArePublished) {
    ExportRig r;
    r.start();
    r.tap.menuOff();
    ASSERT_EQ(r.texts.size(), 2u);
    EXPECT_TRUE(hasLine(r.last(), "velmon_monitoring 0"));
    EXPECT_FALSE(r.tmrMonitor.enabled);
    r.tap.menuOn();
    ASSERT_EQ(r.texts.size(), 3u);
    EXPECT_TRUE(hasLine(r.last(), "velmon_monitoring 1"));
}

TEST(Exporter, VoltsAreUnroundedAndUnconfiguredFansLeftOut) {
    ExportRig r;
    r.sensor[SensorChannel::In2] = 3349;
    r.sensor[SensorChannel::In5] = -12151;
    r.monitor.fanConfiguration().fitted[1] = 0;
    r.monitor.load();
    r.exporter.started();
    EXPECT_FLOAT_EQ(r.monitor.readings().rounded[2], 3.3F);
    EXPECT_TRUE(hasLine(r.last(), "velmon_voltage_volts{input=\"3.3v\"} 3.349"));
    EXPECT_TRUE(hasLine(r.last(), "velmon_voltage_volts{input=\"-12v\"} -12.151"));
    EXPECT_EQ(r.last().find("velmon_fan_speed_rpm{fan=\"power\"}"), std::string::npos);
    EXPECT_TRUE(hasLine(r.last(), "velmon_channel_present{channel=\"power_fan\"} 0"));
    EXPECT_TRUE(hasLine(r.last(), "velmon_channel_present{channel=\"chassis_fan\"} 1"));
}

TEST(Exporter, ChannelsTheLibraryCannotMeasureHaveNoReading) {
    ExportRig r;
    // A laptop: the CPU fan, both temperatures and +3.3 V only (bits 0, 3, 4, 7).
    r.sensor.mask = 0b0000'1001'1001;
    r.start();
    EXPECT_TRUE(hasLine(r.last(), "velmon_channel_present{channel=\"cpu_fan\"} 1"));
    EXPECT_TRUE(hasLine(r.last(), "velmon_channel_present{channel=\"cpu_temp\"} 1"));
    EXPECT_TRUE(hasLine(r.last(), "velmon_channel_present{channel=\"mainboard_temp\"} 1"));
    EXPECT_TRUE(hasLine(r.last(), "velmon_channel_present{channel=\"in2\"} 1"));
    for (const char* ch : {"power_fan", "chassis_fan", "in0", "in1", "in3", "in4", "in5", "in6"}) {
        EXPECT_TRUE(hasLine(r.last(), std::string("velmon_channel_present{channel=\"") + ch + "\"} 0")) << ch;
    }
    EXPECT_EQ(r.last().find("velmon_voltage_volts{input=\"5v\"}"), std::string::npos) << r.last();
    EXPECT_EQ(r.last().find("velmon_voltage_volts{input=\"12v\"}"), std::string::npos);
    EXPECT_EQ(r.last().find("velmon_fan_speed_rpm{fan=\"chassis\"}"), std::string::npos);
    EXPECT_TRUE(hasLine(r.last(), "velmon_warning_state 0"));
}

TEST(Exporter, NothingBeforeStart) {
    ExportRig r;
    r.tap.tmrMonitorTick();
    r.tap.menuOff();
    EXPECT_TRUE(r.texts.empty());
}

// The same user session through the tap and straight into the core leaves
// the core, the view, the tray and the beeper in the same state.
TEST(Exporter, TapLeavesTheCoreAsItWas) {
    const auto session = [](Rig& rig, MainWindowEvents& window, TaskbarEvents& tray, MetricsExporter* exporter) {
        ASSERT_TRUE(rig.taskbar.startup());
        if (exporter != nullptr) exporter->started();
        rig.monitor.intervals() = {1, 2, 3};
        for (int i = 0; i < 4; ++i) window.tmrMonitorTick();
        rig.sensor[SensorChannel::CpuFan] = 0;
        rig.sensor[SensorChannel::In3] = 5600;
        for (int i = 0; i < 3; ++i) {
            window.tmrMonitorTick();
            window.tmrWarnTick();
        }
        window.fanSpinChanged(1, true);
        window.fanCheckClicked(0, true);
        window.temperaturePointerPressed(0, 50);
        window.temperatureGaugeMoved(0, 20);
        window.temperatureGaugeReleased(0);
        tray.menuOff();
        tray.menuOn();
        window.tmrWarnTick();
    };
    Rig plain;
    session(plain, plain.monitor, plain.taskbar, nullptr);
    ExportRig tapped;
    session(tapped, tapped.tap, tapped.tap, &tapped.exporter);

    EXPECT_GT(tapped.texts.size(), 3u);
    EXPECT_EQ(tapped.monitor.alarms().flags, plain.monitor.alarms().flags);
    EXPECT_EQ(tapped.monitor.thresholds().fan, plain.monitor.thresholds().fan);
    EXPECT_EQ(tapped.monitor.thresholds().temp, plain.monitor.thresholds().temp);
    EXPECT_EQ(tapped.view.draws, plain.view.draws);
    EXPECT_EQ(tapped.view.visible, plain.view.visible);
    EXPECT_EQ(tapped.beeper.order, plain.beeper.order);
    EXPECT_EQ(tapped.tray.calls.size(), plain.tray.calls.size());
    EXPECT_EQ(tapped.tmrMonitor.enabled, plain.tmrMonitor.enabled);
    EXPECT_EQ(tapped.tmrWarn.enabled, plain.tmrWarn.enabled);
}

TEST(MetricsDirectory, CommandLineWinsAndRelativeSettingsAreRefused) {
    const std::optional<std::string> none;
    const struct {
        std::optional<std::string> commandLine, setting;
        const char* directory;
        bool message;
    } cases[] = {
        {none, none, "", false},
        {none, std::string("/var/lib/prometheus/node-exporter"), "/var/lib/prometheus/node-exporter", false},
        {none, std::string("  /srv/metrics \t"), "/srv/metrics", false},
        {none, std::string(""), "", false},
        {none, std::string("metrics"), "", true},
        {std::string("/tmp/m"), std::string("/var/lib/x"), "/tmp/m", false},
        {std::string("m"), std::string("/var/lib/x"), "/home/u/m", false},
        {std::string("m"), std::string("relative"), "/home/u/m", false},
    };
    for (const auto& c : cases) {
        const MetricsDirectoryChoice choice = chooseMetricsDirectory(c.commandLine, c.setting, "/home/u");
        EXPECT_EQ(choice.directory, c.directory) << c.commandLine.value_or("-") << " " << c.setting.value_or("-");
        EXPECT_EQ(!choice.message.empty(), c.message) << choice.message;
    }
}

}  // namespace
}  // namespace velmon::test
