#include "Controls.h"

#include <QHelpEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace velmon::window {

HotArea::HotArea(QWidget* parent, QRect geometry) : QWidget(parent) {
    setGeometry(geometry);
    setAttribute(Qt::WA_NoSystemBackground);
}

bool HotArea::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && toolTipAt) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString text = toolTipAt(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    return QWidget::event(event);
}

void HotArea::mousePressEvent(QMouseEvent* event) {
    if (onPress) onPress(event->button(), event->position().toPoint());
    event->accept();
}

void HotArea::mouseReleaseEvent(QMouseEvent* event) {
    if (onRelease) onRelease(event->button(), event->position().toPoint());
    event->accept();
}

void HotArea::mouseDoubleClickEvent(QMouseEvent* event) {
    if (onDoubleClick) onDoubleClick(event->button(), event->position().toPoint());
    event->accept();
}

int spinRepeatDelay(int repeat) {
    if (repeat <= 0) return 400;
    if (repeat < 5) return 120;
    if (repeat < 15) return 60;
    return 30;
}

SpinArrows::SpinArrows(QWidget* parent) : QWidget(parent), repeat_(new QTimer(this)) {
    resize(18, 16);
    repeat_->setSingleShot(true);
    QObject::connect(repeat_, &QTimer::timeout, this, [this] {
        if (pressed_ < 0) return;
        ++repeats_;
        repeat_->start(spinRepeatDelay(repeats_));
        if (onStep) onStep(pressed_ == 0);
    });
}

void SpinArrows::paintEvent(QPaintEvent*) {
    QPainter p(this);
    for (int half = 0; half < 2; ++half) {
        const QRect r(0, half * 8, 18, 8);
        const bool down = pressed_ == half;
        p.fillRect(r, QColor(192, 192, 192));
        p.setPen(down ? QColor(64, 64, 64) : Qt::white);
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(down ? Qt::white : QColor(64, 64, 64));
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        const int cx = 9, top = r.top() + 2, bottom = r.top() + 5;
        const QPoint up[3] = {{cx, top}, {cx - 3, bottom}, {cx + 3, bottom}};
        const QPoint dn[3] = {{cx, bottom}, {cx - 3, top}, {cx + 3, top}};
        p.drawPolygon(half == 0 ? up : dn, 3);
    }
}

void SpinArrows::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    pressed_ = event->position().y() < 8 ? 0 : 1;
    repeats_ = 0;
    update();
    repeat_->start(spinRepeatDelay(0));
    if (onStep) onStep(pressed_ == 0);
}

void SpinArrows::mouseReleaseEvent(QMouseEvent*) { stop(); }

void SpinArrows::hideEvent(QHideEvent*) { stop(); }

void SpinArrows::stop() {
    repeat_->stop();
    pressed_ = -1;
    update();
}

CaptionFrame::CaptionFrame(QWidget* parent, const QString& caption, QRect geometry)
    : QWidget(parent), caption_(caption) {
    setGeometry(geometry);
}

void CaptionFrame::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QFont font = labelFont(true);
    p.setFont(font);
    const int line = QFontMetrics(font).height() / 2;
    p.fillRect(rect(), Qt::black);
    p.setPen(Qt::white);
    p.drawRect(QRect(0, line, width() - 1, height() - line - 1));
    const int textWidth = QFontMetrics(font).horizontalAdvance(caption_);
    const QRect captionRect(8, 0, textWidth + 4, QFontMetrics(font).height());
    p.fillRect(captionRect, Qt::black);
    p.drawText(captionRect, Qt::AlignCenter, caption_);
}

PlateCover::PlateCover(QWidget* parent, QRect geometry, int plateTop, int plateBottom, const QString& note)
    : QWidget(parent), plateTop_(plateTop), plateBottom_(plateBottom), note_(note) {
    setGeometry(geometry);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void PlateCover::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // The artwork's plate: #5e5e5e at its top to #3c3c3c at its foot.
    QLinearGradient plate(0, plateTop_ - y(), 0, plateBottom_ - y());
    plate.setColorAt(0, QColor(0x5e, 0x5e, 0x5e));
    plate.setColorAt(1, QColor(0x3c, 0x3c, 0x3c));
    p.fillRect(rect(), plate);
    if (note_.isEmpty()) return;
    p.setFont(labelFont(false));
    p.setPen(QColor(0xc8, 0xc8, 0xc8));
    p.drawText(rect(), Qt::AlignCenter, note_);
}

QFont labelFont(bool bold) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    font.setBold(bold);
    return font;
}

TextLabel::TextLabel(QWidget* parent, QRgb colour, bool bold, const QString& text) : QLabel(parent), bold_(bold) {
    setFont(labelFont(bold));
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, QColor::fromRgb(colour));
    setPalette(pal);
    setMargin(0);
    setIndent(0);
    setText(text);
    fit();
}

void TextLabel::setBox(QRect box) {
    box_ = box;
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    fit();
}

void TextLabel::setFieldWidth(int width) {
    fieldWidth_ = width;
    fit();
}

void TextLabel::setLabelText(const QString& text) {
    setText(text);
    fit();
    if (onTextChanged) onTextChanged();
}

void TextLabel::fit() {
    if (fieldWidth_ > 0) {
        QFont f = labelFont(bold_);
        for (int px = f.pixelSize(); px > 8 && QFontMetrics(f).horizontalAdvance(text()) > fieldWidth_;)
            f.setPixelSize(--px);
        if (f != font()) setFont(f);
    }
    const QFontMetrics fm(font());
    const int textWidth = fm.horizontalAdvance(text());
    if (box_.isNull()) {
        resize(std::max(textWidth, 1), 13);
        return;
    }
    const int w = std::max(box_.width(), textWidth);
    setGeometry(box_.center().x() + 1 - (w + 1) / 2, box_.top(), w, box_.height());
}

}  // namespace velmon::window
