// Fakes for the window tests: the core's events as a call log, a window mover
// that only records, and a dialog launcher that notes what it was asked.
#pragma once

#include "MainWindow.h"

#include <functional>
#include <string>
#include <vector>

namespace velmon::test {

class RecordingEvents final : public MainWindowEvents {
public:
    std::vector<std::string> calls;
    [[nodiscard]] int count(const std::string& call) const {
        int n = 0;
        for (const auto& c : calls) n += c == call ? 1 : 0;
        return n;
    }
    void clear() { calls.clear(); }

    void tmrMonitorTick() override { log("tmrMonitorTick"); }
    void tmrWarnTick() override { log("tmrWarnTick"); }
    void fanCheckClicked(int fan, bool checked) override { log("fanCheckClicked", fan, checked); }
    void fanSpinChanged(int fan, bool up) override { log("fanSpinChanged", fan, up); }
    void formActivated() override { log("formActivated"); }
    void pageButtonPressed(int button) override { log("pageButtonPressed", button); }
    void windowClosedByOval() override { log("windowClosedByOval"); }
    void temperaturePointerPressed(int gauge, double y) override { log("temperaturePointerPressed", gauge, int(y)); }
    void temperatureGaugeMoved(int gauge, double y) override { log("temperatureGaugeMoved", gauge, int(y)); }
    void temperatureGaugeReleased(int gauge) override { log("temperatureGaugeReleased", gauge); }
    void temperaturePageReleased() override { log("temperaturePageReleased"); }
    void voltageMarkerPressed(int input, bool upper, double y) override {
        log("voltageMarkerPressed", input, upper, int(y));
    }
    void voltageBarMoved(int input, double y) override { log("voltageBarMoved", input, int(y)); }
    void voltageBarReleased() override { log("voltageBarReleased"); }
    void voltageMarkerReleased(bool overUpper) override { log("voltageMarkerReleased", overUpper); }
    void voltagePageReleased() override { log("voltagePageReleased"); }
    void backgroundReleased() override { log("backgroundReleased"); }
    void pausePolling() override { log("pausePolling"); }
    void resumePolling() override { log("resumePolling"); }

private:
    template <typename... A>
    void log(const char* name, A... args) {
        std::string s = name;
        ((s += " " + std::to_string(static_cast<int>(args))), ...);
        calls.push_back(s);
    }
};

class RecordingMover final : public window::WindowMover {
public:
    int moves = 0;
    std::function<void()> ended;
    void beginMove(QWidget&, QPoint, std::function<void()> done) override {
        ++moves;
        ended = std::move(done);
    }
};

class RecordingLauncher final : public window::DialogLauncher {
public:
    explicit RecordingLauncher(window::MainWindow& w) : window_(w) {}
    std::vector<std::string> opened;
    std::vector<bool> topmostWhileOpen;
    void showSettings() override { note("settings"); }
    void showSystemInfo() override { note("system"); }

private:
    void note(const char* what) {
        opened.emplace_back(what);
        topmostWhileOpen.push_back(window_.isTopmost());
    }
    window::MainWindow& window_;
};

}  // namespace velmon::test
