// The warning state's desktop notification over the session bus
// (org.freedesktop.Notifications). Every call is asynchronous: a desktop
// without a bus or without a notification service sends nothing or gets an
// error reply that is dropped, and the alert timer never waits.
#pragma once

#include "AlarmNotice.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

class QDBusPendingCallWatcher;

namespace velmon::window {

class DesktopNotifications final : public QObject, public NotificationPort {
    Q_OBJECT
public:
    // On the session bus, connected at the first notification: a run that
    // never warns neither connects nor listens for the server's signals.
    DesktopNotifications();
    explicit DesktopNotifications(QDBusConnection bus);

    // Runs when the user activates the notification (its default action).
    void setOnActivated(std::function<void()> onActivated) { onActivated_ = std::move(onActivated); }

    void show(const std::string& summary, const std::string& body) override;
    void close() override;

    // At the program's end: closes the notification before the bus goes,
    // waiting for the server at most a second.
    void closeAtExit();

    // The server's id of the notification shown; 0 when none.
    [[nodiscard]] std::uint32_t id() const { return id_; }

private slots:
    void onActionInvoked(uint id, const QString& action);
    void onClosed(uint id, uint reason);

private:
    struct Text {
        QString summary, body;
    };
    void send(const Text& text);
    void sendClose();
    // The CloseNotification call for the notification shown, which is then
    // forgotten; nothing when none is shown or the bus is gone.
    std::optional<QDBusMessage> takeCloseCall();
    void replied(QDBusPendingCallWatcher* watcher);
    QDBusConnection& bus();

    std::optional<QDBusConnection> bus_;
    bool listening_ = false;  // to the server's signals
    std::function<void()> onActivated_;
    std::uint32_t id_ = 0;
    // While a Notify is unanswered its id is unknown: what comes meanwhile
    // waits, so a replacement never opens a second notification.
    bool pending_ = false;
    std::optional<Text> next_;
    bool closeNext_ = false;
};

}  // namespace velmon::window
