// The warning rule of each channel kind, written once. The first reading, the
// polling cycle, the threshold controls, the redraw after a reset and the
// painters all ask these; none restates them.
#pragma once

#include <cstdint>

namespace velmon {

// What a reading says about its channel's alarm.
enum class Verdict {
    Normal,    // clear the alarm
    Warning,   // raise it
    Unjudged,  // leave it as it is
};

// A fan warns at or below its lower threshold while it is installed. A fan
// the user says is not there is not judged until it turns faster than that.
Verdict fanVerdict(std::int16_t speed, std::int16_t threshold, bool installed);

// A temperature warns at or above its upper threshold.
Verdict temperatureVerdict(std::int16_t celsius, std::int16_t threshold);

// A voltage (rounded to 0.1 V) warns unless it lies strictly between its
// lower and upper thresholds.
Verdict voltageVerdict(float volts, float upper, float lower);

}  // namespace velmon
