// The single-instance socket: a second start's request shows the running
// instance's window; anything else is dropped, and only the user may connect.
#include "InstanceBeacon.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <future>
#include <string>

namespace velmon::app {
namespace {

// Runs the event loop until the future is ready (the client blocks in its own thread).
template <typename T>
T answerWhileServing(std::future<T>& future) {
    QElapsedTimer waited;
    waited.start();
    while (future.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready && waited.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return future.get();
}

void serveFor(int ms) {
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
}

// A raw client: sends the bytes, returns what it reads until the server closes.
std::string exchange(const QString& path, const std::string& bytes) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.toLocal8Bit().constData(), sizeof address.sun_path - 1);
    std::string answer;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        static_cast<void>(::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL));
        const timeval limit{5, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        char buffer[64];
        ssize_t n = 0;
        while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0) answer.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return answer;
}

TEST(InstanceBeacon, ASecondStartsRequestShowsTheWindow) {
    QTemporaryDir dir;
    const QString path = beaconPathFor(dir.filePath(QStringLiteral("Velmon.lock")));
    EXPECT_EQ(path, dir.path() + QStringLiteral("/Velmon.socket"));
    int shown = 0;
    InstanceBeacon beacon(path, [&shown] { ++shown; });
    ASSERT_TRUE(beacon.listening());

    struct stat info{};
    ASSERT_EQ(::stat(path.toLocal8Bit().constData(), &info), 0);
    EXPECT_TRUE(S_ISSOCK(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0600U) << "others may connect";

    for (int round = 1; round <= 2; ++round) {
        auto asked = std::async(std::launch::async, [&path] { return askRunningInstanceToShow(path); });
        EXPECT_TRUE(answerWhileServing(asked));
        serveFor(20);
        EXPECT_EQ(shown, round);
    }
}

TEST(InstanceBeacon, AStaleSocketIsReplacedAndTheNameGoesWithTheBeacon) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Velmon.socket"));
    {
        // What a crashed run leaves: a socket file no one listens on.
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.toLocal8Bit().constData(), sizeof address.sun_path - 1);
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
    }
    EXPECT_FALSE(askRunningInstanceToShow(path, 500)) << "no one listens on a stale socket";
    int shown = 0;
    {
        InstanceBeacon beacon(path, [&shown] { ++shown; });
        ASSERT_TRUE(beacon.listening());
        auto asked = std::async(std::launch::async, [&path] { return askRunningInstanceToShow(path); });
        EXPECT_TRUE(answerWhileServing(asked));
        serveFor(20);
        EXPECT_EQ(shown, 1);
    }
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(askRunningInstanceToShow(path, 500));
}

TEST(InstanceBeacon, OnlyTheRequestLineShows) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Velmon.socket"));
    int shown = 0;
    InstanceBeacon beacon(path, [&shown] { ++shown; });
    ASSERT_TRUE(beacon.listening());
    struct Case {
        std::string sent;
        std::string answer;
        int shows;
    };
    const Case cases[] = {
        {"show\n", "ok\n", 1},
        {"hide\n", "", 0},
        {"show", "", 0},                 // no line: dropped after the 3 s a client is given
        {std::string(200, 'x'), "", 0},  // more than a line's worth without one
        {"show\nshow\n", "ok\n", 1},     // one request per connection
        {"SHOW\n", "", 0},
    };
    for (const Case& c : cases) {
        const int before = shown;
        auto reply = std::async(std::launch::async, [&path, &c] { return exchange(path, c.sent); });
        EXPECT_EQ(answerWhileServing(reply), c.answer) << "sent '" << c.sent.substr(0, 12) << "'";
        serveFor(10);
        EXPECT_EQ(shown - before, c.shows) << "sent '" << c.sent.substr(0, 12) << "'";
    }
}

TEST(InstanceBeacon, NoOneListeningAnswersFalse) {
    QTemporaryDir dir;
    EXPECT_FALSE(askRunningInstanceToShow(dir.filePath(QStringLiteral("Velmon.socket")), 500));
    // A path too long for a socket address is refused, not cut short.
    const QString longPath = dir.filePath(QString(200, QLatin1Char('v')));
    InstanceBeacon beacon(longPath, [] {});
    EXPECT_FALSE(beacon.listening());
    EXPECT_FALSE(askRunningInstanceToShow(longPath, 500));
}

}  // namespace
}  // namespace velmon::app
