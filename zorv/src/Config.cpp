#include "Config.h"

#include "platform/Files.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/ModulePath.h"

namespace zorv {
namespace {

// A configuration is a few dozen lines; past 1 MiB it is not one.
constexpr std::size_t kConfigLimit = 1024 * 1024;

}  // namespace

std::optional<std::string> Config::get(std::string_view key) const {
    for (auto it = entries.rbegin(); it != entries.rend(); ++it)
        if (it->first == key) return it->second;
    return std::nullopt;
}

std::vector<std::pair<std::string, std::string>> parseKeyValues(std::string_view text) {
    std::vector<std::pair<std::string, std::string>> out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = platform::trimBlanks(text.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line.front() == '#' || line.front() == ';') continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        const std::string_view key = platform::trimBlanks(line.substr(0, eq));
        if (key.empty()) continue;
        out.emplace_back(std::string(key), std::string(platform::trimBlanks(line.substr(eq + 1))));
    }
    return out;
}

std::string userConfigPath() {
    if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x) return std::string(x) + "/zorv/zorv.conf";
    if (const char* h = std::getenv("HOME"); h && *h) return std::string(h) + "/.config/zorv/zorv.conf";
    return {};
}

Config loadConfig(const std::string& libraryDir) {
    std::vector<std::string> candidates;
    if (!libraryDir.empty()) candidates.push_back(platform::joinPath(libraryDir, "zorv.conf"));
    if (std::string user = userConfigPath(); !user.empty()) candidates.push_back(std::move(user));
    for (const auto& c : candidates) {
        if (auto text = platform::readTextPrefix(c, kConfigLimit)) return Config{c, parseKeyValues(*text)};
    }
    return {};
}

std::string chooseSourceName(const Config& config) {
    if (const char* s = std::getenv("ZORV_SOURCE"); s && *s) return s;
    if (auto s = config.get("source"); s && !s->empty()) return *s;
    return "hwmon";
}

std::string sourceOrigin(const Config& config) {
    if (const char* s = std::getenv("ZORV_SOURCE"); s && *s) return "ZORV_SOURCE";
    if (auto s = config.get("source"); s && !s->empty()) return config.path;
    return {};
}

}  // namespace zorv
