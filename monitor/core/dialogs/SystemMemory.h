// Total physical memory from sysinfo(2).
#pragma once

#include "DialogPorts.h"

namespace velmon::dialogs {

class SystemMemory final : public MemoryPort {
public:
    // totalram x mem_unit in 64 bits; 0 when the kernel does not answer.
    [[nodiscard]] std::uint64_t totalPhysicalBytes() const override;
};

}  // namespace velmon::dialogs
