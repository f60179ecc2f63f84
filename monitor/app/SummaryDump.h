// For the end-to-end tests: with VELMON_TEST_DUMP naming a file, every text
// the core writes to a Summary page value is also kept there as
// "control index = text" lines, and the tray icon's tooltip as "tray = text",
// so a test reads what the user would see (or hear of: a tooltip stands for
// the beeps). Without the variable the view is passed through untouched.
#pragma once

#include <map>
#include <string>
#include <utility>

#include "MonitorState.h"
#include "Ports.h"

namespace velmon::app {

class SummaryDump final : public MainView {
public:
    SummaryDump(MainView& inner, std::string path) : inner_(inner), path_(std::move(path)) {}

    void setText(ControlRef control, const std::string& text) override;
    void setVisible(ControlRef control, bool visible) override { inner_.setVisible(control, visible); }
    [[nodiscard]] bool isVisible(ControlRef control) const override { return inner_.isVisible(control); }
    void setEnabled(ControlRef control, bool enabled) override { inner_.setEnabled(control, enabled); }
    void setToolTip(ControlRef control, const std::string& text) override { inner_.setToolTip(control, text); }
    void setChecked(int fan, bool checked) override { inner_.setChecked(fan, checked); }
    void showChannels(const std::array<int, 3>& fans, const std::array<bool, kChannelCount>& present) override {
        inner_.showChannels(fans, present);
    }
    void drawFanDial(int fan, int threshold, int speed) override { inner_.drawFanDial(fan, threshold, speed); }
    void drawFanNeedle(int fan, int speed) override { inner_.drawFanNeedle(fan, speed); }
    void drawFanZone(int fan, int threshold) override { inner_.drawFanZone(fan, threshold); }
    void clearFanDial(int fan) override { inner_.clearFanDial(fan); }
    void drawTemperatureGauge(int gauge, int current, int threshold, int base) override {
        inner_.drawTemperatureGauge(gauge, current, threshold, base);
    }
    void drawVoltageBar(int input, int base, float upper, float lower, float value) override {
        inner_.drawVoltageBar(input, base, upper, lower, value);
    }
    void setAlarmMark(SensorChannel channel, bool on) override { inner_.setAlarmMark(channel, on); }
    [[nodiscard]] bool isWindowVisible() const override { return inner_.isWindowVisible(); }
    void showWindow() override { inner_.showWindow(); }
    void hideWindow() override { inner_.hideWindow(); }
    void setTopmost(bool topmost) override { inner_.setTopmost(topmost); }

    // Notes the tooltip of every record the tray port is given.
    void noteTray(const TrayIconRecord& record);

private:
    void note(const std::string& key, const std::string& text);

    MainView& inner_;
    std::string path_;
    std::map<std::string, std::string> texts_;
};

// The tray port with its tooltips noted in a SummaryDump.
class TrayDump final : public TrayPort {
public:
    TrayDump(TrayPort& inner, SummaryDump& dump) : inner_(inner), dump_(dump) {}
    void add(const TrayIconRecord& record) override {
        inner_.add(record);
        dump_.noteTray(record);
    }
    void modify(const TrayIconRecord& record) override {
        inner_.modify(record);
        dump_.noteTray(record);
    }
    void remove(const TrayIconRecord& record) override { inner_.remove(record); }
    void popupMenu() override { inner_.popupMenu(); }
    void setMenuChecks(bool on, bool off) override { inner_.setMenuChecks(on, off); }

private:
    TrayPort& inner_;
    SummaryDump& dump_;
};

}  // namespace velmon::app
