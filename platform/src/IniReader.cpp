#include "platform/IniReader.h"
#include "platform/Files.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <fstream>
#include <limits>
#include <sstream>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <climits>
#endif

namespace platform {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view trim(std::string_view s) { return trimIf(s, isBlank); }

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

namespace {

// The platform's text-to-integer rule for profile values: blanks, a sign,
// a lower-case base prefix (0x, 0o, 0b), then digits of that base, the sum
// wrapping at 32 bits as the platform's does.
std::int32_t parseProfileInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    unsigned base = 10;
    if (i + 1 < text.size() && text[i] == '0') {
        const char p = text[i + 1];
        base = p == 'x' ? 16 : p == 'o' ? 8 : p == 'b' ? 2 : 10;
        if (base != 10) i += 2;
    }
    std::uint32_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        unsigned digit = 0;
        if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
        else break;
        if (digit >= base) break;
        value = value * base + digit;
    }
    if (negative) value = 0u - value;
    return static_cast<std::int32_t>(value);
}

// A value as the platform hands it to that rule: without the quotes that
// enclose all of it, and cut to the 29 characters its buffer holds.
std::string_view profileValue(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return value.substr(0, std::min<std::size_t>(value.size(), 29));
}

}  // namespace

std::int64_t iniReadInt(std::string_view fileText, std::string_view section, std::string_view key,
                        std::int64_t defaultValue) {
    section = trim(section);
    key = trim(key);
    bool inSection = false;
    std::size_t pos = 0;
    while (pos < fileText.size()) {
        std::size_t end = fileText.find('\n', pos);
        if (end == std::string_view::npos) end = fileText.size();
        std::string_view line = trim(fileText.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            // A header needs its bracket; the name inside is taken without blanks.
            const std::size_t close = line.find(']');
            if (close == std::string_view::npos) continue;
            // Only the first section of a name is read.
            if (inSection) return defaultValue;
            inSection = equalsNoCase(trim(line.substr(1, close - 1)), section);
            continue;
        }
        if (!inSection) continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        if (!equalsNoCase(trim(line.substr(0, eq)), key)) continue;
        const std::string_view value = trim(line.substr(eq + 1));
        if (value.empty()) return defaultValue;
        return parseProfileInt(profileValue(value));
    }
    return defaultValue;
}

#ifdef _WIN32
// The platform's own reader. Names cannot hold a NUL for it, so such a name
// finds nothing.
std::int64_t iniReadIntFromFile(const std::string& path, std::string_view section, std::string_view key,
                                std::int64_t defaultValue) {
    const std::string s(section), k(key);
    if (s.find('\0') != std::string::npos || k.find('\0') != std::string::npos) return defaultValue;
    const INT fallback = static_cast<INT>(std::clamp<std::int64_t>(defaultValue, INT_MIN, INT_MAX));
    return static_cast<INT>(GetPrivateProfileIntA(s.c_str(), k.c_str(), fallback, path.c_str()));
}
#else
std::int64_t iniReadIntFromFile(const std::string& path, std::string_view section, std::string_view key,
                                std::int64_t defaultValue) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return defaultValue;
    std::ostringstream text;
    text << in.rdbuf();
    return iniReadInt(text.str(), section, key, defaultValue);
}
#endif

}  // namespace platform
