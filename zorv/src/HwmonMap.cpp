#include "HwmonMap.h"

#include <algorithm>

#include "platform/ByteCursor.h"

namespace zorv::hwmon {
namespace {

// Features of one board chip family, in channel order; "" where the family has
// no dependable pin for the channel. cpu_temp is the chip's own fallback, used
// when no dedicated CPU sensor is found.
struct Family {
    std::vector<std::string_view> prefixes;  // a prefix ending in '*' matches by its start
    std::array<std::string_view, kChannelCount> features;
    bool prefersLm75;  // boards of this age carry the CPU's LM75 next to it
};

const std::vector<Family>& families() {
    static const std::vector<Family> table = {
        // The LM78 and its clones: the pin layout the twelve channels come from.
        {{"lm78", "lm79", "w83781d", "w83782d", "w83783s", "w83627hf", "as99127f"},
         {"fan1", "fan2", "fan3", "temp2", "temp1", "in0", "in1", "in2", "in3", "in4", "in5", "in6"},
         true},
        // ITE chips keep the LM78's voltage order; fan2 is the system header.
        {{"it8*"}, {"fan1", "fan3", "fan2", "temp2", "temp1", "in0", "in1", "in2", "in3", "in4", "in5", "in6"}, false},
        // Nuvoton: CPUFAN is fan2, SYSFAN fan1; only VCORE and 3VCC are wired the
        // same on every board, the other inputs need the board's own divider lines.
        {{"nct6106", "nct6116", "nct6775", "nct6776", "nct6779", "nct679*"},
         {"fan2", "fan3", "fan1", "temp2", "temp1", "in0", "", "in3", "", "", "", ""},
         false},
    };
    return table;
}

// Processor sensors that know the CPU temperature better than a board pin.
constexpr std::array<std::string_view, 2> kCpuChips = {"k10temp", "coretemp"};

bool prefixMatches(std::string_view pattern, std::string_view prefix) {
    if (!pattern.empty() && pattern.back() == '*') return prefix.starts_with(pattern.substr(0, pattern.size() - 1));
    return pattern == prefix;
}

const Family* familyOf(const ChipInfo& chip) {
    for (const auto& f : families())
        for (auto p : f.prefixes)
            if (prefixMatches(p, chip.prefix)) return &f;
    return nullptr;
}

std::vector<const ChipInfo*> byName(const std::vector<ChipInfo>& chips) {
    std::vector<const ChipInfo*> sorted;
    for (const auto& c : chips) sorted.push_back(&c);
    std::stable_sort(sorted.begin(), sorted.end(), [](auto* a, auto* b) { return a->name < b->name; });
    return sorted;
}

std::optional<FeatureRef> firstWith(const std::vector<const ChipInfo*>& sorted, std::string_view prefix,
                                    std::string_view feature) {
    for (auto* c : sorted)
        if (c->prefix == prefix && c->has(feature)) return FeatureRef{c->name, std::string(feature)};
    return std::nullopt;
}

bool isChipChar(std::uint8_t b) {
    return (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b == '-' || b == '_';
}

}  // namespace

bool ChipInfo::has(std::string_view feature) const {
    return std::any_of(features.begin(), features.end(), [&](const FeatureInfo& f) { return f.name == feature; });
}

ChannelMap builtInMap(const std::vector<ChipInfo>& chips) {
    ChannelMap map;
    const auto sorted = byName(chips);

    // The board chip: the first known family in table order, then by name.
    const ChipInfo* board = nullptr;
    const Family* family = nullptr;
    for (const auto& f : families()) {
        for (auto* c : sorted)
            if (familyOf(*c) == &f) {
                board = c;
                family = &f;
                break;
            }
        if (board) break;
    }
    if (board) {
        for (int i = 0; i < kChannelCount; ++i) {
            const auto feature = family->features[static_cast<std::size_t>(i)];
            if (!feature.empty() && board->has(feature))
                map[static_cast<std::size_t>(i)] = FeatureRef{board->name, std::string(feature)};
        }
    }

    std::vector<std::optional<FeatureRef>> cpu;
    auto lm75 = firstWith(sorted, "lm75", "temp1");
    if (!family || family->prefersLm75) cpu.push_back(lm75);
    for (auto p : kCpuChips) cpu.push_back(firstWith(sorted, p, "temp1"));
    if (family && !family->prefersLm75) cpu.push_back(lm75);
    auto& cpuTemp = map[static_cast<std::size_t>(Channel::CpuTemp)];
    for (auto& c : cpu)
        if (c) {
            cpuTemp = c;
            break;
        }
    return map;
}

std::optional<FeatureTarget> parseFeatureTarget(std::string_view text) {
    constexpr std::size_t kMaxLength = 128;
    if (text.size() > kMaxLength) return std::nullopt;
    if (text == "none") return FeatureTarget{};
    const platform::ByteSpan span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    platform::ByteCursor cur(span);

    std::string chip;
    while (auto b = span.u8(cur.pos())) {
        if (!isChipChar(*b)) break;
        chip.push_back(static_cast<char>(*b));
        cur.skip(1);
    }
    if (auto star = span.u8(cur.pos()); star && *star == '*') {
        if (chip.empty() || chip.back() != '-') return std::nullopt;
        chip.push_back('*');
        cur.skip(1);
    }
    if (chip.empty() || chip.front() == '-') return std::nullopt;
    auto slash = cur.u8();
    if (!slash || *slash != '/') return std::nullopt;

    // A feature is a type word and a number: fan2, in0, temp1, power1.
    std::string feature;
    while (auto b = span.u8(cur.pos())) {
        if (!((*b >= 'a' && *b <= 'z') || *b == '_')) break;
        feature.push_back(static_cast<char>(*b));
        cur.skip(1);
    }
    const std::size_t letters = feature.size();
    while (auto b = span.u8(cur.pos())) {
        if (!(*b >= '0' && *b <= '9')) break;
        feature.push_back(static_cast<char>(*b));
        cur.skip(1);
    }
    if (letters == 0 || feature.size() == letters || cur.remaining() != 0) return std::nullopt;
    return FeatureTarget{std::move(chip), std::move(feature)};
}

UserMap userMapFromConfig(const Config& config) {
    UserMap user;
    for (const auto& [key, value] : config.entries) {
        const auto channel = channelFromName(key);
        if (!channel) continue;
        auto wanted = parseFeatureTarget(value);
        if (!wanted) {
            user.problems.push_back(key + " = " + value + ": not CHIP/FEATURE (for example nct6798-isa-0290/fan2)");
            continue;
        }
        user.channels[static_cast<std::size_t>(*channel)] = std::move(wanted);  // the last line wins
    }
    return user;
}

const ChipInfo* findChip(const std::vector<ChipInfo>& chips, std::string_view pattern) {
    for (auto* c : byName(chips)) {
        if (c->name == pattern || c->prefix == pattern) return c;
        if (pattern.ends_with("-*") && c->name.starts_with(pattern.substr(0, pattern.size() - 1))) return c;
    }
    return nullptr;
}

ResolvedMap resolveMap(const std::vector<ChipInfo>& chips, const UserMap& user) {
    ResolvedMap out{builtInMap(chips), {}, user.problems};
    for (int i = 0; i < kChannelCount; ++i) {
        const auto& wanted = user.channels[static_cast<std::size_t>(i)];
        if (!wanted) continue;
        auto& slot = out.channels[static_cast<std::size_t>(i)];
        out.fromUser[static_cast<std::size_t>(i)] = true;
        slot.reset();
        if (wanted->chipPattern.empty()) continue;
        const ChipInfo* chip = findChip(chips, wanted->chipPattern);
        if (!chip)
            out.notes.push_back(std::string(channelName(static_cast<Channel>(i))) + ": no chip " + wanted->chipPattern);
        else if (!chip->has(wanted->feature))
            out.notes.push_back(std::string(channelName(static_cast<Channel>(i))) + ": " + chip->name +
                                " has no feature " + wanted->feature);
        else
            slot = FeatureRef{chip->name, wanted->feature};
    }
    return out;
}

std::int16_t toExportUnits(Channel channel, double value) {
    const bool volts = static_cast<int>(channel) >= static_cast<int>(Channel::In0);
    return clamp16(volts ? value * 1000.0 : value);
}

}  // namespace zorv::hwmon
