// A second start of Velmon ends silently, but first asks the running one to
// show its window. The request goes over a local socket next to the instance
// lock, so it works on every desktop, with or without a session bus.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

#include <functional>

namespace velmon::app {

// The socket beside the lock file: same folder, "Velmon.socket".
QString beaconPathFor(const QString& lockPath);

// The running instance's side: calls onShow for every request.
class InstanceBeacon final : public QObject {
public:
    InstanceBeacon(const QString& path, std::function<void()> onShow);
    ~InstanceBeacon() override;
    [[nodiscard]] bool listening() const { return server_.isListening(); }

private:
    QLocalServer server_;
    std::function<void()> onShow_;
};

// The second instance's side: true when the running one took the request.
// Blocks for at most timeoutMs; it runs before any event loop.
bool askRunningInstanceToShow(const QString& path, int timeoutMs = 2000);

}  // namespace velmon::app
