// Arbitrary bytes as a device tree's model and compatible properties: whole,
// and split in two at the place the first byte names.
#include <cstddef>
#include <cstdint>

#include "DeviceTree.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const platform::ByteSpan all(data, size);
    (void)zorvdmi::parseDeviceTree(all, all);
    if (size > 1) {
        const std::size_t cut = 1 + data[0] % (size - 1);
        const platform::ByteSpan model(data + 1, cut - 1), compatible(data + cut, size - cut);
        const zorvdmi::DeviceTreeBoard board = zorvdmi::parseDeviceTree(model, compatible);
        (void)zorvdmi::makerName(board.maker);
    }
    return 0;
}
