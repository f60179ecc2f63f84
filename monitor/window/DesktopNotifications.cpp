#include "DesktopNotifications.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

namespace velmon::window {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");

}  // namespace

DesktopNotifications::DesktopNotifications() = default;

DesktopNotifications::DesktopNotifications(QDBusConnection bus) : bus_(std::move(bus)) {}

QDBusConnection& DesktopNotifications::bus() {
    if (!bus_) bus_ = QDBusConnection::sessionBus();
    if (listening_ || !bus_->isConnected()) return *bus_;
    listening_ = true;
    bus_->connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                  SLOT(onActionInvoked(uint, QString)));
    bus_->connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                  SLOT(onClosed(uint, uint)));
    return *bus_;
}

void DesktopNotifications::show(const std::string& summary, const std::string& body) {
    const Text text{QString::fromStdString(summary), QString::fromStdString(body)};
    closeNext_ = false;
    if (pending_) {
        next_ = text;
        return;
    }
    send(text);
}

void DesktopNotifications::close() {
    next_.reset();
    if (pending_) {
        closeNext_ = true;
        return;
    }
    sendClose();
}

void DesktopNotifications::send(const Text& text) {
    if (!bus().isConnected()) return;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue<uchar>(2));  // critical
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("velmon"));
    call << QStringLiteral("Velmon") << static_cast<uint>(id_) << QStringLiteral("dialog-warning") << text.summary
         << text.body << QStringList{QStringLiteral("default"), QStringLiteral("Open Velmon")} << hints
         << static_cast<int>(-1);
    pending_ = true;
    auto* watcher = new QDBusPendingCallWatcher(bus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, &DesktopNotifications::replied);
}

std::optional<QDBusMessage> DesktopNotifications::takeCloseCall() {
    if (id_ == 0 || !bus().isConnected()) return std::nullopt;
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("CloseNotification"));
    call << static_cast<uint>(id_);
    id_ = 0;
    return call;
}

void DesktopNotifications::sendClose() {
    if (const auto call = takeCloseCall()) bus().asyncCall(*call);  // the reply carries nothing
}

void DesktopNotifications::closeAtExit() {
    next_.reset();
    closeNext_ = false;
    if (const auto call = takeCloseCall()) bus().call(*call, QDBus::Block, 1000);
}

void DesktopNotifications::replied(QDBusPendingCallWatcher* watcher) {
    watcher->deleteLater();
    pending_ = false;
    const QDBusPendingReply<uint> reply = *watcher;
    // An error (no service, a refusal) leaves no notification behind.
    id_ = reply.isError() ? 0 : reply.value();
    if (closeNext_) {
        closeNext_ = false;
        sendClose();
    } else if (next_) {
        const Text text = *next_;
        next_.reset();
        send(text);
    }
}

void DesktopNotifications::onActionInvoked(uint id, const QString& action) {
    if (id == 0 || id != id_ || action != QStringLiteral("default")) return;
    if (onActivated_) onActivated_();
}

void DesktopNotifications::onClosed(uint id, uint) {
    // Dismissed by the user or expired: a later change opens a new one.
    if (id != 0 && id == id_) id_ = 0;
}

}  // namespace velmon::window
