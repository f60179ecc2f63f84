// Most of what an idle tray program holds beyond its libraries is left over
// from start-up and from a window shown earlier: renderings of the artwork
// that no widget holds any more, and heap pages malloc keeps after they are
// freed. Both are given back a moment after start-up and after a window hides.
#pragma once

#include <QObject>
#include <QTimer>

namespace velmon::app {

// Lets go of the artwork no one holds and returns free heap to the system.
void trimMemory();

class MemoryTrim final : public QObject {
public:
    // Watches the application for hidden windows; trims delayMs after the
    // last one, so a burst of hides costs one trim.
    explicit MemoryTrim(int delayMs = 1000);
    void soon() { timer_.start(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTimer timer_;
};

}  // namespace velmon::app
