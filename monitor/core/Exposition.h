// The monitor's readings, thresholds and warning state as a Prometheus text
// exposition, for node_exporter's textfile collector. A pure function of a
// snapshot, so the text is tested by value.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "MonitorState.h"

namespace velmon {

struct ExportSnapshot {
    ChannelReadings readings;
    WarningThresholds thresholds;
    FanConfiguration fans;
    // Channels the sensor library can measure; a fan must also be configured.
    std::array<bool, kChannelCount> measurable{true, true, true, true, true, true,
                                               true, true, true, true, true, true};
    AlarmState alarms;
    // The last read failed: the reading's sample is left out, so that
    // staleness and absent() see it. And the failed reads since the start.
    std::array<bool, kChannelCount> noReading{};
    std::array<std::uint64_t, kChannelCount> readFailures{};
    bool monitoring = true;           // false while switched Off
    std::int64_t lastReadingMs = 0;   // Unix time of the last reading, milliseconds
    std::string version;

    // Present for the export: measurable and, for a fan, configured.
    [[nodiscard]] bool present(SensorChannel channel) const;
    // Present and read: a reading to export.
    [[nodiscard]] bool hasReading(SensorChannel channel) const;
};

// The label values, in SensorChannel order within each group.
inline constexpr std::array<const char*, kFanCount> kFanLabels{"cpu", "power", "chassis"};
inline constexpr std::array<const char*, kTempCount> kSensorLabels{"cpu", "mainboard"};
inline constexpr std::array<const char*, kVoltCount> kInputLabels{"vcore", "vcore2", "3.3v", "5v",
                                                                  "12v",   "-12v",   "-5v"};
inline constexpr std::array<const char*, kChannelCount> kChannelLabels{
    "cpu_fan", "power_fan", "chassis_fan", "cpu_temp", "mainboard_temp", "in0",
    "in1",     "in2",       "in3",         "in4",      "in5",            "in6"};

// The whole file, every family with its HELP and TYPE lines.
std::string expositionText(const ExportSnapshot& snapshot);
// As above, into out (cleared first), so a caller can keep its buffer.
void appendExposition(const ExportSnapshot& snapshot, std::string& out);

}  // namespace velmon
