#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AlarmNotice.h"

namespace velmon {
namespace {

using SC = SensorChannel;

struct FakeNotifications : NotificationPort {
    std::vector<std::string> calls;  // "show|summary|body" or "close"
    void show(const std::string& summary, const std::string& body) override {
        calls.push_back("show|" + summary + "|" + body);
    }
    void close() override { calls.emplace_back("close"); }
};

ChannelReadings healthy() {
    ChannelReadings r;
    r.fan = {4000, 3500, 2500};
    r.temp = {45, 35};
    r.rounded = {2.0F, 2.5F, 3.3F, 5.0F, 12.0F, -12.0F, -5.0F};
    return r;
}

AlarmState flagged(std::initializer_list<SC> channels) {
    AlarmState a;
    for (SC c : channels) a.flags[static_cast<std::size_t>(c)] = true;
    return a;
}

TEST(AlarmLine, NamesReadingAndThresholdInTheSystemsFormats) {
    ChannelReadings r = healthy();
    r.fan[0] = 0;
    r.fan[2] = 1750;
    r.temp = {85, -5};
    r.rounded[4] = 10.54F;
    r.rounded[5] = -14.0F;
    WarningThresholds t;
    const struct {
        SC channel;
        const char* text;
    } cases[] = {
        {SC::CpuFan, "CPU Fan: 0 RPM, warning at 2800 RPM or less"},
        {SC::ChassisFan, "Chassis Fan: 1750 RPM, warning at 1800 RPM or less"},
        {SC::CpuTemp, "CPU Temperature: 85C/185F, warning at 80C/176F or more"},
        {SC::MbTemp, "Mainboard Temperature: -5C/23F, warning at 50C/122F or more"},
        {SC::In4, "+12V: 10.5 V, warning at 11.0 V or less, or 13.0 V or more"},
        {SC::In5, "-12V: -14.0 V, warning at -13.7 V or less, or -10.3 V or more"},
        {SC::In1, "2.5Vb: 2.5 V, warning at 1.3 V or less, or 3.7 V or more"},
    };
    for (const auto& c : cases) EXPECT_EQ(alarmLine(c.channel, r, t), c.text);
}

TEST(AlarmBody, OneLinePerChannelInWarningInChannelOrder) {
    ChannelReadings r = healthy();
    r.fan[1] = 100;
    r.temp[0] = 90;
    r.rounded[0] = 4.0F;
    const WarningThresholds t;
    EXPECT_EQ(alarmBody(flagged({SC::In0, SC::PowerFan, SC::CpuTemp}), r, t),
              "Power Fan: 100 RPM, warning at 2700 RPM or less\n"
              "CPU Temperature: 90C/194F, warning at 80C/176F or more\n"
              "VCORE: 4.0 V, warning at 1.5 V or less, or 3.7 V or more");
    EXPECT_EQ(alarmBody(AlarmState{}, r, t), "");
}

TEST(AlarmNoticePage, IsThePageOfTheFirstChannelInWarning) {
    EXPECT_EQ(alarmPage(AlarmState{}), std::nullopt);
    EXPECT_EQ(alarmPage(flagged({SC::In6, SC::ChassisFan})), Page::Fan);
    EXPECT_EQ(alarmPage(flagged({SC::In6, SC::MbTemp})), Page::Temp);
    EXPECT_EQ(alarmPage(flagged({SC::In2})), Page::Volt);
}

TEST(AlarmNotifier, OneNotificationPerWarningStateUpdatedWhenChannelsChange) {
    FakeNotifications port;
    AlarmNotifier notifier(port, true);
    ChannelReadings r = healthy();
    const WarningThresholds t;

    notifier.update(AlarmState{}, r, t);
    EXPECT_TRUE(port.calls.empty()) << "the normal state sends nothing";

    r.fan[0] = 0;
    const AlarmState fan = flagged({SC::CpuFan});
    for (int tick = 0; tick < 50; ++tick) notifier.update(fan, r, t);
    ASSERT_EQ(port.calls.size(), 1U) << "ticks in the same warning send nothing more";
    EXPECT_EQ(port.calls[0], "show|System is in warning state|CPU Fan: 0 RPM, warning at 2800 RPM or less");

    r.fan[0] = 200;  // a reading moving within the warning
    notifier.update(fan, r, t);
    EXPECT_EQ(port.calls.size(), 1U);

    r.temp[1] = 60;
    notifier.update(flagged({SC::CpuFan, SC::MbTemp}), r, t);
    ASSERT_EQ(port.calls.size(), 2U) << "a channel joining replaces the text";
    EXPECT_EQ(port.calls[1], "show|System is in warning state|CPU Fan: 200 RPM, warning at 2800 RPM or less\n"
                             "Mainboard Temperature: 60C/140F, warning at 50C/122F or more");

    notifier.update(flagged({SC::MbTemp}), r, t);
    ASSERT_EQ(port.calls.size(), 3U) << "a channel leaving is no longer named";
    EXPECT_EQ(port.calls[2], "show|System is in warning state|Mainboard Temperature: 60C/140F, warning at 50C/122F or more");

    notifier.update(AlarmState{}, r, t);
    notifier.update(AlarmState{}, r, t);
    ASSERT_EQ(port.calls.size(), 4U);
    EXPECT_EQ(port.calls[3], "close");
    EXPECT_FALSE(notifier.shown());

    notifier.update(fan, r, t);
    ASSERT_EQ(port.calls.size(), 5U) << "the next warning state is a new notification";
    EXPECT_EQ(port.calls[4].rfind("show|", 0), 0U);
}

TEST(AlarmNotifier, SwitchedOffSendsNothing) {
    FakeNotifications port;
    AlarmNotifier notifier(port, false);
    notifier.update(flagged({SC::CpuFan}), healthy(), WarningThresholds{});
    notifier.update(AlarmState{}, healthy(), WarningThresholds{});
    EXPECT_TRUE(port.calls.empty());
}

}  // namespace
}  // namespace velmon
