// The thresholds the pages can show, written once. A threshold read from the
// settings file is a number a user may have edited by hand, or a damaged
// one: outside what its dial, gauge or bar shows it is clamped to the nearer
// end, and text that is no finite number gives the machine's default.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace velmon {

struct ThresholdRange {
    double low = 0, high = 0;
};

// A fan dial's scale: 0 … 10000 RPM (0 warns only on a stopped fan).
ThresholdRange fanThresholdRange();
// A gauge's pointer: base + 1 … base + 50 °C.
ThresholdRange temperatureThresholdRange(int gaugeBase);
// A voltage bar's markers: base + 0.1 … base + 4 V.
ThresholdRange voltageThresholdRange(int scaleBase);

// A stored threshold: the value clamped into range; the fallback when the
// text is missing or no finite number.
std::int16_t fanThresholdFrom(const std::optional<std::string>& text, std::int16_t fallback);
std::int16_t temperatureThresholdFrom(const std::optional<std::string>& text, int gaugeBase, std::int16_t fallback);
float voltageThresholdFrom(const std::optional<std::string>& text, int scaleBase, float fallback);

}  // namespace velmon
