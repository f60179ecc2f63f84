// Thresholds the user changes are saved a few seconds after the change
// settles, not only at exit: a crash or a power cut, common when the
// hardware is in trouble, would otherwise lose them. A drag or a held spin
// arrow changes them many times a second; only the value it ends on is saved.
#pragma once

#include <functional>

#include "MonitorState.h"

namespace velmon {

class ThresholdAutosave {
public:
    static constexpr int kSettleTicks = 3;

    using Current = std::function<WarningThresholds()>;
    ThresholdAutosave(Current current, std::function<void()> save, int settleTicks = kSettleTicks)
        : current_(std::move(current)), save_(std::move(save)), settleTicks_(settleTicks) {}

    // The values as they are now count as saved (after the first reading).
    void start();
    // Once a second: saves when the values differ from the saved ones and
    // have not moved for settleTicks ticks.
    void tick();

private:
    Current current_;
    std::function<void()> save_;
    int settleTicks_;
    bool started_ = false;
    WarningThresholds saved_;
    WarningThresholds seen_;
    int still_ = 0;
};

}  // namespace velmon
