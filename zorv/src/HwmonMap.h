// Which chip feature each of the twelve channels reads. Pure: chip names and
// feature lists in, a channel map out, so every rule is tested without a chip.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Channels.h"
#include "Config.h"

namespace zorv::hwmon {

// The driver's own limits in libsensors' units (after compute lines), read
// once when the chips are found; unset where the driver has none. Only the
// ones the defaults use: fanN_min, inN_min/inN_max, tempN_max/tempN_crit.
struct Limits {
    std::optional<double> min, max, crit;
    bool operator==(const Limits&) const = default;
};

struct FeatureInfo {
    std::string name;   // libsensors' feature name: "fan1", "in4", "temp2"
    std::string label;  // after the user's "label" lines; the name when none
    Limits limits{};
};

struct ChipInfo {
    std::string name;    // full libsensors name: "nct6798-isa-0290", "lm78-virtual-0"
    std::string prefix;  // the driver's chip name: "nct6798"
    std::vector<FeatureInfo> features;  // "ignore"d features are absent

    [[nodiscard]] bool has(std::string_view feature) const;
};

// The chips in the order of their full names, the same on every start
// whatever order libsensors found them in.
std::vector<const ChipInfo*> byName(const std::vector<ChipInfo>& chips);

struct FeatureRef {
    std::string chip;  // full name
    std::string feature;
    bool operator==(const FeatureRef&) const = default;
};

using ChannelMap = std::array<std::optional<FeatureRef>, kChannelCount>;

// The maps for chips Velmon knows. Chips are chosen by name, never by the
// order the kernel numbered them in. The LM78 family is mapped by pin; on
// other chips only the channels whose meaning and scaling are certain, and
// the rail inputs whose label (the driver's or sensors.d's) names the rail.
ChannelMap builtInMap(const std::vector<ChipInfo>& chips);

// Whether the board chip is one of the LM78 family (lm78, lm79, w83781d …),
// mapped by pin and judged by the system's own thresholds.
bool isLm78Board(const std::vector<ChipInfo>& chips);

// Why the built-in map leaves a channel unread on these chips: "no such
// sensor", "divider unknown (…)" or "not mapped (…)".
std::string absenceReason(const std::vector<ChipInfo>& chips, Channel channel);

// One channel line of zorv.conf: "cpu_fan = nct6798-isa-0290/fan2". The chip
// part may end in "-*" or be the bare chip name to match any address;
// "none" leaves the channel unread. A voltage may end in "* FACTOR" for an
// input whose divider the user knows: "in4 = nct6798-*/in4 * 6".
struct FeatureTarget {
    std::string chipPattern;  // empty for "none"
    std::string feature;
    double factor = 1.0;
    bool operator==(const FeatureTarget&) const = default;
};
// The factors a line may give: past these, a number is a typing slip.
inline constexpr double kMinFactor = 0.001, kMaxFactor = 1000.0;
std::optional<FeatureTarget> parseFeatureTarget(std::string_view text);

struct UserMap {
    std::array<std::optional<FeatureTarget>, kChannelCount> channels;  // set where zorv.conf names the channel
    std::vector<std::string> problems;                               // lines that did not parse
};
UserMap userMapFromConfig(const Config& config);

// The first chip (by name) that a pattern selects.
const ChipInfo* findChip(const std::vector<ChipInfo>& chips, std::string_view pattern);

// The map in force: the user's lines over the built-in map. A user line whose
// chip or feature is not there leaves its channel unread and adds a note.
struct ResolvedMap {
    ChannelMap channels;
    std::array<bool, kChannelCount> fromUser{};
    std::array<std::string, kChannelCount> why;  // for each unread channel
    std::vector<std::string> notes;
    std::array<double, kChannelCount> factor{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};  // applied to the reading
};
ResolvedMap resolveMap(const std::vector<ChipInfo>& chips, const UserMap& user);

// libsensors' value (RPM, degrees Celsius, volts) in the exports' units.
std::int16_t toExportUnits(Channel channel, double value);

}  // namespace zorv::hwmon
