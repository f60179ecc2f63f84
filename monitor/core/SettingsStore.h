// The text conversions of the "ZORVMonitor" settings over a backend. Text
// that a conversion cannot read gives the key's default.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "Ports.h"

namespace velmon {

class SettingsStore {
public:
    explicit SettingsStore(SettingsBackend& backend) : backend_(backend) {}

    std::int16_t readInt(const std::string& key, std::int16_t defaultValue);
    float readSingle(const std::string& key, float defaultValue);
    bool readBool(const std::string& key, bool defaultValue = true);

    void writeInt(const std::string& key, int value);
    void writeSingle(const std::string& key, float value);
    void writeBool(const std::string& key, bool value);
    void writeText(const std::string& key, const std::string& value);

private:
    SettingsBackend& backend_;
};

// The conversions on their own; nothing when the text cannot be read.
// A whole decimal number (sign, digits, fraction, exponent, nothing after
// it) in double precision; never infinite or NaN.
std::optional<double> parseDecimal(std::string_view text);
std::optional<std::int16_t> parseInt16(std::string_view text);
std::optional<float> parseSingle(std::string_view text);
std::optional<bool> parseBool(std::string_view text);
// Shortest text that reads back as the same single: 3.7, -10.3, 13.
std::string singleText(float value);
std::string boolText(bool value);  // "True" / "False"

}  // namespace velmon
