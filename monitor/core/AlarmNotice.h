// The desktop notification of the warning state: its text, and when it is
// sent, updated and closed. Sending is a port; the tray program realises it
// over the session bus.
#pragma once

#include <optional>
#include <string>

#include "MonitorState.h"

namespace velmon {

class NotificationPort {
public:
    virtual ~NotificationPort() = default;
    // Shows the notification, or replaces the text of the one already shown.
    virtual void show(const std::string& summary, const std::string& body) = 0;
    // Closes the notification if one is shown.
    virtual void close() = 0;
};

// The name the pages and the Summary give a channel: "CPU Fan", "+5V".
const char* channelName(SensorChannel channel);

// "CPU Fan: 0 RPM, warning at 2800 RPM or less" for one channel.
std::string alarmLine(SensorChannel channel, const ChannelReadings& readings,
                      const WarningThresholds& thresholds);
// One line per channel in warning, in channel order.
std::string alarmBody(const AlarmState& alarms, const ChannelReadings& readings,
                      const WarningThresholds& thresholds);
// The page of the first channel in warning; nothing in the normal state.
std::optional<Page> alarmPage(const AlarmState& alarms);

// Follows the alarm flags after each alert tick: one notification when the
// warning state begins, its text replaced when the channels in warning
// change, closed when the normal state returns. Readings that move while the
// same channels stay in warning send nothing.
class AlarmNotifier {
public:
    AlarmNotifier(NotificationPort& port, bool enabled) : port_(port), enabled_(enabled) {}

    void update(const AlarmState& alarms, const ChannelReadings& readings,
                const WarningThresholds& thresholds);
    [[nodiscard]] bool shown() const { return shown_.any(); }

private:
    NotificationPort& port_;
    bool enabled_;
    AlarmState shown_;  // the channels the notification names
};

}  // namespace velmon
