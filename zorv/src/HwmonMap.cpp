#include "HwmonMap.h"

#include <algorithm>

#include "platform/ByteCursor.h"

namespace zorv::hwmon {
namespace {

bool isChipChar(std::uint8_t b) {
    return (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b == '-' || b == '_';
}

}  // namespace

std::vector<const ChipInfo*> byName(const std::vector<ChipInfo>& chips) {
    std::vector<const ChipInfo*> sorted;
    for (const auto& c : chips) sorted.push_back(&c);
    std::stable_sort(sorted.begin(), sorted.end(), [](auto* a, auto* b) { return a->name < b->name; });
    return sorted;
}

bool ChipInfo::has(std::string_view feature) const {
    return std::any_of(features.begin(), features.end(), [&](const FeatureInfo& f) { return f.name == feature; });
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
    if (letters == 0 || feature.size() == letters) return std::nullopt;
    if (cur.remaining() == 0) return FeatureTarget{std::move(chip), std::move(feature)};

    auto skipBlanks = [&] {
        while (auto b = span.u8(cur.pos())) {
            if (*b != ' ' && *b != '\t') break;
            cur.skip(1);
        }
    };
    skipBlanks();
    auto star = cur.u8();
    if (!star || *star != '*') return std::nullopt;
    skipBlanks();
    // A plain decimal: digits, at most one point, digits.
    std::string number;
    bool point = false;
    while (auto b = span.u8(cur.pos())) {
        if (*b == '.' && !point) point = true;
        else if (!(*b >= '0' && *b <= '9')) break;
        number.push_back(static_cast<char>(*b));
        cur.skip(1);
    }
    if (cur.remaining() != 0 || number.empty() || number == "." || number.size() > 16) return std::nullopt;
    double factor = 0;
    for (char c : number) {
        if (c == '.') continue;
        factor = factor * 10 + (c - '0');
    }
    if (const auto dot = number.find('.'); dot != std::string::npos)
        for (std::size_t i = dot + 1; i < number.size(); ++i) factor /= 10;
    if (!(factor >= kMinFactor && factor <= kMaxFactor)) return std::nullopt;
    return FeatureTarget{std::move(chip), std::move(feature), factor};
}

UserMap userMapFromConfig(const Config& config) {
    UserMap user;
    for (const auto& [key, value] : config.entries) {
        const auto channel = channelFromName(key);
        if (!channel) continue;
        auto wanted = parseFeatureTarget(value);
        // Only a voltage is read through a divider.
        if (wanted && wanted->factor != 1.0 && static_cast<int>(*channel) < static_cast<int>(Channel::In0)) {
            user.problems.push_back(key + " = " + value + ": a factor is for voltages only");
            continue;
        }
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
    ResolvedMap out{builtInMap(chips), {}, {}, user.problems};
    for (int i = 0; i < kChannelCount; ++i) {
        const auto& wanted = user.channels[static_cast<std::size_t>(i)];
        if (!wanted) continue;
        auto& slot = out.channels[static_cast<std::size_t>(i)];
        auto& why = out.why[static_cast<std::size_t>(i)];
        out.fromUser[static_cast<std::size_t>(i)] = true;
        slot.reset();
        if (wanted->chipPattern.empty()) {
            why = "not mapped (zorv.conf: none)";
            continue;
        }
        const std::string target = wanted->chipPattern + "/" + wanted->feature;
        const ChipInfo* chip = findChip(chips, wanted->chipPattern);
        if (!chip)
            out.notes.push_back(std::string(channelName(static_cast<Channel>(i))) + ": no chip " + wanted->chipPattern);
        else if (!chip->has(wanted->feature))
            out.notes.push_back(std::string(channelName(static_cast<Channel>(i))) + ": " + chip->name +
                                " has no feature " + wanted->feature);
        else {
            slot = FeatureRef{chip->name, wanted->feature};
            out.factor[static_cast<std::size_t>(i)] = wanted->factor;
        }
        if (!slot) why = "no such sensor (zorv.conf names " + target + ")";
    }
    for (int i = 0; i < kChannelCount; ++i)
        if (!out.channels[static_cast<std::size_t>(i)] && out.why[static_cast<std::size_t>(i)].empty())
            out.why[static_cast<std::size_t>(i)] = absenceReason(chips, static_cast<Channel>(i));
    return out;
}

std::int16_t toExportUnits(Channel channel, double value) {
    const bool volts = static_cast<int>(channel) >= static_cast<int>(Channel::In0);
    return clamp16(volts ? value * 1000.0 : value);
}

}  // namespace zorv::hwmon
