// The Fan page: a dial per fitted fan with its speed, its threshold and spin
// arrows, and the box that says a stopped fan is not there.
#pragma once

#include "AlarmMarks.h"
#include "Controls.h"
#include "PageParts.h"
#include "PictureBox.h"

#include <QCheckBox>

#include <array>

namespace velmon::window {

class FanPage {
public:
    FanPage(PictureBox* panel, PageHooks& hooks, ControlTable& controls);

    // Dials side by side for the fitted fans (0 = not fitted); the others and
    // what belongs to them stay hidden. Without a fan the page says so.
    void layOut(const std::array<int, 3>& fanConfiguration, bool dense);
    // Controls placed in device-independent units keep their pixel positions.
    void placeForDensity();

    void setChecked(int fan, bool checked);
    void drawDial(int fan, int threshold, int speed);
    void drawNeedle(int fan, int speed);
    void drawZone(int fan, int threshold);
    void clearDial(int fan);
    // The steady red frame around the dial of a fan in warning.
    void setAlarmMark(int fan, bool on);
    [[nodiscard]] QWidget* alarmMark(int fan) const;

    [[nodiscard]] QWidget* spin(int fan) const;
    [[nodiscard]] QWidget* noFanNote() const { return noFan_; }

private:
    PictureBox* dial(int fan) const;

    std::array<PictureBox*, 3> dials_{};
    std::array<TextLabel*, 3> speed_{}, warn_{}, inst_{};
    std::array<SpinArrows*, 3> spins_{};
    std::array<QCheckBox*, 3> checks_{};
    std::array<AlarmFrame*, 3> marks_{};
    TextLabel* noFan_ = nullptr;
};

}  // namespace velmon::window
