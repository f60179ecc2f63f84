// Defaults that fit the machine: the driver's limit where it is plausible,
// else one fitted to today's parts. A default that warns on a healthy machine
// is wrong, so a limit of doubtful meaning is never taken.
#include "HwmonDefaults.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace zorv::hwmon {
namespace {

constexpr std::size_t at(Channel c) { return static_cast<std::size_t>(c); }

bool within(const std::optional<double>& v, double low, double high) { return v && *v >= low && *v <= high; }

std::string number(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", v);
    return buf;
}

// Millivolts on the 0.1 V step, as "3.0" or "-12.2".
std::string volts(std::int32_t mv) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%d.%d", mv < 0 ? "-" : "", std::abs(mv) / 1000, std::abs(mv) % 1000 / 100);
    return buf;
}

ChannelDefault chip(std::int32_t lower, std::int32_t upper, std::string why) {
    return {DefaultOrigin::Chip, lower, upper, std::move(why)};
}
ChannelDefault today(std::int32_t lower, std::int32_t upper, std::string why = {}) {
    return {DefaultOrigin::Today, lower, upper, std::move(why)};
}
ChannelDefault keepSystem(std::string why = {}) { return {DefaultOrigin::System, 0, 0, std::move(why)}; }

// Fan minimums are usually 0 (nct6775) or a value the BIOS wrote for fans
// of another age; one the fan already turns below would warn at once.
ChannelDefault fanDefault(const FeatureInfo& f, std::optional<double> reading) {
    const auto& min = f.limits.min;
    if (!min || *min == 0) return today(kTodayFanRpm, 0);
    if (!within(min, 100, 3000)) return today(kTodayFanRpm, 0, "min " + number(*min) + " RPM is implausible");
    if (reading && *reading > 0 && *min >= *reading)
        return today(kTodayFanRpm, 0, "min " + number(*min) + " RPM is above the fan's speed");
    return chip(static_cast<std::int32_t>(std::lround(*min)), 0, "min " + number(*min) + " RPM");
}

bool plausibleCrit(const Limits& l) { return within(l.crit, 70, 130); }

ChannelDefault belowCrit(const Limits& l) {
    return chip(0, static_cast<std::int32_t>(std::lround(*l.crit)) - kCritMarginC, "crit " + number(*l.crit) + " C");
}

// The processor's temperature, by the driver that reads it.
ChannelDefault cpuTempDefault(const ChipInfo& c, const FeatureInfo& f) {
    const Limits& l = f.limits;
    if (c.prefix == "zenpower" || (c.prefix == "k10temp" && (f.label == "Tctl" || f.label == "Tdie")))
        return today(0, kTodayZenCpuC, c.prefix + " has no limit and runs to 95 C");
    // Before Zen, k10temp's max is the processor's highest Tctl (70 on most).
    if (c.prefix == "k10temp" && within(l.max, 45, 100))
        return chip(0, static_cast<std::int32_t>(std::lround(*l.max)), "max " + number(*l.max) + " C");
    // coretemp's crit is TjMax; its max is TjMax less an offset of no meaning.
    if (plausibleCrit(l)) return belowCrit(l);
    if (c.prefix == "cpu_thermal" || c.prefix == "soc_thermal") return today(0, kTodayArmCpuC);
    return today(0, kTodayCpuC);
}

ChannelDefault boardTempDefault(const FeatureInfo& f) {
    const auto& max = f.limits.max;
    if (within(max, 45, 100)) return chip(0, static_cast<std::int32_t>(std::lround(*max)), "max " + number(*max) + " C");
    return today(0, kTodayBoardC);
}

// The rails' nominal volts; the core inputs have none of their own.
std::optional<double> nominal(Channel c) {
    switch (c) {
    case Channel::In2: return 3.3;
    case Channel::In3: return 5.0;
    case Channel::In4: return 12.0;
    case Channel::In5: return -12.0;
    case Channel::In6: return -5.0;
    default: return std::nullopt;
    }
}

std::int32_t floorTo100(std::int64_t mv) { return static_cast<std::int32_t>((mv >= 0 ? mv : mv - 99) / 100 * 100); }
std::int32_t ceilTo100(std::int64_t mv) { return -floorTo100(-mv); }

// Only a band around the rail's nominal value: 0/0 (nct6775's unused inputs),
// min above max (it87), 0 and 255 (a BIOS's) are no band.
ChannelDefault voltageDefault(Channel channel, const FeatureInfo& f) {
    auto low = f.limits.min, high = f.limits.max;
    if (!low || !high || !std::isfinite(*low) || !std::isfinite(*high)) return keepSystem("no band from the chip");
    const auto rail = nominal(channel);
    // A compute line that turns a pin volt into a negative rail swaps the ends.
    if (rail && *rail < 0 && *low > *high) std::swap(low, high);
    // A core input's nominal is whatever the processor asks for: the band's middle.
    const double centre = rail ? *rail : (*low + *high) / 2;
    const double slack = std::abs(centre) * 0.2;
    const bool band = *low < centre && centre < *high && centre - *low <= slack && *high - centre <= slack &&
                      (rail || (centre >= 0.5 && centre <= 3.7));
    const std::string limits = "min " + number(*low) + " V, max " + number(*high) + " V";
    if (!band) return keepSystem(limits + " is no band around the rail");
    return chip(floorTo100(std::llround(*low * 1000)), ceilTo100(std::llround(*high * 1000)), limits);
}

bool isFan(Channel c) { return static_cast<int>(c) <= static_cast<int>(Channel::ChassisFan); }

// The system's own defaults (those of the LM78 board), for listings only.
struct SystemDefault {
    std::int32_t lower, upper;
};
constexpr std::array<SystemDefault, kChannelCount> kSystem = {{
    {2800, 0}, {2700, 0}, {1800, 0}, {0, 80}, {0, 50},
    {1500, 3700}, {1300, 3700}, {2900, 3900}, {4500, 5500}, {11000, 13000}, {-13700, -10300}, {-5700, -4300},
}};

}  // namespace

ChannelDefault channelDefault(Channel channel, const ChipInfo& c, const FeatureInfo& f, std::optional<double> reading) {
    if (isFan(channel)) return fanDefault(f, reading);
    if (channel == Channel::CpuTemp) return cpuTempDefault(c, f);
    if (channel == Channel::MbTemp) return boardTempDefault(f);
    return voltageDefault(channel, f);
}

ChannelDefaults machineDefaults(const std::vector<ChipInfo>& chips, const ChannelMap& present,
                                const std::array<std::optional<double>, kChannelCount>& readings) {
    ChannelDefaults out;
    const bool lm78 = isLm78Board(chips);
    for (int i = 0; i < kChannelCount; ++i) {
        const auto& ref = present[static_cast<std::size_t>(i)];
        if (!ref) continue;
        if (lm78) {
            out[static_cast<std::size_t>(i)] = keepSystem("LM78 family");
            continue;
        }
        for (const auto& c : chips)
            if (c.name == ref->chip)
                for (const auto& f : c.features)
                    if (f.name == ref->feature)
                        out[static_cast<std::size_t>(i)] =
                            channelDefault(static_cast<Channel>(i), c, f, readings[static_cast<std::size_t>(i)]);
    }
    return out;
}

std::string describeDefault(Channel channel, const ChannelDefault& d) {
    const SystemDefault s = kSystem[at(channel)];
    const bool sys = d.origin == DefaultOrigin::System;
    const std::int32_t lower = sys ? s.lower : d.lower, upper = sys ? s.upper : d.upper;
    std::string text;
    if (isFan(channel))
        text = std::to_string(lower) + " RPM";
    else if (channel == Channel::CpuTemp || channel == Channel::MbTemp)
        text = std::to_string(upper) + " C";
    else
        text = volts(lower) + ".." + volts(upper) + " V";
    switch (d.origin) {
    case DefaultOrigin::Chip: return text + " (chip limit: " + d.why + ")";
    case DefaultOrigin::Today: return text + " (today's default" + (d.why.empty() ? "" : ": " + d.why) + ")";
    case DefaultOrigin::System: break;
    }
    return text + " (system default" + (d.why.empty() ? "" : ": " + d.why) + ")";
}

}  // namespace zorv::hwmon
