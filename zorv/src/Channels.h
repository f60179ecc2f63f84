#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace zorv {

// The twelve channels in the order Velmon visits them.
enum class Channel : int { CpuFan, PowerFan, ChassisFan, CpuTemp, MbTemp, In0, In1, In2, In3, In4, In5, In6 };
inline constexpr int kChannelCount = 12;

// Names used by the file source, the scenario files and the maps of zorv.conf.
inline constexpr std::array<std::string_view, kChannelCount> kChannelNames = {
    "cpu_fan", "power_fan", "chassis_fan", "cpu_temp", "mb_temp", "in0", "in1", "in2", "in3", "in4", "in5", "in6"};

inline constexpr std::string_view channelName(Channel c) { return kChannelNames[static_cast<std::size_t>(c)]; }

inline std::optional<Channel> channelFromName(std::string_view name) {
    for (int i = 0; i < kChannelCount; ++i)
        if (kChannelNames[static_cast<std::size_t>(i)] == name) return static_cast<Channel>(i);
    return std::nullopt;
}

// Where a channel's default warning threshold comes from; the numbers are the export's.
enum class DefaultOrigin : std::int32_t { System = 0, Chip = 1, Today = 2 };

// A channel's default on this machine. Fans: lower in RPM (warns at or
// below). Temperatures: upper in whole degrees Celsius (warns at or above).
// Voltages: lower and upper in mV on the 0.1 V steps (warns unless strictly
// between). System: both 0, the caller keeps its own defaults.
struct ChannelDefault {
    DefaultOrigin origin = DefaultOrigin::System;
    std::int32_t lower = 0;
    std::int32_t upper = 0;
    std::string why;  // the limit or the reason behind it, for listings: "crit 100 C"
    bool operator==(const ChannelDefault&) const = default;
};
using ChannelDefaults = std::array<ChannelDefault, kChannelCount>;

// Nearest integer, clamped to the 16-bit range; NaN reads 0.
inline std::int16_t clamp16(double v) {
    if (std::isnan(v)) return 0;
    const double r = std::nearbyint(v);
    if (r >= std::numeric_limits<std::int16_t>::max()) return std::numeric_limits<std::int16_t>::max();
    if (r <= std::numeric_limits<std::int16_t>::min()) return std::numeric_limits<std::int16_t>::min();
    return static_cast<std::int16_t>(r);
}

}  // namespace zorv
