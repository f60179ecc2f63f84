#include "platform/Files.h"

#include <fstream>

namespace platform {

std::string_view trimBlanks(std::string_view text) {
    return trimIf(text, [](char c) { return c == ' ' || c == '\t' || c == '\r'; });
}

std::optional<std::vector<std::uint8_t>> readFilePrefix(const std::string& path, std::size_t limit) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<std::uint8_t> bytes(limit);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(limit));
    if (in.bad()) return std::nullopt;
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

std::optional<std::string> readTextPrefix(const std::string& path, std::size_t limit) {
    auto bytes = readFilePrefix(path, limit);
    if (!bytes) return std::nullopt;
    return std::string(bytes->begin(), bytes->end());
}

}  // namespace platform
