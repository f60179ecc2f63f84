#include "InstanceBeacon.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace velmon::app {
namespace {

constexpr char kRequest[] = "show\n";
constexpr char kAnswer[] = "ok\n";
// A request is one short line; a client that sends more without one is dropped.
constexpr qsizetype kLineLimit = 63;

// False when the path does not fit a socket address.
bool addressFor(const QString& path, sockaddr_un& address) {
    const QByteArray native = QFile::encodeName(path);
    address = {};
    address.sun_family = AF_UNIX;
    if (native.isEmpty() || static_cast<std::size_t>(native.size()) >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, native.constData(), static_cast<std::size_t>(native.size()));
    return true;
}

}  // namespace

struct InstanceBeacon::Client {
    QSocketNotifier* notifier;
    QTimer* deadline;
    QByteArray line;
};

QString beaconPathFor(const QString& lockPath) {
    return QFileInfo(lockPath).absolutePath() + QStringLiteral("/Velmon.socket");
}

InstanceBeacon::InstanceBeacon(const QString& path, std::function<void()> onShow)
    : path_(path), onShow_(std::move(onShow)) {
    sockaddr_un address;
    if (!addressFor(path, address)) return;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    // Whoever holds the instance lock owns the name; a socket left by a
    // crashed run is stale.
    ::unlink(address.sun_path);
    // Connecting takes write access to the socket: only the user gets it.
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(address.sun_path, S_IRUSR | S_IWUSR) != 0 || ::listen(fd, 8) != 0) {
        ::close(fd);
        return;
    }
    fd_ = fd;
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { accept(); });
}

InstanceBeacon::~InstanceBeacon() {
    while (!clients_.empty()) drop(clients_.begin()->first);
    if (fd_ < 0) return;
    notifier_.reset();
    ::close(fd_);
    // The name goes with the listener, as a closed server's does.
    sockaddr_un address;
    if (addressFor(path_, address)) ::unlink(address.sun_path);
}

void InstanceBeacon::accept() {
    for (;;) {
        const int fd = ::accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) return;
        auto client = std::make_unique<Client>();
        client->notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        QObject::connect(client->notifier, &QSocketNotifier::activated, this, [this, fd] { readFrom(fd); });
        // A client that says nothing is not kept.
        client->deadline = new QTimer(this);
        client->deadline->setSingleShot(true);
        QObject::connect(client->deadline, &QTimer::timeout, this, [this, fd] { drop(fd); });
        client->deadline->start(3000);
        clients_[fd] = std::move(client);
    }
}

void InstanceBeacon::readFrom(int fd) {
    const auto it = clients_.find(fd);
    if (it == clients_.end()) return;
    QByteArray& line = it->second->line;
    char buffer[kLineLimit + 1];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
    if (n <= 0) {
        drop(fd);
        return;
    }
    line.append(buffer, n);
    const qsizetype end = line.indexOf('\n');
    if (end < 0) {
        if (line.size() > kLineLimit) drop(fd);
        return;
    }
    const bool request = end < kLineLimit && line.left(end + 1) == kRequest;
    if (request) static_cast<void>(::send(fd, kAnswer, sizeof kAnswer - 1, MSG_NOSIGNAL));
    drop(fd);
    if (request && onShow_) onShow_();
}

void InstanceBeacon::drop(int fd) {
    const auto it = clients_.find(fd);
    if (it == clients_.end()) return;
    // Either may be the sender of the signal being handled.
    it->second->notifier->setEnabled(false);
    it->second->notifier->deleteLater();
    it->second->deadline->stop();
    it->second->deadline->deleteLater();
    clients_.erase(it);
    ::close(fd);
}

bool askRunningInstanceToShow(const QString& path, int timeoutMs) {
    sockaddr_un address;
    if (!addressFor(path, address)) return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    // A full backlog blocks connect and send; the send timeout bounds both.
    const timeval limit{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return false;
    if (::send(fd, kRequest, sizeof kRequest - 1, MSG_NOSIGNAL) != static_cast<ssize_t>(sizeof kRequest - 1))
        return false;

    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    QByteArray answer;
    while (!answer.contains('\n') && answer.size() < 16) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd p{fd, POLLIN, 0};
        if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) <= 0) return false;
        char buffer[16];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        answer.append(buffer, n);
    }
    return answer.left(answer.indexOf('\n') + 1) == kAnswer;
}

}  // namespace velmon::app
