// A monitor for the dialogs' tests: it holds the state the dialogs change and
// writes every call into one log, so the order of steps can be checked.
#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "DialogPorts.h"
#include "FakeViewAndSettings.h"

namespace velmon::dialogs::testing {

using Log = velmon::test::Log;

class FakeTimer final : public Timer {
public:
    FakeTimer(Log& log, std::string name) : log_(log), name_(std::move(name)) {}
    void setEnabled(bool enabled) override {
        enabled_ = enabled;
        log_.push_back(name_ + (enabled ? " on" : " off"));
    }
    [[nodiscard]] bool isEnabled() const override { return enabled_; }

private:
    Log& log_;
    std::string name_;
    bool enabled_ = true;
};

// The tests' one fake main window and settings store, with this log.
using FakeView = velmon::test::FakeView;
using FakeSettings = velmon::test::FakeSettings;


class FakeMonitor final : public DialogMonitor {
public:
    FakeMonitor() : monitorTimer(log, "tmrMonitor"), warnTimer(log, "tmrWarn"), view(log), store(log) {}

    [[nodiscard]] std::int16_t interval(IntervalGroup g) const override {
        return intervals[static_cast<std::size_t>(g)];
    }
    void setInterval(IntervalGroup g, std::int16_t s) override {
        intervals[static_cast<std::size_t>(g)] = s;
    }
    [[nodiscard]] bool fanConfigured(int fan) const override {
        return configured[static_cast<std::size_t>(fan)];
    }
    void setFanThreshold(int fan, std::int16_t rpm) override {
        fanThreshold[static_cast<std::size_t>(fan)] = rpm;
        log.push_back("fan " + std::to_string(fan));
    }
    void setTemperatureThreshold(int gauge, std::int16_t c) override {
        tempThreshold[static_cast<std::size_t>(gauge)] = c;
        log.push_back("temp " + std::to_string(gauge));
    }
    void setVoltageThresholds(int input, float up, float dn) override {
        voltUp[static_cast<std::size_t>(input)] = up;
        voltDn[static_cast<std::size_t>(input)] = dn;
        log.push_back("volt " + std::to_string(input));
    }
    void setThresholdsResetPending() override {
        resetPending = true;
        log.push_back("reset pending");
    }
    void setTrayTip(const std::string& text) override { trayTip = text; }
    Timer& tmrMonitor() override { return monitorTimer; }
    Timer& tmrWarn() override { return warnTimer; }
    MainView& mainView() override { return view; }
    SettingsBackend& settings() override { return store; }

    Log log;
    std::string trayTip;
    std::array<std::int16_t, 3> intervals{5, 5, 5};
    std::array<bool, 3> configured{true, true, true};
    std::array<std::int16_t, 3> fanThreshold{1000, 1000, 1000};
    std::array<std::int16_t, 2> tempThreshold{99, 99};
    std::array<float, 7> voltUp{9, 9, 9, 9, 9, 9, 9};
    std::array<float, 7> voltDn{-9, -9, -9, -9, -9, -9, -9};
    bool resetPending = false;
    FakeTimer monitorTimer;
    FakeTimer warnTimer;
    FakeView view;
    FakeSettings store;
};

// A window whose close runs the form's unload, as unloading a form does.
template <typename Rules>
class FakeWindow final : public DialogWindow {
public:
    FakeWindow(Rules& rules, Log& log) : rules_(rules), log_(log) {}
    void close() override {
        log_.push_back("close");
        rules_.formUnload();
    }

private:
    Rules& rules_;
    Log& log_;
};

class FakePrompter final : public Prompter {
public:
    explicit FakePrompter(Log& log) : log_(log) {}
    void information(const std::string& t, const std::string& text) override {
        title = t;
        message = text;
        log_.push_back("message");
    }
    bool question(const std::string&, const std::string&) override { return false; }
    std::string title;
    std::string message;

private:
    Log& log_;
};

class FakeAutostart final : public AutostartPort {
public:
    explicit FakeAutostart(Log& log) : log_(log) {}
    [[nodiscard]] bool present() const override { return exists; }
    void write(const std::string& path) override {
        exists = true;
        written = path;
        log_.push_back("autostart write");
    }
    void remove() override {
        exists = false;
        log_.push_back("autostart remove");
    }
    bool exists = false;
    std::string written;

private:
    Log& log_;
};

}  // namespace velmon::dialogs::testing
