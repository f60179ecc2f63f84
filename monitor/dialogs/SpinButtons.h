// An up-down control of two arrow buttons, bound to a text box by its owner.
#pragma once

#include <QWidget>

#include <functional>

class QToolButton;

namespace velmon {

class SpinButtons final : public QWidget {
public:
    // stepped(true) for the upper arrow, stepped(false) for the lower one.
    explicit SpinButtons(QWidget* parent, std::function<void(bool up)> stepped);

    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* up_;
    QToolButton* down_;
};

}  // namespace velmon
