#include "platform/interrupts.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// The handler only writes a byte; the notifier reads it in the event loop.
int g_pipe[2] = {-1, -1};
volatile sig_atomic_t g_brokenPipe = 0;

// A closed terminal (a dropped SSH session) and a closed pipe end the run as Ctrl-C does: what was
// written is said, wherever the output still goes, and the exit status is the same.
constexpr int Watched[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};
constexpr int WatchedCount = int(sizeof Watched / sizeof Watched[0]);

void OnSignal(int signal) {
    if (signal == SIGPIPE) {
        g_brokenPipe = 1;
    }
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(g_pipe[1], &c, 1);
}
} // namespace

struct InterruptWatcher::Impl {
    std::unique_ptr<QSocketNotifier> notifier;
    struct sigaction old[WatchedCount] {};
};

InterruptWatcher::InterruptWatcher(QObject *parent) : QObject(parent), d(std::make_unique<Impl>()) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pipe) != 0) {
        return;
    }
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    g_brokenPipe = 0;
    for (int i = 0; i < WatchedCount; ++i) {
        sigaction(Watched[i], &action, &d->old[i]);
    }
    d->notifier = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
    connect(d->notifier.get(), &QSocketNotifier::activated, this, [this] {
        char c = 0;
        [[maybe_unused]] const auto n = ::read(g_pipe[0], &c, 1);
        emit interrupted();
    });
}

InterruptWatcher::~InterruptWatcher() {
    if (!d->notifier) {
        return;
    }
    for (int i = 0; i < WatchedCount; ++i) {
        if (Watched[i] == SIGPIPE && g_brokenPipe) {
            // Output still waiting for the closed pipe must not end the program by the signal
            // when it is flushed at the exit, with another status than the one given.
            signal(SIGPIPE, SIG_IGN);
            continue;
        }
        sigaction(Watched[i], &d->old[i], nullptr);
    }
    d->notifier.reset();
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

bool InterruptWatcher::WaitForInput() const {
    const int signalFd = d->notifier ? g_pipe[0] : -1;
    for (;;) {
        pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {signalFd, POLLIN, 0}};
        const int n = ::poll(fds, signalFd >= 0 ? 2 : 1, -1);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        // The signal's byte stays in the pipe: the notifier reports it when the loop runs again.
        return !(n > 0 && (fds[1].revents & POLLIN));
    }
}

bool InterruptWatcher::Pending() const {
    if (!d->notifier) {
        return false;
    }
    pollfd fd{g_pipe[0], POLLIN, 0};
    return ::poll(&fd, 1, 0) > 0 && (fd.revents & POLLIN);
}

bool IsTerminal(std::FILE *stream) {
    return ::isatty(::fileno(stream)) != 0;
}
