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
class QtTimer final : public Timer {
public:
    QtTimer(int intervalMs, std::function<void()> tick);
    void setEnabled(bool enabled) override;
    [[nodiscard]] bool isEnabled() const override { return timer_.isActive(); }
    [[nodiscard]] int interval() const { return timer_.interval(); }

private:
    QTimer timer_;
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
