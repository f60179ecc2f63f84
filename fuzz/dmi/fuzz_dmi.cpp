// Arbitrary bytes as a 64 KiB BIOS area (cut or zero-padded) in window mode,
// and as the BIOS area of a flat megabyte, to every query of the format logic.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <vector>

#include "DmiFormat.h"
#include "Sources.h"

namespace {

void queryAll(const zorvdmi::MemoryView& view) {
    const auto ep = zorvdmi::FindDmiEntryPoint(view);
    if (!ep) return;
    DmiBiosRecord bios;
    DmiBoardRecord board;
    DmiProcessorRecord cpu;
    (void)zorvdmi::ReadBiosRecord(view, *ep, bios);
    (void)zorvdmi::ReadBoardRecord(view, *ep, board);
    (void)zorvdmi::ReadProcessorRecord(view, *ep, cpu);
    (void)zorvdmi::IsDmi20Date(bios.release_date);
    (void)zorvdmi::IsNotebook(view, *ep);
    for (int type = 0; type < 256; type += 17) (void)zorvdmi::FindDmiStructure(view, *ep, static_cast<std::uint8_t>(type));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Kept between runs: allocating a megabyte per input would dominate the run time.
    static std::vector<std::uint8_t> window(0x10000);
    static std::vector<std::uint8_t> memory(0x100000, 0);
    std::fill(window.begin(), window.end(), 0);
    std::memcpy(window.data(), data, size < window.size() ? size : window.size());
    queryAll({platform::ByteSpan(window.data(), window.size()), zorvdmi::Mode::Window});
    // Exactly the bytes given, so that reads at the very end are checked too.
    queryAll({platform::ByteSpan(data, size), zorvdmi::Mode::Window});

    std::memcpy(memory.data() + 0xF0000, window.data(), window.size());
    queryAll({platform::ByteSpan(memory.data(), memory.size()), zorvdmi::Mode::Flat});

    // The same bytes as a published table behind an SMBIOS 3 entry point.
    const std::vector<std::uint8_t> entry = {'_', 'S', 'M', '3', '_', 0, 0x18, 3, 2};
    if (auto image = zorvdmi::windowFromFirmwareTables(entry, std::vector<std::uint8_t>(data, data + size)))
        queryAll(image->view());
    return 0;
}
