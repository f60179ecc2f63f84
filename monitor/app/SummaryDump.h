// For the end-to-end tests: with VELMON_TEST_DUMP naming a file, every text
// the core writes to a Summary page value is also kept there as
// "control index = text" lines, so a test reads what the user would see.
// Without the variable the view is passed through untouched.
#pragma once

#include <map>
#include <string>
#include <utility>

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
    [[nodiscard]] bool isWindowVisible() const override { return inner_.isWindowVisible(); }
    void showWindow() override { inner_.showWindow(); }
    void hideWindow() override { inner_.hideWindow(); }
    void setTopmost(bool topmost) override { inner_.setTopmost(topmost); }

private:
    MainView& inner_;
    std::string path_;
    std::map<std::pair<int, int>, std::string> texts_;
};

}  // namespace velmon::app
