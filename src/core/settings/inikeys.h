#pragma once

#include <QString>
#include <QStringList>

// Sections and keys of the settings file and of configuration files.
namespace Ini {

// Keys with a number in them, made once for the numbers the files hold: every load and save of
// the settings file names each of them, and building the name anew each time was most of the cost.
inline QStringList NumberedKeys(const QString &pattern, int first, int last) {
    QStringList keys;
    for (int i = first; i <= last; ++i) {
        keys << pattern.arg(i);
    }
    return keys;
}
inline QString NumberedKey(const QStringList &keys, int first, const QString &pattern, int i) {
    return i >= first && i - first < keys.size() ? keys.at(i - first) : pattern.arg(i);
}

inline const QString Settings = QStringLiteral("SETTINGS");
inline const QString ComPort = QStringLiteral("COM-Port");
inline const QString BufferSize = QStringLiteral("Buffersize");
inline const QString ComBufferSize = QStringLiteral("COM-Buffersize");
inline const QString IntervalReceive = QStringLiteral("Interval_Receive");
inline const QString IntervalSenden = QStringLiteral("Interval_Senden");
inline const QString Benutzer = QStringLiteral("Benutzer");
inline const QString Baud = QStringLiteral("Baud");
// The interface language, "de" or "en"; empty or missing: the system's.
inline const QString Sprache = QStringLiteral("Sprache");
// How the tabs' transfers are paced: by the boards' answers unless fixed, with every written
// cell read back, and how long an answer may take.
inline const QString FesteTaktung = QStringLiteral("Feste_Taktung");
inline const QString SchreibenPruefen = QStringLiteral("Schreiben_pruefen");
inline const QString AntwortTimeout = QStringLiteral("Antwort_Timeout");
// Whether a lost line is opened again when its USB adapter comes back.
inline const QString AutoVerbinden = QStringLiteral("Auto_Verbinden");

inline const QString Window = QStringLiteral("Window");
inline const QString Width = QStringLiteral("Width");
inline const QString Height = QStringLiteral("Height");
inline const QString Top = QStringLiteral("Top");
inline const QString Left = QStringLiteral("Left");

inline const QString Buehne = QStringLiteral("Buehne");
inline const QString IstPosition = QStringLiteral("Buehne_IstPosition");
inline const QString SollPosition = QStringLiteral("Buehne_SollPosition");
inline const QString AnzahlPositionen = QStringLiteral("Anzahl_Positionen");
inline const QString RSense = QStringLiteral("R-Sense");
inline const QString Extern = QStringLiteral("extern");

inline const QString Use = QStringLiteral("use");
inline const QString Name = QStringLiteral("Name");
inline QString PositionUseKey(int i) {
    static const QString pattern = QStringLiteral("Position_%1_use");
    static const QStringList keys = NumberedKeys(pattern, 1, 48); // the positions 1..48
    return NumberedKey(keys, 1, pattern, i);
}
inline QString PositionNameKey(int i) {
    static const QString pattern = QStringLiteral("Position_%1_name");
    static const QStringList keys = NumberedKeys(pattern, 1, 48); // the positions 1..48
    return NumberedKey(keys, 1, pattern, i);
}

inline const QString Grube = QStringLiteral("Grube");
inline const QString Offset = QStringLiteral("Offset");
inline const QString Reverse = QStringLiteral("reverse");
inline const QString ShowSwitchline = QStringLiteral("Show_Switchline");
inline const QString UseMM = QStringLiteral("Use_MM");

inline const QString EeGrube = QStringLiteral("EE_GRUBE");
inline const QString EeBuhne = QStringLiteral("EE_BUHNE");
inline QString PitCellKey(int i) {
    static const QString pattern = QStringLiteral("data_%1_grube");
    static const QStringList keys = NumberedKeys(pattern, 0, 255);
    return NumberedKey(keys, 0, pattern, i);
}
inline QString BridgeCellKey(int i) {
    static const QString pattern = QStringLiteral("data_%1_buhne");
    static const QStringList keys = NumberedKeys(pattern, 0, 255);
    return NumberedKey(keys, 0, pattern, i);
}
// Changes not yet written to a board, beside the values (settings file only): the parameter
// tab's cells in EE_GRUBE and EE_BUHNE as "13,20", the address rows in "Adressen" as
// "row:address:green:position" items, "4:229:0:3,5:229:1:4".
inline const QString ZuSchreiben = QStringLiteral("zu_schreiben");
inline const QString Adressen = QStringLiteral("Adressen");

// Which device each of COM1..COM9 means on this machine, keys "COM1".."COM9" (written when the
// user maps a port on the settings tab; survives like any key).
inline const QString Ports = QStringLiteral("Ports");

// User level texts.
inline const QString LevelDebug = QStringLiteral("Debug");
inline const QString LevelJustage = QStringLiteral("Justage");
inline const QString LevelFahren = QStringLiteral("Fahren");
inline const QString LevelDefault = QStringLiteral("Anwender");

} // namespace Ini
