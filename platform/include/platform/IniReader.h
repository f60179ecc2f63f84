// Reading an integer from a Windows-style INI file with the rules of
// GetPrivateProfileIntA: section and key names compare without regard to
// case, the value's leading blanks are skipped, an optional sign is taken,
// then decimal digits up to the first non-digit (none: 0). A missing file,
// section or key, or an empty value, gives the default.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// The integer as the text says it, saturated at the 64-bit range so that the
// caller can decide about values that do not fit its own width.
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
