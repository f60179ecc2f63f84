#include "MemoryTrim.h"

#include "Art.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <malloc.h>

namespace velmon::app {

void trimMemory() {
    art::trim();
    malloc_trim(0);
}

MemoryTrim::MemoryTrim(int delayMs) {
    timer_.setSingleShot(true);
    timer_.setInterval(delayMs);
    QObject::connect(&timer_, &QTimer::timeout, this, &trimMemory);
    if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
}

bool MemoryTrim::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Hide && watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow())
        soon();
    return false;
}

}  // namespace velmon::app
