#include "AlarmNotice.h"

#include <array>

#include "Texts.h"

namespace velmon {
namespace {

// The names the pages and the Summary give the channels.
constexpr std::array<const char*, kChannelCount> kNames{
    "CPU Fan", "Power Fan", "Chassis Fan", "CPU Temperature", "Mainboard Temperature",
    "VCORE",   "2.5Vb",     "+3.3V",       "+5V",             "+12V",
    "-12V",    "-5V"};

constexpr std::size_t at(int i) { return static_cast<std::size_t>(i); }

}  // namespace

const char* channelName(SensorChannel channel) {
    const int c = static_cast<int>(channel);
    return c >= 0 && c < kChannelCount ? kNames[at(c)] : "";
}

std::string alarmLine(SensorChannel channel, const ChannelReadings& readings,
                      const WarningThresholds& thresholds) {
    const int c = static_cast<int>(channel);
    std::string line = std::string(kNames[at(c)]) + ": ";
    if (c < kFanCount) {
        return line + fanText(readings.fan[at(c)]) + " RPM, warning at " + fanText(thresholds.fan[at(c)]) +
               " RPM or less";
    }
    if (c < kFanCount + kTempCount) {
        const int g = c - kFanCount;
        return line + temperatureText(readings.temp[at(g)]) + ", warning at " +
               temperatureText(thresholds.temp[at(g)]) + " or more";
    }
    const int v = c - kFanCount - kTempCount;
    return line + voltText(readings.rounded[at(v)]) + " V, warning at " + voltText(thresholds.volDn[at(v)]) +
           " V or less, or " + voltText(thresholds.volUp[at(v)]) + " V or more";
}

std::string alarmBody(const AlarmState& alarms, const ChannelReadings& readings,
                      const WarningThresholds& thresholds) {
    std::string body;
    for (int c = 0; c < kChannelCount; ++c) {
        if (!alarms.flags[at(c)]) continue;
        if (!body.empty()) body += '\n';
        body += alarmLine(static_cast<SensorChannel>(c), readings, thresholds);
    }
    return body;
}

std::optional<Page> alarmPage(const AlarmState& alarms) {
    for (int c = 0; c < kChannelCount; ++c) {
        if (!alarms.flags[at(c)]) continue;
        if (c < kFanCount) return Page::Fan;
        if (c < kFanCount + kTempCount) return Page::Temp;
        return Page::Volt;
    }
    return std::nullopt;
}

void AlarmNotifier::update(const AlarmState& alarms, const ChannelReadings& readings,
                           const WarningThresholds& thresholds) {
    if (!enabled_ || alarms.flags == shown_.flags) return;
    if (alarms.any()) {
        port_.show(kTipWarning, alarmBody(alarms, readings, thresholds));
    } else {
        port_.close();
    }
    shown_ = alarms;
}

}  // namespace velmon
