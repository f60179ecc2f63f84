#include "platform/IniReader.h"

#include <cctype>
#include <cstdint>
#include <fstream>
#include <limits>
#include <sstream>

namespace platform {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

}  // namespace

std::int64_t parseLeadingInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (isBlank(text[i]) || text[i] == '\n')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulate as a negative number so that the 64-bit minimum fits too.
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    std::int64_t value = 0;
    bool saturated = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const int digit = text[i] - '0';
        if (saturated) continue;
        if (value < (kMin + digit) / 10) {
            saturated = true;
            value = kMin;
            continue;
        }
        value = value * 10 - digit;
    }
    if (negative) return value;
    if (value == kMin) return std::numeric_limits<std::int64_t>::max();
    return -value;
}

std::int64_t iniReadInt(std::string_view fileText, std::string_view section, std::string_view key,
                        std::int64_t defaultValue) {
    bool inSection = false;
    std::size_t pos = 0;
    while (pos < fileText.size()) {
        std::size_t end = fileText.find('\n', pos);
        if (end == std::string_view::npos) end = fileText.size();
        std::string_view line = trim(fileText.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            std::string_view name = close == std::string_view::npos ? line.substr(1) : line.substr(1, close - 1);
            inSection = equalsNoCase(name, section);
            continue;
        }
        if (!inSection) continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        if (!equalsNoCase(trim(line.substr(0, eq)), key)) continue;
        std::string_view value = trim(line.substr(eq + 1));
        if (value.empty()) return defaultValue;
        return parseLeadingInt(value);
    }
    return defaultValue;
}

std::int64_t iniReadIntFromFile(const std::string& path, std::string_view section, std::string_view key,
                                std::int64_t defaultValue) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return defaultValue;
    std::ostringstream text;
    text << in.rdbuf();
    return iniReadInt(text.str(), section, key, defaultValue);
}

}  // namespace platform
