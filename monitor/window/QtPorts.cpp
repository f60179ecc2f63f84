#include "QtPorts.h"

#include <QApplication>
#include <QMessageBox>

#include <algorithm>
#include <limits>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace velmon::window {
namespace {

std::optional<bool> presetAnswer() {
    const char* answer = std::getenv("VELMON_TEST_ANSWER");
    if (!answer || !*answer) return std::nullopt;
    return std::strcmp(answer, "yes") == 0 || std::strcmp(answer, "Yes") == 0;
}

}  // namespace

QtTimer::QtTimer(int intervalMs, std::function<void()> tick) : interval_(intervalMs), tick_(std::move(tick)) {
    timer_.setSingleShot(true);
    // Each wake is aimed at a tick's own time, however far ahead it lies.
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { wake(); });
}

void QtTimer::setEnabled(bool enabled) {
    if (enabled == enabled_) return;
    if (enabled) {
        enabled_ = true;
        ++phase_;
        clock_.start();
        origin_ = 0;
        ran_ = 0;
        due_ = 1;
        timer_.start(static_cast<int>(interval_));
        return;
    }
    timer_.stop();
    enabled_ = false;
    // The quiet ticks whose time has come, never the one with work.
    const qint64 passed = interval_ > 0 ? (clock_.elapsed() - origin_) / interval_ : 0;
    for (qint64 owed = std::min(passed, due_ - 1) - ran_; owed > 0; --owed) {
        ++ran_;
        tick_();
    }
}

void QtTimer::wake() {
    ++wakes_;
    const int phase = phase_;
    while (enabled_ && phase == phase_ && ran_ < due_) {
        ++ran_;
        tick_();  // may disable the timer, or disable and enable it again
    }
    if (enabled_ && phase == phase_) sleepUntilNextWork();
}

void QtTimer::sleepUntilNextWork() {
    const int quiet = quiet_ ? std::max(0, quiet_()) : 0;
    due_ = ran_ + 1 + quiet;
    qint64 left = origin_ + due_ * interval_ - clock_.elapsed();
    if (left < 0) {
        // Behind by more than an interval (the loop was held up): ticks are
        // not made up in a burst; the next comes an interval after this one.
        origin_ = clock_.elapsed() - ran_ * interval_;
        left = (due_ - ran_) * interval_;
    }
    timer_.start(static_cast<int>(std::min<qint64>(left, std::numeric_limits<int>::max())));
}

void QtBeeper::sound(int kind, const char* eventId) {
    QElapsedTimer& last = last_[static_cast<std::size_t>(kind)];
    if (last.isValid() && last.elapsed() < 100) return;
    last.start();
    if (player_ && player_->play(eventId)) {
        ++played_;
        return;
    }
    ++bells_;
    QApplication::beep();
}

void QtBeeper::simpleBeep() {
    ++simple_;
    sound(0, "bell");
}

void QtBeeper::standardBeep() {
    ++standard_;
    sound(1, "dialog-warning");
}

void QtPrompter::information(const std::string& title, const std::string& text) {
    if (const auto answer = presetAnswer()) {
        std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
        return;
    }
    QMessageBox::information(nullptr, QString::fromStdString(title), QString::fromStdString(text));
}

bool QtPrompter::question(const std::string& title, const std::string& text) {
    if (const auto answer = presetAnswer()) {
        std::fprintf(stderr, "%s: %s %s\n", title.c_str(), text.c_str(), *answer ? "Yes" : "No");
        return *answer;
    }
    return QMessageBox::question(nullptr, QString::fromStdString(title), QString::fromStdString(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace velmon::window
