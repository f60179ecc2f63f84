#include "DialogLook.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

namespace velmon {

QFont dialogFont(bool bold) {
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(11);
    f.setBold(bold);
    return f;
}

QPoint centredOrigin(QSize screen, QSize window) {
    return {(screen.width() - window.width()) / 2, (screen.height() - window.height()) / 2};
}

void centreOnScreen(QWidget& window) {
    const QScreen* screen = window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->geometry();
    // setGeometry, not move: move places the window manager's frame there,
    // pushing the client area right and down by the frame's width.
    window.setGeometry(QRect(area.topLeft() + centredOrigin(area.size(), window.size()), window.size()));
}

}  // namespace velmon
