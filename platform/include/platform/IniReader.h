// Reading an integer from a Windows-style INI file with the rules of
// GetPrivateProfileIntA: section and key names compare without regard to
// case or surrounding blanks (only the first section of a name is read, and
// only the first of its keys of a name), a value wholly in quotes loses them, at most
// 29 of its characters count; then leading blanks, an optional sign, an
// optional lower-case base prefix (0x, 0o, 0b) and the digits up to the first
// other character (none: 0), wrapping at 32 bits. A missing file, section
// or key, or an empty value, gives the default.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// The integer as the platform reads the text: a 32-bit value, or the default.
std::int64_t iniReadInt(std::string_view fileText, std::string_view section, std::string_view key,
                        std::int64_t defaultValue);

// The same for a file on disk; an unreadable file reads as empty.
std::int64_t iniReadIntFromFile(const std::string& path, std::string_view section, std::string_view key,
                                std::int64_t defaultValue);

// The platform's decimal text-to-integer rule on its own (leading blanks, an
// optional sign, digits up to the first non-digit, 0 when there are none),
// saturated at the 64-bit range.
std::int64_t parseLeadingInt(std::string_view text);

}  // namespace platform
