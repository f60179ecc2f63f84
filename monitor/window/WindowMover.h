// Moving a borderless window by dragging it. The window manager's own move is
// preferred; where it is refused (no window manager, a platform without one)
// the window follows the pointer until the button is released.
#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace velmon::window {

class WindowMover {
public:
    virtual ~WindowMover() = default;
    // Starts a move of window with the pointer (pressed at globalPress);
    // ended runs once, when the move is over.
    virtual void beginMove(QWidget& window, QPoint globalPress, std::function<void()> ended) = 0;
};

class SystemWindowMover final : public QObject, public WindowMover {
public:
    void beginMove(QWidget& window, QPoint globalPress, std::function<void()> ended) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void finish();

    QPointer<QWidget> window_;
    std::function<void()> ended_;
    QPoint offset_;           // pointer minus window corner, for the follow loop
    bool following_ = false;  // our own loop rather than the window manager's
    QTimer watch_;            // notices the end of a window-manager move
    QPoint lastCursor_;
    int idleTicks_ = 0;
};

}  // namespace velmon::window
