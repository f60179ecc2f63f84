// A second start of Velmon ends silently, but first asks the running one to
// show its window. The request goes over a local socket next to the instance
// lock, so it works on every desktop, with or without a session bus.
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <memory>

class QSocketNotifier;

namespace velmon::app {

// The socket beside the lock file: same folder, "Velmon.socket".
QString beaconPathFor(const QString& lockPath);

// The running instance's side: calls onShow for every request. A plain
// AF_UNIX socket watched by the event loop; only the user may connect.
class InstanceBeacon final : public QObject {
public:
    InstanceBeacon(const QString& path, std::function<void()> onShow);
    ~InstanceBeacon() override;
    InstanceBeacon(const InstanceBeacon&) = delete;
    InstanceBeacon& operator=(const InstanceBeacon&) = delete;
    [[nodiscard]] bool listening() const { return fd_ >= 0; }

private:
    struct Client;
    void accept();
    void readFrom(int fd);
    void drop(int fd);

    QString path_;
    std::function<void()> onShow_;
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::map<int, std::unique_ptr<Client>> clients_;
};

// The second instance's side: true when the running one took the request.
// Blocks for at most timeoutMs; it runs before any event loop.
bool askRunningInstanceToShow(const QString& path, int timeoutMs = 2000);

}  // namespace velmon::app
