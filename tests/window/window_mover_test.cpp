// When a move run by the window manager counts as over: the release is often
// never seen by Qt, so the watch decides from pointer samples.
#include "WindowMover.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace velmon {
namespace {

using window::MoveWatch;

struct Sample {
    QPoint cursor;
    Qt::MouseButtons reported;
    std::optional<bool> held;
};

struct WatchCase {
    const char* name;
    std::vector<Sample> samples;
    int overAt;  // index of the first sample that ends the move, -1: none does
};

std::vector<Sample> still(int n, Qt::MouseButtons reported, std::optional<bool> held) {
    return std::vector<Sample>(static_cast<std::size_t>(n), Sample{QPoint(100, 100), reported, held});
}

class MoveWatches : public ::testing::TestWithParam<WatchCase> {};

TEST_P(MoveWatches, EndsOnlyWhenTheButtonIsUp) {
    MoveWatch watch;
    watch.reset(QPoint(100, 100));
    int overAt = -1;
    const auto& samples = GetParam().samples;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (watch.tick(samples[i].cursor, samples[i].reported, samples[i].held)) {
            overAt = static_cast<int>(i);
            break;
        }
    }
    EXPECT_EQ(overAt, GetParam().overAt);
}

std::vector<Sample> heldThenReleased() {
    auto s = still(40, Qt::LeftButton, true);
    s.push_back({QPoint(100, 100), Qt::LeftButton, false});  // Qt missed the release
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Samples, MoveWatches,
    ::testing::Values(
        // The pointer stands still far longer than the idle limit, the button held.
        WatchCase{"StillWithTheButtonHeldGoesOn", still(4 * MoveWatch::kIdleTicks, Qt::LeftButton, true), -1},
        // Qt already thinks the button is up, the X server knows better.
        WatchCase{"HeldWinsOverAStaleRelease", still(20, Qt::NoButton, true), -1},
        WatchCase{"ReleaseSeenByTheServerEnds", heldThenReleased(), 40},
        WatchCase{"ReleaseWithoutMovingEndsAtOnce", still(3, Qt::LeftButton, false), 0},
        // Where the server cannot be asked: Qt's release, else the idle limit.
        WatchCase{"UnknownStateWaitsForTheIdleLimit", still(30, Qt::LeftButton, std::nullopt),
                  MoveWatch::kIdleTicks - 1},
        WatchCase{"UnknownStateTakesQtsRelease", still(3, Qt::NoButton, std::nullopt), 0}),
    [](const auto& c) { return std::string(c.param.name); });

TEST(MoveWatch, MovingPointerRestartsTheIdleCount) {
    MoveWatch watch;
    watch.reset(QPoint(0, 0));
    for (int i = 0; i < 3 * MoveWatch::kIdleTicks; ++i) {
        const QPoint wiggle(i % 2, 0);
        ASSERT_FALSE(watch.tick(wiggle, Qt::LeftButton, std::nullopt)) << i;
    }
}

}  // namespace
}  // namespace velmon
