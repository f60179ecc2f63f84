// Timers, sounds and message boxes for the core, realised with Qt.
#pragma once

#include "Ports.h"

#include <QTimer>

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

// Both kinds sound the desktop's beep; they are counted apart.
class QtBeeper final : public Beeper {
public:
    void simpleBeep() override;
    void standardBeep() override;
    [[nodiscard]] int simpleCount() const { return simple_; }
    [[nodiscard]] int standardCount() const { return standard_; }

private:
    int simple_ = 0;
    int standard_ = 0;
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
