#include "PollPlan.h"

#include <gtest/gtest.h>

namespace velmon {
namespace {

struct Case {
    PollTickCounters counters;
    PollingIntervals intervals;
    int quiet;
};

TEST(PollPlan, QuietTicksUntilTheFirstGroupIsDue) {
    const Case cases[] = {
        {{0, 0, 0}, {5, 5, 5}, 4},     // just read: ticks 1 to 4 count, tick 5 reads
        {{4, 4, 4}, {5, 5, 5}, 0},     // the next tick reads
        {{2, 0, 0}, {5, 5, 5}, 2},     // the group nearest its interval decides
        {{0, 0, 0}, {1, 5, 5}, 0},     // fans every second
        {{0, 0, 0}, {10, 30, 60}, 9},
        {{3, 0, 0}, {2, 5, 5}, 0},     // a counter past a lowered interval reads at the next tick
        {{0, 0, 0}, {0, 5, 5}, 0},     // an interval of 0 or less reads every tick
        {{0, 0, 0}, {-3, 5, 5}, 0},
        {{0, 0, 0}, {32767, 32767, 32767}, 32766},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(quietPollTicks(c.counters, c.intervals), c.quiet)
            << "counters " << c.counters.fan << '/' << c.counters.temp << '/' << c.counters.volt << ", intervals "
            << c.intervals.fan << '/' << c.intervals.temp << '/' << c.intervals.volt;
    }
}

}  // namespace
}  // namespace velmon
