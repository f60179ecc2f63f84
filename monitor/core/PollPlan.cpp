#include "PollPlan.h"

#include <algorithm>

namespace velmon {

int quietPollTicks(const PollTickCounters& counters, const PollingIntervals& intervals) {
    // Ticks until the counter reaches its interval, less the reading tick.
    const auto quiet = [](int counter, int interval) { return std::max(0, interval - counter - 1); };
    return std::min({quiet(counters.fan, intervals.fan), quiet(counters.temp, intervals.temp),
                     quiet(counters.volt, intervals.volt)});
}

}  // namespace velmon
