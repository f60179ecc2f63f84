// The Voltage page: a bar per input with its scale, its reading, its upper
// and lower thresholds and the two markers that drag them. Input 1 has a bar
// that is never shown.
#pragma once

#include "AlarmMarks.h"
#include "Controls.h"
#include "MonitorState.h"
#include "PageParts.h"
#include "PictureBox.h"

#include <array>

namespace velmon::window {

class VoltagePage {
public:
    VoltagePage(PictureBox* panel, PageHooks& hooks, ControlTable& controls);

    // Controls placed in device-independent units keep their pixel positions.
    void placeForDensity();
    // An input the machine does not measure: an unlit bar without numbers,
    // markers or threshold fields, after the bars of the inputs it has.
    void showPresence(const ChannelPresence& presence);
    void draw(int input, int base, float upper, float lower, float value);
    // The steady red frame along the edge of the bar of an input in warning.
    void setAlarmMark(int input, bool on);
    [[nodiscard]] QWidget* alarmMark(int input) const;

    [[nodiscard]] QWidget* title() const { return title_; }
    [[nodiscard]] QWidget* scaleLabel(int input, int k) const;

private:
    PictureBox* title_ = nullptr;
    std::array<PictureBox*, 7> bars_{}, upMarkers_{}, dnMarkers_{};
    std::array<TextLabel*, 7> reading_{}, up_{}, dn_{};
    std::array<std::array<TextLabel*, 5>, 7> scale_{};
    std::array<AlarmFrame*, 7> marks_{};
};

}  // namespace velmon::window
