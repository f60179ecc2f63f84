#include "SensorList.h"

#include <cstdio>

namespace zorv {
namespace {

constexpr std::array<std::string_view, kChannelCount> kDescriptions = {
    "CPU fan", "Power fan", "Chassis fan", "CPU temperature", "Mainboard temperature", "VCORE",
    "Second core", "+3.3V", "+5V", "+12V", "-12V", "-5V"};

const char* kindOf(Channel c) {
    const int i = static_cast<int>(c);
    return i <= static_cast<int>(Channel::ChassisFan) ? "fan" : i <= static_cast<int>(Channel::MbTemp) ? "temp" : "in";
}

// A field never holds the separators: a label is the user's text.
std::string field(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
    return out.empty() ? std::string("-") : out;
}

std::string number(const std::optional<double>& value) {
    if (!value) return "-";
    char text[48];
    std::snprintf(text, sizeof text, "%.3f", *value);
    return text;
}

}  // namespace

std::vector<SensorInfo> Source::sensors() {
    std::vector<SensorInfo> out;
    const std::uint32_t mask = channelMask();
    for (int i = 0; i < kChannelCount; ++i) {
        if (!(mask & (1u << i))) continue;
        const auto c = static_cast<Channel>(i);
        const double raw = read(c);
        out.push_back({kindOf(c), "", std::string(channelName(c)), std::string(kDescriptions[static_cast<std::size_t>(i)]),
                       std::string_view(kindOf(c)) == "in" ? raw / 1000.0 : raw, std::string(channelName(c))});
    }
    return out;
}

ChannelStates Source::channelStates() {
    ChannelStates out;
    const std::uint32_t mask = channelMask();
    for (int i = 0; i < kChannelCount; ++i) {
        auto& s = out[static_cast<std::size_t>(i)];
        if (mask & (1u << i)) s.target = channelName(static_cast<Channel>(i));
        else s.why = "not in this source";
    }
    return out;
}

std::string sensorListText(const std::string& sourceName, Source& source, const Config& config,
                           const std::string& savePath) {
    std::string out = "source\t" + field(sourceName) + "\t" + (source.mapsSensors() ? "real" : "other") + "\n";
    out += "config\t" + field(savePath) + "\n";
    for (const SensorInfo& s : source.sensors()) {
        out += "sensor\t" + field(s.kind) + "\t" + field(s.chip.empty() ? sourceName : s.chip) + "\t" +
               field(s.feature) + "\t" + field(s.label) + "\t" + number(s.value) + "\t" + field(s.channel) + "\n";
    }
    const ChannelStates states = source.channelStates();
    for (int i = 0; i < kChannelCount; ++i) {
        const auto c = static_cast<Channel>(i);
        const auto choice = config.get(channelName(c));
        const auto& state = states[static_cast<std::size_t>(i)];
        out += "channel\t" + std::string(channelName(c)) + "\t" + field(choice && !choice->empty() ? *choice : "auto") +
               "\t" + field(state.target) + "\t" + field(state.why) + "\n";
    }
    return out;
}

std::size_t wholeLinesWithin(const std::string& text, std::size_t size) {
    if (size == 0) return 0;
    if (text.size() < size) return text.size();
    const std::size_t end = text.rfind('\n', size - 2);
    return end == std::string::npos || size < 2 ? 0 : end + 1;
}

}  // namespace zorv
