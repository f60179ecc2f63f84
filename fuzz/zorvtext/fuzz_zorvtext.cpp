// Arbitrary text as a readings file, a scenario and a zorv.conf.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "Source.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (int i = 0; i < zorv::kChannelCount; ++i) (void)zorv::readingFromText(text, static_cast<zorv::Channel>(i));
    (void)zorv::parseScenario(text);
    (void)zorv::parseKeyValues(text);
    return 0;
}
