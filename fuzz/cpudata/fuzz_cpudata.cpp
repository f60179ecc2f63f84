// Arbitrary bytes as the stored registry value, searched for a few processors.
#include <cstddef>
#include <cstdint>

#include "AhdFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const platform::ByteSpan stored(data, size);
    static constexpr cpudata::CpuQuery kQueries[] = {
        {0x1B, 0x8C, 0x05, 450, 1},
        {0xCD, 0x55, 0x06, 3600, 1},
        {0x00, 0x00, 0x00, 0, 0},
    };
    for (const auto& q : kQueries) {
        if (const auto hit = cpudata::searchStored(stored, q)) {
            // The name must end inside its 20 bytes.
            std::size_t n = 0;
            while (n < sizeof hit->name && hit->name[n] != '\0') ++n;
            if (n >= sizeof hit->name) __builtin_trap();
        }
    }
    return 0;
}
