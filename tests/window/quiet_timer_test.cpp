// The polling timer sleeps through ticks that only count and runs them right
// before the tick with work; disabling it runs the quiet ones already due.
#include "QtPorts.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <vector>

namespace velmon {
namespace {

void runEventsUntil(const std::function<bool()>& done, int limitMs = 10000) {
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < limitMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
}

TEST(QuietTimer, WakesOnlyForTheTicksWithWork) {
    // As with a 5-tick interval: after each tick, ticks to the next multiple of 5 are quiet.
    int ticks = 0;
    window::QtTimer timer(20, [&ticks] { ++ticks; });
    timer.setQuietTicks([&ticks] { return 4 - ticks % 5; });
    timer.setEnabled(true);
    runEventsUntil([&] { return ticks >= 10; });
    EXPECT_EQ(ticks, 10);
    // Tick 1 wakes (the first tick always does), then ticks 2-5 and 6-10 run in one wake each.
    EXPECT_EQ(timer.wakes(), 3);
    timer.setEnabled(false);
}

TEST(QuietTimer, WithoutQuietTicksEveryTickWakes) {
    int ticks = 0;
    window::QtTimer timer(10, [&ticks] { ++ticks; });
    timer.setEnabled(true);
    runEventsUntil([&] { return ticks >= 5; });
    timer.setEnabled(false);
    EXPECT_EQ(ticks, 5);
    EXPECT_EQ(timer.wakes(), 5);
}

TEST(QuietTimer, DisablingRunsTheQuietTicksAlreadyDueAndNoMore) {
    int ticks = 0;
    window::QtTimer timer(200, [&ticks] { ++ticks; });
    timer.setQuietTicks([] { return 9; });  // after a tick, nine ticks only count
    QElapsedTimer since;
    since.start();
    timer.setEnabled(true);
    runEventsUntil([&] { return ticks >= 1; });
    ASSERT_EQ(ticks, 1);
    // Half-way between ticks 2 and 3 on the timer's clock.
    runEventsUntil([&] { return since.elapsed() >= 500; });
    const qint64 at = since.elapsed();
    timer.setEnabled(false);
    EXPECT_EQ(ticks, at / 200) << "disabled " << at << " ms after enabling";
    EXPECT_EQ(timer.wakes(), 1);
    runEventsUntil([] { return false; }, 300);
    EXPECT_EQ(ticks, at / 200) << "a disabled timer ticked";
}

TEST(QuietTimer, ATickThatDisablesAndEnablesStartsAFreshInterval) {
    int ticks = 0;
    window::QtTimer* self = nullptr;
    window::QtTimer timer(20, [&] {
        ++ticks;
        if (ticks == 1) {
            self->setEnabled(false);
            self->setEnabled(true);
        }
    });
    self = &timer;
    timer.setEnabled(true);
    runEventsUntil([&] { return ticks >= 2; });
    timer.setEnabled(false);
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(timer.wakes(), 2) << "the second tick ran inside the first wake";
}

}  // namespace
}  // namespace velmon
