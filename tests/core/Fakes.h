// Recording fakes of the core's ports.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "FakeViewAndSettings.h"
#include "Monitor.h"
#include "Taskbar.h"

namespace velmon::test {

struct FakeSensor : SensorPort {
    std::array<std::int16_t, kChannelCount> values{};
    std::array<int, kChannelCount> reads{};
    std::string product;
    std::string error;  // what sourceError() reports
    std::string sourceError() override { return error; }
    std::string noChip;  // what noChipReason() reports
    std::string noChipReason() override { return noChip; }
    int maskCallsAtFirstRead = -1;
    std::int16_t read(SensorChannel c) override {
        if (maskCallsAtFirstRead < 0) maskCallsAtFirstRead = maskCalls;
        ++reads[static_cast<std::size_t>(c)];
        return values[static_cast<std::size_t>(c)];
    }
    void text(DmiText, TextBuffer& buffer) override {
        buffer.fill('\0');
        for (std::size_t i = 0; i < product.size() && i < buffer.size(); ++i) buffer[i] = product[i];
    }
    std::int16_t mbClock() override { return 0; }
    std::int32_t mask = kAllChannels;
    int maskCalls = 0;
    std::int32_t channelMask() override {
        ++maskCalls;
        return mask;
    }
    // What GetChannelDefault answers per channel; nothing: the system's default.
    std::array<std::optional<ChannelDefault>, kChannelCount> defaults{};
    std::array<int, kChannelCount> defaultAsks{};
    std::optional<ChannelDefault> channelDefault(SensorChannel c) override {
        ++defaultAsks[static_cast<std::size_t>(c)];
        return defaults[static_cast<std::size_t>(c)];
    }
    // GetReadFailures' answer: the channels whose last read failed.
    std::int32_t failures = 0;
    std::int32_t readFailures() override { return failures; }
    std::int16_t& operator[](SensorChannel c) { return values[static_cast<std::size_t>(c)]; }
    int readsOf(SensorChannel c) const { return reads[static_cast<std::size_t>(c)]; }
    void resetReads() { reads = {}; }
};

struct FakeCpuData : CpuDataPort {
    int calls = 0;
    std::int32_t writeCpuInfoIntoRegistry() override {
        ++calls;
        return 1;
    }
};

struct FakeTimer : Timer {
    bool enabled = false;
    int enables = 0, disables = 0;
    void setEnabled(bool e) override {
        enabled = e;
        (e ? enables : disables)++;
    }
    bool isEnabled() const override { return enabled; }
};

struct FakeBeeper : Beeper {
    int simple = 0, standard = 0;
    std::string order;
    void simpleBeep() override { ++simple; order += 's'; }
    void standardBeep() override { ++standard; order += 'S'; }
};

struct FakePrompter : Prompter {
    std::vector<std::pair<std::string, std::string>> infos, questions;
    bool answer = true;
    void information(const std::string& t, const std::string& x) override { infos.emplace_back(t, x); }
    bool question(const std::string& t, const std::string& x) override {
        questions.emplace_back(t, x);
        return answer;
    }
};

struct TrayCall {
    char op;  // 'a' add, 'm' modify, 'r' remove
    TrayIconRecord record;
};

struct FakeTray : TrayPort {
    std::vector<TrayCall> calls;
    int popups = 0;
    std::function<void()> duringPopup;
    std::pair<bool, bool> checks{false, false};
    void add(const TrayIconRecord& r) override { calls.push_back({'a', r}); }
    void modify(const TrayIconRecord& r) override { calls.push_back({'m', r}); }
    void remove(const TrayIconRecord& r) override { calls.push_back({'r', r}); }
    void popupMenu() override {
        ++popups;
        if (duringPopup) duringPopup();
    }
    void setMenuChecks(bool on, bool off) override { checks = {on, off}; }
    int count(char op) const {
        int n = 0;
        for (const auto& c : calls) n += c.op == op ? 1 : 0;
        return n;
    }
};

struct FakeLogo : LogoView {
    bool visible = false;
    int shows = 0, unloads = 0;
    bool isVisible() const override { return visible; }
    void show() override {
        visible = true;
        ++shows;
    }
    void unload() override {
        visible = false;
        ++unloads;
    }
};

struct FakeEnv : Environment {
    bool another = false;
    double dpi = 96.0;
    std::string dir = "/nonexistent-velmon-dir";
    std::vector<int> quits;
    bool anotherInstanceRunning() override { return another; }
    double logicalDpiX() const override { return dpi; }
    std::string programDirectory() const override { return dir; }
    void quit(int status) override { quits.push_back(status); }
};

// A board with every reading comfortably inside its thresholds.
inline void setHealthyReadings(FakeSensor& s) {
    s[SensorChannel::CpuFan] = 4000;
    s[SensorChannel::PowerFan] = 3500;
    s[SensorChannel::ChassisFan] = 2500;
    s[SensorChannel::CpuTemp] = 45;
    s[SensorChannel::MbTemp] = 35;
    s[SensorChannel::In0] = 2000;
    s[SensorChannel::In1] = 2500;
    s[SensorChannel::In2] = 3300;
    s[SensorChannel::In3] = 5000;
    s[SensorChannel::In4] = 12000;
    s[SensorChannel::In5] = -12000;
    s[SensorChannel::In6] = -5000;
}

struct Rig {
    FakeSensor sensor;
    FakeCpuData cpu;
    FakeSettings settings;
    FakeTimer tmrMonitor, tmrWarn;
    FakeBeeper beeper;
    FakePrompter prompter;
    FakeTray tray;
    FakeView view;
    FakeLogo logo;
    FakeEnv env;
    Ports ports{sensor, cpu, settings, tmrMonitor, tmrWarn, beeper, prompter, tray, view, logo, env};
    Monitor monitor{ports};
    Taskbar taskbar{ports, monitor};

    Rig() { setHealthyReadings(sensor); }
    void tick(int n = 1) {
        for (int i = 0; i < n; ++i) monitor.tmrMonitorTick();
    }
    bool alarm(SensorChannel c) { return monitor.alarms().flags[static_cast<std::size_t>(c)]; }
};

}  // namespace velmon::test
