#pragma once

#include <QObject>
#include <cstdio>
#include <memory>

// Ctrl-C (SIGINT) and SIGTERM, a closed terminal (SIGHUP) and a closed pipe (SIGPIPE), on a Windows
// console Ctrl-C and Ctrl-Break, as a signal of the event loop: while a watcher lives they no
// longer end the program at once; interrupted() is emitted in the event loop instead, so that a
// run can stop cleanly (a backup writes no file, a restore stops between two cells). The old
// handling comes back when the watcher goes (a broken pipe's stays ignored). One watcher at a time.
class InterruptWatcher : public QObject {
    Q_OBJECT
public:
    explicit InterruptWatcher(QObject *parent = nullptr);
    ~InterruptWatcher() override;

    // Waits until standard input has something to read or an interrupt came: false for the
    // interrupt, which interrupted() reports as well. Only for a question on the terminal, which
    // waits for the user anyway.
    bool WaitForInput() const;
    // Whether an interrupt came that interrupted() has not reported yet: a read of standard input
    // that failed may have been cut short by it.
    bool Pending() const;

signals:
    void interrupted();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Whether a standard stream is a terminal (a console), not a file or a pipe.
bool IsTerminal(std::FILE *stream);
