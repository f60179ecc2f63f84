// The registry side of the library: the data file goes in whole, the search reads it back whole.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace cpudata {

inline constexpr const char* kStoreKey = "SOFTWARE\\ZORV\\ZORVAHD";
inline constexpr const char* kStoreValue = "DATA";
inline constexpr const char* kDataFileName = "Zorv.ahd";

// Where the data file is expected: the directory of modulePath, then Zorv.ahd.
// Empty when the module path is unknown.
std::string dataFilePathFor(const std::string& modulePath);

// Reads the file and stores its bytes unchanged as the REG_BINARY value.
// False when the file cannot be opened, sized or held; the registry is then
// untouched. The outcome of the registry write is not part of the result.
bool copyFileIntoStore(const std::string& path);

// The stored bytes, or nothing when the key or value is missing or unreadable.
std::optional<std::vector<std::uint8_t>> readStore();

}  // namespace cpudata
