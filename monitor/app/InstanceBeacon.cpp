#include "InstanceBeacon.h"

#include <QFileInfo>
#include <QLocalSocket>
#include <QTimer>

namespace velmon::app {
namespace {

constexpr char kRequest[] = "show\n";
constexpr char kAnswer[] = "ok\n";

}  // namespace

QString beaconPathFor(const QString& lockPath) {
    return QFileInfo(lockPath).absolutePath() + QStringLiteral("/Velmon.socket");
}

InstanceBeacon::InstanceBeacon(const QString& path, std::function<void()> onShow) : onShow_(std::move(onShow)) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    // Whoever holds the instance lock owns the name; a socket left by a
    // crashed run is stale.
    QLocalServer::removeServer(path);
    server_.listen(path);
    QObject::connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            // A client that says nothing is not kept.
            QTimer::singleShot(3000, socket, [socket] { socket->abort(); });
            QObject::connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (!socket->canReadLine()) {
                    if (socket->bytesAvailable() > 64) socket->abort();
                    return;
                }
                const QByteArray line = socket->readLine(64);
                if (line == kRequest) {
                    socket->write(kAnswer);
                    socket->flush();
                    if (onShow_) onShow_();
                }
                socket->disconnectFromServer();
            });
        }
    });
}

InstanceBeacon::~InstanceBeacon() { server_.close(); }

bool askRunningInstanceToShow(const QString& path, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write(kRequest);
    if (!socket.waitForBytesWritten(timeoutMs)) return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs)) return false;
    }
    return socket.readLine(16) == kAnswer;
}

}  // namespace velmon::app
