#include "SystemMemory.h"

#include <sys/sysinfo.h>

namespace velmon::dialogs {

std::uint64_t SystemMemory::totalPhysicalBytes() const {
    struct sysinfo info {};
    if (::sysinfo(&info) != 0) {
        return 0;
    }
    const std::uint64_t unit = info.mem_unit == 0 ? 1U : info.mem_unit;
    return static_cast<std::uint64_t>(info.totalram) * unit;
}

}  // namespace velmon::dialogs
