// Arbitrary bytes as a brand string and as /proc/cpuinfo.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "CpuBrand.h"
#include "Sources.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    (void)zorvdmi::familyFromBrand(text);
    const zorvdmi::CpuInfo cpu = zorvdmi::parseCpuInfo(text);
    (void)zorvdmi::armMainId(cpu);
    (void)zorvdmi::processorFamily(cpu, cpu.modelName);
    return 0;
}
