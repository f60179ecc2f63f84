// The readable processor table in the repository and how it becomes a data file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace cpudata {

struct ProcessorRow {
    std::string name;  // 1 to 19 printable ASCII characters
    std::uint8_t family = 0;    // 0xFE for a family that only Processor Family 2 names
    std::uint16_t family2 = 0;  // that 16-bit family, else 0
    std::uint8_t id0 = 0;
    std::uint8_t id1 = 0;
    std::uint16_t speedMhz = 0;
    std::uint8_t selector = 0;
    std::uint8_t offset = 0;
    std::uint8_t nominal = 0;
};

struct TableError {
    std::size_t line = 0;  // 1-based
    std::string message;
};

inline constexpr std::string_view kTableHeader = "name,family,id0,id1,speed,selector,offset,nominal";

// Lines: '#' comments and blank lines are skipped; the first other line must
// be kTableHeader; every row has exactly eight fields, numbers in decimal or
// 0x hex within their field's range. A family above 0xFF is a Processor
// Family 2 value (stored as 0xFE with the value beside it); 0xFE and 0xFF
// themselves are refused. A name in double quotes keeps its blanks (the
// speed shown after a name follows its last blank). id0 may be a range "lo-hi" without 0, which gives
// one record per value, in order.
std::variant<std::vector<ProcessorRow>, TableError> parseProcessorTable(std::string_view text);

// The unscrambled store: header, otherRecords zero records of 68 bytes, then the rows.
std::vector<std::uint8_t> buildPlainStore(const std::vector<ProcessorRow>& rows, std::uint16_t otherRecords);

// The same, scrambled as the data file ships.
std::vector<std::uint8_t> buildDataFile(const std::vector<ProcessorRow>& rows, std::uint16_t otherRecords);

}  // namespace cpudata
