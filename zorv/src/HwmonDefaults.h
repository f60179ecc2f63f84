// The machine's own default warning thresholds on today's chips. Pure: the
// chip and feature a channel reads, with the driver's limits, in; a default
// out, so every rule is tested without a chip.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "Channels.h"
#include "HwmonMap.h"

namespace zorv::hwmon {

// Today's defaults where the driver gives no plausible limit.
inline constexpr int kTodayFanRpm = 300;      // a stall: a fan idling at 500 RPM is healthy
inline constexpr int kTodayCpuC = 95;         // a processor of unknown kind; Intel's TjMax is 100
inline constexpr int kTodayZenCpuC = 97;      // k10temp Tctl/Tdie and zenpower run to 95 by design
inline constexpr int kTodayArmCpuC = 85;      // small boards throttle at 80..85
inline constexpr int kTodayBoardC = 75;       // a warm case in summer stays below
inline constexpr int kCritMarginC = 5;        // warn this far below the processor's critical limit

// The default of one channel that reads feature on chip. reading is the
// feature's value now (libsensors' units) when known: a fan minimum the fan
// already turns below is taken for a setting of no meaning, not a fault.
ChannelDefault channelDefault(Channel channel, const ChipInfo& chip, const FeatureInfo& feature,
                              std::optional<double> reading = std::nullopt);

// All twelve channels. present holds the feature of each channel the source
// reads (nothing for an absent one, which stays System); readings as above.
// On an LM78-family board every channel keeps the system's defaults.
ChannelDefaults machineDefaults(const std::vector<ChipInfo>& chips, const ChannelMap& present,
                                const std::array<std::optional<double>, kChannelCount>& readings = {});

// "300 RPM (today's default)", "95 C (chip limit: crit 100 C)",
// "2.9..3.9 V (system default)": a default as a listing shows it.
std::string describeDefault(Channel channel, const ChannelDefault& d);

}  // namespace zorv::hwmon
