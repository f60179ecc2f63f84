#include "WindowMover.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QWindow>

#include <utility>

namespace velmon::window {

void SystemWindowMover::beginMove(QWidget& window, QPoint globalPress, std::function<void()> ended) {
    if (window_) finish();
    window_ = &window;
    ended_ = std::move(ended);
    QWindow* handle = window.windowHandle();
    if (handle && handle->startSystemMove()) {
        // The window manager owns the pointer now and the release may never
        // reach us: watch the buttons, and give up waiting once the pointer
        // has stood still for a while, so polling is never left paused.
        following_ = false;
        lastCursor_ = QCursor::pos();
        idleTicks_ = 0;
        watch_.setInterval(100);
        QObject::disconnect(&watch_, nullptr, this, nullptr);
        QObject::connect(&watch_, &QTimer::timeout, this, [this] {
            const QPoint now = QCursor::pos();
            idleTicks_ = now == lastCursor_ ? idleTicks_ + 1 : 0;
            lastCursor_ = now;
            if (QGuiApplication::mouseButtons() == Qt::NoButton || idleTicks_ >= 15) finish();
        });
        watch_.start();
        qApp->installEventFilter(this);
        return;
    }
    following_ = true;
    offset_ = globalPress - window.frameGeometry().topLeft();
    window.grabMouse();
    window.installEventFilter(this);
}

bool SystemWindowMover::eventFilter(QObject* watched, QEvent* event) {
    if (!window_) return false;
    if (following_ && watched == window_) {
        if (event->type() == QEvent::MouseMove) {
            auto* me = static_cast<QMouseEvent*>(event);
            window_->move(me->globalPosition().toPoint() - offset_);
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            finish();
            return true;
        }
    } else if (!following_ && event->type() == QEvent::MouseButtonRelease) {
        finish();
    }
    return false;
}

void SystemWindowMover::finish() {
    watch_.stop();
    qApp->removeEventFilter(this);
    if (window_) {
        window_->removeEventFilter(this);
        if (following_) window_->releaseMouse();
    }
    window_ = nullptr;
    following_ = false;
    if (auto ended = std::exchange(ended_, nullptr)) ended();
}

}  // namespace velmon::window
