#include "platform/terminalline.h"

#include <QByteArray>

#if defined(Q_OS_UNIX)

#include <QSocketNotifier>

#include <cerrno>
#include <unistd.h>

struct TerminalLine::Impl {
    std::unique_ptr<QSocketNotifier> notifier;
    QByteArray pending;
};

TerminalLine::TerminalLine(QObject *parent) : QObject(parent), d(std::make_unique<Impl>()) {}

TerminalLine::~TerminalLine() = default;

void TerminalLine::Start() {
    d->pending.clear();
    d->notifier = std::make_unique<QSocketNotifier>(STDIN_FILENO, QSocketNotifier::Read);
    connect(d->notifier.get(), &QSocketNotifier::activated, this, [this] {
        char buffer[256];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
            return; // asked again when more comes
        }
        if (n <= 0) {
            d->notifier->setEnabled(false);
            emit ended();
            return;
        }
        d->pending.append(buffer, n);
        const qsizetype end = d->pending.indexOf('\n');
        if (end < 0) {
            return;
        }
        // What follows the line stays unread for whoever reads standard input next.
        d->notifier->setEnabled(false);
        const QByteArray line = d->pending.left(end);
        d->pending.clear();
        emit lineRead(QString::fromLocal8Bit(line).remove(QLatin1Char('\r')));
    });
}

#else // a portable fallback: a reading thread that hands the line to the event loop

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>

#include <cstdio>
#include <thread>

struct TerminalLine::Impl {
    // Read on the event loop's thread only: the reading thread carries the pointer to it.
    std::shared_ptr<QPointer<TerminalLine>> self;
};

TerminalLine::TerminalLine(QObject *parent) : QObject(parent), d(std::make_unique<Impl>()) {
    d->self = std::make_shared<QPointer<TerminalLine>>(this);
}

TerminalLine::~TerminalLine() = default;

void TerminalLine::Start() {
    std::thread([self = d->self] {
        char line[256] = {};
        const bool read = std::fgets(line, sizeof line, stdin) != nullptr;
        const QString text = QString::fromLocal8Bit(line).remove(QLatin1Char('\r'));
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, read, text] {
                if (TerminalLine *reader = self->data()) {
                    if (read) {
                        emit reader->lineRead(QString(text).remove(QLatin1Char('\n')));
                    } else {
                        emit reader->ended();
                    }
                }
            },
            Qt::QueuedConnection);
    }).detach();
}

#endif
