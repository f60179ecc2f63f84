// Arbitrary text as zorv.conf channel lines, resolved against a fixed board,
// and as the labels (sensors.d's or a driver's) of a modern board's features.
#include <cstddef>
#include <cstdint>
#include <string>
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

    // Each line a label, handed round the features of a laptop and a board.
    std::vector<ChipInfo> labelled = {{"nct6798-isa-0290", "nct6798", {}},
                                      {"dell_smm-isa-0000", "dell_smm", {}},
                                      {"k10temp-pci-00c3", "k10temp", {}},
                                      {"coretemp-isa-0000", "coretemp", {}}};
    const char* const features[] = {"in0", "in3", "in4", "fan1", "fan2", "temp1", "temp2"};
    std::size_t pos = 0, n = 0;
    while (pos <= text.size() && n < 64) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        auto& chip = labelled[n % labelled.size()];
        chip.features.push_back({features[n % std::size(features)], std::string(text.substr(pos, end - pos))});
        pos = end + 1;
        ++n;
    }
    (void)resolveMap(labelled, userMapFromConfig(config));
    return 0;
}
