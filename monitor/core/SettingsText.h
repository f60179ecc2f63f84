// The text of Velmon.ini, read line by line as the platform's INI reader
// reads a profile: a line it cannot parse is skipped and costs only itself.
// Names compare without regard to case or surrounding blanks; the first key
// of a name counts. Written back whole, in the order it was read, with what
// Velmon changed; skipped lines are not written again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmon {

class SettingsText {
public:
    struct Entry {
        std::string key;    // empty: a comment line, kept as it stands in value
        std::string value;  // without enclosing quotes and their escapes
    };
    struct Group {
        std::string name;  // empty: the lines before the first header
        std::vector<Entry> entries;
    };

    // Larger files are not settings but damage; they are not read.
    static constexpr std::size_t kMaxBytes = 1 << 20;

    static SettingsText parse(const std::uint8_t* data, std::size_t size);
    static SettingsText parse(std::string_view text) {
        return parse(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    }

    [[nodiscard]] std::optional<std::string> value(std::string_view group, std::string_view key) const;
    // True when the stored text changed.
    bool set(std::string_view group, std::string_view key, std::string_view value);
    [[nodiscard]] std::string render() const;

    [[nodiscard]] const std::vector<Group>& groups() const { return groups_; }
    // Numbers (from 1) of the lines that could not be parsed.
    [[nodiscard]] const std::vector<std::size_t>& skippedLines() const { return skipped_; }
    // Key lines read; with skipped lines and none read, nothing of the file was usable.
    [[nodiscard]] std::size_t keyCount() const { return keys_; }

private:
    Group* findGroup(std::string_view name);
    [[nodiscard]] const Group* findGroup(std::string_view name) const;

    std::vector<Group> groups_;
    std::vector<std::size_t> skipped_;
    std::size_t keys_ = 0;
};

}  // namespace velmon
