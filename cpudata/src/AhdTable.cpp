#include "AhdTable.h"

#include "platform/Files.h"

#include <array>
#include <charconv>

#include "AhdFormat.h"

namespace cpudata {
namespace {

std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (;;) {
        const auto comma = line.find(',', start);
        out.push_back(platform::trimBlanks(line.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start)));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return out;
}

bool parseNumber(std::string_view text, std::uint32_t max, std::uint32_t& out) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    if (text.empty()) return false;
    std::uint32_t v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v, base);
    if (ec != std::errc() || end != text.data() + text.size() || v > max) return false;
    out = v;
    return true;
}

template <std::size_t N>
void put16(std::array<std::uint8_t, N>& b, std::size_t at, std::uint16_t v) {
    b.at(at) = static_cast<std::uint8_t>(v & 0xFF);
    b.at(at + 1) = static_cast<std::uint8_t>(v >> 8);
}

}  // namespace

std::variant<std::vector<ProcessorRow>, TableError> parseProcessorTable(std::string_view text) {
    static constexpr const char* kFieldNames[] = {"name", "family", "id0", "id1", "speed", "selector", "offset", "nominal"};
    std::vector<ProcessorRow> rows;
    bool headerSeen = false;
    std::size_t lineNo = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto nl = text.find('\n', pos);
        const std::string_view raw = text.substr(pos, nl == std::string_view::npos ? std::string_view::npos : nl - pos);
        pos = nl == std::string_view::npos ? text.size() : nl + 1;
        ++lineNo;
        const std::string_view line = platform::trimBlanks(raw);
        if (line.empty() || line.front() == '#') continue;
        if (!headerSeen) {
            if (line != kTableHeader) return TableError{lineNo, "expected the header \"" + std::string(kTableHeader) + "\""};
            headerSeen = true;
            continue;
        }
        const auto fields = splitFields(line);
        if (fields.size() != 8)
            return TableError{lineNo, "expected 8 fields, found " + std::to_string(fields.size())};
        ProcessorRow row;
        std::string_view name = fields[0];
        // Quotes keep the blank at the end of a name, where the speed follows it.
        if (name.size() >= 2 && name.front() == '"' && name.back() == '"') name = name.substr(1, name.size() - 2);
        if (name.empty() || name.size() >= ZORVAHD_NAME_SIZE)
            return TableError{lineNo, "name must have 1 to 19 characters"};
        for (char c : name)
            if (c < 0x20 || c > 0x7E) return TableError{lineNo, "name holds a character that is not printable ASCII"};
        row.name = std::string(name);
        std::uint32_t v[8] = {};
        std::uint32_t id0Last = 0;
        bool range = false;
        for (std::size_t i = 1; i < 8; ++i) {
            const std::uint32_t max = (i == 1 || i == 4) ? 0xFFFFu : 0xFFu;
            std::string_view field = fields[i];
            if (i == 2) {
                const auto dash = field.find('-', 1);
                if (dash != std::string_view::npos) {
                    range = true;
                    if (!parseNumber(platform::trimBlanks(field.substr(dash + 1)), max, id0Last))
                        return TableError{lineNo, "field id0 ends its range with a value that is not a number from 1 "
                                                  "to 255: \"" + std::string(fields[i]) + "\""};
                    field = platform::trimBlanks(field.substr(0, dash));
                }
            }
            if (!parseNumber(field, max, v[i]))
                return TableError{lineNo, std::string("field ") + kFieldNames[i] + " is not a number from 0 to " +
                                              std::to_string(max) + ": \"" + std::string(fields[i]) + "\""};
        }
        if (v[1] == 0) return TableError{lineNo, "family 0 matches no processor"};
        if (v[1] == kFamilyIn2 || v[1] == 0xFF)
            return TableError{lineNo, "family 0xFE and 0xFF name no processor; write the Processor Family 2 value"};
        if (v[1] > 0xFF) {
            row.family = kFamilyIn2;
            row.family2 = static_cast<std::uint16_t>(v[1]);
        } else {
            row.family = static_cast<std::uint8_t>(v[1]);
        }
        if (!range) id0Last = v[2];
        // 0 stands for any processor, so a range must not hold it.
        if (range && v[2] == 0) return TableError{lineNo, "an id0 range must not hold 0"};
        if (id0Last < v[2]) return TableError{lineNo, "an id0 range must not run backwards"};
        row.id1 = static_cast<std::uint8_t>(v[3]);
        row.speedMhz = static_cast<std::uint16_t>(v[4]);
        row.selector = static_cast<std::uint8_t>(v[5]);
        row.offset = static_cast<std::uint8_t>(v[6]);
        row.nominal = static_cast<std::uint8_t>(v[7]);
        for (std::uint32_t id0 = v[2]; id0 <= id0Last; ++id0) {
            row.id0 = static_cast<std::uint8_t>(id0);
            rows.push_back(row);
        }
        if (rows.size() > 0xFFFF) return TableError{lineNo, "more than 65535 processor records"};
    }
    if (!headerSeen) return TableError{lineNo, "no header line"};
    return rows;
}

std::vector<std::uint8_t> buildPlainStore(const std::vector<ProcessorRow>& rows, std::uint16_t otherRecords) {
    std::vector<std::uint8_t> out;
    out.reserve(kHeaderSize + kOtherRecordSize * otherRecords + kCpuRecordSize * rows.size());
    std::array<std::uint8_t, kHeaderSize> header{'Z', 'A', 'H', 'D'};
    put16(header, kHeaderCountA, otherRecords);
    put16(header, kHeaderCountB, static_cast<std::uint16_t>(rows.size()));
    out.insert(out.end(), header.begin(), header.end());
    out.insert(out.end(), kOtherRecordSize * otherRecords, std::uint8_t{0});
    for (const auto& r : rows) {
        std::array<std::uint8_t, kCpuRecordSize> rec{};
        for (std::size_t i = 0; i < r.name.size() && i + 1 < ZORVAHD_NAME_SIZE; ++i)
            rec.at(kRecName + i) = static_cast<std::uint8_t>(r.name[i]);
        rec.at(kRecFamily) = r.family;
        rec.at(kRecId1) = r.id1;
        rec.at(kRecId0) = r.id0;
        put16(rec, kRecSpeed, r.speedMhz);
        rec.at(kRecSelector) = r.selector;
        rec.at(kRecOffset) = r.offset;
        rec.at(kRecNominal) = r.nominal;
        put16(rec, kRecFamily2, r.family2);
        out.insert(out.end(), rec.begin(), rec.end());
    }
    return out;
}

std::vector<std::uint8_t> buildDataFile(const std::vector<ProcessorRow>& rows, std::uint16_t otherRecords) {
    auto b = buildPlainStore(rows, otherRecords);
    applyMask(b.data(), b.size());
    return b;
}

}  // namespace cpudata
