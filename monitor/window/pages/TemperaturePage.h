// The Temperature page: a gauge for the CPU and one for the mainboard, each
// with its scale, its reading, its threshold and the pointer that drags it.
#pragma once

#include "AlarmMarks.h"
#include "Controls.h"
#include "MonitorState.h"
#include "PageParts.h"
#include "PictureBox.h"

#include <array>

namespace velmon::window {

class TemperaturePage {
public:
    TemperaturePage(PictureBox* panel, PageHooks& hooks, ControlTable& controls);

    // Controls placed in device-independent units keep their pixel positions.
    void placeForDensity();
    // A sensor the machine lacks: its gauge says so and has no pointer, scale or threshold.
    void showPresence(const ChannelPresence& presence);
    void draw(int gauge, int current, int threshold, int base);
    // The steady red frame around the gauge of a temperature in warning.
    void setAlarmMark(int gauge, bool on);
    [[nodiscard]] QWidget* alarmMark(int gauge) const;

    [[nodiscard]] QWidget* degreeLegend(int gauge) const;
    [[nodiscard]] QWidget* scaleLabel(int gauge, int k) const;

private:
    std::array<PictureBox*, 2> gauges_{}, pointers_{}, degrees_{};
    std::array<TextLabel*, 2> reading_{}, warn_{};
    std::array<std::array<TextLabel*, 6>, 2> scale_{};
    std::array<AlarmFrame*, 2> marks_{};
};

}  // namespace velmon::window
