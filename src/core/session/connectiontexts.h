#pragma once

#include "comm/link.h"

#include <QString>

// What the window tells the user about its connection to the pit board.
namespace ConnectionTexts {

// The box for a port that could not be opened, with the system's reason as its last line.
QString OpenErrorCaption();
QString OpenErrorText(const QString &reason);
// The box for a line that failed while connected.
QString FailureCaption(Link::Failure failure);
QString FailureText(Link::Failure failure, const QString &reason);
// Status bar lines: "kein COM3-Port", "COM3 geöffnet", the stopped connection.
QString NoPort(const QString &name);
QString Opened(const QString &name);
// While the port is being opened: "verbindet mit COM3 ...".
QString ConnectingTo(const QString &name);
QString Stopped();
// While a lost adapter is awaited to come back (Stop ends the wait).
QString WaitingFor(const QString &device);
// "wartet auf tcp://pi:4001, nächster Versuch in 8 s": a lost bridge on the network, between calls.
QString WaitingForBridge(const QString &name, int seconds);

// The question before the window closes without "Ende", or nothing when nothing would be lost.
QString CloseQuestion(bool settingsChanged, bool unwrittenChanges);
// The question after the settings file could not be written.
QString CloseWithoutSavingQuestion(const QString &path);

} // namespace ConnectionTexts
