#include "AlarmMarks.h"

#include "Painters.h"

#include <QPainter>

namespace velmon::window {
namespace {

// The value's text as the label draws it, in red, wherever the label stands.
class EchoLabel : public QWidget {
public:
    EchoLabel(QWidget* parent, TextLabel* source) : QWidget(parent), source_(source) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setFont(source_->font());
        p.setPen(QColor::fromRgb(paint::kRed));
        p.drawText(QRect(source_->pos() - pos(), source_->size()), static_cast<int>(source_->alignment()),
                   source_->text());
    }

private:
    TextLabel* source_;
};

class Lamp : public QWidget {
public:
    explicit Lamp(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_TransparentForMouseEvents); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QColor(0x80, 0, 0));
        p.setBrush(QColor::fromRgb(paint::kRed));
        p.drawEllipse(QRectF(0.5, 0.5, width() - 1.0, height() - 1.0));
    }
};

}  // namespace

AlarmFrame::AlarmFrame(QWidget* parent, QRect geometry, int thickness) : QWidget(parent), thickness_(thickness) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(geometry);
    hide();
}

void AlarmFrame::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QColor red = QColor::fromRgb(paint::kRed);
    const int t = thickness_;
    p.fillRect(0, 0, width(), t, red);
    p.fillRect(0, height() - t, width(), t, red);
    p.fillRect(0, t, t, height() - 2 * t, red);
    p.fillRect(width() - t, t, t, height() - 2 * t, red);
}

AlarmRowMark::AlarmRowMark(QWidget* frame, TextLabel* value, int lampLeft)
    : value_(value), lamp_(new Lamp(frame)), echo_(new EchoLabel(frame, value)) {
    lamp_->setGeometry(lampLeft, 0, 9, 9);
    follow();
    echo_->stackUnder(value);
    lamp_->hide();
    echo_->hide();
    value->onTextChanged = [this] { echo_->update(); };
}

void AlarmRowMark::follow() {
    lamp_->move(lamp_->x(), value_->y() + 2);
    // Wide enough for any value the row shows; the label sits on top of it.
    const QWidget* frame = lamp_->parentWidget();
    echo_->setGeometry(value_->x() - 20, value_->y(), frame->width() - value_->x() + 20, value_->height());
}

void AlarmRowMark::setOn(bool on) {
    on_ = on;
    lamp_->setVisible(on);
    echo_->setVisible(on);
}

}  // namespace velmon::window
