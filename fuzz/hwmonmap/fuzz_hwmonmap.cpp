// Arbitrary text as zorv.conf channel lines, resolved against a fixed board.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "HwmonMap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zorv::hwmon;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    (void)parseFeatureTarget(text);
    static const std::vector<ChipInfo> chips = {
        {"lm78-isa-0290", "lm78", {{"fan1", "fan1"}, {"in4", "+12V"}, {"temp1", "temp1"}}},
        {"lm75-i2c-0-48", "lm75", {{"temp1", "temp1"}}},
        {"nct6798-isa-0290", "nct6798", {{"fan2", "fan2"}, {"in0", "in0"}}}};
    const zorv::Config config{"fuzz", zorv::parseKeyValues(text)};
    (void)resolveMap(chips, userMapFromConfig(config));
    return 0;
}
