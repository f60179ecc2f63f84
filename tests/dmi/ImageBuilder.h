// Crafts small BIOS-area images for the tests: an entry point at a chosen
// offset and a table of structures given as raw formatted bytes plus strings.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <string>
#include <vector>

namespace dmitest {

inline constexpr std::size_t kWindow = 0xFFFF;

struct Structure {
    Structure(std::vector<std::uint8_t> f, std::vector<std::string> s = {})
        : formatted(std::move(f)), strings(std::move(s)) {}
    // Raw bytes after the formatted area instead of a string set.
    static Structure raw(std::vector<std::uint8_t> f, std::vector<std::uint8_t> after) {
        Structure s(std::move(f));
        s.tail = std::move(after);
        s.rawTail = true;
        return s;
    }
    std::vector<std::uint8_t> formatted;  // byte 1 (length) is set from its size
    std::vector<std::string> strings;     // empty: the set is two zeros
    std::vector<std::uint8_t> tail;
    bool rawTail = false;
};

// A formatted area of the given type and length, zero elsewhere.
inline std::vector<std::uint8_t> area(std::uint8_t type, std::size_t length,
                                      std::initializer_list<std::pair<std::size_t, std::uint8_t>> bytes = {}) {
    std::vector<std::uint8_t> b(length, 0);
    b.at(0) = type;
    for (const auto& [at, v] : bytes) b.at(at) = v;
    return b;
}

inline void put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

inline void put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

inline std::vector<std::uint8_t> tableBytes(const std::vector<Structure>& structures) {
    std::vector<std::uint8_t> out;
    for (const Structure& s : structures) {
        std::vector<std::uint8_t> f = s.formatted;
        f.at(1) = static_cast<std::uint8_t>(f.size());
        out.insert(out.end(), f.begin(), f.end());
        if (s.rawTail) {
            out.insert(out.end(), s.tail.begin(), s.tail.end());
            continue;
        }
        for (const std::string& str : s.strings) {
            out.insert(out.end(), str.begin(), str.end());
            out.push_back(0);
        }
        if (s.strings.empty()) out.push_back(0);
        out.push_back(0);
    }
    return out;
}

// Writes a "_DMI_" entry point (checksum wrong unless fixed later: it is unused).
inline void putEntryPoint(std::vector<std::uint8_t>& image, std::size_t at, std::uint32_t tableAddress,
                          std::uint16_t count) {
    const std::string anchor = "_DMI_";
    for (std::size_t i = 0; i < anchor.size(); ++i) image[at + i] = static_cast<std::uint8_t>(anchor[i]);
    image[at + 5] = 0x5A;
    put32(image, at + 8, tableAddress);
    put16(image, at + 12, count);
    image[at + 14] = 0x20;
}

// A window-mode image: entry point at epAt, table at tableAt (window offsets).
inline std::vector<std::uint8_t> windowImage(const std::vector<Structure>& structures, std::size_t epAt = 0x100,
                                             std::size_t tableAt = 0x200, int count = -1) {
    std::vector<std::uint8_t> image(kWindow, 0);
    putEntryPoint(image, epAt, static_cast<std::uint32_t>(0xF0000 + tableAt),
                  static_cast<std::uint16_t>(count < 0 ? structures.size() : static_cast<std::size_t>(count)));
    const auto table = tableBytes(structures);
    for (std::size_t i = 0; i < table.size() && tableAt + i < image.size(); ++i) image[tableAt + i] = table[i];
    return image;
}

// Common structures.
inline Structure bios(const std::string& vendor, const std::string& version, const std::string& date) {
    return {area(0, 0x12, {{4, 1}, {5, 2}, {8, 3}}), {vendor, version, date}};
}
inline Structure board(const std::string& maker, const std::string& product, const std::string& version,
                       const std::string& serial) {
    return {area(2, 0x08, {{4, 1}, {5, 2}, {6, 3}, {7, 4}}), {maker, product, version, serial}};
}

}  // namespace dmitest
