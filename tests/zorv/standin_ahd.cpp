// Knows exactly one processor: the record the DMI stand-in hands out, asked
// for with selector 1. Counts the lookups so a test sees it runs once.
#include <cstdint>
#include <cstring>

namespace {
bool found = false;
int lookups = 0;
}  // namespace

extern "C" {
__attribute__((visibility("default"))) int32_t DoYouKnowThisCPU(const void* rec, int32_t selector) {
    ++lookups;
    const auto* r = static_cast<const unsigned char*>(rec);
    const unsigned speed = r[110] | (r[111] << 8);
    found = selector == 1 && r[35] == 0x1B && r[66] == 0x58 && r[67] == 0x05 && speed == 450;
    return found ? 1 : 0;
}
__attribute__((visibility("default"))) int32_t GetCPUName(char* b) {
    std::strcpy(b, found ? "AMD-K6-2" : "");
    return found ? 1 : 0;
}
__attribute__((visibility("default"))) int StandinLookups() { return lookups; }
}
