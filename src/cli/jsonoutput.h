#pragma once

#include "core/backup/backupplan.h"
#include "core/scripting/settingnames.h"

#include <QJsonObject>

// The JSON that the commands print with --json, in one shape for all of them: a setting by its
// name, title and kind; a value with the fields of its kind; a reading with its state
// (confirmed, unconfirmed, unreadable, absent); a cell by board, number and value.
namespace JsonOutput {

QJsonObject ValueJson(const Scripting::Setting &s, const Scripting::Value &v);
QJsonObject ReadingJson(const Scripting::Setting &s, const Scripting::Reading &r, bool fromFile);
QJsonObject SettingJson(const Scripting::Setting &s);
QJsonObject CellJson(Board board, int cell, int value);
// A cell as a file or a board holds it: its state, and its value where it holds one.
QJsonObject HeldCellJson(Board board, int cell, const Backup::Cell &held);
// "confirmed", "unconfirmed", "unreadable", "absent".
QString StateKey(Scripting::Reading::State state);
QString StateKey(const Backup::Cell &cell);
// The document on standard output.
void PutJson(const QJsonObject &document);

} // namespace JsonOutput
