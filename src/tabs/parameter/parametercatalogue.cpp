#include "parametercatalogue.h"

#include "hexbyte.h"
#include "sharedstate.h"

#include <QRegularExpression>
#include <algorithm>
#include <limits>

namespace Parameter {

namespace {

// One step of the bridge board's timers is 63.75 ms; one step of its analogue inputs 5 V / 255.
constexpr float TimeScale = 0.06375f;
constexpr float VoltScale = 0.0196f;

const char *const FastSpeedHint = "Geschwindigkeit für lange Drehwege";
const char *const SlowSpeedHint = "Geschwindigkeit in der Endphase der Drehung";
const char *const HornHint = "definiert die Sound-Länge (nur, wenn HORN gewählt)";
const char *const FilterHint = "Filter für Positionierung";
const char *const CurrentHint = "Lastregelung: Strom bei minimaler Geschwindigkeit";
const char *const AltCountHint = "Anzahl der Positionen, wenn DIP1 auf EIN steht";
const char *const VersionHint = "PIC Software-Stand";
const char *const InvertHint = "der Zustand frei / besetzt wird vertauscht";

const std::array<ParameterRow, RowCount> TheRows = {{
    {"Geschwindigkeit Links schnell", FastSpeedHint, Bridge(1), 1, 127, 126, 0.0f, "max.=127",
     Box::Speed},
    {"Geschwindigkeit Rechts schnell", FastSpeedHint, Bridge(2), 1, 127, 126, 0.0f, "max.=127",
     Box::Speed},
    {"Geschwindigkeit Links langsam", SlowSpeedHint, Bridge(17), 1, 127, 88, 0.0f, "max.=127",
     Box::Speed},
    {"Geschwindigkeit Rechts langsam", SlowSpeedHint, Bridge(18), 1, 127, 88, 0.0f, "max.=127",
     Box::Speed},
    {"Zeit: Dunkelphase Signal", "Länge der Dunkelphase zwischen Weiss und Rot", Bridge(19), 1, 255,
     2, TimeScale, "s", Box::Time},
    {"Zeit: Länge Horn bei Start", HornHint, Bridge(20), 0, 255, 20, TimeScale, "s", Box::Time},
    {"Zeit: Länge Horn bei Stop", HornHint, Bridge(21), 0, 255, 21, TimeScale, "s", Box::Time},
    {"Zeit: Wartezeit Signal/Drehung", "Zeit zwischen Sound und Drehung Start", Bridge(22), 1, 255,
     22, TimeScale, "s", Box::Time},
    {"Zeit: Wartezeit Drehung/Signal", "Zeit zwischen Drehung Ende und Sound", Bridge(23), 1, 255,
     55, TimeScale, "s", Box::Time},
    {"Zeit: Erkennung Blockierung Start",
     "Time-Out beim Anfahren, wenn keine Drehung mehr erkannt wird", Bridge(25), 1, 255, 25,
     TimeScale, "s", Box::Time},
    {"Zeit: Erkennung Blockierung Fahrt",
     "Time-Out beim Drehen, wenn keine Drehung mehr erkannt wird", Bridge(26), 1, 255, 128,
     TimeScale, "s", Box::Time},
    {"Zeit: Signal Überblenden", "Licht-Signal: Zeit für Ein- und Ausblenden der Lichter",
     Bridge(5), 1, 255, 10, TimeScale, "s", Box::Time},
    {"V_MESS",
     "Sensor-Spannung: wenn dieser Schwellwert überschritten wird, hat Sensor die Helle Zone "
     "verlassen",
     Bridge(3), 1, 255, 170, VoltScale, "V", Box::Parameter},
    {"V_COUNT",
     "Sensor-Spannung: Position zählen, wenn dieser Schwellwert unterschritten wird (Helle Zone "
     "erkannt)",
     Bridge(4), 1, 255, 150, VoltScale, "V", Box::Parameter},
    {"Filter_s", FilterHint, Bridge(12), 1, 255, 65, 1.0f, "", Box::Parameter},
    {"Filter_b", FilterHint, Bridge(13), 1, 255, 46, 1.0f, "", Box::Parameter},
    {"Filter_t", FilterHint, Bridge(14), 1, 255, 20, 1.0f, "", Box::Parameter},
    {"Strom Links", CurrentHint, Bridge(33), 1, 255, 64, 1.0f, "", Box::Parameter},
    {"Strom Rechts", CurrentHint, Bridge(34), 1, 255, 64, 1.0f, "", Box::Parameter},
    {"Strom Schwellwert", "Lastregelung: Strom-Schwellwert", Bridge(32), 1, 255, 5, 1.0f, "",
     Box::Parameter},
    {"Anfahr-Verzögerung", "je kleiner, desto schnelleres Anfahren der Bühne", Bridge(27), 1, 255,
     90, 1.0f, "", Box::Parameter},
    {"SUSI Lautstärke", "Lautstärke Sound, 255 = Laut / 1 = leise", Bridge(7), 1, 255, 255, 1.0f,
     "", Box::Parameter},
    {"Alternative Positionsanzahl Bühne", AltCountHint, Bridge(6), 4, 70, 23, 1.0f, "",
     Box::Positions},
    {"Alternative Positionsanzahl Grube", AltCountHint, Pit(48), 4, 70, 23, 1.0f, "",
     Box::Positions},
    {"SW-Version GRUBE", VersionHint, Pit(0), 0, 0, 0, 1.0f, "", Box::Versions},
    {"", VersionHint, Pit(1), 0, 0, 0, 1.0f, "", Box::None},
    {"SW-Version BÜHNE", VersionHint, Bridge(126), 0, 0, 0, 1.0f, "", Box::Versions},
    {"", VersionHint, Bridge(127), 0, 0, 0, 1.0f, "", Box::None},
}};

const std::array<OptionGroup, GroupCount> TheGroups = {{
    {Bridge(8),
     135,
     {"Lastregelung verwenden", "Sound verwenden", "Hall-Sensor setzt Position auf 0",
      "Drehrichtung umdrehen", "", "Blinklicht 1er-Blinken (sonst: 2er)",
      "Sound bei Stop Horn (sonst: Hupe)", "Sound bei Start Horn (sonst: Hupe)"},
     {"Auswahl, ob Lastregelung verwendet wird",
      "Auswahl, ob Sound verwendet wird / SUSI Ansteuerung", "der Hall-Sensor wird verwendet",
      "die Drehrichtung kann hiermit angepasst werden", "",
      "Blinkleuchte 2er-Blinken (Strobo) oder 1er-Blinken (Rundum)",
      "Auswahl, ob Horn oder Hupe bei Drehung Stop",
      "Auswahl, ob Horn oder Hupe bei Drehung Start"}},
    // The occupancy detectors count downwards: RM1 is bit 4.
    {Pit(49),
     0,
     {"", "", "RM3 invertieren", "RM2 invertieren", "RM1 invertieren", "", "", ""},
     {"", "", InvertHint, InvertHint, InvertHint, "", "", ""}},
    {Pit(50),
     1,
     {"Kehrschleifenrelais verwenden", "TURN, wenn START=ZIEL", "", "", "", "", "", ""},
     {"Ansteuerung der Kehrschleifen-Relais wird unterbunden",
      "ist STARTPOSITION = ZIELPOSITION, wird ein TURN gemacht", "", "", "", "", "", ""}},
}};

} // namespace

BoardImage &ImageOf(SharedState &state, int ref) {
    return IsPit(ref) ? state.pit : state.bridge;
}

const BoardImage &ImageOf(const SharedState &state, int ref) {
    return IsPit(ref) ? state.pit : state.bridge;
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

QString ValueLabel(const ParameterRow &row, int value) {
    const QString unit = QString::fromUtf8(row.unit);
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
