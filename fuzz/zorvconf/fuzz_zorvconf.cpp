// Arbitrary bytes as a zorv.conf the sensors dialog edits, and as the choices
// handed to SetChannelSensors. An edit that succeeds must read back as the
// choices asked for.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "Config.h"
#include "ConfigEdit.h"
#include "HwmonMap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zorv;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    (void)parseChoices(text, error);

    const std::vector<ChannelChoice> choices = {{Channel::MbTemp, "nvme-pci-0100/temp1"},
                                                {Channel::PowerFan, "none"},
                                                {Channel::CpuFan, ""},
                                                {Channel::In4, "nct6775-*/in4 * 6"}};
    const ConfigEdit edit = editConfigText(text, choices);
    if (!edit.ok) return 0;
    const auto user = hwmon::userMapFromConfig(Config{"fuzz", parseKeyValues(edit.text)});
    if (!user.channels[4] || user.channels[4]->feature != "temp1") std::abort();
    if (!user.channels[1] || !user.channels[1]->chipPattern.empty()) std::abort();
    if (user.channels[0]) std::abort();
    if (!user.channels[9] || user.channels[9]->factor != 6.0) std::abort();
    return 0;
}
