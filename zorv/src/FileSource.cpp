#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>

#include "Source.h"

namespace zorv {

std::int16_t readingFromText(std::string_view text, Channel channel) {
    std::optional<std::string> value;
    for (const auto& [k, v] : parseKeyValues(text))
        if (k == channelName(channel)) value = v;  // the last line wins
    if (!value || value->empty()) return 0;
    const char* begin = value->c_str();
    char* end = nullptr;
    errno = 0;
    const double number = std::strtod(begin, &end);
    // The whole value must be a number; "12abc" or "fast" read 0. strtod's
    // ERANGE on huge numbers still gives ±HUGE_VAL, which clamps.
    if (end == begin || *end != '\0' || std::isnan(number)) return 0;
    return clamp16(number);
}

std::int16_t FileSource::read(Channel channel) {
    std::ifstream in(path_, std::ios::binary);
    if (!in) return 0;
    // A readings file is a dozen lines; anything past 64 KiB is not one.
    constexpr std::streamsize kLimit = 64 * 1024;
    std::string buf(static_cast<std::size_t>(kLimit), '\0');
    in.read(buf.data(), kLimit);
    buf.resize(static_cast<std::size_t>(in.gcount()));
    return readingFromText(buf, channel);
}

}  // namespace zorv
