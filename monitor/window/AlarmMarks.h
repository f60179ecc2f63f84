// The steady marks of a channel in warning. The labels of such a channel
// blink, which a glance easily misses; these stay lit for as long as the
// channel's alarm flag is set and never take the mouse.
#pragma once

#include "Controls.h"

#include <QWidget>

namespace velmon::window {

// A red frame around (or along the inside of) a dial, gauge or bar.
class AlarmFrame : public QWidget {
public:
    AlarmFrame(QWidget* parent, QRect geometry, int thickness = 3);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int thickness_;
};

// A Summary row's lamp and its value in red underneath the yellow one, so
// that the blinking value turns red instead of blank.
class AlarmRowMark {
public:
    // value: the row's yellow value label; the lamp stands left of the caption.
    AlarmRowMark(QWidget* frame, TextLabel* value, int lampLeft);
    void setOn(bool on);
    // Back beside the value after the row has moved.
    void follow();
    [[nodiscard]] bool isOn() const { return on_; }

private:
    TextLabel* value_;
    QWidget* lamp_;
    QWidget* echo_;
    bool on_ = false;
};

}  // namespace velmon::window
