// Arbitrary bytes as Velmon.ini: the reader may skip lines but never crash,
// what it writes back reads back the same with nothing skipped, and a value
// it stores is the value it reads.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "SettingsText.h"

namespace {

bool sameGroups(const velmon::SettingsText& a, const velmon::SettingsText& b) {
    std::size_t i = 0;
    for (const auto& g : a.groups()) {
        if (g.name.empty() && g.entries.empty()) continue;
        while (i < b.groups().size() && b.groups()[i].name.empty() && b.groups()[i].entries.empty()) ++i;
        if (i >= b.groups().size() || b.groups()[i].name != g.name || b.groups()[i].entries.size() != g.entries.size())
            return false;
        for (std::size_t e = 0; e < g.entries.size(); ++e) {
            if (b.groups()[i].entries[e].key != g.entries[e].key || b.groups()[i].entries[e].value != g.entries[e].value)
                return false;
        }
        ++i;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    velmon::SettingsText text = velmon::SettingsText::parse(data, size);
    const std::string written = text.render();
    const velmon::SettingsText again = velmon::SettingsText::parse(written);
    if (!again.skippedLines().empty() || !sameGroups(text, again) || again.render() != written) std::abort();

    // The input's first line as a value: stored where it can be, read back as stored.
    std::string value;
    for (std::size_t i = 0; i < size && data[i] != '\n'; ++i) value.push_back(static_cast<char>(data[i]));
    if (text.set("ZORVMonitor", "CPUFan", value) && text.value("ZORVMonitor", "CPUFan") != value) std::abort();
    const velmon::SettingsText stored = velmon::SettingsText::parse(text.render());
    if (text.value("ZORVMonitor", "CPUFan") != stored.value("ZORVMonitor", "CPUFan")) std::abort();
    return 0;
}
