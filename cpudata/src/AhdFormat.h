// The layout of the hardware data store and the pure processor search over it.
// Everything here works on bytes in memory; the registry and the file only feed it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/ByteCursor.h"
#include "zorvahd.h"

namespace cpudata {

inline constexpr std::string_view kMask = "Kestrel Data Mask Phrase 01";

inline constexpr std::size_t kHeaderSize = 64;
inline constexpr std::size_t kHeaderCountA = 4;  // u16: records of 68 bytes
inline constexpr std::size_t kHeaderCountB = 6;  // u16: processor records
inline constexpr std::size_t kOtherRecordSize = 68;
inline constexpr std::size_t kCpuRecordSize = sizeof(ZorvCpuDataRecord);

// Offsets inside a processor record.
inline constexpr std::size_t kRecName = 0;
inline constexpr std::size_t kRecFamily = 20;
inline constexpr std::size_t kRecId1 = 27;
inline constexpr std::size_t kRecId0 = 28;
inline constexpr std::size_t kRecSpeed = 30;
inline constexpr std::size_t kRecSelector = 32;
inline constexpr std::size_t kRecOffset = 34;
inline constexpr std::size_t kRecNominal = 35;
inline constexpr std::size_t kRecFamily2 = 36;  // u16, read when the family byte is kFamilyIn2

// The family byte that sends the reader to Processor Family 2.
inline constexpr std::uint8_t kFamilyIn2 = 0xFE;

// Scrambles or unscrambles in place: byte k XOR mask byte (k mod mask length).
void applyMask(std::uint8_t* data, std::size_t size);

// What the search compares, taken from a DMI processor record.
struct CpuQuery {
    std::uint8_t family = 0;
    std::uint8_t id0 = 0;
    std::uint8_t id1 = 0;
    std::uint16_t speedMhz = 0;
    std::uint8_t selector = 0;
    std::uint16_t family2 = 0;  // compared only when family is kFamilyIn2
};

// Reads family (and Processor Family 2), ID bytes and current speed; nothing
// when the record is too short.
std::optional<CpuQuery> queryFromDmiRecord(platform::ByteSpan record, std::uint8_t selector);

// Searches the unscrambled store. Only complete processor records inside the
// span take part. The result's name always ends in a zero.
std::optional<ZorvCpuDataRecord> searchPlain(platform::ByteSpan plain, const CpuQuery& query);

// Unscrambles a copy of the stored bytes and searches it.
std::optional<ZorvCpuDataRecord> searchStored(platform::ByteSpan stored, const CpuQuery& query);

// The lookup's process-wide outcome: searched at most once.
class CpuLookup {
public:
    // Reads the stored value; nothing when the key or value is missing.
    using StoreReader = std::optional<std::vector<std::uint8_t>> (*)();

    // dmiRecord may be null; it is read as ZORVAHD_DMI_PROCESSOR_RECORD_SIZE bytes.
    bool know(const void* dmiRecord, std::int32_t selectorValue, StoreReader read);

    [[nodiscard]] bool attempted() const { return attempted_; }
    [[nodiscard]] bool found() const { return found_; }
    [[nodiscard]] std::uint8_t selector() const { return selector_; }
    [[nodiscard]] const ZorvCpuDataRecord* record() const { return found_ ? &record_ : nullptr; }

    // Writes the name (or "") into buffer of at least ZORVAHD_NAME_SIZE bytes.
    bool name(char* buffer) const;
    [[nodiscard]] std::int32_t offset() const { return found_ ? record_.offset : -1; }
    [[nodiscard]] std::int32_t nominal() const { return found_ ? record_.nominal : -1; }

private:
    std::uint8_t selector_ = 0;
    bool attempted_ = false;
    bool found_ = false;
    ZorvCpuDataRecord record_{};
};

}  // namespace cpudata
