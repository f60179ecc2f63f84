#include "ThresholdAutosave.h"

namespace velmon {

void ThresholdAutosave::start() {
    saved_ = seen_ = current_();
    still_ = 0;
    started_ = true;
}

void ThresholdAutosave::tick() {
    if (!started_) return;
    const WarningThresholds now = current_();
    if (now != seen_) {
        seen_ = now;
        still_ = 0;
        return;
    }
    if (now == saved_ || ++still_ < settleTicks_) return;
    // Whether or not the save works, the values count as handled: a failed
    // save is said once and tried again at the next one.
    save_();
    saved_ = now;
    still_ = 0;
}

}  // namespace velmon
