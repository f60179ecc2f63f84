// The DMI format logic over one read-only image of physical memory. Every
// position is an offset into the image; every read is bounded by it, and
// bytes that run past its end read as "nothing found".
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/ByteCursor.h"
#include "zorvdmi.h"

namespace zorvdmi {

enum class Mode {
    // 65,535 bytes (fewer when the image is shorter) standing for physical
    // 0xF0000 onwards; the table address must lie inside them.
    Window,
    // Physical memory from address 0: the scan covers 0xF0000-0xFFFFF and the
    // table is read at its full address.
    Flat,
};

struct MemoryView {
    platform::ByteSpan bytes;
    Mode mode = Mode::Window;
};

inline constexpr std::uint32_t kBiosAreaStart = 0xF0000;
inline constexpr std::size_t kWindowSize = 0xFFFF;

// Entry point fields, by offset from the anchor.
namespace ep {
inline constexpr std::size_t kTableAddress = 8;   // u32
inline constexpr std::size_t kStructureCount = 12;  // u16
}  // namespace ep

// Structure header fields.
namespace hdr {
inline constexpr std::size_t kType = 0;
inline constexpr std::size_t kLength = 1;
inline constexpr std::size_t kSize = 4;  // type, length, handle
}  // namespace hdr

// The view cut to what its mode may see (a window never exceeds 0xFFFF bytes).
MemoryView normalized(MemoryView view);

// Offset of the first "_DMI_" anchor on a 16-byte boundary of the scan range.
std::optional<std::size_t> FindDmiEntryPoint(const MemoryView& view);

// Offset of the table for the entry point at ep, when it lies inside the image.
std::optional<std::size_t> TablePosition(const MemoryView& view, std::size_t entryPoint);

// Offset of string n (low 8 bits) of the string set at set, or none.
std::optional<std::size_t> FindDmiString(platform::ByteSpan bytes, std::size_t set, unsigned n);

// Start of the structure after the one at s, or none when its type has no
// end rule or its bytes run past the image.
std::optional<std::size_t> NextDmiStructure(platform::ByteSpan bytes, std::size_t s);

// The first structure of that type among the entry point's counted ones.
std::optional<std::size_t> FindDmiStructure(const MemoryView& view, std::size_t entryPoint, std::uint8_t type);

// Record fillers: the record is cleared first; 1 when the structure was found.
int ReadBiosRecord(const MemoryView& view, std::size_t entryPoint, DmiBiosRecord& record);
int ReadBoardRecord(const MemoryView& view, std::size_t entryPoint, DmiBoardRecord& record);
int ReadProcessorRecord(const MemoryView& view, std::size_t entryPoint, DmiProcessorRecord& record);

// 1 when a date read as mm/dd/yy is 09/22/97 or later.
int IsDmi20Date(const char* date);

// 1 when the first type-3 structure's chassis type, lock bit cleared, is Notebook.
int IsNotebook(const MemoryView& view, std::size_t entryPoint);

}  // namespace zorvdmi
