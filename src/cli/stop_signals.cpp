#include "cli/stop_signals.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>

namespace koma {

namespace {

std::atomic<bool> g_requested{false};
// The end the handler writes to, and the end the event loop reads.
int g_pipe[2] = {-1, -1};
struct sigaction g_old_int {};
struct sigaction g_old_term {};

void on_signal(int) {
    // Only what may be done in a handler: an atomic flag and a write.
    g_requested.store(true);
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
}

}  // namespace

StopSignals::StopSignals(QObject* parent) : QObject(parent) {
    g_requested.store(false);
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pipe) != 0) {
        g_pipe[0] = g_pipe[1] = -1;
    }
    if (g_pipe[0] >= 0) {
        notifier_ = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
        connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
            char bytes[16];
            while (::read(g_pipe[0], bytes, sizeof bytes) > 0) {
            }
            emit stopped();
        });
    }
    struct sigaction action {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, &g_old_int);
    ::sigaction(SIGTERM, &action, &g_old_term);
}

StopSignals::~StopSignals() {
    ::sigaction(SIGINT, &g_old_int, nullptr);
    ::sigaction(SIGTERM, &g_old_term, nullptr);
    notifier_.reset();
    for (int& end : g_pipe) {
        if (end >= 0) ::close(end);
        end = -1;
    }
}

bool StopSignals::requested() { return g_requested.load(); }

}  // namespace koma
