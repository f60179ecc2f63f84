#include "MachineDefaults.h"

#include <cmath>

namespace velmon {
namespace {

constexpr int kFanMin = 1, kFanMax = 9999;  // the spin control's range
constexpr int kTempMin = 1, kTempMax = 150;
constexpr int kScaleSpan = 50;              // ten slots of 5 °C
constexpr int kRoomAbove = 2;

// Millivolts to the 0.1 V steps the bars and their markers move in.
float voltsDown(std::int32_t mv) { return static_cast<float>(std::floor(mv / 100.0)) / 10.0F; }
float voltsUp(std::int32_t mv) { return static_cast<float>(std::ceil(mv / 100.0)) / 10.0F; }

}  // namespace

int gaugeBaseFor(int gauge, int defaultThreshold) {
    if (gauge < 0 || gauge >= kTempCount) return 0;
    int base = kGaugeBase[static_cast<std::size_t>(gauge)];
    while (defaultThreshold > base + kScaleSpan - kRoomAbove && base < kTempMax) base += 10;
    return base;
}

MachineDefaults machineDefaults(SensorPort& sensor, const ChannelPresence& presence) {
    MachineDefaults out;
    for (int c = 0; c < kChannelCount; ++c) {
        const auto channel = static_cast<SensorChannel>(c);
        if (!presence.present(channel)) continue;
        const auto answer = sensor.channelDefault(channel);
        if (!answer) continue;
        const auto i = static_cast<std::size_t>(c);
        if (c < kFanCount) {
            if (answer->lower < kFanMin || answer->lower > kFanMax) continue;
            out.thresholds.fan[i] = static_cast<std::int16_t>(answer->lower);
        } else if (c < kFanCount + kTempCount) {
            if (answer->upper < kTempMin || answer->upper > kTempMax) continue;
            out.thresholds.temp[i - kFanCount] = static_cast<std::int16_t>(answer->upper);
        } else {
            const float lower = voltsDown(answer->lower), upper = voltsUp(answer->upper);
            if (!(lower < upper) || std::fabs(lower) > 30.0F || std::fabs(upper) > 30.0F) continue;
            out.thresholds.volDn[i - kFanCount - kTempCount] = lower;
            out.thresholds.volUp[i - kFanCount - kTempCount] = upper;
        }
        out.origin[i] = answer->origin;
    }
    for (int g = 0; g < kTempCount; ++g)
        out.gaugeBase[static_cast<std::size_t>(g)] = gaugeBaseFor(g, out.thresholds.temp[static_cast<std::size_t>(g)]);
    return out;
}

}  // namespace velmon
