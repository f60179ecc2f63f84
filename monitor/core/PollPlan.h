// How far ahead the polling cycle has nothing to do but count: the timer
// need not wake the process for those ticks.
#pragma once

#include "MonitorState.h"

namespace velmon {

// The number of coming ticks of tmrMonitor that read no group: each tick
// adds 1 to every counter and a group is read at the tick where its counter
// reaches its interval. 0 when the next tick reads.
int quietPollTicks(const PollTickCounters& counters, const PollingIntervals& intervals);

}  // namespace velmon
