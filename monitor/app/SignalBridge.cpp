#include "SignalBridge.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <utility>

namespace velmon::app {
namespace {

int g_pipe[2] = {-1, -1};

void onSignal(int signal) {
    const auto byte = static_cast<unsigned char>(signal);
    // Only async-signal-safe calls here; a full pipe just drops the repeat.
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
}

}  // namespace

SignalBridge::SignalBridge(std::function<void(int)> handler) : handler_(std::move(handler)) {
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    notifier_ = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
        unsigned char byte = 0;
        while (::read(g_pipe[0], &byte, 1) == 1)
            if (handler_) handler_(byte);
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : std::array{SIGTERM, SIGHUP, SIGINT}) ::sigaction(s, &action, nullptr);
}

SignalBridge::~SignalBridge() {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    for (int s : std::array{SIGTERM, SIGHUP, SIGINT}) ::sigaction(s, &action, nullptr);
    notifier_.reset();
    for (int& fd : g_pipe)
        if (fd >= 0) ::close(std::exchange(fd, -1));
}

}  // namespace velmon::app
