#include "DeviceTree.h"

#include "platform/Files.h"

#include <array>
#include <optional>

namespace zorvdmi {
namespace {

using platform::ByteCursor;
using platform::ByteSpan;

struct Maker {
    std::string_view prefix, name;
};

// The vendor prefixes of the boards people run a desktop on, with the name
// they know the maker by.
constexpr std::array kMakers{
    Maker{"allwinner", "Allwinner"},
    Maker{"amlogic", "Amlogic"},
    Maker{"apple", "Apple"},
    Maker{"arm", "Arm"},
    Maker{"asus", "ASUS"},
    Maker{"bananapi", "Banana Pi"},
    Maker{"beagle", "BeagleBoard.org"},
    Maker{"beagleboard", "BeagleBoard.org"},
    Maker{"brcm", "Broadcom"},
    Maker{"firefly", "Firefly"},
    Maker{"friendlyarm", "FriendlyElec"},
    Maker{"friendlyelec", "FriendlyElec"},
    Maker{"fsl", "NXP"},
    Maker{"google", "Google"},
    Maker{"hardkernel", "Hardkernel"},
    Maker{"khadas", "Khadas"},
    Maker{"lenovo", "Lenovo"},
    Maker{"libretech", "Libre Computer"},
    Maker{"marvell", "Marvell"},
    Maker{"mediatek", "MediaTek"},
    Maker{"microchip", "Microchip"},
    Maker{"nvidia", "NVIDIA"},
    Maker{"nxp", "NXP"},
    Maker{"olimex", "Olimex"},
    Maker{"pine64", "Pine64"},
    Maker{"qcom", "Qualcomm"},
    Maker{"radxa", "Radxa"},
    Maker{"raspberrypi", "Raspberry Pi"},
    Maker{"renesas", "Renesas"},
    Maker{"rockchip", "Rockchip"},
    Maker{"samsung", "Samsung"},
    Maker{"sifive", "SiFive"},
    Maker{"sinovoip", "Banana Pi"},
    Maker{"solidrun", "SolidRun"},
    Maker{"st", "STMicroelectronics"},
    Maker{"starfive", "StarFive"},
    Maker{"ti", "Texas Instruments"},
    Maker{"toradex", "Toradex"},
    Maker{"xlnx", "Xilinx"},
    Maker{"xunlong", "Orange Pi"},
};

bool printable(std::uint8_t c) { return c >= 0x20 && c <= 0x7E; }

// The bytes of the property's first string: up to its NUL, or to the end of
// a property that has none. Nothing for a property above the limit or a
// string with a byte that is not printable.
std::optional<std::string> firstString(ByteSpan property) {
    if (property.size() > kDeviceTreePropertyLimit) return std::nullopt;
    ByteCursor cursor(property);
    std::string text;
    while (const auto c = cursor.u8()) {
        if (*c == 0) break;
        if (!printable(*c)) return std::nullopt;
        text.push_back(static_cast<char>(*c));
    }
    return text;
}

std::string trimmed(std::string_view s) {
    return std::string(platform::trimIf(s, [](char c) { return c == ' '; }));
}

}  // namespace

std::string deviceTreeString(ByteSpan property) {
    const auto text = firstString(property);
    return text ? trimmed(*text) : std::string();
}

std::string compatibleVendor(ByteSpan compatible) {
    const auto entry = firstString(compatible);
    if (!entry) return {};
    const auto comma = entry->find(',');
    if (comma == std::string::npos) return {};
    return trimmed(std::string_view(*entry).substr(0, comma));
}

std::string makerName(std::string_view prefix) {
    for (const Maker& m : kMakers)
        if (m.prefix == prefix) return std::string(m.name);
    return std::string(prefix);
}

DeviceTreeBoard parseDeviceTree(ByteSpan model, ByteSpan compatible) {
    DeviceTreeBoard board;
    board.name = deviceTreeString(model);
    const std::string vendor = compatibleVendor(compatible);
    if (!vendor.empty()) board.maker = makerName(vendor);
    return board;
}

}  // namespace zorvdmi
