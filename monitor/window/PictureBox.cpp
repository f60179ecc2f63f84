#include "PictureBox.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>

namespace velmon::window {

PictureBox::PictureBox(QWidget* parent, const QImage& background) : QWidget(parent) {
    setBackground(background);
}

void PictureBox::setBackground(const QImage& background) {
    // Boxes given the same picture (the four pages' texture) share one
    // converted copy until one of them is drawn into.
    static qint64 lastSource = 0;
    static QImage lastConverted;
    if (background.isNull() || background.cacheKey() != lastSource) {
        lastSource = background.cacheKey();
        lastConverted = background.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    background_ = lastConverted;
    image_ = background_;
    if (!background_.isNull()) resize(background_.size());
    update();
}

void PictureBox::clear() {
    image_ = background_;
    update();
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.setClipRegion(event->region());
    p.drawImage(0, 0, image_);
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    // A box takes every press, handled or not: nothing falls through to the
    // window behind it, which would start a window move.
    if (onPress) onPress(event->button(), event->position());
    event->accept();
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    if (onMove) onMove(event->buttons() ? Qt::LeftButton : Qt::NoButton, event->position());
    event->accept();
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    // The box that took the press holds the mouse, so the release is its own.
    if (onRelease) onRelease(event->button(), event->position());
    event->accept();
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (onDoubleClick) {
        onDoubleClick(event->button(), event->position());
        event->accept();
    } else {
        mousePressEvent(event);
    }
}

QWidget* mouseTargetAt(QWidget* window, QPoint globalPos) {
    const QPoint local = window->mapFromGlobal(globalPos);
    if (!window->rect().contains(local)) return nullptr;
    QWidget* w = window->childAt(local);
    // Labels and disabled controls take no mouse input: what lies under them does.
    while (w && w != window && (!w->isEnabled() || !dynamic_cast<PictureBox*>(w))) w = w->parentWidget();
    return w ? w : window;
}

}  // namespace velmon::window
