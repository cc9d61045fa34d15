#include "cli/jsonoutput.h"

#include "core/scripting/filediff.h"
#include "platform/console.h"

#include <QJsonDocument>

using Scripting::Kind;
using Scripting::Reading;
using Scripting::Setting;

namespace JsonOutput {

namespace {
QString KindKey(Kind kind) {
    switch (kind) {
    case Kind::Parameter:
        return QStringLiteral("parameter");
    case Kind::Option:
        return QStringLiteral("option");
    case Kind::Version:
        return QStringLiteral("version");
    case Kind::Cell:
        return QStringLiteral("cell");
    case Kind::AddressRow:
        return QStringLiteral("address");
    case Kind::PositionUsed:
        return QStringLiteral("positionUsed");
    case Kind::PositionName:
        return QStringLiteral("positionName");
    }
    return QString();
}

} // namespace

QString StateKey(Reading::State state) {
    switch (state) {
    case Reading::State::Confirmed:
        return QStringLiteral("confirmed");
    case Reading::State::Unconfirmed:
        return QStringLiteral("unconfirmed");
    case Reading::State::Unreadable:
        return QStringLiteral("unreadable");
    case Reading::State::Absent:
        break;
    }
    return QStringLiteral("absent");
}

// A value with the fields that belong to its kind, so that a script reads numbers, not texts.
QJsonObject ValueJson(const Setting &s, const Scripting::Value &v) {
    QJsonObject o{{QStringLiteral("value"), Scripting::ValueText(s, v)},
                  {QStringLiteral("shown"), Scripting::ShownText(s, v)}};
    switch (s.kind) {
    case Kind::Parameter:
    case Kind::Cell:
        o.insert(QStringLiteral("number"), v.number);
        if (const auto x = Scripting::UnitValue(s, v)) {
            o.insert(QStringLiteral("unitValue"), *x);
            o.insert(QStringLiteral("unit"), Scripting::Unit(s));
        }
        break;
    case Kind::Option:
    case Kind::PositionUsed:
        o.insert(QStringLiteral("flag"), v.flag);
        break;
    case Kind::AddressRow:
        o.insert(QStringLiteral("address"), v.address);
        o.insert(QStringLiteral("green"), v.green);
        o.insert(QStringLiteral("motorola"), v.motorola);
        break;
    case Kind::Version:
    case Kind::PositionName:
        o.insert(QStringLiteral("text"), v.text);
        break;
    }
    return o;
}

QJsonObject ReadingJson(const Setting &s, const Reading &r, bool fromFile) {
    QJsonObject o =
        r.value && r.state == Reading::State::Confirmed ? ValueJson(s, *r.value) : QJsonObject();
    o.insert(QStringLiteral("state"), StateKey(r.state));
    o.insert(QStringLiteral("text"), Scripting::ReadingText(s, r, fromFile));
    if (!r.problem.isEmpty()) {
        o.insert(QStringLiteral("problem"), r.problem);
    }
    return o;
}

QJsonObject SettingJson(const Setting &s) {
    return {{QStringLiteral("name"), s.name},
            {QStringLiteral("title"), Scripting::Title(s)},
            {QStringLiteral("kind"), KindKey(s.kind)}};
}

QJsonObject CellJson(Board board, int cell, int value) {
    return {{QStringLiteral("board"), Scripting::BoardKey(board)},
            {QStringLiteral("cell"), cell},
            {QStringLiteral("value"), value}};
}

QString StateKey(const Backup::Cell &cell) {
    switch (cell.state) {
    case Backup::Cell::State::Value:
        return StateKey(Reading::State::Confirmed);
    case Backup::Cell::State::Unconfirmed:
        return StateKey(Reading::State::Unconfirmed);
    case Backup::Cell::State::NoAnswer:
    case Backup::Cell::State::Unreadable:
        return StateKey(Reading::State::Unreadable);
    case Backup::Cell::State::Absent:
        break;
    }
    return StateKey(Reading::State::Absent);
}

QJsonObject HeldCellJson(Board board, int cell, const Backup::Cell &held) {
    QJsonObject o{{QStringLiteral("board"), Scripting::BoardKey(board)},
                  {QStringLiteral("cell"), cell},
                  {QStringLiteral("state"), StateKey(held)}};
    if (held.known()) {
        o.insert(QStringLiteral("value"), held.value);
    }
    return o;
}

void PutJson(const QJsonObject &document) {
    WriteText(stdout, QString::fromUtf8(QJsonDocument(document).toJson(QJsonDocument::Indented)));
}

} // namespace JsonOutput
