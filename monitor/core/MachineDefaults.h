// The default thresholds of the machine Velmon runs on: the system's own,
// with the sensor library's answer for each channel whose chip it knows.
// Used at a first start (nothing saved) and by Reset to Default.
#pragma once

#include <array>

#include "MonitorState.h"
#include "Ports.h"

namespace velmon {

struct MachineDefaults {
    WarningThresholds thresholds;  // the installed flags are not defaults of the machine
    std::array<DefaultOrigin, kChannelCount> origin{};
    // First degree of each gauge's scale: the system's, raised where the
    // machine's default would lie beyond the pointer's reach.
    std::array<int, kTempCount> gaugeBase = kGaugeBase;
};

// Asks the library once per present channel. An answer that the gauges
// cannot show (a fan outside 1 … 9999 RPM, a temperature outside 1 … 150 °C,
// a band whose lower end is not below its upper end) keeps the system's default.
MachineDefaults machineDefaults(SensorPort& sensor, const ChannelPresence& presence);

// The scale base of a gauge: the system's, raised in steps of 10 °C until the
// default sits at least 2 °C below the top, so the pointer can go above it.
int gaugeBaseFor(int gauge, int defaultThreshold);

}  // namespace velmon
