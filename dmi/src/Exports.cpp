// The exported queries: each locates the entry point and fills a fresh
// record, each step on a view of its own.
#include <bit>
#include <cstring>

#include "DmiFormat.h"
#include "ViewLease.h"
#include "zorvdmi.h"

static_assert(std::endian::native == std::endian::little, "the record layouts are little-endian");

namespace {

using namespace zorvdmi;

std::optional<std::size_t> entryPoint() {
    const ViewLease lease;
    return FindDmiEntryPoint(lease.view());
}

template <typename Record, typename Filler>
std::optional<Record> filled(Filler filler) {
    const auto ep = entryPoint();
    if (!ep) return std::nullopt;
    Record record;
    const ViewLease lease;
    (void)filler(lease.view(), *ep, record);
    return record;
}

std::optional<DmiBiosRecord> bios() { return filled<DmiBiosRecord>(ReadBiosRecord); }
std::optional<DmiBoardRecord> board() { return filled<DmiBoardRecord>(ReadBoardRecord); }
std::optional<DmiProcessorRecord> processor() { return filled<DmiProcessorRecord>(ReadProcessorRecord); }

// Copies a slot (zero-terminated within its width) into the caller's buffer;
// without a record the buffer gets the empty string. A null buffer is left alone.
template <typename Record, std::size_t N>
char* answerFrom(char* buffer, const std::optional<Record>& record, char (Record::*slot)[N]) {
    if (!buffer) return buffer;
    std::size_t n = 0;
    if (record) {
        const char* text = (*record).*slot;
        n = strnlen(text, N - 1);
        std::memcpy(buffer, text, n);
    }
    buffer[n] = '\0';
    return buffer;
}

// The library's own record behind DMI_GetCPUInfo.
DmiProcessorRecord sharedProcessorRecord;

}  // namespace

extern "C" {

ZORVDMI_API int32_t ZORVDMI_CALL DMI_IsDMI20BIOS(void) {
    const auto record = bios();
    if (!record) return 0;
    return IsDmi20Date(record->release_date);
}

ZORVDMI_API int32_t ZORVDMI_CALL DMI_GetBIOSVender(char* buffer) {
    if (buffer) (void)answerFrom(buffer, bios(), &DmiBiosRecord::vendor);
    return 1;
}

ZORVDMI_API char* ZORVDMI_CALL DMI_GetBIOSVersion(char* buffer) {
    return answerFrom(buffer, bios(), &DmiBiosRecord::version);
}

ZORVDMI_API char* ZORVDMI_CALL DMI_GetBIOSDate(char* buffer) {
    return answerFrom(buffer, bios(), &DmiBiosRecord::release_date);
}

ZORVDMI_API char* ZORVDMI_CALL DMI_GetMBManufacturer(char* buffer) {
    return answerFrom(buffer, board(), &DmiBoardRecord::manufacturer);
}

ZORVDMI_API char* ZORVDMI_CALL DMI_GetMBProduct(char* buffer) {
    return answerFrom(buffer, board(), &DmiBoardRecord::product);
}

ZORVDMI_API char* ZORVDMI_CALL DMI_GetMBVersion(char* buffer) {
    return answerFrom(buffer, board(), &DmiBoardRecord::version);
}

ZORVDMI_API char* ZORVDMI_CALL DMI_GetMBSerial(char* buffer) {
    return answerFrom(buffer, board(), &DmiBoardRecord::serial_number);
}

ZORVDMI_API char* ZORVDMI_CALL DMI_GetCPUVendor(char* buffer) {
    return answerFrom(buffer, processor(), &DmiProcessorRecord::manufacturer);
}

ZORVDMI_API char* ZORVDMI_CALL DMI_GetCPUVersion(char* buffer) {
    return answerFrom(buffer, processor(), &DmiProcessorRecord::version);
}

ZORVDMI_API char* ZORVDMI_CALL DMI_GetMBSocket(char* buffer) {
    return answerFrom(buffer, processor(), &DmiProcessorRecord::socket_designation);
}

ZORVDMI_API uint8_t ZORVDMI_CALL DMI_GetCPUFamily(void) {
    const auto record = processor();
    return record ? record->processor_family : 0;
}

ZORVDMI_API uint8_t ZORVDMI_CALL DMI_GetCPUVoltage(void) {
    const auto record = processor();
    return record ? record->voltage : 0;
}

ZORVDMI_API uint16_t ZORVDMI_CALL DMI_GetMBClock(void) {
    const auto record = processor();
    return record ? record->current_speed_mhz : 0;
}

ZORVDMI_API void ZORVDMI_CALL DMI_GetCPUID(uint8_t* id) {
    if (!id) return;
    const auto record = processor();
    if (!record) {
        id[0] = 0;
        return;
    }
    std::memcpy(id, record->processor_id, sizeof record->processor_id);
}

ZORVDMI_API const DmiProcessorRecord* ZORVDMI_CALL DMI_GetCPUInfo(void) {
    const auto record = processor();
    if (!record) return nullptr;
    sharedProcessorRecord = *record;
    return &sharedProcessorRecord;
}

ZORVDMI_API int32_t ZORVDMI_CALL DMI_IsNoteBook(void) {
    const auto ep = entryPoint();
    if (!ep) return 0;
    const ViewLease lease;
    return IsNotebook(lease.view(), *ep);
}

ZORVDMI_API intptr_t ZORVDMI_CALL DMI_GetServiceHandle(void) { return serviceHandle(); }

}  // extern "C"
