// SIGTERM, SIGHUP and SIGINT arrive as a Qt notification on the event loop
// (a self-pipe), so the ending session runs as an ordinary handler.
#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <functional>
#include <memory>

namespace velmon::app {

class SignalBridge final : public QObject {
public:
    explicit SignalBridge(std::function<void(int signal)> handler);
    ~SignalBridge() override;
    [[nodiscard]] bool installed() const { return notifier_ != nullptr; }

private:
    std::function<void(int)> handler_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace velmon::app
