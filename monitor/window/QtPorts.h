// Timers, sounds and message boxes for the core, realised with Qt.
#pragma once

#include "Ports.h"
#include "ThemeSound.h"

#include <QElapsedTimer>
#include <QTimer>

#include <array>

#include <functional>

namespace velmon::window {

// A window timer: enabling a running timer does not restart its interval.
//
// Given quiet ticks, it wakes only for ticks with work: after each tick it
// asks how many of the coming ticks have nothing to do but count, sleeps
// through them and runs them, in order, right before the next tick, on that
// tick's time. Disabling it runs the quiet ticks whose time has come, so
// whatever runs next sees the counts a tick every interval would have left.
class QtTimer final : public Timer {
public:
    QtTimer(int intervalMs, std::function<void()> tick);
    void setQuietTicks(std::function<int()> quietTicks) { quiet_ = std::move(quietTicks); }
    void setEnabled(bool enabled) override;
    [[nodiscard]] bool isEnabled() const override { return enabled_; }
    [[nodiscard]] int interval() const { return static_cast<int>(interval_); }
    // How often it has woken the process to run ticks.
    [[nodiscard]] long wakes() const { return wakes_; }

private:
    void wake();
    void sleepUntilNextWork();

    qint64 interval_;
    std::function<void()> tick_;
    std::function<int()> quiet_;
    QTimer timer_;
    bool enabled_ = false;
    int phase_ = 0;        // counts the enablings
    QElapsedTimer clock_;  // from enabling
    qint64 origin_ = 0;    // when tick 0 was, on clock_; tick n is due an interval later than n - 1
    qint64 ran_ = 0;       // ticks run since enabling
    qint64 due_ = 0;       // the tick the next wake runs up to
    long wakes_ = 0;
};

// The two kinds are counted apart and sound the sound theme's "bell"
// (simple) and "dialog-warning" (standard), or the X bell where the theme
// cannot be played. A kind asked for again within 100 ms (the three simple
// beeps of one channel's tick) is counted but not started again: the sounds
// would only pile up on each other.
class QtBeeper final : public Beeper {
public:
    explicit QtBeeper(SoundPlayer* player = nullptr) : player_(player) {}
    void simpleBeep() override;
    void standardBeep() override;
    [[nodiscard]] int simpleCount() const { return simple_; }
    [[nodiscard]] int standardCount() const { return standard_; }
    // Sounds started through the player, and X bells rung instead.
    [[nodiscard]] int played() const { return played_; }
    [[nodiscard]] int bells() const { return bells_; }

private:
    void sound(int kind, const char* eventId);

    SoundPlayer* player_;
    int simple_ = 0;
    int standard_ = 0;
    int played_ = 0;
    int bells_ = 0;
    std::array<QElapsedTimer, 2> last_;
};

// Message boxes. With VELMON_TEST_ANSWER set ("yes" or "no") no box is shown:
// information is written to standard error and questions get that answer, so
// unattended runs (the end-to-end tests) can go through every dialogue.
class QtPrompter final : public Prompter {
public:
    void information(const std::string& title, const std::string& text) override;
    bool question(const std::string& title, const std::string& text) override;
};

}  // namespace velmon::window
