#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zorv {

// zorv.conf: "key = value" lines, '#' or ';' starts a comment line.
struct Config {
    std::string path;  // where it was read from, empty when none was found
    std::vector<std::pair<std::string, std::string>> entries;

    [[nodiscard]] std::optional<std::string> get(std::string_view key) const;
};

// Parses the text of a "key = value" file (zorv.conf and the file source share it).
std::vector<std::pair<std::string, std::string>> parseKeyValues(std::string_view text);

// The user's zorv.conf: $XDG_CONFIG_HOME/zorv/zorv.conf, else
// ~/.config/zorv/zorv.conf; empty when neither variable is set.
std::string userConfigPath();

// The first zorv.conf found: in libraryDir, then $XDG_CONFIG_HOME/zorv (~/.config/zorv).
Config loadConfig(const std::string& libraryDir);

// The source to use: $ZORV_SOURCE, else "source" of the config, else "hwmon".
std::string chooseSourceName(const Config& config);

// Where chooseSourceName found its name: "ZORV_SOURCE", the config's path, or
// empty for the default.
std::string sourceOrigin(const Config& config);

}  // namespace zorv
