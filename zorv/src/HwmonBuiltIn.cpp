// The built-in map: which chip feature each channel reads when zorv.conf does
// not say. The LM78 family keeps the pin layout the twelve channels come from;
// on every other chip a channel is mapped only where its meaning and scaling
// are certain, because a wrong number raises a false alarm and an absent
// channel does not.
#include <algorithm>
#include <cctype>

#include "HwmonMap.h"

namespace zorv::hwmon {
namespace {

constexpr std::size_t at(Channel c) { return static_cast<std::size_t>(c); }

// Board chip families, in order of preference when a machine has several.
struct Family {
    std::vector<std::string_view> prefixes;  // a prefix ending in '*' matches by its start
    // Features by pin, in channel order; "" where the family has no pin that
    // means the channel on every board.
    std::array<std::string_view, kChannelCount> pins;
    bool lm78;  // the LM78 and its clones: mapped by pin, exactly as always
    // Inputs the driver names itself (tempN_label): the name wins over the pin.
    std::string_view systemLabel, cpuLabel;
};

const std::vector<Family>& families() {
    static const std::vector<Family> table = {
        {{"lm78", "lm79", "w83781d", "w83782d", "w83783s", "w83627hf", "as99127f"},
         {"fan1", "fan2", "fan3", "temp2", "temp1", "in0", "in1", "in2", "in3", "in4", "in5", "in6"},
         true, "", ""},
        // ITE: fan1 is the CPU header and fan2 the first system header on every
        // board; temp1 is the system sensor. The CPU input and the dividers of
        // in0..in6 differ from board to board.
        {{"it8*"}, {"fan1", "", "fan2", "", "temp1", "", "", "", "", "", "", ""}, false, "", ""},
        // Nuvoton: CPUFAN is fan2, SYSFAN fan1; in3 is 3VCC, which the driver
        // scales itself. The driver names SYSTIN and CPUTIN.
        {{"nct6106", "nct6116", "nct6775", "nct6776", "nct6779", "nct679*", "w83627ehf", "w83627dhg", "w83667hg"},
         {"fan2", "", "fan1", "temp2", "temp1", "", "", "in3", "", "", "", ""},
         false, "SYSTIN", "CPUTIN"},
    };
    return table;
}

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

const FeatureInfo* feature(const ChipInfo& chip, std::string_view name) {
    for (const auto& f : chip.features)
        if (f.name == name) return &f;
    return nullptr;
}

const FeatureInfo* labelled(const ChipInfo& chip, std::string_view type, std::string_view label) {
    for (const auto& f : chip.features)
        if (f.name.starts_with(type) && f.label == label) return &f;
    return nullptr;
}

std::optional<FeatureRef> ref(const ChipInfo& chip, const FeatureInfo* f) {
    if (!f) return std::nullopt;
    return FeatureRef{chip.name, f->name};
}

// A feature without a label of its own is known by its pin alone.
bool unlabelled(const FeatureInfo& f) { return f.label == f.name; }

// "+3.3 V" → "+3.3V": labels compared without case, blanks or underscores.
std::string normalised(std::string_view label) {
    std::string out;
    for (char c : label)
        if (c != ' ' && c != '\t' && c != '_') out.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    return out;
}

// How users and drivers spell the five rails. Standby rails (3VSB, 5VSB),
// the battery and the analogue supply (AVCC) are other things.
bool namesRail(Channel channel, std::string_view label) {
    static const std::vector<std::string_view> rails[5] = {
        {"+3.3V", "3.3V", "+3.3", "3.3", "+3V3", "3V3", "3VCC", "VCC3", "VCC3V", "VCC3.3", "VCC3.3V", "+3.3VCC",
         "3.3VCC", "V3.3"},
        {"+5V", "5V", "+5", "+5.0V", "5.0V", "5VCC", "+5VCC", "VCC5", "VCC5V", "V5"},
        {"+12V", "12V", "+12", "+12.0V", "12.0V", "12VCC", "+12VCC", "VCC12", "VCC12V", "V12"},
        {"-12V", "-12", "-12.0V", "-12VCC", "V-12"},
        {"-5V", "-5", "-5.0V", "-5VCC", "V-5"},
    };
    const int i = static_cast<int>(channel) - static_cast<int>(Channel::In2);
    if (i < 0 || i >= 5) return false;
    const std::string l = normalised(label);
    return std::find(rails[i].begin(), rails[i].end(), l) != rails[i].end();
}

bool isVoltage(const FeatureInfo& f) {
    return f.name.size() > 2 && f.name.starts_with("in") && std::isdigit(static_cast<unsigned char>(f.name[2]));
}

// The board chip: the first known family in table order, then by name.
std::pair<const ChipInfo*, const Family*> boardChip(const std::vector<const ChipInfo*>& sorted) {
    for (const auto& f : families())
        for (auto* c : sorted)
            if (familyOf(*c) == &f) return {c, &f};
    return {nullptr, nullptr};
}

const ChipInfo* firstChip(const std::vector<const ChipInfo*>& sorted, std::string_view prefix) {
    for (auto* c : sorted)
        if (c->prefix == prefix) return c;
    return nullptr;
}

std::optional<FeatureRef> firstWith(const std::vector<const ChipInfo*>& sorted, std::string_view prefix,
                                    std::string_view name) {
    for (auto* c : sorted)
        if (c->prefix == prefix && c->has(name)) return FeatureRef{c->name, std::string(name)};
    return std::nullopt;
}

// The LM78 family, exactly as it has always been mapped: by pin, with the
// CPU's LM75 (then a processor sensor) before the chip's own temp2.
void mapLm78Board(const ChipInfo& board, const Family& family, const std::vector<const ChipInfo*>& sorted,
                  ChannelMap& map) {
    for (int i = 0; i < kChannelCount; ++i) {
        const auto pin = family.pins[static_cast<std::size_t>(i)];
        if (board.has(pin)) map[static_cast<std::size_t>(i)] = FeatureRef{board.name, std::string(pin)};
    }
    for (auto cpu : {firstWith(sorted, "lm75", "temp1"), firstWith(sorted, "k10temp", "temp1"),
                     firstWith(sorted, "coretemp", "temp1")})
        if (cpu) {
            map[at(Channel::CpuTemp)] = cpu;
            return;
        }
}

// A temperature the driver names, else the pin when the driver names none.
const FeatureInfo* namedOrPin(const ChipInfo& chip, std::string_view label, std::string_view pin) {
    if (!label.empty())
        if (auto* f = labelled(chip, "temp", label)) return f;
    auto* f = feature(chip, pin);
    return f && (label.empty() || unlabelled(*f)) ? f : nullptr;
}

// The processor's own sensor, best first.
std::optional<FeatureRef> processorTemperature(const std::vector<const ChipInfo*>& sorted) {
    for (auto* c : sorted)
        if (c->prefix == "k10temp" || c->prefix == "zenpower") {
            // Tdie is the die itself; Tctl may carry a fan-control offset.
            for (auto label : {"Tdie", "Tctl"})
                if (auto* f = labelled(*c, "temp", label)) return ref(*c, f);
            // Processors before Zen name nothing: temp1 is the only reading.
            if (auto* f = feature(*c, "temp1"); f && unlabelled(*f) && c->prefix == "k10temp") return ref(*c, f);
        }
    for (auto* c : sorted)
        if (c->prefix == "coretemp")
            for (auto label : {"Package id 0", "Physical id 0"})
                if (auto* f = labelled(*c, "temp", label)) return ref(*c, f);
    for (auto* c : sorted)
        if (c->prefix == "cpu_thermal" || c->prefix == "soc_thermal")
            if (auto* f = feature(*c, "temp1")) return ref(*c, f);
    return firstWith(sorted, "lm75", "temp1");
}

// Laptop platform drivers: their sensors are the machine's own.
bool isPlatform(const ChipInfo& chip) {
    static constexpr std::string_view kPlatforms[] = {"thinkpad", "dell_smm", "asus", "hp", "hp_wmi_sensors"};
    return std::find(std::begin(kPlatforms), std::end(kPlatforms), chip.prefix) != std::end(kPlatforms);
}

// Laptops: the platform driver's processor fan.
std::optional<FeatureRef> platformCpuFan(const std::vector<const ChipInfo*>& sorted) {
    for (auto* c : sorted) {
        if (!isPlatform(*c)) continue;
        for (const auto& f : c->features) {
            if (!f.name.starts_with("fan")) continue;
            const std::string l = normalised(f.label);
            if (l.find("GPU") != std::string::npos || l.find("VIDEO") != std::string::npos) continue;
            if (l.find("PROCESSOR") != std::string::npos || l.find("CPU") != std::string::npos) return ref(*c, &f);
        }
        // A ThinkPad names no fan; its first is the one on the processor.
        if (c->prefix == "thinkpad")
            if (auto* f = feature(*c, "fan1"); f && unlabelled(*f)) return ref(*c, f);
    }
    return std::nullopt;
}

// Laptops: a sensor of the platform away from the processor.
std::optional<FeatureRef> platformBoardTemperature(const std::vector<const ChipInfo*>& sorted) {
    for (auto* c : sorted)
        if (c->prefix == "dell_smm")
            for (auto label : {"Ambient", "SODIMM"})
                if (auto* f = labelled(*c, "temp", label)) return ref(*c, f);
    if (auto* acpi = firstChip(sorted, "acpitz")) return ref(*acpi, feature(*acpi, "temp1"));
    return std::nullopt;
}

}  // namespace

ChannelMap builtInMap(const std::vector<ChipInfo>& chips) {
    ChannelMap map;
    const auto sorted = byName(chips);
    const auto [board, family] = boardChip(sorted);
    if (board && family->lm78) {
        mapLm78Board(*board, *family, sorted, map);
        return map;
    }
    if (!board) {
        // No board chip: a laptop, a small board, or an old board with an LM75 only.
        map[at(Channel::CpuTemp)] = processorTemperature(sorted);
        map[at(Channel::MbTemp)] = platformBoardTemperature(sorted);
        map[at(Channel::CpuFan)] = platformCpuFan(sorted);
    } else {
        for (auto c : {Channel::CpuFan, Channel::ChassisFan})
            if (auto pin = family->pins[at(c)]; !pin.empty()) map[at(c)] = ref(*board, feature(*board, pin));
        if (!map[at(Channel::CpuFan)]) map[at(Channel::CpuFan)] = platformCpuFan(sorted);

        map[at(Channel::MbTemp)] = ref(*board, namedOrPin(*board, family->systemLabel, family->pins[at(Channel::MbTemp)]));
        if (!map[at(Channel::MbTemp)]) map[at(Channel::MbTemp)] = platformBoardTemperature(sorted);

        map[at(Channel::CpuTemp)] = processorTemperature(sorted);
        if (!map[at(Channel::CpuTemp)] && !family->pins[at(Channel::CpuTemp)].empty())
            map[at(Channel::CpuTemp)] = ref(*board, namedOrPin(*board, family->cpuLabel, family->pins[at(Channel::CpuTemp)]));

        // A rail input the driver scales itself, unless a label says it is something else.
        for (int i = static_cast<int>(Channel::In2); i < kChannelCount; ++i) {
            const auto pin = family->pins[static_cast<std::size_t>(i)];
            if (pin.empty()) continue;
            auto* f = feature(*board, pin);
            if (f && (unlabelled(*f) || namesRail(static_cast<Channel>(i), f->label)))
                map[static_cast<std::size_t>(i)] = ref(*board, f);
        }
    }

    // A label naming a rail brings the input in, read through libsensors so
    // that its compute line applies; it wins over a pin.
    for (int i = static_cast<int>(Channel::In2); i < kChannelCount; ++i) {
        const auto channel = static_cast<Channel>(i);
        for (auto* c : sorted) {
            const auto it = std::find_if(c->features.begin(), c->features.end(),
                                         [&](const FeatureInfo& f) { return isVoltage(f) && namesRail(channel, f.label); });
            if (it != c->features.end()) {
                map[static_cast<std::size_t>(i)] = ref(*c, &*it);
                break;
            }
        }
    }
    return map;
}

bool isLm78Board(const std::vector<ChipInfo>& chips) {
    const auto family = boardChip(byName(chips)).second;
    return family && family->lm78;
}

std::string absenceReason(const std::vector<ChipInfo>& chips, Channel channel) {
    const auto sorted = byName(chips);
    const auto [board, family] = boardChip(sorted);
    const int i = static_cast<int>(channel);
    if (board && family->lm78) return "no such sensor";  // every channel has its pin; this chip lacks it
    if (i >= static_cast<int>(Channel::In0)) {
        const bool anyInput = board && std::any_of(board->features.begin(), board->features.end(), isVoltage);
        if (!anyInput) return "no such sensor";
        if (channel == Channel::In0 || channel == Channel::In1)
            return "not mapped (a core voltage of today is outside the VCORE band; map it in zorv.conf)";
        return "divider unknown (label the input in sensors.d, or map it in zorv.conf)";
    }
    if (channel == Channel::PowerFan && board)
        return "not mapped (no header of this chip is certain to be the power supply's; map it in zorv.conf)";
    // Only the board's and the platform's sensors could be one of these; a
    // graphics card's or a drive's never is.
    const std::string_view type = i <= static_cast<int>(Channel::ChassisFan) ? "fan" : "temp";
    for (auto* c : sorted) {
        if (c != board && !isPlatform(*c)) continue;
        for (const auto& f : c->features)
            if (f.name.starts_with(type) && f.name.size() > type.size() &&
                std::isdigit(static_cast<unsigned char>(f.name[type.size()])))
                return "not mapped (no " + std::string(type) + " here is certain to be this one; map it in zorv.conf)";
    }
    return "no such sensor";
}

}  // namespace zorv::hwmon
