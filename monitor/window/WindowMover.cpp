#include "WindowMover.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QWindow>

#include <cstdlib>
#include <utility>

#if QT_CONFIG(xcb) && defined(VELMON_HAVE_XCB)
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#endif

namespace velmon::window {

void MoveWatch::reset(QPoint cursor) {
    last_ = cursor;
    idle_ = 0;
}

bool MoveWatch::tick(QPoint cursor, Qt::MouseButtons reported, std::optional<bool> held) {
    idle_ = cursor == last_ ? idle_ + 1 : 0;
    last_ = cursor;
    if (held) return !*held;
    return reported == Qt::NoButton || idle_ >= kIdleTicks;
}

std::optional<bool> pointerButtonHeld(const QWidget& window) {
#if QT_CONFIG(xcb) && defined(VELMON_HAVE_XCB)
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection()) return std::nullopt;
    xcb_connection_t* c = x11->connection();
    const auto cookie = xcb_query_pointer(c, static_cast<xcb_window_t>(window.winId()));
    xcb_query_pointer_reply_t* reply = xcb_query_pointer_reply(c, cookie, nullptr);
    if (!reply) return std::nullopt;
    constexpr unsigned kButtons = XCB_BUTTON_MASK_1 | XCB_BUTTON_MASK_2 | XCB_BUTTON_MASK_3;
    const bool held = (reply->mask & kButtons) != 0;
    std::free(reply);
    return held;
#else
    (void)window;
    return std::nullopt;
#endif
}

void SystemWindowMover::beginMove(QWidget& window, QPoint globalPress, std::function<void()> ended) {
    if (window_) finish();
    window_ = &window;
    ended_ = std::move(ended);
    QWindow* handle = window.windowHandle();
    if (handle && handle->startSystemMove()) {
        // The window manager owns the pointer now and the release may never
        // reach us: watch the buttons, so polling is never left paused.
        following_ = false;
        moveWatch_.reset(QCursor::pos());
        watch_.setInterval(100);
        QObject::disconnect(&watch_, nullptr, this, nullptr);
        QObject::connect(&watch_, &QTimer::timeout, this, [this] {
            if (!window_) return finish();
            const std::optional<bool> held = held_ ? held_(*window_) : std::nullopt;
            if (moveWatch_.tick(QCursor::pos(), QGuiApplication::mouseButtons(), held)) finish();
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
