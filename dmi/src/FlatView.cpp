#include "FlatView.h"

#include "DmiFormat.h"

namespace zorvdmi {

std::vector<std::uint8_t> readFlatImage(PhysicalMemory& memory) {
    std::vector<std::uint8_t> image(kFlatLimit, 0);
    const std::span<std::uint8_t> all(image);
    if (!memory.read(kBiosAreaStart, all.subspan(kBiosAreaStart))) return {};

    const MemoryView view{platform::ByteSpan(image.data(), image.size()), Mode::Flat};
    const auto entryPoint = FindDmiEntryPoint(view);
    if (!entryPoint) return image;
    const auto address = view.bytes.u32le(*entryPoint + ep::kTableAddress);
    // A table inside the area was read with it; one past the first megabyte
    // lies outside what flat mode can read and is found nowhere.
    if (!address || *address >= kBiosAreaStart) return image;
    if (!memory.read(*address, all.subspan(*address, kBiosAreaStart - *address))) return {};
    return image;
}

}  // namespace zorvdmi
