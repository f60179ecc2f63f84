// The image one operation reads: obtained at its start and released at its
// end, so that a driver-mapped window never outlives the operation.
#pragma once

#include <cstdint>
#include <vector>

#include "DmiFormat.h"

namespace zorvdmi {

class ViewLease {
public:
    ViewLease();
    ~ViewLease();
    ViewLease(const ViewLease&) = delete;
    ViewLease& operator=(const ViewLease&) = delete;

    [[nodiscard]] const MemoryView& view() const { return view_; }

private:
    MemoryView view_;
    std::vector<std::uint8_t> copy_;                // bytes read for this operation, where the view is a copy
    [[maybe_unused]] std::uintptr_t mapped_ = 0;  // the driver-mapped window, on Windows only
};

// The driver's device handle where one is used, else 0.
std::intptr_t serviceHandle();

}  // namespace zorvdmi
