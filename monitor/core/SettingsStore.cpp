#include "SettingsStore.h"

#include "platform/Files.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace velmon {
namespace {

std::string_view trimBlanks(std::string_view t) {
    return platform::trimIf(t, [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
}

}  // namespace

std::optional<double> parseDecimal(std::string_view text) {
    text = trimBlanks(text);
    if (text.empty() || text.size() > 64) return std::nullopt;
    std::string_view body = text;
    if (body.front() == '+') body.remove_prefix(1);
    if (body.empty() || body.front() == '+') return std::nullopt;
    // from_chars accepts "inf" and "nan"; settings never hold them.
    for (char c : body) {
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == 'e' || c == 'E' || c == '+')) {
            return std::nullopt;
        }
    }
    double value = 0;
    const auto res = std::from_chars(body.data(), body.data() + body.size(), value);
    if (res.ec != std::errc{} || res.ptr != body.data() + body.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

namespace {

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace

std::optional<std::int16_t> parseInt16(std::string_view text) {
    const auto v = parseDecimal(text);
    if (!v) return std::nullopt;
    // The platform's integer conversion rounds halves to even.
    const double r = std::nearbyint(*v);
    if (r < -32768.0 || r > 32767.0) return std::nullopt;
    return static_cast<std::int16_t>(r);
}

std::optional<float> parseSingle(std::string_view text) {
    const auto v = parseDecimal(text);
    if (!v) return std::nullopt;
    if (std::fabs(*v) > static_cast<double>(std::numeric_limits<float>::max())) return std::nullopt;
    return static_cast<float>(*v);
}

std::optional<bool> parseBool(std::string_view text) {
    const std::string_view t = trimBlanks(text);
    if (equalsNoCase(t, "true")) return true;
    if (equalsNoCase(t, "false")) return false;
    if (const auto v = parseDecimal(t)) return *v != 0.0;
    return std::nullopt;
}

std::string singleText(float value) {
    if (!std::isfinite(value)) return "0";
    if (value == 0.0F) return "0";  // no "-0"
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    if (res.ec != std::errc{}) return "0";
    return std::string(buf, res.ptr);
}

std::string boolText(bool value) { return value ? "True" : "False"; }

std::int16_t SettingsStore::readInt(const std::string& key, std::int16_t defaultValue) {
    const auto text = backend_.read(key);
    if (!text) return defaultValue;
    return parseInt16(*text).value_or(defaultValue);
}

float SettingsStore::readSingle(const std::string& key, float defaultValue) {
    const auto text = backend_.read(key);
    if (!text) return defaultValue;
    return parseSingle(*text).value_or(defaultValue);
}

bool SettingsStore::readBool(const std::string& key, bool defaultValue) {
    const auto text = backend_.read(key);
    if (!text) return defaultValue;
    return parseBool(*text).value_or(defaultValue);
}

void SettingsStore::writeInt(const std::string& key, int value) { backend_.write(key, std::to_string(value)); }
void SettingsStore::writeSingle(const std::string& key, float value) { backend_.write(key, singleText(value)); }
void SettingsStore::writeBool(const std::string& key, bool value) { backend_.write(key, boolText(value)); }
void SettingsStore::writeText(const std::string& key, const std::string& value) { backend_.write(key, value); }

}  // namespace velmon
