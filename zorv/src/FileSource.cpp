#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/Files.h"
#include "Source.h"

namespace zorv {

std::optional<std::int16_t> valueFromText(std::string_view text, Channel channel) {
    std::optional<std::string> value;
    for (const auto& [k, v] : parseKeyValues(text))
        if (k == channelName(channel)) value = v;  // the last line wins
    if (!value || value->empty()) return std::nullopt;
    const char* begin = value->c_str();
    char* end = nullptr;
    errno = 0;
    const double number = std::strtod(begin, &end);
    // The whole value must be a number; "12abc" or "fast" read 0. strtod's
    // ERANGE on huge numbers still gives ±HUGE_VAL, which clamps.
    if (end == begin || *end != '\0' || std::isnan(number)) return 0;
    return clamp16(number);
}

std::int16_t readingFromText(std::string_view text, Channel channel) { return valueFromText(text, channel).value_or(0); }

std::uint32_t channelsSetInText(std::string_view text) {
    std::uint32_t mask = 0;
    for (const auto& [k, v] : parseKeyValues(text)) {
        const auto channel = channelFromName(k);
        if (!channel) continue;
        const std::uint32_t bit = 1u << static_cast<int>(*channel);
        if (v.empty())
            mask &= ~bit;  // the last line wins, as for the reading
        else
            mask |= bit;
    }
    return mask;
}

std::string readSmallFile(const std::string& path) {
    // A readings or scenario file is a few dozen lines; past 64 KiB it is not one.
    return platform::readTextPrefix(path, 64 * 1024).value_or(std::string());
}

std::int16_t FileSource::read(Channel channel) {
    const auto value = valueFromText(readSmallFile(path_), channel);
    const std::uint32_t bit = 1u << static_cast<int>(channel);
    if (value) seen_ |= bit;
    // A name the file never set is an absent channel, not a failure.
    noteRead(channel, value.has_value() || !(seen_ & bit));
    return value.value_or(0);
}

std::uint32_t FileSource::channelMask() {
    const std::uint32_t mask = channelsSetInText(readSmallFile(path_));
    seen_ |= mask;
    return mask;
}

}  // namespace zorv
