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
#include <optional>

namespace velmon::window {

class WindowMover {
public:
    virtual ~WindowMover() = default;
    // Starts a move of window with the pointer (pressed at globalPress);
    // ended runs once, when the move is over.
    virtual void beginMove(QWidget& window, QPoint globalPress, std::function<void()> ended) = 0;
};

// Decides, one pointer sample at a time, when a move run by the window
// manager is over. The manager owns the pointer during the move, so Qt may
// never see the release; the pointer's real button state, where the window
// system can be asked, is what counts. Only where it cannot be asked does a
// pointer that stood still for kIdleTicks samples count as a lost release.
class MoveWatch {
public:
    static constexpr int kIdleTicks = 15;  // at 100 ms: 1.5 s

    void reset(QPoint cursor);
    // True when the move is over. reported: Qt's idea of the buttons;
    // held: the window system's, or nullopt where it cannot be asked.
    bool tick(QPoint cursor, Qt::MouseButtons reported, std::optional<bool> held);

private:
    QPoint last_;
    int idle_ = 0;
};

// Whether a mouse button is held now, asked of the X server (nullopt on
// other platforms).
std::optional<bool> pointerButtonHeld(const QWidget& window);

class SystemWindowMover final : public QObject, public WindowMover {
public:
    using ButtonQuery = std::function<std::optional<bool>(const QWidget&)>;
    explicit SystemWindowMover(ButtonQuery held = pointerButtonHeld) : held_(std::move(held)) {}

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
    MoveWatch moveWatch_;
    ButtonQuery held_;
};

}  // namespace velmon::window
