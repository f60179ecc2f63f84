#include "QtPorts.h"

#include <QApplication>
#include <QMessageBox>

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

QtTimer::QtTimer(int intervalMs, std::function<void()> tick) {
    timer_.setInterval(intervalMs);
    QObject::connect(&timer_, &QTimer::timeout, std::move(tick));
}

void QtTimer::setEnabled(bool enabled) {
    if (enabled && !timer_.isActive()) timer_.start();
    if (!enabled) timer_.stop();
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
