#include "SpinButtons.h"

#include <QToolButton>

namespace velmon {

SpinButtons::SpinButtons(QWidget* parent, std::function<void(bool up)> stepped)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
    for (QToolButton* b : {up_, down_}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
    }
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    QObject::connect(up_, &QToolButton::clicked, this, [stepped] { stepped(true); });
    QObject::connect(down_, &QToolButton::clicked, this, [stepped] { stepped(false); });
}

void SpinButtons::resizeEvent(QResizeEvent*) {
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

}  // namespace velmon
