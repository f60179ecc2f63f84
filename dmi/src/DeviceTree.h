// The board as a machine without DMI tables describes it: the device tree's
// root `model` and the maker behind the vendor prefix of its first
// `compatible` entry. Pure functions over the property bytes, which come
// from <sysfs>/firmware/devicetree/base.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/ByteCursor.h"

namespace zorvdmi {

// Bytes of a property that are read; a larger property names nothing.
inline constexpr std::size_t kDeviceTreePropertyLimit = 4096;

struct DeviceTreeBoard {
    std::string maker;  // a readable name for the vendor prefix, else the prefix
    std::string name;   // the model
};

// The first string of a string property (up to its NUL), without leading
// and trailing blanks; empty when the property is larger than the limit or
// that string holds a byte outside printable ASCII.
std::string deviceTreeString(platform::ByteSpan property);

// The vendor prefix ("raspberrypi" of "raspberrypi,4-model-b") of the first
// entry of a compatible list; empty when that entry has none.
std::string compatibleVendor(platform::ByteSpan compatible);

// A readable maker for a vendor prefix; the prefix itself when it is not a
// common one.
std::string makerName(std::string_view prefix);

DeviceTreeBoard parseDeviceTree(platform::ByteSpan model, platform::ByteSpan compatible);

}  // namespace zorvdmi
