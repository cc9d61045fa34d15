#include "core/session/connectiontexts.h"

#include "comm/netaddress.h"
#include "comm/portmap.h"

#include <QCoreApplication>
#include <QStringList>

namespace ConnectionTexts {

QString OpenErrorCaption() {
    return QCoreApplication::translate("ConnectionTexts", "Fehler COM-Port Öffnen - OpenComm");
}

QString OpenErrorText(const QString &reason) {
    return QCoreApplication::translate(
               "ConnectionTexts",
               "Das Öffnen des COM-Ports wurde abgebrochen.\nProblem mit RS232 "
               "Schnittstelle, COM-Port nicht vorhanden!\n\nBitte unter EINSTELLUNGEN "
               "einem freien COM-Port wählen\n\n") +
           reason;
}

QString FailureCaption(Link::Failure failure) {
    return failure == Link::Failure::Receive
               ? QCoreApplication::translate("ConnectionTexts", "Fehler Datenempfang - ReceiveData")
               : QCoreApplication::translate("ConnectionTexts", "Fehler Daten Senden - SendData");
}

QString FailureText(Link::Failure failure, const QString &reason) {
    const QString text =
        failure == Link::Failure::Receive
            ? QCoreApplication::translate(
                  "ConnectionTexts",
                  "Der Datenempfang wurde abgebrochen, ein Empfang von Daten war nicht "
                  "möglich.\nProblem mit RS232 Schnittstelle!")
            : QCoreApplication::translate(
                  "ConnectionTexts",
                  "Das Senden der Daten wurde abgebrochen, ein Senden von Daten war "
                  "nicht möglich.\nProblem mit RS232 Schnittstelle!");
    return reason.isEmpty() ? text : text + QStringLiteral("\n\n") + reason;
}

QString NoPort(const QString &name) {
    const int n = PortMap::NumberOfName(name);
    return n ? QCoreApplication::translate("ConnectionTexts", "kein COM%1-Port").arg(n)
             : QCoreApplication::translate("ConnectionTexts", "kein COM-Port");
}

QString Opened(const QString &name) {
    if (NetAddress::IsNetworkName(name)) {
        return QCoreApplication::translate("ConnectionTexts", "verbunden mit %1").arg(name);
    }
    return QCoreApplication::translate("ConnectionTexts", "%1 geöffnet").arg(name);
}

QString ConnectingTo(const QString &name) {
    return QCoreApplication::translate("ConnectionTexts", "verbindet mit %1 ...").arg(name);
}

QString Stopped() {
    return QCoreApplication::translate("ConnectionTexts",
                                       "Kommunikation mit Gruben-Platine gestoppt");
}

QString WaitingFor(const QString &device) {
    return QCoreApplication::translate("ConnectionTexts", "wartet auf %1 ...").arg(device);
}

QString WaitingForBridge(const QString &name, int seconds) {
    return QCoreApplication::translate("ConnectionTexts", "wartet auf %1, nächster Versuch in %2 s")
        .arg(name)
        .arg(seconds);
}

QString CloseQuestion(bool settingsChanged, bool unwrittenChanges) {
    if (!settingsChanged && !unwrittenChanges) {
        return QString();
    }
    QStringList lines;
    if (settingsChanged) {
        lines << QCoreApplication::translate(
            "ConnectionTexts", "Die Einstellungen wurden geändert und noch nicht gespeichert.");
    }
    if (unwrittenChanges) {
        lines << QCoreApplication::translate(
            "ConnectionTexts", "Geänderte Adressen oder Parameter wurden noch nicht zur "
                               "Platine übertragen.");
    }
    lines << QString()
          << QCoreApplication::translate(
                 "ConnectionTexts",
                 "Einstellungen in der Einstellungsdatei speichern und das Programm "
                 "beenden?");
    if (unwrittenChanges) {
        // "Ja" must not sound like a write to the board.
        lines << QCoreApplication::translate(
            "ConnectionTexts", "„Ja“ speichert nur die Einstellungsdatei; zur Platine wird "
                               "nichts übertragen.");
    }
    return lines.join(u'\n');
}

QString CloseWithoutSavingQuestion(const QString &path) {
    return QCoreApplication::translate("ConnectionTexts",
                                       "Die Einstellungsdatei %1 kann nicht geschrieben werden.\n\n"
                                       "Das Programm ohne Speichern beenden?")
        .arg(path);
}

} // namespace ConnectionTexts
