// The Summary page: every watched channel's reading in three frames, fans,
// temperatures and voltages, with a note where a whole frame has nothing.
#pragma once

#include "AlarmMarks.h"
#include "Controls.h"
#include "MonitorState.h"
#include "PageParts.h"
#include "PictureBox.h"

#include <array>
#include <memory>

namespace velmon::window {

class SummaryPage {
public:
    SummaryPage(PictureBox* panel, ControlTable& controls);

    // Rows for the fitted fans only (0 = not fitted).
    void layOut(const std::array<int, 3>& fanConfiguration);
    // Rows for the temperatures and voltage inputs the machine has.
    void showPresence(const ChannelPresence& presence);

    // A channel in warning: a red lamp on its row and its value red, not blank, between blinks.
    void setAlarmMark(SensorChannel channel, bool on);
    [[nodiscard]] bool alarmMarkOn(SensorChannel channel) const;

    [[nodiscard]] QWidget* caption(int row) const;  // Label1 … Label12 by number
    [[nodiscard]] QWidget* noFanNote() const { return noFan_; }
    [[nodiscard]] QWidget* noVoltNote() const { return noVolt_; }

private:
    // A frame's rows, in their order: the caption's number and the value.
    struct Row {
        int caption;
        TextLabel* value;
        bool shown = true;
    };
    // The shown rows of each frame take its first row tops, with no gaps.
    void closeUp();

    std::array<Row, 3> fanRows_{};
    std::array<Row, 6> voltRows_{};
    std::array<std::unique_ptr<AlarmRowMark>, kChannelCount> marks_{};
    std::array<TextLabel*, 3> fan_{};
    std::array<TextLabel*, 2> temp_{};
    std::array<TextLabel*, 7> volt_{};
    std::array<TextLabel*, 13> caption_{};  // Label1 … Label12 at their numbers
    TextLabel* noFan_ = nullptr;
    TextLabel* noVolt_ = nullptr;
};

}  // namespace velmon::window
