// Small text and file helpers the libraries and the monitor share. No Qt.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The text without the characters at either end that blank says are blanks.
template <typename Blank>
std::string_view trimIf(std::string_view text, Blank blank) {
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

// The text without the blanks (spaces, tabs, carriage returns) at either end.
std::string_view trimBlanks(std::string_view text);

// At most limit bytes from the start of a file: a file that may be large or
// endless (a device, a /proc file) is never read past what its caller can use.
// Nothing when the file cannot be opened or reading fails.
std::optional<std::vector<std::uint8_t>> readFilePrefix(const std::string& path, std::size_t limit);

// The same as text.
std::optional<std::string> readTextPrefix(const std::string& path, std::size_t limit);

}  // namespace platform
