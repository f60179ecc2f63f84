#include "Config.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/ModulePath.h"

namespace zorv {
namespace {

std::string_view trim(std::string_view s) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

std::optional<std::string> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

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
        const std::string_view line = trim(text.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line.front() == '#' || line.front() == ';') continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        const std::string_view key = trim(line.substr(0, eq));
        if (key.empty()) continue;
        out.emplace_back(std::string(key), std::string(trim(line.substr(eq + 1))));
    }
    return out;
}

Config loadConfig(const std::string& libraryDir) {
    std::vector<std::string> candidates;
    if (!libraryDir.empty()) candidates.push_back(platform::joinPath(libraryDir, "zorv.conf"));
    if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x)
        candidates.push_back(std::string(x) + "/zorv/zorv.conf");
    else if (const char* h = std::getenv("HOME"); h && *h)
        candidates.push_back(std::string(h) + "/.config/zorv/zorv.conf");
    for (const auto& c : candidates) {
        if (auto text = readFile(c)) return Config{c, parseKeyValues(*text)};
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
