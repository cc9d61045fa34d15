#include "core/parameter/parametercatalogue.h"

#include "comm/hexbyte.h"
#include "comm/sharedstate.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <algorithm>
#include <limits>

namespace Parameter {

namespace {

// One step of the bridge board's timers is 63.75 ms; one step of its analogue inputs 5 V / 255.
constexpr float TimeScale = 0.06375f;
constexpr float VoltScale = 0.0196f;

const char *const FastSpeedHint =
    QT_TRANSLATE_NOOP("Parameter", "Geschwindigkeit für lange Drehwege");
const char *const SlowSpeedHint =
    QT_TRANSLATE_NOOP("Parameter", "Geschwindigkeit in der Endphase der Drehung");
const char *const HornHint =
    QT_TRANSLATE_NOOP("Parameter", "definiert die Sound-Länge (nur, wenn HORN gewählt)");
const char *const FilterHint = QT_TRANSLATE_NOOP("Parameter", "Filter für Positionierung");
const char *const CurrentHint =
    QT_TRANSLATE_NOOP("Parameter", "Lastregelung: Strom bei minimaler Geschwindigkeit");
const char *const AltCountHint =
    QT_TRANSLATE_NOOP("Parameter", "Anzahl der Positionen, wenn DIP1 auf EIN steht");
const char *const VersionHint = QT_TRANSLATE_NOOP("Parameter", "PIC Software-Stand");
const char *const InvertHint =
    QT_TRANSLATE_NOOP("Parameter", "der Zustand frei / besetzt wird vertauscht");

const std::array<ParameterRow, RowCount> TheRows = {{
    {QT_TRANSLATE_NOOP("Parameter", "Geschwindigkeit Links schnell"), FastSpeedHint, Bridge(1), 1,
     127, 126, 0.0f, QT_TRANSLATE_NOOP("Parameter", "max.=127"), Box::Speed},
    {QT_TRANSLATE_NOOP("Parameter", "Geschwindigkeit Rechts schnell"), FastSpeedHint, Bridge(2), 1,
     127, 126, 0.0f, QT_TRANSLATE_NOOP("Parameter", "max.=127"), Box::Speed},
    {QT_TRANSLATE_NOOP("Parameter", "Geschwindigkeit Links langsam"), SlowSpeedHint, Bridge(17), 1,
     127, 88, 0.0f, QT_TRANSLATE_NOOP("Parameter", "max.=127"), Box::Speed},
    {QT_TRANSLATE_NOOP("Parameter", "Geschwindigkeit Rechts langsam"), SlowSpeedHint, Bridge(18), 1,
     127, 88, 0.0f, QT_TRANSLATE_NOOP("Parameter", "max.=127"), Box::Speed},
    {QT_TRANSLATE_NOOP("Parameter", "Zeit: Dunkelphase Signal"),
     QT_TRANSLATE_NOOP("Parameter", "Länge der Dunkelphase zwischen Weiss und Rot"), Bridge(19), 1,
     255, 2, TimeScale, "s", Box::Time},
    {QT_TRANSLATE_NOOP("Parameter", "Zeit: Länge Horn bei Start"), HornHint, Bridge(20), 0, 255, 20,
     TimeScale, "s", Box::Time},
    {QT_TRANSLATE_NOOP("Parameter", "Zeit: Länge Horn bei Stop"), HornHint, Bridge(21), 0, 255, 21,
     TimeScale, "s", Box::Time},
    {QT_TRANSLATE_NOOP("Parameter", "Zeit: Wartezeit Signal/Drehung"),
     QT_TRANSLATE_NOOP("Parameter", "Zeit zwischen Sound und Drehung Start"), Bridge(22), 1, 255,
     22, TimeScale, "s", Box::Time},
    {QT_TRANSLATE_NOOP("Parameter", "Zeit: Wartezeit Drehung/Signal"),
     QT_TRANSLATE_NOOP("Parameter", "Zeit zwischen Drehung Ende und Sound"), Bridge(23), 1, 255, 55,
     TimeScale, "s", Box::Time},
    {QT_TRANSLATE_NOOP("Parameter", "Zeit: Erkennung Blockierung Start"),
     QT_TRANSLATE_NOOP("Parameter", "Time-Out beim Anfahren, wenn keine Drehung mehr erkannt wird"),
     Bridge(25), 1, 255, 25, TimeScale, "s", Box::Time},
    {QT_TRANSLATE_NOOP("Parameter", "Zeit: Erkennung Blockierung Fahrt"),
     QT_TRANSLATE_NOOP("Parameter", "Time-Out beim Drehen, wenn keine Drehung mehr erkannt wird"),
     Bridge(26), 1, 255, 128, TimeScale, "s", Box::Time},
    {QT_TRANSLATE_NOOP("Parameter", "Zeit: Signal Überblenden"),
     QT_TRANSLATE_NOOP("Parameter", "Licht-Signal: Zeit für Ein- und Ausblenden der Lichter"),
     Bridge(5), 1, 255, 10, TimeScale, "s", Box::Time},
    {"V_MESS",
     QT_TRANSLATE_NOOP(
         "Parameter",
         "Sensor-Spannung: wenn dieser Schwellwert überschritten wird, hat Sensor die Helle Zone "
         "verlassen"),
     Bridge(3), 1, 255, 170, VoltScale, "V", Box::Parameter},
    {"V_COUNT",
     QT_TRANSLATE_NOOP("Parameter", "Sensor-Spannung: Position zählen, wenn dieser Schwellwert "
                                    "unterschritten wird (Helle Zone "
                                    "erkannt)"),
     Bridge(4), 1, 255, 150, VoltScale, "V", Box::Parameter},
    {"Filter_s", FilterHint, Bridge(12), 1, 255, 65, 1.0f, "", Box::Parameter},
    {"Filter_b", FilterHint, Bridge(13), 1, 255, 46, 1.0f, "", Box::Parameter},
    {"Filter_t", FilterHint, Bridge(14), 1, 255, 20, 1.0f, "", Box::Parameter},
    {QT_TRANSLATE_NOOP("Parameter", "Strom Links"), CurrentHint, Bridge(33), 1, 255, 64, 1.0f, "",
     Box::Parameter},
    {QT_TRANSLATE_NOOP("Parameter", "Strom Rechts"), CurrentHint, Bridge(34), 1, 255, 64, 1.0f, "",
     Box::Parameter},
    {QT_TRANSLATE_NOOP("Parameter", "Strom Schwellwert"),
     QT_TRANSLATE_NOOP("Parameter", "Lastregelung: Strom-Schwellwert"), Bridge(32), 1, 255, 5, 1.0f,
     "", Box::Parameter},
    {QT_TRANSLATE_NOOP("Parameter", "Anfahr-Verzögerung"),
     QT_TRANSLATE_NOOP("Parameter", "je kleiner, desto schnelleres Anfahren der Bühne"), Bridge(27),
     1, 255, 90, 1.0f, "", Box::Parameter},
    {QT_TRANSLATE_NOOP("Parameter", "SUSI Lautstärke"),
     QT_TRANSLATE_NOOP("Parameter", "Lautstärke Sound, 255 = Laut / 1 = leise"), Bridge(7), 1, 255,
     255, 1.0f, "", Box::Parameter},
    {QT_TRANSLATE_NOOP("Parameter", "Alternative Positionsanzahl Bühne"), AltCountHint, Bridge(6),
     4, 70, 23, 1.0f, "", Box::Positions},
    {QT_TRANSLATE_NOOP("Parameter", "Alternative Positionsanzahl Grube"), AltCountHint, Pit(48), 4,
     70, 23, 1.0f, "", Box::Positions},
    {QT_TRANSLATE_NOOP("Parameter", "SW-Version GRUBE"), VersionHint, Pit(0), 0, 0, 0, 1.0f, "",
     Box::Versions},
    {"", VersionHint, Pit(1), 0, 0, 0, 1.0f, "", Box::None},
    {QT_TRANSLATE_NOOP("Parameter", "SW-Version BÜHNE"), VersionHint, Bridge(126), 0, 0, 0, 1.0f,
     "", Box::Versions},
    {"", VersionHint, Bridge(127), 0, 0, 0, 1.0f, "", Box::None},
}};

const std::array<OptionGroup, GroupCount> TheGroups = {{
    {Bridge(8),
     135,
     {QT_TRANSLATE_NOOP("Parameter", "Lastregelung verwenden"),
      QT_TRANSLATE_NOOP("Parameter", "Sound verwenden"),
      QT_TRANSLATE_NOOP("Parameter", "Hall-Sensor setzt Position auf 0"),
      QT_TRANSLATE_NOOP("Parameter", "Drehrichtung umdrehen"), "",
      QT_TRANSLATE_NOOP("Parameter", "Blinklicht 1er-Blinken (sonst: 2er)"),
      QT_TRANSLATE_NOOP("Parameter", "Sound bei Stop Horn (sonst: Hupe)"),
      QT_TRANSLATE_NOOP("Parameter", "Sound bei Start Horn (sonst: Hupe)")},
     {QT_TRANSLATE_NOOP("Parameter", "Auswahl, ob Lastregelung verwendet wird"),
      QT_TRANSLATE_NOOP("Parameter", "Auswahl, ob Sound verwendet wird / SUSI Ansteuerung"),
      QT_TRANSLATE_NOOP("Parameter", "der Hall-Sensor wird verwendet"),
      QT_TRANSLATE_NOOP("Parameter", "die Drehrichtung kann hiermit angepasst werden"), "",
      QT_TRANSLATE_NOOP("Parameter", "Blinkleuchte 2er-Blinken (Strobo) oder 1er-Blinken (Rundum)"),
      QT_TRANSLATE_NOOP("Parameter", "Auswahl, ob Horn oder Hupe bei Drehung Stop"),
      QT_TRANSLATE_NOOP("Parameter", "Auswahl, ob Horn oder Hupe bei Drehung Start")}},
    // The occupancy detectors count downwards: RM1 is bit 4.
    {Pit(49),
     0,
     {"", "", QT_TRANSLATE_NOOP("Parameter", "RM3 invertieren"),
      QT_TRANSLATE_NOOP("Parameter", "RM2 invertieren"),
      QT_TRANSLATE_NOOP("Parameter", "RM1 invertieren"), "", "", ""},
     {"", "", InvertHint, InvertHint, InvertHint, "", "", ""}},
    {Pit(50),
     1,
     {QT_TRANSLATE_NOOP("Parameter", "Kehrschleifenrelais verwenden"),
      QT_TRANSLATE_NOOP("Parameter", "TURN, wenn START=ZIEL"), "", "", "", "", "", ""},
     {QT_TRANSLATE_NOOP("Parameter", "Ansteuerung der Kehrschleifen-Relais wird unterbunden"),
      QT_TRANSLATE_NOOP("Parameter", "ist STARTPOSITION = ZIELPOSITION, wird ein TURN gemacht"), "",
      "", "", "", "", ""}},
}};

} // namespace

BoardImage &ImageOf(BoardMirrors &mirrors, int ref) {
    return IsPit(ref) ? mirrors.pit : mirrors.bridge;
}

const BoardImage &ImageOf(const BoardMirrors &mirrors, int ref) {
    return IsPit(ref) ? mirrors.pit : mirrors.bridge;
}

const std::array<ParameterRow, RowCount> &Rows() {
    return TheRows;
}

const std::array<OptionGroup, GroupCount> &Groups() {
    return TheGroups;
}

int EntryCell(int entry) {
    if (entry < RowCount) {
        return TheRows[static_cast<size_t>(entry)].cell;
    }
    return TheGroups[static_cast<size_t>(entry - RowCount)].cell;
}

QString Text(const char *catalogueText) {
    return QCoreApplication::translate("Parameter", catalogueText);
}

QString ValueLabel(const ParameterRow &row, int value) {
    const QString unit = Text(row.unit);
    if (unit.isEmpty()) {
        return QString();
    }
    // Single precision on purpose: 20 steps of 63.75 ms are 1.2749999 s and read "1.27".
    const float x = static_cast<float>(value) * row.scale;
    if (x != 0.0f) {
        return QString::asprintf("(%2.2f %s)", static_cast<double>(x), qUtf8Printable(unit));
    }
    return QString::asprintf("(%s)", qUtf8Printable(unit));
}

QString VersionText(int major, int minor, bool bridgeBoard) {
    QString text = major == 0 ? QStringLiteral("V 0") : QStringLiteral("V ") + HexByteText(major);
    text += u'.' + HexByteText(minor);
    // A bridge board whose version cells were never written runs the first firmware series.
    if (bridgeBoard && text == QStringLiteral("V ff.ff")) {
        text = QStringLiteral("V 0.1x");
    }
    return text;
}

int Clamp(const ParameterRow &row, int value) {
    return std::clamp(value, row.minimum, row.maximum);
}

TypedText ParseTyped(const QString &text) {
    const QString t = text.trimmed();
    if (t.isEmpty()) {
        return {TypedText::Empty, 0};
    }
    if (t == QStringLiteral("-") || t == QStringLiteral("+")) {
        return {TypedText::Sign, 0};
    }
    static const QRegularExpression number(QStringLiteral("^[+-]?[0-9]+$"));
    if (!number.match(t).hasMatch()) {
        return {TypedText::Invalid, 0};
    }
    bool ok = false;
    const long long v = t.toLongLong(&ok);
    constexpr long long Low = std::numeric_limits<int>::min();
    constexpr long long High = std::numeric_limits<int>::max();
    if (!ok) {
        return {TypedText::Number, t.startsWith(u'-') ? int(Low) : int(High)};
    }
    return {TypedText::Number, int(std::clamp(v, Low, High))};
}

} // namespace Parameter
