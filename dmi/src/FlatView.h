// Low memory read in place, as Windows 95 shows the first megabyte of
// physical memory to every process. Each operation reads anew: the BIOS area
// for the scan, and the table at its own address, wherever it lies in that
// megabyte.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace zorvdmi {

inline constexpr std::uint32_t kFlatLimit = 0x100000;  // what flat mode can read

class PhysicalMemory {
public:
    virtual ~PhysicalMemory() = default;
    // Copies out.size() bytes from the physical address on; false when any
    // of them cannot be read.
    virtual bool read(std::uint32_t address, std::span<std::uint8_t> out) = 0;
};

// The first megabyte as one operation sees it (flat mode): the BIOS area and,
// when its entry point names a table below the area, the bytes from the
// table's address up to the area; all other bytes zero. Empty when the BIOS
// area or the table cannot be read, so that nothing is found rather than
// zeros taken for structures.
std::vector<std::uint8_t> readFlatImage(PhysicalMemory& memory);

}  // namespace zorvdmi
