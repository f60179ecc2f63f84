// Arbitrary INI text, with the section and key to look up taken from the
// input's first line, through the GetPrivateProfileInt rules.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/IniReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    const std::size_t nl = all.find('\n');
    const std::string_view head = nl == std::string_view::npos ? all : all.substr(0, nl);
    const std::string_view text = nl == std::string_view::npos ? std::string_view() : all.substr(nl + 1);
    const std::size_t bar = head.find('|');
    const std::string_view section = head.substr(0, bar);
    const std::string_view key = bar == std::string_view::npos ? std::string_view("CPU") : head.substr(bar + 1);
    for (const std::string_view k : {key, std::string_view("CPU"), std::string_view("POWER")})
        (void)platform::iniReadInt(text, section, k, 1);
    (void)platform::parseLeadingInt(all);
    return 0;
}
