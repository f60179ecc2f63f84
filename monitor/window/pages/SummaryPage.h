// The Summary page: every watched channel's reading in three frames, fans,
// temperatures and voltages, with a note where a whole frame has nothing.
#pragma once

#include "Controls.h"
#include "MonitorState.h"
#include "PageParts.h"
#include "PictureBox.h"

#include <array>

namespace velmon::window {

class SummaryPage {
public:
    SummaryPage(PictureBox* panel, ControlTable& controls);

    // Rows for the fitted fans only (0 = not fitted).
    void layOut(const std::array<int, 3>& fanConfiguration);
    // Rows for the temperatures and voltage inputs the machine has.
    void showPresence(const ChannelPresence& presence);

    [[nodiscard]] QWidget* caption(int row) const;  // Label1 … Label12 by number
    [[nodiscard]] QWidget* noFanNote() const { return noFan_; }
    [[nodiscard]] QWidget* noVoltNote() const { return noVolt_; }

private:
    std::array<TextLabel*, 3> fan_{};
    std::array<TextLabel*, 2> temp_{};
    std::array<TextLabel*, 7> volt_{};
    std::array<TextLabel*, 13> caption_{};  // Label1 … Label12 at their numbers
    TextLabel* noFan_ = nullptr;
    TextLabel* noVolt_ = nullptr;
};

}  // namespace velmon::window
