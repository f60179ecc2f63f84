#include "AhdFormat.h"

#include <cstring>

namespace cpudata {

void applyMask(std::uint8_t* data, std::size_t size) {
    for (std::size_t k = 0; k < size; ++k) data[k] ^= static_cast<std::uint8_t>(kMask[k % kMask.size()]);
}

std::optional<CpuQuery> queryFromDmiRecord(platform::ByteSpan record, std::uint8_t selector) {
    const auto family = record.u8(ZORVAHD_DMI_FAMILY_OFFSET);
    const auto id0 = record.u8(ZORVAHD_DMI_ID0_OFFSET);
    const auto id1 = record.u8(ZORVAHD_DMI_ID1_OFFSET);
    const auto speed = record.u16le(ZORVAHD_DMI_CURRENT_SPEED_OFFSET);
    const auto family2 = record.u16le(ZORVAHD_DMI_FAMILY2_OFFSET);
    if (!family || !id0 || !id1 || !speed || !family2) return std::nullopt;
    return CpuQuery{*family, *id0, *id1, *speed, selector, *family == kFamilyIn2 ? *family2 : std::uint16_t{0}};
}

std::optional<ZorvCpuDataRecord> searchPlain(platform::ByteSpan plain, const CpuQuery& query) {
    const auto countA = plain.u16le(kHeaderCountA);
    const auto countB = plain.u16le(kHeaderCountB);
    if (!countA || !countB || plain.size() < kHeaderSize) return std::nullopt;
    const std::size_t first = kHeaderSize + kOtherRecordSize * *countA;
    if (first > plain.size()) return std::nullopt;
    // A value cut short keeps its complete records only.
    std::size_t count = (plain.size() - first) / kCpuRecordSize;
    if (count > *countB) count = *countB;

    std::optional<ZorvCpuDataRecord> accepted;
    for (std::size_t i = 0; i < count; ++i) {
        const auto rec = plain.sub(first + i * kCpuRecordSize, kCpuRecordSize);
        if (!rec) break;
        if (rec->u8(kRecFamily) != query.family || rec->u8(kRecSelector) != query.selector) continue;
        // Families without an 8-bit code share the byte 0xFE and differ in the 16-bit one.
        if (query.family == kFamilyIn2 && rec->u16le(kRecFamily2) != query.family2) continue;
        const std::uint8_t id0 = *rec->u8(kRecId0);
        bool endsSearch = false;
        if (id0 != 0) {
            const std::uint8_t id1 = *rec->u8(kRecId1);
            if (id0 != query.id0 || (id1 != 0 && id1 != query.id1)) continue;
            endsSearch = *rec->u16le(kRecSpeed) == query.speedMhz;
        }
        ZorvCpuDataRecord copy{};
        rec->copy(0, kCpuRecordSize, reinterpret_cast<std::uint8_t*>(&copy));
        // A name filling all 20 bytes must not run into the family byte.
        copy.name[ZORVAHD_NAME_SIZE - 1] = '\0';
        accepted = copy;
        if (endsSearch) break;
    }
    return accepted;
}

std::optional<ZorvCpuDataRecord> searchStored(platform::ByteSpan stored, const CpuQuery& query) {
    std::vector<std::uint8_t> plain(stored.data(), stored.data() + stored.size());
    applyMask(plain.data(), plain.size());
    return searchPlain(platform::ByteSpan(plain.data(), plain.size()), query);
}

bool CpuLookup::know(const void* dmiRecord, std::int32_t selectorValue, StoreReader read) {
    selector_ = static_cast<std::uint8_t>(static_cast<std::uint32_t>(selectorValue) & 0xFFu);
    if (attempted_) return found_;
    attempted_ = true;
    if (!dmiRecord || !read) return false;
    const auto query = queryFromDmiRecord(
        platform::ByteSpan(static_cast<const std::uint8_t*>(dmiRecord), ZORVAHD_DMI_PROCESSOR_RECORD_SIZE), selector_);
    if (!query) return false;
    const auto stored = read();
    if (!stored) return false;
    if (const auto hit = searchStored(platform::ByteSpan(stored->data(), stored->size()), *query)) {
        record_ = *hit;
        found_ = true;
    }
    return found_;
}

bool CpuLookup::name(char* buffer) const {
    if (!buffer) return false;
    if (!found_) {
        buffer[0] = '\0';
        return false;
    }
    std::size_t n = 0;
    while (n + 1 < ZORVAHD_NAME_SIZE && record_.name[n] != '\0') ++n;
    std::memcpy(buffer, record_.name, n);
    buffer[n] = '\0';
    return true;
}

}  // namespace cpudata
