#include "platform/interrupts.h"

#include <QWinEventNotifier>
#include <atomic>
#include <io.h>
#include <windows.h>

namespace {
// Set by the console's handler, which Windows runs on a thread of its own; the notifier hands the
// interrupt to the event loop.
HANDLE g_event = nullptr;
std::atomic<bool> g_pending{false};

BOOL WINAPI OnConsoleControl(DWORD type) {
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) {
        return FALSE; // closing the console or logging off end the program as always
    }
    g_pending = true;
    ::SetEvent(g_event);
    return TRUE;
}
} // namespace

struct InterruptWatcher::Impl {
    std::unique_ptr<QWinEventNotifier> notifier;
};

InterruptWatcher::InterruptWatcher(QObject *parent) : QObject(parent), d(std::make_unique<Impl>()) {
    g_event = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!g_event) {
        return;
    }
    g_pending = false;
    ::SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    d->notifier = std::make_unique<QWinEventNotifier>(g_event);
    connect(d->notifier.get(), &QWinEventNotifier::activated, this, [this] {
        if (g_pending.exchange(false)) {
            emit interrupted();
        }
    });
}

InterruptWatcher::~InterruptWatcher() {
    if (!d->notifier) {
        return;
    }
    ::SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    d->notifier.reset();
    ::CloseHandle(g_event);
    g_event = nullptr;
}

bool InterruptWatcher::WaitForInput() const {
    // A console's input handle is signalled while it holds input events; Ctrl-C never lands there
    // (the console hands it to the handler), so a key typed and an interrupt are told apart.
    const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (!d->notifier || !::GetConsoleMode(input, &mode)) {
        return !g_pending;
    }
    const HANDLE handles[2] = {input, g_event};
    const DWORD woke = ::WaitForMultipleObjects(2, handles, FALSE, INFINITE);
    if (woke == WAIT_OBJECT_0 + 1) {
        ::SetEvent(g_event); // for the notifier, which reports it when the loop runs again
        return false;
    }
    return !g_pending;
}

bool InterruptWatcher::Pending() const {
    return g_pending;
}

bool IsTerminal(std::FILE *stream) {
    // A console, not the NUL device, which _isatty() counts as well.
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode) != 0;
}
