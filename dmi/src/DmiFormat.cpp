#include "DmiFormat.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>
#include <string_view>

#include "platform/IniReader.h"

namespace zorvdmi {
namespace {

using platform::ByteSpan;
using platform::checkedAdd;

constexpr std::string_view kAnchor = "_DMI_";
constexpr std::size_t kScanStep = 16;
constexpr std::size_t kLastScanOffset = 0xFFF0;

// String fields counted by the end rule of each type with a fixed list.
constexpr std::array<std::uint8_t, 3> kFields0{4, 5, 8};
constexpr std::array<std::uint8_t, 4> kFields1{4, 5, 6, 7};
constexpr std::array<std::uint8_t, 4> kFields2{4, 5, 6, 7};
constexpr std::array<std::uint8_t, 4> kFields3{4, 6, 7, 8};
constexpr std::array<std::uint8_t, 3> kFields4{4, 7, 16};
constexpr std::array<std::uint8_t, 1> kFieldAt4{4};
constexpr std::array<std::uint8_t, 2> kFields8{4, 6};

std::span<const std::uint8_t> fixedFields(std::uint8_t type) {
    switch (type) {
    case 0: return kFields0;
    case 1: return kFields1;
    case 2: return kFields2;
    case 3: return kFields3;
    case 4: return kFields4;
    case 6: case 7: case 9: case 14: return kFieldAt4;
    case 8: return kFields8;
    default: return {};
    }
}

// Length of the zero-terminated string at pos, or none when it runs past the image.
std::optional<std::size_t> stringLength(ByteSpan bytes, std::size_t pos) {
    const auto zero = bytes.findZero(pos);
    if (!zero) return std::nullopt;
    return *zero - pos;
}

// Advances p past one counted string (of string number n of the set at S).
bool countString(ByteSpan bytes, std::size_t S, unsigned n, std::size_t& p) {
    std::size_t len = 0;
    if (const auto at = FindDmiString(bytes, S, n)) {
        const auto l = stringLength(bytes, *at);
        if (!l) return false;
        len = *l;
    }
    const auto next = checkedAdd(p, len + 1);
    if (!next) return false;
    p = *next;
    return true;
}

// True when the string set at S ends (a string's zero followed by another
// zero, or two zeros at once) inside the image.
bool setEnds(ByteSpan bytes, std::size_t S) {
    std::size_t i = S;
    for (;;) {
        const auto zero = bytes.findZero(i);
        if (!zero) return false;
        const auto after = bytes.u8(*zero + 1);
        if (!after) return false;
        if (*after == 0) return true;
        i = *zero + 1;
    }
}

// S + 2 over an empty set's two zeros, else S.
std::optional<std::size_t> pastEmptySet(ByteSpan bytes, std::size_t S) {
    const auto a = bytes.u8(S);
    const auto b = bytes.u8(S + 1);
    if (!a || !b) return std::nullopt;
    return (*a == 0 && *b == 0) ? S + 2 : S;
}

// Copies the string at pos into a slot of width bytes, cut to width - 1
// characters. False when the string runs past the image (slot left empty).
bool copyString(ByteSpan bytes, std::size_t pos, char* slot, std::size_t width) {
    const auto len = stringLength(bytes, pos);
    if (!len) return false;
    const std::size_t n = std::min(*len, width - 1);
    for (std::size_t i = 0; i < n; ++i) slot[i] = static_cast<char>(*bytes.u8(pos + i));
    slot[n] = '\0';
    return true;
}

struct Slot {
    std::uint8_t number;
    char* text;
    std::size_t width;
};

// The string chain of the fillers: each string number of the set up to the
// largest wanted one goes to the first slot (in slot order) that wants it.
template <std::size_t N>
void fillSlots(ByteSpan bytes, std::size_t S, const std::array<Slot, N>& slots) {
    unsigned largest = 0;
    for (const Slot& s : slots) largest = std::max<unsigned>(largest, s.number);
    if (largest == 0) return;
    const auto first = bytes.u8(S);
    const auto second = bytes.u8(S + 1);
    if (!first || !second) return;
    // A set whose first two bytes are zero holds no strings; every later
    // string number past the set's end leaves its slot empty.
    bool ended = *first == 0 && *second == 0;
    std::size_t c = S;
    for (unsigned j = 1; j <= largest && !ended; ++j) {
        for (const Slot& s : slots) {
            if (s.number == j) {
                if (!copyString(bytes, c, s.text, s.width)) return;
                break;
            }
        }
        const auto zero = bytes.findZero(c);
        if (!zero) return;
        c = *zero + 1;
        const auto after = bytes.u8(c);
        if (!after) return;
        ended = *after == 0;
    }
}

std::uint8_t byteAt(ByteSpan bytes, std::size_t s, std::size_t offset) {
    return bytes.u8(s + offset).value_or(0);
}

std::uint16_t wordAt(ByteSpan bytes, std::size_t s, std::size_t offset) {
    return bytes.u16le(s + offset).value_or(0);
}

// The structure found for a filler and the start of its string set.
struct Found {
    std::size_t start;
    std::size_t strings;
};

std::optional<Found> locate(const MemoryView& view, std::size_t entryPoint, std::uint8_t type) {
    const auto s = FindDmiStructure(view, entryPoint, type);
    if (!s) return std::nullopt;
    return Found{*s, *s + *view.bytes.u8(*s + hdr::kLength)};
}

}  // namespace

MemoryView normalized(MemoryView view) {
    if (view.mode == Mode::Window && view.bytes.size() > kWindowSize)
        view.bytes = ByteSpan(view.bytes.data(), kWindowSize);
    return view;
}

std::optional<std::size_t> FindDmiEntryPoint(const MemoryView& raw) {
    const MemoryView view = normalized(raw);
    const std::size_t base = view.mode == Mode::Window ? 0 : kBiosAreaStart;
    for (std::size_t off = 0; off <= kLastScanOffset; off += kScanStep)
        if (view.bytes.matches(base + off, kAnchor)) return base + off;
    return std::nullopt;
}

std::optional<std::size_t> TablePosition(const MemoryView& raw, std::size_t entryPoint) {
    const MemoryView view = normalized(raw);
    const auto address = view.bytes.u32le(entryPoint + ep::kTableAddress);
    if (!address) return std::nullopt;
    std::size_t pos = *address;
    if (view.mode == Mode::Window) {
        // Addresses outside the window would wrap onto unrelated bytes of it.
        if (*address < kBiosAreaStart || *address - kBiosAreaStart >= kWindowSize) return std::nullopt;
        pos = *address & 0xFFFFu;
    }
    if (!view.bytes.contains(pos, 1)) return std::nullopt;
    return pos;
}

std::optional<std::size_t> FindDmiString(ByteSpan bytes, std::size_t set, unsigned n) {
    n &= 0xFFu;
    if (n == 0) return std::nullopt;
    std::size_t q = set;
    for (unsigned k = 1; k <= n; ++k) {
        const std::size_t start = q;
        const auto zero = bytes.findZero(q);
        if (!zero) return std::nullopt;
        const auto after = bytes.u8(*zero + 1);
        if (!after) return std::nullopt;
        q = *after != 0 ? *zero + 1 : *zero;
        if (q == start) return std::nullopt;
        if (k == n) return start;
    }
    return std::nullopt;
}

std::optional<std::size_t> NextDmiStructure(ByteSpan bytes, std::size_t s) {
    const auto type = bytes.u8(s + hdr::kType);
    const auto length = bytes.u8(s + hdr::kLength);
    if (!type || !length || *length < hdr::kSize || !bytes.contains(s, *length)) return std::nullopt;
    const std::size_t S = s + *length;

    if (*type == 5 || *type == 15) return pastEmptySet(bytes, S);
    if (*type == 128) {
        const auto size = bytes.u16le(s + 4);
        if (!size) return std::nullopt;
        return S + *size;
    }

    if (!setEnds(bytes, S)) return std::nullopt;
    std::size_t p = S;
    unsigned k = 0;
    if (const auto fields = fixedFields(*type); !fields.empty()) {
        for (const std::uint8_t f : fields) {
            const auto number = bytes.u8(s + f);
            if (!number) return std::nullopt;
            if (*number == 0) continue;
            if (!countString(bytes, S, *number, p)) return std::nullopt;
            ++k;
        }
    } else if (*type == 10) {
        const auto m = static_cast<std::uint8_t>((*length - 4) / 2);
        for (unsigned j = 0; j < m; ++j) {
            const auto number = bytes.u8(s + 5 + 2 * j);
            if (!number) return std::nullopt;
            if (*number == 0) continue;
            if (!countString(bytes, S, *number, p)) return std::nullopt;
            ++k;
        }
    } else if (*type >= 11 && *type <= 13) {
        const auto count = bytes.u8(s + 4);
        if (!count) return std::nullopt;
        for (unsigned j = 1; j <= *count; ++j) {
            if (!countString(bytes, S, j, p)) return std::nullopt;
            ++k;
        }
    } else {
        return std::nullopt;
    }

    if (k == 0) return pastEmptySet(bytes, S);
    const auto last = bytes.u8(p);
    if (!last) return std::nullopt;
    return *last == 0 ? p + 1 : p;
}

std::optional<std::size_t> FindDmiStructure(const MemoryView& raw, std::size_t entryPoint, std::uint8_t type) {
    const MemoryView view = normalized(raw);
    const auto count = view.bytes.u16le(entryPoint + ep::kStructureCount);
    auto pos = TablePosition(view, entryPoint);
    if (!count || !pos) return std::nullopt;
    for (unsigned i = 0; i < *count; ++i) {
        const auto t = view.bytes.u8(*pos + hdr::kType);
        const auto length = view.bytes.u8(*pos + hdr::kLength);
        if (!t || !length || *length < hdr::kSize || !view.bytes.contains(*pos, *length)) return std::nullopt;
        if (*t == type) return pos;
        pos = NextDmiStructure(view.bytes, *pos);
        if (!pos) return std::nullopt;
    }
    return std::nullopt;
}

int ReadBiosRecord(const MemoryView& raw, std::size_t entryPoint, DmiBiosRecord& record) {
    std::memset(&record, 0, sizeof record);
    const MemoryView view = normalized(raw);
    const auto found = locate(view, entryPoint, 0);
    if (!found) return 0;
    const ByteSpan b = view.bytes;
    fillSlots<3>(b, found->strings,
                 {{{byteAt(b, found->start, 4), record.vendor, sizeof record.vendor},
                   {byteAt(b, found->start, 5), record.version, sizeof record.version},
                   {byteAt(b, found->start, 8), record.release_date, sizeof record.release_date}}});
    return 1;
}

int ReadBoardRecord(const MemoryView& raw, std::size_t entryPoint, DmiBoardRecord& record) {
    std::memset(&record, 0, sizeof record);
    const MemoryView view = normalized(raw);
    const auto found = locate(view, entryPoint, 2);
    if (!found) return 0;
    const ByteSpan b = view.bytes;
    fillSlots<4>(b, found->strings,
                 {{{byteAt(b, found->start, 4), record.manufacturer, sizeof record.manufacturer},
                   {byteAt(b, found->start, 5), record.product, sizeof record.product},
                   {byteAt(b, found->start, 6), record.version, sizeof record.version},
                   {byteAt(b, found->start, 7), record.serial_number, sizeof record.serial_number}}});
    return 1;
}

int ReadProcessorRecord(const MemoryView& raw, std::size_t entryPoint, DmiProcessorRecord& record) {
    std::memset(&record, 0, sizeof record);
    const MemoryView view = normalized(raw);
    const auto found = locate(view, entryPoint, 4);
    if (!found) return 0;
    const ByteSpan b = view.bytes;
    const std::size_t s = found->start;
    record.processor_type = byteAt(b, s, 0x05);
    record.processor_family = byteAt(b, s, 0x06);
    // Since SMBIOS 2.6 the byte 0xFE sends the reader to the 16-bit family at 0x28.
    constexpr std::uint8_t kFamilyIn2 = 0xFE;
    constexpr std::size_t kFamily2 = 0x28;
    if (record.processor_family == kFamilyIn2 && byteAt(b, s, hdr::kLength) >= kFamily2 + 2) {
        const std::uint16_t family2 = wordAt(b, s, kFamily2);
        if (family2 > 0 && family2 < kFamilyIn2) record.processor_family = static_cast<std::uint8_t>(family2);
        else if (family2 > 0xFF) record.processor_family2 = family2;
    }
    for (std::size_t i = 0; i < sizeof record.processor_id; ++i) record.processor_id[i] = byteAt(b, s, 0x08 + i);
    record.voltage = byteAt(b, s, 0x11);
    record.external_clock_mhz = wordAt(b, s, 0x12);
    record.max_speed_mhz = wordAt(b, s, 0x14);
    record.current_speed_mhz = wordAt(b, s, 0x16);
    record.status = byteAt(b, s, 0x18);
    record.processor_upgrade = byteAt(b, s, 0x19);
    fillSlots<3>(b, found->strings,
                 {{{byteAt(b, s, 0x04), record.socket_designation, sizeof record.socket_designation},
                   {byteAt(b, s, 0x07), record.manufacturer, sizeof record.manufacturer},
                   {byteAt(b, s, 0x10), record.version, sizeof record.version}}});
    return 1;
}

int IsDmi20Date(const char* date) {
    const std::string_view text(date, strnlen(date, 8));
    // Two-character fields; one that starts at or past the end reads 0.
    auto field = [&](std::size_t at) -> std::int64_t {
        if (at >= text.size()) return 0;
        return platform::parseLeadingInt(text.substr(at, 2));
    };
    const std::int64_t month = field(0);
    const std::int64_t day = field(3);
    const std::int64_t year = field(6);
    if (year != 97) return year > 97 ? 1 : 0;
    if (month != 9) return month > 9 ? 1 : 0;
    return day < 22 ? 0 : 1;
}

int IsNotebook(const MemoryView& raw, std::size_t entryPoint) {
    const MemoryView view = normalized(raw);
    const auto s = FindDmiStructure(view, entryPoint, 3);
    if (!s) return 0;
    constexpr std::uint8_t kLockBit = 0x80;
    constexpr std::uint8_t kNotebook = 0x0A;
    const std::uint8_t chassis = byteAt(view.bytes, *s, 5) & static_cast<std::uint8_t>(~kLockBit);
    return chassis == kNotebook ? 1 : 0;
}

}  // namespace zorvdmi
