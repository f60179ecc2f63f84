#include "SettingsText.h"

#include <platform/ByteCursor.h>

namespace velmon {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// Bytes that no line of a text file holds; a line with one is damage.
bool isControl(std::uint8_t b) { return (b < 0x20 && b != '\t' && b != '\r' && b != '\v' && b != '\f') || b == 0x7f; }

bool hasControl(std::string_view s) {
    for (const char c : s) {
        if (c == '\n' || isControl(static_cast<std::uint8_t>(c))) return true;
    }
    return false;
}

// A value wholly in double quotes loses them; inside, \" and \\ stand for
// one character (so the quoted texts of earlier versions read back).
std::string unquote(std::string_view v) {
    if (v.size() < 2 || v.front() != '"' || v.back() != '"') return std::string(v);
    v = v.substr(1, v.size() - 2);
    std::string out;
    out.reserve(v.size());
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (v[i] == '\\' && i + 1 < v.size() && (v[i + 1] == '"' || v[i + 1] == '\\')) ++i;
        out.push_back(v[i]);
    }
    return out;
}

std::string quoteIfNeeded(const std::string& v) {
    if (v.empty() || !(isBlank(v.front()) || isBlank(v.back()) || v.front() == '"')) return v;
    std::string out = "\"";
    for (const char c : v) {
        if (c == '"' || c == '\\') out.push_back('\\');
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

}  // namespace

SettingsText SettingsText::parse(const std::uint8_t* data, std::size_t size) {
    SettingsText out;
    out.groups_.push_back({});
    if (size > kMaxBytes) return out;
    platform::ByteCursor cursor(platform::ByteSpan(data, size));
    std::size_t current = 0;
    std::size_t number = 0;
    std::string line;
    while (cursor.remaining() > 0) {
        line.clear();
        bool damaged = false;
        while (const auto b = cursor.u8()) {
            if (*b == '\n') break;
            damaged = damaged || isControl(*b);
            line.push_back(static_cast<char>(*b));
        }
        ++number;
        std::string_view t = trim(line);
        // An editor's byte order mark (at the start of the file, or of a
        // file pasted in) is no part of the line.
        while (t.substr(0, 3) == kByteOrderMark) t = trim(t.substr(3));
        if (t.empty()) continue;
        if (damaged) {
            out.skipped_.push_back(number);
            continue;
        }
        if (t.front() == ';' || t.front() == '#') {
            out.groups_[current].entries.push_back({{}, std::string(t)});
            continue;
        }
        if (t.front() == '[') {
            // A header needs its bracket and a name; without them the keys
            // that follow stay where they were.
            const std::size_t close = t.find(']');
            const std::string_view name = close == std::string_view::npos ? std::string_view() : trim(t.substr(1, close - 1));
            if (name.empty()) {
                out.skipped_.push_back(number);
                continue;
            }
            current = 0;
            for (std::size_t g = 1; g < out.groups_.size(); ++g) {
                if (equalsNoCase(out.groups_[g].name, name)) current = g;
            }
            if (current == 0) {
                out.groups_.push_back({std::string(name), {}});
                current = out.groups_.size() - 1;
            }
            continue;
        }
        const std::size_t eq = t.find('=');
        const std::string_view key = eq == std::string_view::npos ? std::string_view() : trim(t.substr(0, eq));
        if (key.empty()) {
            out.skipped_.push_back(number);
            continue;
        }
        out.groups_[current].entries.push_back({std::string(key), unquote(trim(t.substr(eq + 1)))});
        ++out.keys_;
    }
    return out;
}

SettingsText::Group* SettingsText::findGroup(std::string_view name) {
    return const_cast<Group*>(static_cast<const SettingsText*>(this)->findGroup(name));
}

const SettingsText::Group* SettingsText::findGroup(std::string_view name) const {
    name = trim(name);
    for (const Group& g : groups_) {
        if (equalsNoCase(g.name, name)) return &g;
    }
    return nullptr;
}

std::optional<std::string> SettingsText::value(std::string_view group, std::string_view key) const {
    const Group* g = findGroup(group);
    if (g == nullptr) return std::nullopt;
    key = trim(key);
    for (const Entry& e : g->entries) {
        if (!e.key.empty() && equalsNoCase(e.key, key)) return e.value;
    }
    return std::nullopt;
}

bool SettingsText::set(std::string_view group, std::string_view key, std::string_view value) {
    group = trim(group);
    key = trim(key);
    // Nothing that would not read back as this group, key and value is stored.
    if (group.empty() || group.find(']') != std::string_view::npos || hasControl(group)) return false;
    if (key.empty() || key.find('=') != std::string_view::npos || hasControl(key) || key.front() == '[' ||
        key.front() == ';' || key.front() == '#' || key.substr(0, 3) == kByteOrderMark || hasControl(value)) {
        return false;
    }
    Group* g = findGroup(group);
    if (g == nullptr) {
        groups_.push_back({std::string(group), {}});
        g = &groups_.back();
    }
    for (Entry& e : g->entries) {
        if (e.key.empty() || !equalsNoCase(e.key, key)) continue;
        if (e.value == value) return false;
        e.value = std::string(value);
        return true;
    }
    g->entries.push_back({std::string(key), std::string(value)});
    return true;
}

std::string SettingsText::render() const {
    std::string out;
    for (const Group& g : groups_) {
        if (g.name.empty() && g.entries.empty()) continue;
        if (!out.empty()) out += '\n';
        if (!g.name.empty()) out += "[" + g.name + "]\n";
        for (const Entry& e : g.entries) {
            out += e.key.empty() ? e.value : e.key + "=" + quoteIfNeeded(e.value);
            out += '\n';
        }
    }
    return out;
}

}  // namespace velmon
