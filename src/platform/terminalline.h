#pragma once

#include <QObject>
#include <QString>
#include <memory>

// One line typed at the terminal, read without holding the event loop: the session's timers go
// on while the user thinks, and Ctrl-C (InterruptWatcher) is heard meanwhile. The line comes by
// lineRead(), once per Start().
class TerminalLine : public QObject {
    Q_OBJECT
public:
    explicit TerminalLine(QObject *parent = nullptr);
    ~TerminalLine() override;

    // Reads standard input until the end of the next line.
    void Start();

signals:
    // The line, without its line end.
    void lineRead(const QString &line);
    // Standard input ended (or failed) before a whole line.
    void ended();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
