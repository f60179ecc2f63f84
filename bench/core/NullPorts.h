// Ports that cost next to nothing, so the measurements show the core alone.
#pragma once

#include "Monitor.h"

namespace velmon::bench {

struct ConstSensor : SensorPort {
    std::array<std::int16_t, kChannelCount> values{4000, 3500, 2500, 45, 35, 2000, 2500, 3300, 5000, 12000, -12000, -5000};
    std::int16_t read(SensorChannel c) override { return values[static_cast<std::size_t>(c)]; }
    void text(DmiText, TextBuffer& b) override { b.fill('\0'); }
    std::int16_t mbClock() override { return 0; }
};
struct NullCpu : CpuDataPort {
    std::int32_t writeCpuInfoIntoRegistry() override { return 1; }
};
struct NullSettings : SettingsBackend {
    std::optional<std::string> read(const std::string&) override { return std::nullopt; }
    void write(const std::string&, const std::string&) override {}
};
struct NullTimer : Timer {
    bool on = false;
    void setEnabled(bool e) override { on = e; }
    bool isEnabled() const override { return on; }
};
struct CountingBeeper : Beeper {
    long beeps = 0;
    void simpleBeep() override { ++beeps; }
    void standardBeep() override { ++beeps; }
};
struct NullPrompter : Prompter {
    void information(const std::string&, const std::string&) override {}
    bool question(const std::string&, const std::string&) override { return false; }
};
struct NullTray : TrayPort {
    long calls = 0;
    void add(const TrayIconRecord&) override { ++calls; }
    void modify(const TrayIconRecord&) override { ++calls; }
    void remove(const TrayIconRecord&) override { ++calls; }
    void popupMenu() override {}
    void setMenuChecks(bool, bool) override {}
};
struct NullView : MainView {
    long draws = 0;
    bool shown = false;
    void setText(ControlRef, const std::string&) override {}
    void setVisible(ControlRef, bool) override {}
    bool isVisible(ControlRef) const override { return true; }
    void setEnabled(ControlRef, bool) override {}
    void setToolTip(ControlRef, const std::string&) override {}
    void setChecked(int, bool) override {}
    void drawFanDial(int, int, int) override { ++draws; }
    void drawFanNeedle(int, int) override { ++draws; }
    void drawFanZone(int, int) override { ++draws; }
    void clearFanDial(int) override {}
    void drawTemperatureGauge(int, int, int, int) override { ++draws; }
    void drawVoltageBar(int, int, float, float, float) override { ++draws; }
    bool isWindowVisible() const override { return shown; }
    void showWindow() override { shown = true; }
    void hideWindow() override { shown = false; }
    void setTopmost(bool) override {}
};
struct NullLogo : LogoView {
    bool isVisible() const override { return false; }
    void show() override {}
    void unload() override {}
};
struct NullEnv : Environment {
    bool anotherInstanceRunning() override { return false; }
    double logicalDpiX() const override { return 96; }
    std::string programDirectory() const override { return "."; }
    void quit(int) override {}
};

struct Bench {
    ConstSensor sensor;
    NullCpu cpu;
    NullSettings settings;
    NullTimer tmrMonitor, tmrWarn;
    CountingBeeper beeper;
    NullPrompter prompter;
    NullTray tray;
    NullView view;
    NullLogo logo;
    NullEnv env;
    Ports ports{sensor, cpu, settings, tmrMonitor, tmrWarn, beeper, prompter, tray, view, logo, env};
    Monitor monitor{ports};
};

}  // namespace velmon::bench
