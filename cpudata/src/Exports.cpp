// The C exports over one process-wide lookup.
#include "AhdFormat.h"
#include "Store.h"
#include "platform/ModulePath.h"
#include "zorvahd.h"

namespace {

cpudata::CpuLookup& lookup() {
    static cpudata::CpuLookup state;
    return state;
}

// Fixed at load, as the file is expected next to this library wherever it was loaded from.
const std::string& dataFilePath() {
    static const std::string path =
        cpudata::dataFilePathFor(platform::modulePathOf(reinterpret_cast<const void*>(&WriteCPUInfoIntoRegistry)));
    return path;
}

[[maybe_unused]] __attribute__((constructor)) void atLoad() { (void)dataFilePath(); }

}  // namespace

extern "C" {

int32_t ZORVAHD_CALL WriteCPUInfoIntoRegistry(void) { return cpudata::copyFileIntoStore(dataFilePath()) ? 1 : 0; }

int32_t ZORVAHD_CALL DoYouKnowThisCPU(const void* dmiProcessorRecord, int32_t selector) {
    return lookup().know(dmiProcessorRecord, selector, &cpudata::readStore) ? 1 : 0;
}

int32_t ZORVAHD_CALL GetCPUName(char* buffer) { return lookup().name(buffer) ? 1 : 0; }

int32_t ZORVAHD_CALL GetCPUOffset(void) { return lookup().offset(); }

int32_t ZORVAHD_CALL GetCPUNominal(void) { return lookup().nominal(); }

const ZorvCpuDataRecord* ZORVAHD_CALL GetCPUInfo(int32_t /*ignored*/) { return lookup().record(); }

}  // extern "C"
