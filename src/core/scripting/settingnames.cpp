#include "core/scripting/settingnames.h"

#include "comm/addresscodes.h"
#include "comm/stationstate.h"
#include "core/backup/backupplan.h"
#include "core/parameter/parametercatalogue.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <limits>

namespace Scripting {

namespace {
constexpr int DccStep = 0;
constexpr int PositionStep = 3;
constexpr int MotorolaStep = 4;
constexpr int FunctionRows = AddressCodes::FirstPositionRow;
const char *const FunctionKeys[FunctionRows] = {"licht", "step", "turn", "dir"};

size_t at(int i) {
    return static_cast<size_t>(i);
}

const Backup::Cell &CellIn(const Backup::Image &image, Board board, int cell) {
    return image.of(board)[at(cell & 0xFF)];
}

Board BoardOfRef(int ref) {
    return Parameter::IsPit(ref) ? Board::Grube : Board::Buehne;
}

const Parameter::ParameterRow &RowOf(const Setting &s) {
    return Parameter::Rows()[at(s.index)];
}

const Parameter::OptionGroup &GroupOf(const Setting &s) {
    return Parameter::Groups()[at(s.index / Parameter::Bits)];
}

// The whole number of a text, decimal or "0x" hexadecimal; a number too large for an int counts
// as the largest one, so that the range check names it.
std::optional<long long> WholeNumber(const QString &text, bool hexAllowed) {
    static const QRegularExpression decimal(QStringLiteral("^\\+?[0-9]+$"));
    static const QRegularExpression hex(QStringLiteral("^0[xX][0-9a-fA-F]+$"));
    const QString t = text.trimmed();
    bool ok = false;
    long long value = 0;
    if (decimal.match(t).hasMatch()) {
        value = t.toLongLong(&ok, 10);
    } else if (hexAllowed && hex.match(t).hasMatch()) {
        value = t.mid(2).toLongLong(&ok, 16);
    } else {
        return std::nullopt;
    }
    return ok ? value : std::numeric_limits<long long>::max();
}

QString OutOfRange(const Setting &s, const QString &typed, int minimum, int maximum) {
    return QCoreApplication::translate("Scripting", "%1: %2 liegt außerhalb von %3 bis %4.")
        .arg(s.name, typed)
        .arg(minimum)
        .arg(maximum);
}

// The states of the cells in one: a cell without an answer or without a value wins over one not
// confirmed, and that over one not read.
Reading::State StateOf(const Backup::Image &image,
                       const std::vector<std::pair<Board, int>> &cells) {
    bool unconfirmed = false;
    bool absent = false;
    for (const auto &[board, cell] : cells) {
        switch (CellIn(image, board, cell).state) {
        case Backup::Cell::State::NoAnswer:
        case Backup::Cell::State::Unreadable:
            return Reading::State::Unreadable;
        case Backup::Cell::State::Unconfirmed:
            unconfirmed = true;
            break;
        case Backup::Cell::State::Absent:
            absent = true;
            break;
        case Backup::Cell::State::Value:
            break;
        }
    }
    return unconfirmed ? Reading::State::Unconfirmed
           : absent    ? Reading::State::Absent
                       : Reading::State::Confirmed;
}

std::vector<std::pair<Board, int>> PositionCells() {
    std::vector<std::pair<Board, int>> cells;
    for (int row = AddressCodes::FirstPositionRow; row < AddressCodes::Rows; ++row) {
        cells.emplace_back(Board::Grube, AddressCodes::StepCell(row, PositionStep));
    }
    return cells;
}

// The row of an address setting: fixed, or the first position row whose position cell holds the
// position; -1 while the cells do not tell.
int RowOfAddress(const Setting &s, const Backup::Image &image) {
    if (s.index >= 0) {
        return s.index;
    }
    for (int row = AddressCodes::FirstPositionRow; row < AddressCodes::Rows; ++row) {
        const Backup::Cell &c = image.pit[at(AddressCodes::StepCell(row, PositionStep))];
        if (c.known() && c.value == s.position - 1) {
            return row;
        }
    }
    return -1;
}

std::vector<std::pair<Board, int>> RowCells(int row, bool withPosition) {
    std::vector<std::pair<Board, int>> cells;
    for (int step = DccStep; step < DccStep + 3; ++step) {
        cells.emplace_back(Board::Grube, AddressCodes::StepCell(row, step));
    }
    for (int step = MotorolaStep; step < MotorolaStep + 3; ++step) {
        cells.emplace_back(Board::Grube, AddressCodes::StepCell(row, step));
    }
    if (withPosition) {
        cells.emplace_back(Board::Grube, AddressCodes::StepCell(row, PositionStep));
    }
    return cells;
}

AddressCodes::Code CodeAt(const Backup::Image &image, int row, int firstStep) {
    AddressCodes::Code code{};
    for (int i = 0; i < 3; ++i) {
        code[at(i)] = image.pit[at(AddressCodes::StepCell(row, firstStep + i))].value;
    }
    return code;
}

constexpr AddressCodes::Code NoCode{0, 0, 0};

AddressCodes::Code MotorolaCode(const Value &v) {
    return v.address == 0 ? NoCode : AddressCodes::Motorola(v.address, v.green);
}
AddressCodes::Code DccCode(const Value &v) {
    return v.address == 0 ? NoCode : AddressCodes::Dcc(v.address, v.green);
}

QString NoRowText(const Setting &s) {
    return QCoreApplication::translate("Scripting", "keine Adresszeile fährt Position %1 an")
        .arg(s.position);
}
} // namespace

QString KeyOf(const QString &text) {
    QString spelt;
    for (const QChar c : text.toLower()) {
        switch (c.unicode()) {
        case 0xE4: // ä
            spelt += QStringLiteral("ae");
            break;
        case 0xF6: // ö
            spelt += QStringLiteral("oe");
            break;
        case 0xFC: // ü
            spelt += QStringLiteral("ue");
            break;
        case 0xDF: // ß
            spelt += QStringLiteral("ss");
            break;
        default:
            spelt += c;
        }
    }
    QString key;
    for (const QChar c : spelt) {
        const bool plain = (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9');
        if (plain) {
            key += c;
        } else if (!key.isEmpty() && !key.endsWith(u'-')) {
            key += u'-';
        }
    }
    while (key.endsWith(u'-')) {
        key.chop(1);
    }
    return key;
}

std::vector<Setting> Named() {
    std::vector<Setting> named;
    const auto &rows = Parameter::Rows();
    for (int i = 0; i < Parameter::RowCount; ++i) {
        const char *name = rows[at(i)].name;
        if (!name || !*name) {
            continue; // the minor bytes of the versions belong to their major row
        }
        Setting s;
        s.kind = Parameter::IsVersionRow(i) ? Kind::Version : Kind::Parameter;
        s.name = KeyOf(QString::fromUtf8(name));
        s.index = i;
        named.push_back(s);
    }
    for (int g = 0; g < Parameter::GroupCount; ++g) {
        for (int bit = 0; bit < Parameter::Bits; ++bit) {
            const char *label = Parameter::Groups()[at(g)].labels[at(bit)];
            if (!label || !*label) {
                continue;
            }
            Setting s;
            s.kind = Kind::Option;
            s.name = KeyOf(QString::fromUtf8(label));
            s.index = g * Parameter::Bits + bit;
            named.push_back(s);
        }
    }
    // The versions after the values, as the tab shows them at the end.
    std::stable_partition(named.begin(), named.end(),
                          [](const Setting &s) { return s.kind != Kind::Version; });
    for (int row = 0; row < FunctionRows; ++row) {
        Setting s;
        s.kind = Kind::AddressRow;
        s.name = QString::fromLatin1(FunctionKeys[row]);
        s.index = row;
        named.push_back(s);
    }
    return named;
}

std::vector<Pattern> Patterns() {
    return {
        {QStringLiteral("grube:N"),
         QCoreApplication::translate("Scripting", "Zelle N der Gruben-Platine"), 0,
         Backup::Cells - 1},
        {QStringLiteral("buehne:N"),
         QCoreApplication::translate("Scripting", "Zelle N der Bühnen-Platine"), 0,
         Backup::Cells - 1},
        {QStringLiteral("P:N"),
         QCoreApplication::translate("Scripting",
                                     "Adresse der Adresszeile, die Position N anfährt"),
         1, StationData::MaxPositions},
        {QStringLiteral("zeile:N"),
         QCoreApplication::translate("Scripting", "Adresse der Positionszeile N"), 1,
         AddressCodes::PositionRows},
        {QStringLiteral("gleis:N"),
         QCoreApplication::translate("Scripting", "Position N in Benutzung (Einstellungs-Datei)"),
         1, StationData::MaxPositions},
        {QStringLiteral("name:N"),
         QCoreApplication::translate("Scripting", "Name der Position N (Einstellungs-Datei)"), 1,
         StationData::MaxPositions},
    };
}

std::optional<Setting> Find(const QString &typed, QString *error) {
    const QString name = typed.trimmed().toLower();
    for (const Setting &s : Named()) {
        if (s.name == name) {
            return s;
        }
    }
    static const QRegularExpression numbered(
        QStringLiteral("^(grube|buehne|bühne|p|zeile|gleis|name):([^:]+)$"));
    const QRegularExpressionMatch m = numbered.match(name);
    const auto refuse = [&](const QString &text) {
        if (error) {
            *error = text;
        }
        return std::nullopt;
    };
    if (!m.hasMatch()) {
        return refuse(QCoreApplication::translate(
                          "Scripting", "Unbekannter Name „%1“ (pivota list zeigt alle Namen).")
                          .arg(typed));
    }
    const QString prefix = m.captured(1);
    const bool cell = prefix == QLatin1String("grube") || prefix == QLatin1String("buehne") ||
                      prefix == QStringLiteral("bühne");
    const std::optional<long long> number = WholeNumber(m.captured(2), cell);
    Setting s;
    int first = 1;
    int last = StationData::MaxPositions;
    if (cell) {
        s.kind = Kind::Cell;
        s.board = prefix == QLatin1String("grube") ? Board::Grube : Board::Buehne;
        first = 0;
        last = Backup::Cells - 1;
    } else if (prefix == QLatin1String("p")) {
        s.kind = Kind::AddressRow;
        s.index = -1;
    } else if (prefix == QLatin1String("zeile")) {
        s.kind = Kind::AddressRow;
        last = AddressCodes::PositionRows;
    } else {
        s.kind = prefix == QLatin1String("gleis") ? Kind::PositionUsed : Kind::PositionName;
    }
    if (!number || *number < first || *number > last) {
        return refuse(QCoreApplication::translate("Scripting",
                                                  "%1: die Nummer muss zwischen %2 und %3 liegen.")
                          .arg(typed.trimmed())
                          .arg(first)
                          .arg(last));
    }
    const int n = static_cast<int>(*number);
    if (cell) {
        s.cell = n;
        s.name = QStringLiteral("%1:%2").arg(BoardKey(s.board)).arg(n);
    } else if (prefix == QLatin1String("p")) {
        s.position = n;
        s.name = QStringLiteral("P:%1").arg(n);
    } else if (prefix == QLatin1String("zeile")) {
        s.index = AddressCodes::FirstPositionRow + n - 1;
        s.name = QStringLiteral("zeile:%1").arg(n);
    } else {
        s.index = n;
        s.name = QStringLiteral("%1:%2").arg(prefix).arg(n);
    }
    return s;
}

QString BoardKey(Board board) {
    return board == Board::Grube ? QStringLiteral("grube") : QStringLiteral("buehne");
}

QString Title(const Setting &s) {
    switch (s.kind) {
    case Kind::Parameter:
    case Kind::Version:
        return Parameter::Text(RowOf(s).name);
    case Kind::Option:
        return Parameter::Text(GroupOf(s).labels[at(s.index % Parameter::Bits)]);
    case Kind::Cell: {
        const QString meaning = Backup::CellMeaning(s.board, s.cell);
        const QString cell =
            QStringLiteral("%1 %2").arg(Backup::BoardName(s.board), Backup::CellText(s.cell));
        return meaning.isEmpty() ? cell : QStringLiteral("%1 %2").arg(cell, meaning);
    }
    case Kind::AddressRow:
        if (s.index < 0) {
            return QCoreApplication::translate("Scripting", "Adresse für Position %1")
                .arg(s.position);
        }
        if (s.index < FunctionRows) {
            static const char *const functions[FunctionRows] = {
                QT_TRANSLATE_NOOP("TFrameDefinition", "Licht"), "Step", "Turn", "DIR"};
            return QCoreApplication::translate("Scripting", "Adresse „%1“")
                .arg(QCoreApplication::translate("TFrameDefinition", functions[at(s.index)]));
        }
        return QCoreApplication::translate("AddressRows", "Positionszeile %1")
            .arg(s.index - AddressCodes::FirstPositionRow + 1);
    case Kind::PositionUsed:
        return QCoreApplication::translate("Scripting", "Position %1 in Benutzung").arg(s.index);
    case Kind::PositionName:
        return QCoreApplication::translate("Scripting", "Name der Position %1").arg(s.index);
    }
    return QString();
}

QString Unit(const Setting &s) {
    if (s.kind != Kind::Parameter) {
        return QString();
    }
    const Parameter::ParameterRow &row = RowOf(s);
    // The speeds' "max.=127" is a note, not a unit; rows with scale 1 have none.
    if (!row.unit || !*row.unit || row.scale == 0.0f || row.scale == 1.0f) {
        return QString();
    }
    return QString::fromUtf8(row.unit);
}

bool Writable(const Setting &s) {
    if (s.kind == Kind::Version) {
        return false;
    }
    return s.kind != Kind::Cell || !Backup::IsFirmwareCell(s.board, s.cell);
}

QString YesText(bool yes) {
    return yes ? QCoreApplication::translate("Scripting", "ja")
               : QCoreApplication::translate("Scripting", "nein");
}

QString ColourText(bool green) {
    return green ? QCoreApplication::translate("Scripting", "gruen")
                 : QCoreApplication::translate("Scripting", "rot");
}

std::optional<bool> ParseYesNo(const QString &text) {
    const QString t = text.trimmed().toLower();
    for (const char *word : {"ja", "j", "yes", "y", "an", "on", "1", "true", "wahr"}) {
        if (t == QLatin1String(word)) {
            return true;
        }
    }
    for (const char *word : {"nein", "n", "no", "aus", "off", "0", "false", "falsch"}) {
        if (t == QLatin1String(word)) {
            return false;
        }
    }
    return std::nullopt;
}

namespace {
std::optional<Value> ParseParameter(const Setting &s, const QString &typed, QString *error) {
    const Parameter::ParameterRow &row = RowOf(s);
    static const QRegularExpression form(
        QStringLiteral("^([+-]?[0-9]+)(?:[.,]([0-9]*))?\\s*([^0-9\\s.,+-]*)$"));
    const QString t = typed.trimmed();
    const QRegularExpressionMatch m = form.match(t);
    const QString unit = Unit(s);
    const auto refuse = [&](const QString &text) -> std::optional<Value> {
        if (error) {
            *error = text;
        }
        return std::nullopt;
    };
    if (!m.hasMatch()) {
        return refuse(
            unit.isEmpty()
                ? QCoreApplication::translate("Scripting", "%1: „%2“ ist keine ganze Zahl.")
                      .arg(s.name, typed)
                : QCoreApplication::translate(
                      "Scripting", "%1: „%2“ ist keine ganze Zahl und kein Wert in %3 („1.27%3“).")
                      .arg(s.name, typed, unit));
    }
    const QString typedUnit = m.captured(3);
    const bool fraction = m.capturedLength(2) > 0 || t.contains(u'.') || t.contains(u',');
    long long number = 0;
    if (!typedUnit.isEmpty() || fraction) {
        if (unit.isEmpty() ||
            (!typedUnit.isEmpty() && typedUnit.compare(unit, Qt::CaseInsensitive))) {
            return refuse(unit.isEmpty()
                              ? QCoreApplication::translate(
                                    "Scripting", "%1: ganze Zahlen ohne Einheit, nicht „%2“.")
                                    .arg(s.name, typed)
                              : QCoreApplication::translate("Scripting",
                                                            "%1: die Einheit ist %2, nicht „%3“.")
                                    .arg(s.name, unit, typedUnit.isEmpty() ? t : typedUnit));
        }
        if (typedUnit.isEmpty()) {
            return refuse(QCoreApplication::translate(
                              "Scripting",
                              "%1: „%2“ ohne Einheit: eine ganze Zahl, oder ein Wert mit %3 "
                              "(„%2%3“).")
                              .arg(s.name, t, unit));
        }
        const QString amount = m.captured(1) + u'.' + m.captured(2);
        // The step nearest to the value: the tab shows 20 steps of 63.75 ms as 1.27 s. A value
        // far beyond any range stays far beyond it.
        const double steps =
            std::clamp(amount.toDouble() / static_cast<double>(row.scale), -1e9, 1e9);
        number = std::llround(steps);
    } else {
        bool ok = false;
        number = m.captured(1).toLongLong(&ok);
        if (!ok) {
            number = m.captured(1).startsWith(u'-') ? std::numeric_limits<int>::min()
                                                    : std::numeric_limits<int>::max();
        }
    }
    if (number < row.minimum || number > row.maximum) {
        QString text = OutOfRange(s, typed.trimmed(), row.minimum, row.maximum);
        if (!unit.isEmpty()) {
            text.chop(1); // the period, after the range in the unit
            text += QCoreApplication::translate("Scripting", " (%1 %2 bis %3 %2).")
                        .arg(QString::number(double(row.minimum * row.scale), 'f', 2), unit,
                             QString::number(double(row.maximum * row.scale), 'f', 2));
        }
        return refuse(text);
    }
    Value v;
    v.number = static_cast<int>(number);
    return v;
}

std::optional<Value> ParseAddress(const Setting &s, const QString &typed, QString *error) {
    static const QRegularExpression form(
        QStringLiteral("^(dcc|mm|motorola)\\s*:\\s*([0-9]+)\\s*(?:/\\s*([^/\\s]+))?$"));
    const QRegularExpressionMatch m = form.match(typed.trimmed().toLower());
    const auto refuse = [&](const QString &text) -> std::optional<Value> {
        if (error) {
            *error = text;
        }
        return std::nullopt;
    };
    const QString usage =
        QCoreApplication::translate(
            "Scripting", "%1: eine Adresse wie dcc:230/gruen oder mm:12/rot, nicht „%2“.")
            .arg(s.name, typed.trimmed());
    if (!m.hasMatch()) {
        return refuse(usage);
    }
    Value v;
    v.motorola = m.captured(1) != QLatin1String("dcc");
    bool ok = false;
    const long long address = m.captured(2).toLongLong(&ok);
    v.address = ok && address <= std::numeric_limits<int>::max() ? static_cast<int>(address)
                                                                 : std::numeric_limits<int>::max();
    const QString colour = m.captured(3);
    if (colour.isEmpty()) {
        if (v.address != 0) {
            return refuse(QCoreApplication::translate(
                              "Scripting", "%1: zur Adresse gehört die Farbe: %2/%3 oder %2/%4.")
                              .arg(s.name, typed.trimmed(), ColourText(true), ColourText(false)));
        }
    } else if (QStringList{QStringLiteral("gruen"), QStringLiteral("grün"), QStringLiteral("green"),
                           QStringLiteral("g"), ColourText(true).toLower()}
                   .contains(colour)) {
        v.green = true;
    } else if (QStringList{QStringLiteral("rot"), QStringLiteral("red"), QStringLiteral("r"),
                           ColourText(false).toLower()}
                   .contains(colour)) {
        v.green = false;
    } else {
        return refuse(usage);
    }
    if (v.address == 0) {
        v.green = true; // no address has no output: as the definition tab holds it
    }
    // In the window's words: "Fehler: Adress-Wert <2045> ist zu gross für das DCC-Format ...".
    const AddressCodes::Encoded encoded = v.motorola
                                              ? AddressCodes::EncodeMotorola(v.address, v.green)
                                              : AddressCodes::EncodeDcc(v.address, v.green);
    if (!encoded.ok()) {
        return refuse(QStringLiteral("%1: %2").arg(s.name, encoded.error));
    }
    return v;
}
} // namespace

std::optional<Value> ParseValue(const Setting &s, const QString &typed, QString *error) {
    const auto refuse = [&](const QString &text) -> std::optional<Value> {
        if (error) {
            *error = text;
        }
        return std::nullopt;
    };
    if (!Writable(s)) {
        return refuse(
            s.kind == Kind::Version
                ? QCoreApplication::translate(
                      "Scripting",
                      "%1: nur lesbar, die Firmware-Version schreibt die Platine selbst.")
                      .arg(s.name)
                : QCoreApplication::translate(
                      "Scripting", "%1: eine Zelle der Firmware-Version, sie wird nie geschrieben.")
                      .arg(s.name));
    }
    Value v;
    switch (s.kind) {
    case Kind::Parameter:
        return ParseParameter(s, typed, error);
    case Kind::Option:
    case Kind::PositionUsed: {
        const std::optional<bool> yes = ParseYesNo(typed);
        if (!yes) {
            return refuse(QCoreApplication::translate("Scripting", "%1: %2 oder %3, nicht „%4“.")
                              .arg(s.name, YesText(true), YesText(false), typed.trimmed()));
        }
        v.flag = *yes;
        return v;
    }
    case Kind::Cell: {
        const std::optional<long long> n = WholeNumber(typed, true);
        if (!n) {
            return refuse(
                QCoreApplication::translate("Scripting", "%1: „%2“ ist keine Zahl von 0 bis 255.")
                    .arg(s.name, typed));
        }
        if (*n > 0xFF) {
            return refuse(OutOfRange(s, typed.trimmed(), 0, 0xFF));
        }
        v.number = static_cast<int>(*n);
        return v;
    }
    case Kind::AddressRow:
        return ParseAddress(s, typed, error);
    case Kind::PositionName:
        v.text = typed.trimmed();
        return v;
    case Kind::Version:
        break;
    }
    return refuse(s.name);
}

QString ValueText(const Setting &s, const Value &v) {
    switch (s.kind) {
    case Kind::Parameter:
    case Kind::Cell:
        return QString::number(v.number);
    case Kind::Option:
    case Kind::PositionUsed:
        return YesText(v.flag);
    case Kind::AddressRow: {
        QString text = QStringLiteral("%1:%2")
                           .arg(v.motorola ? QStringLiteral("mm") : QStringLiteral("dcc"))
                           .arg(v.address);
        if (v.address != 0) {
            text += u'/' + ColourText(v.green);
        }
        return text;
    }
    case Kind::PositionName:
    case Kind::Version:
        return v.text;
    }
    return QString();
}

QString ShownText(const Setting &s, const Value &v) {
    if (s.kind == Kind::Parameter) {
        const QString label = Parameter::ValueLabel(RowOf(s), v.number);
        return label.isEmpty() ? QString::number(v.number)
                               : QStringLiteral("%1 %2").arg(v.number).arg(label);
    }
    return ValueText(s, v);
}

std::optional<double> UnitValue(const Setting &s, const Value &v) {
    if (Unit(s).isEmpty()) {
        return std::nullopt;
    }
    const double x = v.number * static_cast<double>(RowOf(s).scale);
    return std::round(x * 1e6) / 1e6;
}

std::vector<std::pair<Board, int>> CellsOf(const Setting &s, const Backup::Image &known) {
    switch (s.kind) {
    case Kind::Parameter: {
        const int ref = RowOf(s).cell;
        return {{BoardOfRef(ref), Parameter::CellOf(ref)}};
    }
    case Kind::Option: {
        const int ref = GroupOf(s).cell;
        return {{BoardOfRef(ref), Parameter::CellOf(ref)}};
    }
    case Kind::Version: {
        const int major = RowOf(s).cell;
        const int minor = Parameter::Rows()[at(s.index + 1)].cell;
        return {{BoardOfRef(major), Parameter::CellOf(major)},
                {BoardOfRef(minor), Parameter::CellOf(minor)}};
    }
    case Kind::Cell:
        return {{s.board, s.cell}};
    case Kind::AddressRow: {
        const int row = RowOfAddress(s, known);
        if (row < 0) {
            return PositionCells();
        }
        return RowCells(row, row >= AddressCodes::FirstPositionRow);
    }
    case Kind::PositionUsed:
    case Kind::PositionName:
        break;
    }
    return {};
}

std::vector<std::pair<Board, int>> CellsNeeded(const Setting &s, const Backup::Image &known) {
    std::vector<std::pair<Board, int>> needed;
    for (const auto &[board, cell] : CellsOf(s, known)) {
        if (CellIn(known, board, cell).state == Backup::Cell::State::Absent) {
            needed.emplace_back(board, cell);
        }
    }
    return needed;
}

Reading Read(const Setting &s, const Backup::Image &cells, const StationData &station) {
    Reading r;
    if (!s.onBoard()) {
        Value v;
        if (s.kind == Kind::PositionUsed) {
            v.flag = station.PositionUsed[at(s.index)];
        } else {
            v.text = station.PositionName[at(s.index)];
        }
        r.state = Reading::State::Confirmed;
        r.value = v;
        return r;
    }
    const std::vector<std::pair<Board, int>> on = CellsOf(s, cells);
    r.state = StateOf(cells, on);
    if (s.kind == Kind::AddressRow) {
        r.row = RowOfAddress(s, cells);
        if (r.row < 0) {
            // The position cells are all read, and none holds the position.
            if (r.state == Reading::State::Confirmed) {
                r.state = Reading::State::Unreadable;
                r.problem = NoRowText(s);
            }
            return r;
        }
    }
    if (r.state != Reading::State::Confirmed) {
        return r;
    }
    const auto value = [&](int i) {
        return CellIn(cells, on[at(i)].first, on[at(i)].second).value;
    };
    Value v;
    switch (s.kind) {
    case Kind::Parameter:
    case Kind::Cell:
        v.number = value(0);
        break;
    case Kind::Option:
        v.flag = (value(0) >> (s.index % Parameter::Bits)) & 1;
        break;
    case Kind::Version:
        v.text = Parameter::VersionText(value(0), value(1), on[0].first == Board::Buehne);
        break;
    case Kind::AddressRow: {
        const AddressCodes::Code dcc = CodeAt(cells, r.row, DccStep);
        if (dcc != NoCode) {
            const int decoded = AddressCodes::DecodeDcc(dcc);
            if (decoded == 0) {
                r.problem =
                    QCoreApplication::translate("Scripting", "keine gültige DCC-Adresse (%1)")
                        .arg(AddressCodes::CodeText(dcc));
                return r;
            }
            v.address = std::abs(decoded);
            v.green = decoded > 0;
        }
        v.motorola = v.address <= AddressCodes::MaxMotorola &&
                     CodeAt(cells, r.row, MotorolaStep) == MotorolaCode(v);
        break;
    }
    case Kind::PositionUsed:
    case Kind::PositionName:
        break;
    }
    r.value = v;
    return r;
}

Plan PlanWrite(const Setting &s, const Value &v, const Backup::Image &board, bool force) {
    Plan plan;
    const auto put = [&](Board b, int cell, int value) {
        const Backup::Cell &c = CellIn(board, b, cell);
        if (force || !c.known() || c.value != value) {
            plan.writes.push_back({b, cell, value});
        }
    };
    switch (s.kind) {
    case Kind::Parameter:
    case Kind::Cell: {
        const auto [b, cell] = CellsOf(s, board).front();
        put(b, cell, v.number);
        break;
    }
    case Kind::Option: {
        const auto [b, cell] = CellsOf(s, board).front();
        const Backup::Cell &c = CellIn(board, b, cell);
        if (!c.known()) {
            // The other bits of the byte must stay as they are.
            plan.problem =
                QCoreApplication::translate(
                    "Scripting", "%1: die Zelle %2 %3 ist nicht bestätigt, das Bit wird nicht "
                                 "geschrieben.")
                    .arg(s.name, Backup::BoardName(b), Backup::CellText(cell));
            break;
        }
        const int mask = 1 << (s.index % Parameter::Bits);
        put(b, cell, v.flag ? (c.value | mask) : (c.value & ~mask));
        break;
    }
    case Kind::AddressRow: {
        const int row = RowOfAddress(s, board);
        if (row < 0) {
            const Reading::State state = StateOf(board, PositionCells());
            plan.problem =
                state == Reading::State::Confirmed
                    ? QStringLiteral("%1: %2").arg(s.name, NoRowText(s))
                    : QCoreApplication::translate(
                          "Scripting", "%1: die Positionsnummern der Adresszeilen sind nicht "
                                       "bestätigt.")
                          .arg(s.name);
            break;
        }
        const AddressCodes::Code dcc = DccCode(v);
        for (int i = 0; i < 3; ++i) {
            put(Board::Grube, AddressCodes::StepCell(row, DccStep + i), dcc[at(i)]);
        }
        if (v.motorola) {
            const AddressCodes::Code mm = MotorolaCode(v);
            for (int i = 0; i < 3; ++i) {
                put(Board::Grube, AddressCodes::StepCell(row, MotorolaStep + i), mm[at(i)]);
            }
        }
        break;
    }
    case Kind::Version:
    case Kind::PositionUsed:
    case Kind::PositionName:
        break;
    }
    return plan;
}

} // namespace Scripting
