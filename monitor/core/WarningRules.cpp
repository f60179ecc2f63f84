#include "WarningRules.h"

namespace velmon {

Verdict fanVerdict(std::int16_t speed, std::int16_t threshold, bool installed) {
    if (speed > threshold) return Verdict::Normal;
    return installed ? Verdict::Warning : Verdict::Unjudged;
}

Verdict temperatureVerdict(std::int16_t celsius, std::int16_t threshold) {
    return celsius >= threshold ? Verdict::Warning : Verdict::Normal;
}

Verdict voltageVerdict(float volts, float upper, float lower) {
    return lower < volts && volts < upper ? Verdict::Normal : Verdict::Warning;
}

}  // namespace velmon
