// A read the sensor library says failed is no reading: shown as "no
// reading", never judged; a few in a row and the sensor is lost, said once;
// a good read brings it back.
#include <gtest/gtest.h>

#include "AlarmNotice.h"
#include "Fakes.h"
#include "SensorHealth.h"

namespace velmon {
namespace {

using test::Rig;

struct Notices : SensorNoticePort {
    std::vector<std::string> said;
    void sensorLost(SensorChannel, const std::string& text) override { said.push_back("lost: " + text); }
    void sensorBack(SensorChannel, const std::string& text) override { said.push_back("back: " + text); }
};

struct Notification : NotificationPort {
    std::vector<std::string> calls;
    void show(const std::string& summary, const std::string& body) override { calls.push_back(summary + "|" + body); }
    void close() override { calls.push_back("close"); }
};

std::string textOf(Rig& r, Ctl ctl, int index) { return r.view.texts[{ctl, index}]; }

std::int32_t bit(SensorChannel c) { return 1 << static_cast<int>(c); }

struct FailCase {
    const char* what;
    SensorChannel channel;
    std::int16_t badValue;  // what a healthy reading this far off would have warned about
    Ctl pageLabel, summaryLabel;
    int index;
};
void PrintTo(const FailCase& c, std::ostream* os) { *os << c.what; }

class FailedRead : public ::testing::TestWithParam<FailCase> {};

TEST_P(FailedRead, ShowsNoReadingJudgesNothingIsLostOnceAndComesBack) {
    const FailCase c = GetParam();
    Rig r;
    Notices notices;
    r.monitor.setSensorNotices(&notices);
    r.monitor.load();
    ASSERT_FALSE(r.monitor.alarms().any());

    const std::int16_t good = r.sensor[c.channel];
    r.sensor[c.channel] = c.badValue;  // the library answers 0 with the failure bit
    r.sensor.failures = bit(c.channel);
    r.tick(5);
    EXPECT_EQ(textOf(r, c.pageLabel, c.index), kNoReading);
    EXPECT_EQ(textOf(r, c.summaryLabel, c.index), kNoReading);
    EXPECT_FALSE(r.monitor.alarms().any()) << "a failed read raised an alarm";
    EXPECT_FALSE(r.view.isWindowVisible());
    EXPECT_TRUE(notices.said.empty()) << "one failed read is not a lost sensor";

    r.tick(5 * (kLostAfterFailures + 2));
    ASSERT_EQ(notices.said.size(), 1u);
    EXPECT_EQ(notices.said[0], "lost: " + sensorLostText(c.channel));
    EXPECT_FALSE(r.monitor.alarms().any());
    EXPECT_EQ(r.monitor.quietTip(), sensorLostTip(c.channel));
    EXPECT_EQ(trayTip(r.tray.calls.back().record), sensorLostTip(c.channel));
    EXPECT_EQ(r.monitor.health().failures(c.channel), static_cast<std::uint64_t>(kLostAfterFailures + 3));

    r.sensor[c.channel] = good;
    r.sensor.failures = 0;
    r.tick(5);
    ASSERT_EQ(notices.said.size(), 2u);
    EXPECT_EQ(notices.said[1], "back: " + sensorBackText(c.channel));
    EXPECT_NE(textOf(r, c.summaryLabel, c.index), kNoReading) << "the reading is shown again";
    EXPECT_EQ(r.monitor.quietTip(), kTipNormal);

    // Read again and judged again: the value it would have warned on does.
    r.sensor[c.channel] = c.badValue;
    r.tick(5);
    EXPECT_TRUE(r.alarm(c.channel));
}

INSTANTIATE_TEST_SUITE_P(
    Channels, FailedRead,
    ::testing::Values(FailCase{"cpu fan", SensorChannel::CpuFan, 0, Ctl::FanSpeedLabel, Ctl::FanSummaryValue, 0},
                      FailCase{"cpu temperature", SensorChannel::CpuTemp, 99, Ctl::TempLabel, Ctl::TempSummaryValue, 0},
                      FailCase{"mainboard temperature", SensorChannel::MbTemp, 99, Ctl::TempLabel,
                               Ctl::TempSummaryValue, 1},
                      FailCase{"+12 V", SensorChannel::In4, 0, Ctl::VoltLabel, Ctl::VoltSummaryValue, 4}));

TEST(FailedRead, AWarningThatRestedOnALostSensorEnds) {
    Rig r;
    r.monitor.load();
    r.sensor[SensorChannel::CpuTemp] = 95;
    r.tick(5);
    ASSERT_TRUE(r.alarm(SensorChannel::CpuTemp));
    r.sensor[SensorChannel::CpuTemp] = 0;
    r.sensor.failures = bit(SensorChannel::CpuTemp);
    r.tick(5);
    EXPECT_TRUE(r.alarm(SensorChannel::CpuTemp)) << "one failed read judges nothing, the flag stands";
    r.tick(5 * kLostAfterFailures);
    EXPECT_FALSE(r.alarm(SensorChannel::CpuTemp));
}

TEST(FailedRead, ALibraryWithoutTheExportReadsZeroAsBefore) {
    Rig r;
    r.monitor.load();
    r.sensor[SensorChannel::CpuFan] = 0;  // no failure bit: a stopped fan
    r.tick(5);
    EXPECT_TRUE(r.alarm(SensorChannel::CpuFan));
    EXPECT_EQ(textOf(r, Ctl::FanSpeedLabel, 0), "0");
}

TEST(SensorNotices, SayEachChangeOnALineAndKeepOneNotificationWhileAnyIsLost) {
    Notification n;
    std::vector<std::string> lines;
    SensorNotices notices(&n, [&](const std::string& l) { lines.push_back(l); });
    notices.sensorLost(SensorChannel::CpuFan, sensorLostText(SensorChannel::CpuFan));
    notices.sensorLost(SensorChannel::In3, sensorLostText(SensorChannel::In3));
    notices.sensorBack(SensorChannel::CpuFan, sensorBackText(SensorChannel::CpuFan));
    notices.sensorBack(SensorChannel::In3, sensorBackText(SensorChannel::In3));
    EXPECT_EQ(lines, (std::vector<std::string>{"velmon: CPU Fan sensor lost: no reading after 3 failed reads",
                                               "velmon: +5V sensor lost: no reading after 3 failed reads",
                                               "velmon: CPU Fan sensor reads again",
                                               "velmon: +5V sensor reads again"}));
    EXPECT_EQ(n.calls, (std::vector<std::string>{
                           std::string(kSensorLostSummary) + "|CPU Fan sensor lost: no reading after 3 failed reads",
                           std::string(kSensorLostSummary) +
                               "|CPU Fan sensor lost: no reading after 3 failed reads\n+5V sensor lost: no reading "
                               "after 3 failed reads",
                           std::string(kSensorLostSummary) + "|+5V sensor lost: no reading after 3 failed reads",
                           "close"}));
}

}  // namespace
}  // namespace velmon
