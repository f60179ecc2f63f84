#include "ThresholdLimits.h"

#include <algorithm>
#include <cmath>

#include "SettingsStore.h"

namespace velmon {
namespace {

std::optional<double> clamped(const std::optional<std::string>& text, ThresholdRange range) {
    if (!text) return std::nullopt;
    const auto v = parseDecimal(*text);
    if (!v) return std::nullopt;
    return std::clamp(*v, range.low, range.high);
}

std::int16_t wholeIn(const std::optional<std::string>& text, ThresholdRange range, std::int16_t fallback) {
    const auto v = clamped(text, range);
    // Halves to even, as the integer conversion of the settings does.
    return v ? static_cast<std::int16_t>(std::clamp(std::nearbyint(*v), range.low, range.high)) : fallback;
}

}  // namespace

ThresholdRange fanThresholdRange() { return {0, 10000}; }
ThresholdRange temperatureThresholdRange(int gaugeBase) { return {gaugeBase + 1.0, gaugeBase + 50.0}; }
ThresholdRange voltageThresholdRange(int scaleBase) { return {scaleBase + 0.1, scaleBase + 4.0}; }

std::int16_t fanThresholdFrom(const std::optional<std::string>& text, std::int16_t fallback) {
    return wholeIn(text, fanThresholdRange(), fallback);
}

std::int16_t temperatureThresholdFrom(const std::optional<std::string>& text, int gaugeBase, std::int16_t fallback) {
    return wholeIn(text, temperatureThresholdRange(gaugeBase), fallback);
}

float voltageThresholdFrom(const std::optional<std::string>& text, int scaleBase, float fallback) {
    const auto v = clamped(text, voltageThresholdRange(scaleBase));
    return v ? static_cast<float>(*v) : fallback;
}

}  // namespace velmon
