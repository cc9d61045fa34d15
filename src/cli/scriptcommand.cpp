#include "cli/scriptcommand.h"

#include "cli/backupcommand.h"
#include "cli/jsonoutput.h"
#include "core/backup/backupfile.h"
#include "core/configuration/configfile.h"
#include "core/operation/bridgedrive.h"
#include "core/parameter/parametercatalogue.h"
#include "core/scripting/filediff.h"
#include "core/scripting/settingjob.h"
#include "core/session/session.h"
#include "core/settings/inifile.h"
#include "core/settings/settingsfile.h"
#include "net/networkports.h"
#include "platform/console.h"
#include "platform/interrupts.h"
#include "sim/simport.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <functional>

using Scripting::Kind;
using Scripting::Reading;
using Scripting::Setting;
using namespace JsonOutput;

namespace ScriptCommand {

namespace {
void Put(std::FILE *stream, const QString &text) {
    WriteText(stream, text);
}

const QStringList Names = {QStringLiteral("list"), QStringLiteral("get"), QStringLiteral("set"),
                           QStringLiteral("diff"), QStringLiteral("drive")};

// The parts of a configuration file that set --from writes, as "laden" offers them.
std::optional<ConfigFile::Content> PartOf(const QString &typed) {
    const QString t = typed.trimmed().toLower();
    if (t == QLatin1String("positionen") || t == QLatin1String("positions") ||
        t == QLatin1String("gleis")) {
        return ConfigFile::Content::TrackDefinition;
    }
    if (t == QLatin1String("parameter") || t == QLatin1String("parameters")) {
        return ConfigFile::Content::Parameters;
    }
    if (t == QLatin1String("adressen") || t == QLatin1String("addresses")) {
        return ConfigFile::Content::Addresses;
    }
    return std::nullopt;
}

QString CommandName(Options::Action action) {
    return Names.at(static_cast<int>(action));
}
} // namespace

QString Usage(Options::Action action) {
    QString text;
    switch (action) {
    case Options::Action::List:
        text = QCoreApplication::translate(
            "ScriptCommand",
            "Aufruf: pivota list [--json]\n"
            "\n"
            "Listet die Namen aller Einstellungen beider Platinen, die get und set\n"
            "kennen, mit Bedeutung, Einheit und Bereich, dann die Namen mit Nummer\n"
            "(grube:N, buehne:N, P:N, ...).\n"
            "\n"
            "--json  ein JSON-Dokument auf der Standard-Ausgabe\n");
        break;
    case Options::Action::Get:
        text = QCoreApplication::translate(
            "ScriptCommand",
            "Aufruf: pivota get --port GERÄT [--baud N] [--settings DATEI] [--lang de|en]\n"
            "                  [--json] NAME...\n"
            "\n"
            "Liest die genannten Einstellungen von der Steuerung (jede Zelle zweimal,\n"
            "nur gleiche Antworten gelten) und zeigt sie, wie die Karteikarte sie zeigt.\n"
            "NAME wie pivota list sie zeigt, z. B. geschwindigkeit-links-schnell,\n"
            "grube:52, buehne:0x07, P:3, gleis:3, name:3.\n"
            "\n"
            "--port GERÄT     Gerätepfad, COM1..COM9 wie zugeordnet, oder \"simulator\"\n"
            "--baud N         2400, 9600 oder 19200 (Vorgabe: wie in der Einstellungs-Datei)\n"
            "--settings DATEI Einstellungs-Datei (Port-Zuordnung, Positionen und Namen)\n"
            "--json           ein JSON-Dokument auf der Standard-Ausgabe\n"
            "\n"
            "Rückgabewert: 0 alles gelesen und bestätigt, 1 Werte nicht bestätigt,\n"
            "2 Aufruffehler oder unbekannter Name, 3 Verbindung fehlgeschlagen,\n"
            "130 mit Strg-C abgebrochen.\n");
        break;
    case Options::Action::Set:
        text = QCoreApplication::translate(
            "ScriptCommand",
            "Aufruf: pivota set --port GERÄT [--baud N] [--settings DATEI] [--lang de|en]\n"
            "                  [--json] [--force] NAME=WERT...\n"
            "        pivota set --port GERÄT ... --from DATEI [TEIL...]\n"
            "\n"
            "Schreibt die Werte auf die Steuerung, jede Zelle zurückgelesen. Geschrieben\n"
            "wird nur, was abweicht (mit --force alles). Ein Wert außerhalb des Bereichs\n"
            "der Zeile wird abgelehnt, bevor etwas gesendet wird.\n"
            "WERT: die Zahl der Karteikarte (20) oder ein Wert mit der Einheit der Zeile\n"
            "(1.27s); ja/nein für eine Option; dcc:230/gruen oder mm:12/rot für eine\n"
            "Adresszeile; gleis:N und name:N stehen in der Einstellungs-Datei.\n"
            "Mit --from: die TEILE der Konfigurations-Datei (positionen, parameter,\n"
            "adressen; ohne TEIL alle drei), wie \"laden\" sie nimmt: abweichende Zellen\n"
            "geschrieben, die Positionen in die Einstellungs-Datei.\n"
            "\n"
            "--port GERÄT     Gerätepfad, COM1..COM9 wie zugeordnet, oder \"simulator\"\n"
            "--baud N         2400, 9600 oder 19200 (Vorgabe: wie in der Einstellungs-Datei)\n"
            "--settings DATEI Einstellungs-Datei (Port-Zuordnung, Positionen und Namen)\n"
            "--force          auch schreiben, was schon gleich ist\n"
            "--json           ein JSON-Dokument auf der Standard-Ausgabe\n"
            "\n"
            "Rückgabewert: 0 alles geschrieben und bestätigt, 1 Zellen nicht bestätigt\n"
            "oder nicht geschrieben, 2 Aufruffehler oder ungültiger Wert (nichts\n"
            "gesendet), 3 Verbindung fehlgeschlagen, 130 mit Strg-C abgebrochen.\n");
        break;
    case Options::Action::Diff:
        text = QCoreApplication::translate(
            "ScriptCommand",
            "Aufruf: pivota diff [--json] DATEI_A DATEI_B\n"
            "\n"
            "Vergleicht zwei Konfigurations-Dateien ohne Steuerung, Einstellung für\n"
            "Einstellung, mit den Namen von get und set.\n"
            "\n"
            "--json  ein JSON-Dokument auf der Standard-Ausgabe\n"
            "\n"
            "Rückgabewert: 0 gleich, 1 verschieden, 2 Aufruffehler oder Datei nicht\n"
            "lesbar.\n");
        break;
    case Options::Action::Drive:
        text =
            QCoreApplication::translate(
                "ScriptCommand",
                "Aufruf: pivota drive --port GERÄT [--baud N] [--settings DATEI] [--lang de|en]\n"
                "                    [--json] --to N [--left|--right] [--wait [--timeout S]]\n"
                "        pivota drive --port GERÄT ... --stop [--wait]\n"
                "        pivota drive --port GERÄT ... --light on|off [--wait]\n"
                "\n"
                "Dreht die Bühne wie die Karteikarte Betrieb: zur Position N (links, rechts\n"
                "oder ohne Angabe den kürzeren Weg), hält sie an der nächsten Position an\n"
                "oder schaltet das Licht. Gesendet wird nur, während die Steuerung eine\n"
                "stehende Bühne meldet.\n"
                "\n"
                "--port GERÄT     Gerätepfad, COM1..COM9 wie zugeordnet, oder \"simulator\"\n"
                "--baud N         2400, 9600 oder 19200 (Vorgabe: wie in der Einstellungs-Datei)\n"
                "--settings DATEI Einstellungs-Datei (Port-Zuordnung, Zählrichtung)\n"
                "--wait           warten, bis die Steuerung die Bühne auf N stehend meldet\n"
                "--timeout S      so viele Sekunden höchstens warten (Vorgabe: %1)\n"
                "--json           ein JSON-Dokument auf der Standard-Ausgabe\n"
                "\n"
                "Rückgabewert: 0 gesendet (mit --wait: angekommen), 1 Bühne blockiert, nicht\n"
                "angekommen oder dreht schon, 2 Aufruffehler (nichts gesendet),\n"
                "3 Verbindung fehlgeschlagen, 130 mit Strg-C abgebrochen (die Bühne hält).\n")
                .arg(DefaultTimeoutSeconds);
        break;
    }
    return WrapLines(text);
}

bool Parse(const QStringList &arguments, Options *options, QString *error) {
    const int at = BackupCommand::CommandAt(arguments);
    const QString command = at > 0 ? arguments.at(at) : QString();
    const auto fail = [&](const QString &text) {
        *error = WrapLines(
            QCoreApplication::translate("ScriptCommand", "pivota: %1\n").arg(text) +
            QCoreApplication::translate("ScriptCommand", "Aufruf und Optionen: pivota %1 --help\n")
                .arg(Names.contains(command) ? command : Names.at(1)));
        return false;
    };
    if (!Names.contains(command)) {
        return fail(QCoreApplication::translate("ScriptCommand",
                                                "Kein Befehl (list, get, set, diff, drive)."));
    }
    Options o;
    o.action = static_cast<Options::Action>(Names.indexOf(command));
    QCommandLineParser parser;
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption port(QStringLiteral("port"), QString(), QStringLiteral("port"));
    const QCommandLineOption baud(QStringLiteral("baud"), QString(), QStringLiteral("N"));
    const QCommandLineOption settings(QStringLiteral("settings"), QString(),
                                      QStringLiteral("file"));
    const QCommandLineOption lang(QStringLiteral("lang"), QString(), QStringLiteral("de|en"));
    const QCommandLineOption json(QStringLiteral("json"), QString());
    const QCommandLineOption force(QStringLiteral("force"), QString());
    const QCommandLineOption from(QStringLiteral("from"), QString(), QStringLiteral("file"));
    const QCommandLineOption to(QStringLiteral("to"), QString(), QStringLiteral("N"));
    const QCommandLineOption left(QStringLiteral("left"), QString());
    const QCommandLineOption right(QStringLiteral("right"), QString());
    const QCommandLineOption stop(QStringLiteral("stop"), QString());
    const QCommandLineOption light(QStringLiteral("light"), QString(), QStringLiteral("on|off"));
    const QCommandLineOption wait(QStringLiteral("wait"), QString());
    const QCommandLineOption timeout(QStringLiteral("timeout"), QString(), QStringLiteral("S"));
    parser.addOptions({help, port, baud, settings, lang, json, force, from, to, left, right, stop,
                       light, wait, timeout});
    QStringList rest = arguments;
    rest.removeAt(at);
    if (!parser.parse(rest)) {
        return fail(parser.errorText());
    }
    if (parser.isSet(help)) {
        o.help = true;
        *options = o;
        return true;
    }
    const bool drive = o.action == Options::Action::Drive;
    const bool onLine =
        o.action == Options::Action::Get || o.action == Options::Action::Set || drive;
    // Options that the command would ignore are refused: a script that gives them expects them
    // to act.
    for (const auto &[option, allowed] :
         {std::pair{&port, onLine}, std::pair{&baud, onLine}, std::pair{&settings, onLine},
          std::pair{&force, o.action == Options::Action::Set},
          std::pair{&from, o.action == Options::Action::Set}, std::pair{&to, drive},
          std::pair{&left, drive}, std::pair{&right, drive}, std::pair{&stop, drive},
          std::pair{&light, drive}, std::pair{&wait, drive}, std::pair{&timeout, drive}}) {
        if (parser.isSet(*option) && !allowed) {
            return fail(QCoreApplication::translate("ScriptCommand", "--%1 gilt nicht für %2.")
                            .arg(option->names().constFirst(), command));
        }
    }
    o.json = parser.isSet(json);
    o.force = parser.isSet(force);
    o.port = parser.value(port).trimmed();
    if (parser.isSet(settings) && parser.value(settings).isEmpty()) {
        return fail(
            QCoreApplication::translate("ScriptCommand", "--settings braucht einen Dateinamen."));
    }
    if (QString wrong;
        !BackupCommand::ReadCommonOptions(parser, &o.baud, &o.settingsPath, &o.language, &wrong)) {
        return fail(wrong);
    }
    o.arguments = parser.positionalArguments();
    if (drive) {
        if (!o.arguments.isEmpty()) {
            return fail(QCoreApplication::translate("ScriptCommand", "Unerwartetes Argument „%1“.")
                            .arg(o.arguments.constFirst()));
        }
        if (parser.isSet(to)) {
            bool ok = false;
            const int n = parser.value(to).toInt(&ok);
            if (!ok || n < 1 || n > StationData::MaxPositions) {
                return fail(QCoreApplication::translate("ScriptCommand",
                                                        "--to %1: Position 1 bis %2 erwartet.")
                                .arg(parser.value(to))
                                .arg(StationData::MaxPositions));
            }
            o.to = n;
        }
        if (parser.isSet(light)) {
            const QString value = parser.value(light).trimmed().toLower();
            if (value != QLatin1String("on") && value != QLatin1String("off")) {
                return fail(
                    QCoreApplication::translate("ScriptCommand", "--light braucht on oder off."));
            }
            o.light = value == QLatin1String("on");
        }
        o.stop = parser.isSet(stop);
        o.wait = parser.isSet(wait);
        o.direction = parser.isSet(left) ? 1 : parser.isSet(right) ? 2 : 0;
        if (parser.isSet(timeout)) {
            bool ok = false;
            o.timeoutSeconds = parser.value(timeout).toInt(&ok);
            if (!ok || o.timeoutSeconds < 1 || o.timeoutSeconds > 3600) {
                return fail(QCoreApplication::translate(
                                "ScriptCommand", "--timeout %1: 1 bis 3600 Sekunden erwartet.")
                                .arg(parser.value(timeout)));
            }
        }
        QString wrong;
        if (!o.to && !o.stop && !o.light) {
            wrong = QCoreApplication::translate(
                "ScriptCommand", "drive braucht --to N, --stop oder --light on|off.");
        } else if (o.to && o.stop) {
            wrong = QCoreApplication::translate("ScriptCommand",
                                                "--to und --stop schließen einander aus.");
        } else if (parser.isSet(left) && parser.isSet(right)) {
            wrong = QCoreApplication::translate("ScriptCommand",
                                                "--left und --right schließen einander aus.");
        } else if (o.direction != 0 && !o.to) {
            wrong =
                QCoreApplication::translate("ScriptCommand", "--left und --right gelten mit --to.");
        } else if (parser.isSet(timeout) && !o.wait) {
            wrong = QCoreApplication::translate("ScriptCommand", "--timeout gilt mit --wait.");
        } else if (o.port.isEmpty()) {
            wrong = QCoreApplication::translate("ScriptCommand", "%1 braucht --port GERÄT.")
                        .arg(command);
        }
        if (!wrong.isEmpty()) {
            return fail(wrong);
        }
        *options = o;
        return true;
    }
    if (parser.isSet(from)) {
        if (parser.value(from).isEmpty()) {
            return fail(
                QCoreApplication::translate("ScriptCommand", "--from braucht einen Dateinamen."));
        }
        o.from = QFileInfo(parser.value(from)).absoluteFilePath();
        for (const QString &part : o.arguments) {
            if (!PartOf(part)) {
                return fail(QCoreApplication::translate(
                                "ScriptCommand",
                                "„%1“ ist kein Teil einer Datei (positionen, parameter, adressen).")
                                .arg(part));
            }
        }
        *options = o;
        return true;
    }
    switch (o.action) {
    case Options::Action::List:
        if (!o.arguments.isEmpty()) {
            return fail(QCoreApplication::translate("ScriptCommand", "Unerwartetes Argument „%1“.")
                            .arg(o.arguments.constFirst()));
        }
        break;
    case Options::Action::Get:
    case Options::Action::Set:
        if (o.arguments.isEmpty()) {
            return fail(o.action == Options::Action::Get
                            ? QCoreApplication::translate("ScriptCommand",
                                                          "get braucht mindestens einen NAME.")
                            : QCoreApplication::translate("ScriptCommand",
                                                          "set braucht mindestens ein "
                                                          "NAME=WERT."));
        }
        break;
    case Options::Action::Diff:
        o.arguments.removeAll(QString());
        if (o.arguments.size() != 2) {
            return fail(
                o.arguments.size() < 2
                    ? QCoreApplication::translate("ScriptCommand", "diff braucht zwei Dateien.")
                    : QCoreApplication::translate("ScriptCommand", "Unerwartetes Argument „%1“.")
                          .arg(o.arguments.at(2)));
        }
        break;
    case Options::Action::Drive:
        break;
    }
    *options = o;
    return true;
}

namespace {
enum ExitCode {
    Done = BackupCommand::Done,
    Differences = BackupCommand::Differences,
    UsageError = BackupCommand::UsageError,
    LineFailed = BackupCommand::LineFailed,
    Interrupted = BackupCommand::Interrupted,
};

int RunList(const Options &o) {
    const std::vector<Setting> named = Scripting::Named();
    const std::vector<Scripting::Pattern> patterns = Scripting::Patterns();
    QJsonArray settings;
    QString text;
    qsizetype width = 0;
    for (const Setting &s : named) {
        width = std::max(width, s.name.size());
    }
    for (const Setting &s : named) {
        QJsonObject j = SettingJson(s);
        j.insert(QStringLiteral("writable"), Scripting::Writable(s));
        QString range;
        if (s.kind == Kind::Parameter) {
            const Parameter::ParameterRow &row = Parameter::Rows()[static_cast<size_t>(s.index)];
            j.insert(QStringLiteral("minimum"), row.minimum);
            j.insert(QStringLiteral("maximum"), row.maximum);
            j.insert(QStringLiteral("default"), row.defaultValue);
            range = QCoreApplication::translate("ScriptCommand", "%1 bis %2")
                        .arg(row.minimum)
                        .arg(row.maximum);
            if (const QString unit = Scripting::Unit(s); !unit.isEmpty()) {
                j.insert(QStringLiteral("unit"), unit);
                j.insert(QStringLiteral("scale"), double(row.scale));
                range += QCoreApplication::translate("ScriptCommand", ", Einheit %1").arg(unit);
            }
        } else if (s.kind == Kind::Option) {
            range = QCoreApplication::translate("ScriptCommand", "ja/nein");
        } else if (s.kind == Kind::AddressRow) {
            range = QCoreApplication::translate("ScriptCommand", "dcc:N/gruen, mm:N/rot");
        } else if (!Scripting::Writable(s)) {
            range = QCoreApplication::translate("ScriptCommand", "nur lesbar");
        }
        settings.append(j);
        text += QStringLiteral("%1  %2").arg(s.name.leftJustified(width), Scripting::Title(s));
        text += range.isEmpty() ? QStringLiteral("\n") : QStringLiteral(" (%1)\n").arg(range);
    }
    QJsonArray numbered;
    text += u'\n';
    for (const Scripting::Pattern &p : patterns) {
        numbered.append(QJsonObject{{QStringLiteral("name"), p.name},
                                    {QStringLiteral("title"), p.title},
                                    {QStringLiteral("first"), p.first},
                                    {QStringLiteral("last"), p.last}});
        text += QStringLiteral("%1  %2 (N: %3 bis %4)\n")
                    .arg(p.name.leftJustified(width), p.title)
                    .arg(p.first)
                    .arg(p.last);
    }
    if (o.json) {
        PutJson({{QStringLiteral("command"), QStringLiteral("list")},
                 {QStringLiteral("settings"), settings},
                 {QStringLiteral("patterns"), numbered}});
    } else {
        Put(stdout, text);
    }
    return Done;
}

int RunDiff(const Options &o) {
    Backup::FileContents a;
    Backup::FileContents b;
    QString error;
    for (const auto &[path, contents] :
         {std::pair{o.arguments.at(0), &a}, std::pair{o.arguments.at(1), &b}}) {
        if (!Backup::ReadFile(QFileInfo(path).absoluteFilePath(), contents, &error)) {
            Put(stderr, QCoreApplication::translate("ScriptCommand", "pivota: %1\n").arg(error));
            return UsageError;
        }
    }
    const std::vector<Scripting::FileDifference> differences =
        Scripting::DiffFiles(a.image, b.image);
    if (o.json) {
        QJsonArray list;
        for (const Scripting::FileDifference &d : differences) {
            QJsonObject j = SettingJson(d.setting);
            j.insert(QStringLiteral("a"), ReadingJson(d.setting, d.a, true));
            j.insert(QStringLiteral("b"), ReadingJson(d.setting, d.b, true));
            list.append(j);
        }
        PutJson({{QStringLiteral("command"), QStringLiteral("diff")},
                 {QStringLiteral("a"), o.arguments.at(0)},
                 {QStringLiteral("b"), o.arguments.at(1)},
                 {QStringLiteral("same"), differences.empty()},
                 {QStringLiteral("count"), static_cast<int>(differences.size())},
                 {QStringLiteral("differences"), list}});
    } else {
        QString text = QCoreApplication::translate("ScriptCommand", "A: %1\nB: %2\n")
                           .arg(QDir::toNativeSeparators(o.arguments.at(0)),
                                QDir::toNativeSeparators(o.arguments.at(1)));
        for (const Scripting::FileDifference &d : differences) {
            text += QCoreApplication::translate("ScriptCommand", "%1 (%2): A %3, B %4\n")
                        .arg(d.setting.name, Scripting::Title(d.setting),
                             Scripting::ReadingText(d.setting, d.a, true),
                             Scripting::ReadingText(d.setting, d.b, true));
        }
        text += differences.empty()
                    ? QCoreApplication::translate("ScriptCommand", "Keine Unterschiede.\n")
                : differences.size() == 1
                    ? QCoreApplication::translate("ScriptCommand", "1 Unterschied.\n")
                    : QCoreApplication::translate("ScriptCommand", "%1 Unterschiede.\n")
                          .arg(differences.size());
        Put(stdout, text);
    }
    return differences.empty() ? Done : Differences;
}

QString OutcomeKey(SettingJob::Item::Outcome outcome) {
    using Outcome = SettingJob::Item::Outcome;
    switch (outcome) {
    case Outcome::Read:
        return QStringLiteral("read");
    case Outcome::Unchanged:
        return QStringLiteral("unchanged");
    case Outcome::Written:
        return QStringLiteral("written");
    case Outcome::Failed:
        return QStringLiteral("failed");
    case Outcome::NotWritten:
        break;
    }
    return QStringLiteral("notWritten");
}

QString ResultKey(SettingJob::Result result) {
    switch (result) {
    case SettingJob::Result::Done:
        return QStringLiteral("done");
    case SettingJob::Result::Incomplete:
        return QStringLiteral("incomplete");
    case SettingJob::Result::Refused:
        return QStringLiteral("refused");
    case SettingJob::Result::LineFailed:
        return QStringLiteral("lineFailed");
    case SettingJob::Result::Stopped:
        break;
    }
    return QStringLiteral("stopped");
}

int ExitCodeOf(SettingJob::Result result) {
    switch (result) {
    case SettingJob::Result::Done:
        return Done;
    case SettingJob::Result::Incomplete:
        return Differences;
    case SettingJob::Result::Refused:
        return UsageError;
    case SettingJob::Result::LineFailed:
        return LineFailed;
    case SettingJob::Result::Stopped:
        break;
    }
    return Interrupted;
}

// One line for an item of a get or a set, with the cells that failed below it.
QString ItemText(const SettingJob::Item &item) {
    using Outcome = SettingJob::Item::Outcome;
    const Setting &s = item.setting;
    const QString before = Scripting::ReadingText(s, item.before, false);
    // What it held before, plainly: the shown value's own label would stand in brackets twice.
    const QString was = item.before.state == Reading::State::Confirmed && item.before.value
                            ? Scripting::ValueText(s, *item.before.value)
                            : before;
    QString text;
    switch (item.outcome) {
    case Outcome::Read:
        text = item.before.state == Reading::State::Confirmed && item.before.value
                   ? QStringLiteral("%1 = %2\n").arg(s.name, before)
                   : QCoreApplication::translate("ScriptCommand", "%1: %2\n").arg(s.name, before);
        break;
    case Outcome::Unchanged:
        text = QCoreApplication::translate("ScriptCommand", "%1 = %2, unverändert\n")
                   .arg(s.name, before);
        break;
    case Outcome::Written:
        text = QCoreApplication::translate("ScriptCommand",
                                           "%1 = %2 (war %3), geschrieben und zurückgelesen\n")
                   .arg(s.name, Scripting::ShownText(s, *item.wanted), was);
        break;
    case Outcome::Failed:
        text = QCoreApplication::translate("ScriptCommand",
                                           "%1: %2 geschrieben, aber nicht bestätigt\n")
                   .arg(s.name, Scripting::ShownText(s, *item.wanted));
        for (const Backup::Failure &f : item.failures) {
            text += QStringLiteral("    %1\n").arg(Backup::FailureLine(f));
        }
        break;
    case Outcome::NotWritten:
        text = QCoreApplication::translate("ScriptCommand", "%1: nicht geschrieben\n").arg(s.name);
        break;
    }
    if (!item.problem.isEmpty()) {
        text += QStringLiteral("    %1\n").arg(item.problem);
    }
    return text;
}

QJsonObject ItemJson(const SettingJob::Item &item, bool set) {
    QJsonObject j = SettingJson(item.setting);
    if (!set) {
        const QJsonObject reading = ReadingJson(item.setting, item.before, false);
        for (auto it = reading.begin(); it != reading.end(); ++it) {
            j.insert(it.key(), it.value());
        }
        return j;
    }
    j.insert(QStringLiteral("before"), ReadingJson(item.setting, item.before, false));
    j.insert(QStringLiteral("wanted"), ValueJson(item.setting, *item.wanted));
    j.insert(QStringLiteral("outcome"), OutcomeKey(item.outcome));
    QJsonArray writes;
    for (const Backup::Write &w : item.writes) {
        writes.append(CellJson(w.board, w.cell, w.value));
    }
    j.insert(QStringLiteral("writes"), writes);
    QJsonArray failures;
    for (const Backup::Failure &f : item.failures) {
        QJsonObject fj = CellJson(f.write.board, f.write.cell, f.write.value);
        fj.insert(QStringLiteral("onBoard"), Backup::ValueText(f.onBoard));
        failures.append(fj);
    }
    j.insert(QStringLiteral("failures"), failures);
    if (!item.problem.isEmpty()) {
        j.insert(QStringLiteral("problem"), item.problem);
    }
    return j;
}

// Sets the session up as the options say, opens the line where the job needs it, runs the job
// that start begins (false: it ended at once) to its end and gives the end to report; the exit
// status. Ctrl-C and SIGTERM stop the job, a lost line is said on standard error.
int RunSettingJob(const Options &o, const QString &defaultSettingsPath, bool needsLine,
                  const std::function<bool(SettingJob &)> &start,
                  const std::function<void(const SettingJob &, int, bool)> &report) {
    Session session;
    ProgramSettings programSettings;
    if (!BackupCommand::SetUpSession(o.settingsPath, o.baud, defaultSettingsPath, session,
                                     programSettings)) {
        return UsageError;
    }
    SettingJob job(session.state());
    job.setSettingsFile(o.settingsPath.isEmpty() ? defaultSettingsPath : o.settingsPath);
    if (needsLine && !BackupCommand::OpenLine(o.port, session, programSettings)) {
        return LineFailed;
    }
    InterruptWatcher interrupts;
    bool signalled = false;
    QObject::connect(&interrupts, &InterruptWatcher::interrupted, &job, [&] {
        signalled = true;
        job.Abort();
    });
    QString lineError;
    QObject::connect(&session, &Session::lost, &job,
                     [&lineError](Link::Failure, const QString &why) { lineError = why; });
    QEventLoop loop;
    QObject::connect(&job, &SettingJob::finished, &loop, &QEventLoop::quit);
    if (start(job)) {
        loop.exec();
    }
    session.Stop();
    if (!lineError.isEmpty()) {
        Put(stderr, QCoreApplication::translate("ScriptCommand", "pivota: %1\n").arg(lineError));
    }
    const int code = signalled ? Interrupted : ExitCodeOf(job.result());
    report(job, code, signalled);
    return code;
}

// The text of a get or a set on standard output, the job's closing lines after it: on standard
// error when the run failed.
void PutJobText(const QString &text, const SettingJob &job, int code) {
    Put(stdout, text);
    if (!job.lines().isEmpty()) {
        Put(code == Done || code == Differences ? stdout : stderr, job.lines().join(u'\n') + u'\n');
    }
}

int RunJob(const Options &o, const QString &defaultSettingsPath) {
    const bool set = o.action == Options::Action::Set;
    std::vector<SettingJob::Item> items;
    std::vector<Setting> settings;
    // Every name and value is checked before the port is opened: nothing is sent for a command
    // line with one wrong word in it.
    QStringList refused;
    for (const QString &argument : o.arguments) {
        const qsizetype equals = argument.indexOf(u'=');
        if (set && equals < 0) {
            refused << QCoreApplication::translate("ScriptCommand", "„%1“: NAME=WERT erwartet.")
                           .arg(argument);
            continue;
        }
        QString error;
        const std::optional<Setting> s =
            Scripting::Find(set ? argument.left(equals) : argument, &error);
        if (!s) {
            refused << error;
            continue;
        }
        SettingJob::Item item{*s, std::nullopt, {}, SettingJob::Item::Outcome::Read, {}, {}, {}};
        if (set) {
            item.wanted = Scripting::ParseValue(*s, argument.mid(equals + 1), &error);
            if (!item.wanted) {
                refused << error;
                continue;
            }
        }
        items.push_back(item);
        settings.push_back(*s);
    }
    const QString command = CommandName(o.action);
    const bool needsLine = SettingJob::NeedsLine(settings);
    if (refused.isEmpty() && needsLine && o.port.isEmpty()) {
        refused << QCoreApplication::translate("ScriptCommand", "%1 braucht --port GERÄT.")
                       .arg(command);
    }
    if (!refused.isEmpty()) {
        QString text;
        for (const QString &line : refused) {
            text += QCoreApplication::translate("ScriptCommand", "pivota: %1\n").arg(line);
        }
        if (set) {
            text += QCoreApplication::translate("ScriptCommand", "Nichts wurde gesendet.\n");
        }
        Put(stderr, WrapLines(text + QCoreApplication::translate(
                                         "ScriptCommand", "Aufruf und Optionen: pivota %1 --help\n")
                                         .arg(command)));
        return UsageError;
    }

    return RunSettingJob(
        o, defaultSettingsPath, needsLine,
        [&](SettingJob &job) {
            return set ? job.StartSet(items, o.force) : job.StartGet(settings);
        },
        [&](const SettingJob &job, int code, bool signalled) {
            if (o.json) {
                QJsonArray list;
                for (const SettingJob::Item &item : job.items()) {
                    list.append(ItemJson(item, set));
                }
                PutJson({{QStringLiteral("command"), command},
                         {QStringLiteral("result"),
                          signalled ? QStringLiteral("stopped") : ResultKey(job.result())},
                         {QStringLiteral("exitCode"), code},
                         {QStringLiteral("settings"), list},
                         {QStringLiteral("messages"), QJsonArray::fromStringList(job.lines())}});
                return;
            }
            QString text;
            // After a line that failed the items say nothing: they were never read.
            if (job.result() != SettingJob::Result::LineFailed) {
                for (const SettingJob::Item &item : job.items()) {
                    text += ItemText(item);
                }
            }
            PutJobText(text, job, code);
        });
}
// set --from: the chosen parts of a configuration file written where the boards differ, the
// positions and their names into the settings file, all read back.
int RunFromFile(const Options &o, const QString &defaultSettingsPath) {
    const auto say = [](const QString &text) {
        Put(stderr, QCoreApplication::translate("ScriptCommand", "pivota: %1\n").arg(text));
    };
    QList<ConfigFile::Content> parts;
    for (const QString &typed : o.arguments) {
        if (const auto part = PartOf(typed); part && !parts.contains(*part)) {
            parts << *part;
        }
    }
    if (parts.isEmpty()) {
        parts = {ConfigFile::Content::TrackDefinition, ConfigFile::Content::Parameters,
                 ConfigFile::Content::Addresses};
    }
    IniFile ini;
    QString error;
    if (!ini.load(o.from, &error)) {
        say(error);
        return UsageError;
    }
    if (const QList<ConfigFile::Content> missing = ConfigFile::MissingContents(ini, parts);
        !missing.isEmpty()) {
        say(QCoreApplication::translate("ScriptCommand", "%1 enthält nicht: %2. Nichts wurde "
                                                         "gesendet.")
                .arg(QDir::toNativeSeparators(o.from),
                     ConfigFile::Captions(missing).join(QStringLiteral(", "))));
        return UsageError;
    }
    if (const auto unreadable = ConfigFile::UnreadableCells(ini, parts); !unreadable.isEmpty()) {
        say(QCoreApplication::translate("ScriptCommand",
                                        "%1 hält für %2 Zellen keinen Wert. Nichts wurde "
                                        "gesendet.")
                .arg(QDir::toNativeSeparators(o.from))
                .arg(unreadable.size()));
        return UsageError;
    }
    // Only the cells of the chosen parts, as "laden" takes them.
    const Backup::Image all = Backup::CellsOf(ini);
    Backup::Image cells;
    for (int cell = 0; cell < Backup::Cells; ++cell) {
        const size_t i = static_cast<size_t>(cell);
        const bool parameters = parts.contains(ConfigFile::Content::Parameters);
        if ((parameters && ConfigFile::IsParameterCell(true, cell)) ||
            (parts.contains(ConfigFile::Content::Addresses) && ConfigFile::IsAddressCell(cell))) {
            cells.pit[i] = all.pit[i];
        }
        if (parameters && ConfigFile::IsParameterCell(false, cell)) {
            cells.bridge[i] = all.bridge[i];
        }
    }
    std::optional<StationData> station;
    if (parts.contains(ConfigFile::Content::TrackDefinition)) {
        station.emplace();
        ReadStationData(ini, *station);
    }
    const bool needsLine = !Backup::CellsToRead(cells).empty();
    if (needsLine && o.port.isEmpty()) {
        Put(stderr, WrapLines(QCoreApplication::translate("ScriptCommand", "pivota: %1\n")
                                  .arg(QCoreApplication::translate("ScriptCommand",
                                                                   "%1 braucht --port GERÄT.")
                                           .arg(QStringLiteral("set"))) +
                              QCoreApplication::translate("ScriptCommand",
                                                          "Aufruf und Optionen: pivota %1 --help\n")
                                  .arg(QStringLiteral("set"))));
        return UsageError;
    }

    return RunSettingJob(
        o, defaultSettingsPath, needsLine,
        [&](SettingJob &job) { return job.StartFromFile(cells, station, o.force); },
        [&](const SettingJob &job, int code, bool signalled) {
            const auto stationKey = [&job] {
                switch (job.stationOutcome()) {
                case SettingJob::StationOutcome::NotAsked:
                    return QStringLiteral("notAsked");
                case SettingJob::StationOutcome::Unchanged:
                    return QStringLiteral("unchanged");
                case SettingJob::StationOutcome::Written:
                    return QStringLiteral("written");
                case SettingJob::StationOutcome::Failed:
                    break;
                }
                return QStringLiteral("failed");
            };
            if (o.json) {
                QJsonArray written;
                for (const Backup::Write &w : job.written()) {
                    written.append(CellJson(w.board, w.cell, w.value));
                }
                QJsonArray failures;
                for (const Backup::Failure &f : job.failures()) {
                    QJsonObject j = CellJson(f.write.board, f.write.cell, f.write.value);
                    j.insert(QStringLiteral("onBoard"), Backup::ValueText(f.onBoard));
                    failures.append(j);
                }
                QJsonArray differences;
                for (const Backup::ResultLine &line : job.differenceLines()) {
                    differences.append(line.text);
                }
                PutJson({{QStringLiteral("command"), QStringLiteral("set")},
                         {QStringLiteral("from"), o.from},
                         {QStringLiteral("result"),
                          signalled ? QStringLiteral("stopped") : ResultKey(job.result())},
                         {QStringLiteral("exitCode"), code},
                         {QStringLiteral("differences"), differences},
                         {QStringLiteral("writes"), written},
                         {QStringLiteral("failures"), failures},
                         {QStringLiteral("station"), stationKey()},
                         {QStringLiteral("messages"), QJsonArray::fromStringList(job.lines())}});
                return;
            }
            QString text;
            for (const Backup::ResultLine &line : job.differenceLines()) {
                text += line.text + u'\n';
            }
            if (job.result() != SettingJob::Result::LineFailed) {
                const int failed = static_cast<int>(job.failures().size());
                text +=
                    job.written().size() == 1
                        ? QCoreApplication::translate(
                              "ScriptCommand", "1 Zelle geschrieben, davon %1 nicht bestätigt.\n")
                              .arg(failed)
                        : QCoreApplication::translate(
                              "ScriptCommand", "%1 Zellen geschrieben, davon %2 nicht bestätigt.\n")
                              .arg(job.written().size())
                              .arg(failed);
                if (job.stationOutcome() == SettingJob::StationOutcome::Written) {
                    text += QCoreApplication::translate(
                        "ScriptCommand",
                        "Gleis-Definition in die Einstellungs-Datei geschrieben.\n");
                } else if (job.stationOutcome() == SettingJob::StationOutcome::Unchanged) {
                    text += QCoreApplication::translate("ScriptCommand",
                                                        "Gleis-Definition unverändert.\n");
                }
            }
            PutJobText(text, job, code);
        });
}

QString DriveResultKey(BridgeDrive::Outcome outcome) {
    switch (outcome) {
    case BridgeDrive::Outcome::Sent:
        return QStringLiteral("sent");
    case BridgeDrive::Outcome::Done:
        return QStringLiteral("done");
    case BridgeDrive::Outcome::Blocked:
        return QStringLiteral("blocked");
    case BridgeDrive::Outcome::Turning:
        return QStringLiteral("turning");
    case BridgeDrive::Outcome::NoReport:
        return QStringLiteral("noReport");
    case BridgeDrive::Outcome::TimedOut:
        return QStringLiteral("timedOut");
    }
    return QString();
}

// What the board reported, in the words of the operation tab's positions (counted from 1).
QString DriveText(const Options &o, const BridgeDrive &drive) {
    const QString at = drive.position() >= 0 ? QString::number(drive.position() + 1)
                                             : QCoreApplication::translate("ScriptCommand", "?");
    switch (drive.outcome()) {
    case BridgeDrive::Outcome::Sent:
        return QCoreApplication::translate("ScriptCommand", "Gesendet.");
    case BridgeDrive::Outcome::Done:
        if (o.to || o.stop) {
            return QCoreApplication::translate("ScriptCommand", "Die Bühne steht auf Position %1.")
                .arg(at);
        }
        return *o.light ? QCoreApplication::translate("ScriptCommand", "Licht AN.")
                        : QCoreApplication::translate("ScriptCommand", "Licht AUS.");
    case BridgeDrive::Outcome::Blocked:
        return QCoreApplication::translate("ScriptCommand",
                                           "Die Bühne klemmt (gemeldet auf Position %1).")
            .arg(at);
    case BridgeDrive::Outcome::Turning:
        return QCoreApplication::translate("ScriptCommand",
                                           "Die Bühne dreht gerade. Nichts wurde gesendet.");
    case BridgeDrive::Outcome::NoReport:
        return QCoreApplication::translate("ScriptCommand",
                                           "Die Steuerung meldet keinen Zustand der Bühne.");
    case BridgeDrive::Outcome::TimedOut:
        return QCoreApplication::translate("ScriptCommand",
                                           "Nicht in %1 s angekommen (gemeldet auf Position %2).")
            .arg(o.timeoutSeconds)
            .arg(at);
    }
    return QString();
}

int RunDrive(const Options &o, const QString &defaultSettingsPath) {
    Session session;
    ProgramSettings programSettings;
    if (!BackupCommand::SetUpSession(o.settingsPath, o.baud, defaultSettingsPath, session,
                                     programSettings)) {
        return UsageError;
    }
    if (o.to && *o.to > session.state().PositionCount) {
        Put(stderr, WrapLines(QCoreApplication::translate(
                                  "ScriptCommand", "pivota: --to %1: die Bühne hat %2 Positionen.\n"
                                                   "Nichts wurde gesendet.\n")
                                  .arg(*o.to)
                                  .arg(session.state().PositionCount)));
        return UsageError;
    }
    if (!BackupCommand::OpenLine(o.port, session, programSettings)) {
        return LineFailed;
    }
    BridgeDrive drive(session.state());
    BridgeDrive::Request request;
    if (o.to) {
        request.target = *o.to - 1;
    }
    request.direction = o.direction == 1   ? BridgeDrive::Direction::Left
                        : o.direction == 2 ? BridgeDrive::Direction::Right
                                           : BridgeDrive::Direction::Shorter;
    request.stop = o.stop;
    request.light = o.light;
    request.wait = o.wait;

    QEventLoop loop;
    bool signalled = false;
    QString lineError;
    // Ctrl-C while the bridge turns stops it at the next position; the program ends once the stop
    // is on the line.
    const auto quitOnceSent = [&] {
        if (session.state().sendQueue.isEmpty() || !session.online()) {
            loop.quit();
        }
    };
    InterruptWatcher interrupts;
    QObject::connect(&interrupts, &InterruptWatcher::interrupted, &loop, [&] {
        if (!signalled && session.online()) {
            drive.SendStop();
        }
        signalled = true;
        quitOnceSent();
    });
    QObject::connect(&session, &Session::lost, &loop, [&](Link::Failure, const QString &why) {
        lineError = why;
        loop.quit();
    });
    QObject::connect(&session.driver(), &LinkDriver::housekeeping, &loop, [&] {
        if (signalled) {
            quitOnceSent();
        } else {
            drive.Check();
        }
    });
    QObject::connect(&drive, &BridgeDrive::finished, &loop, &QEventLoop::quit);
    drive.Start(request, o.timeoutSeconds * 1000);
    loop.exec();
    session.Stop();

    int code = Done;
    if (signalled) {
        code = Interrupted;
    } else if (!lineError.isEmpty() || drive.running() ||
               drive.outcome() == BridgeDrive::Outcome::NoReport) {
        code = LineFailed;
    } else if (drive.outcome() != BridgeDrive::Outcome::Sent &&
               drive.outcome() != BridgeDrive::Outcome::Done) {
        code = Differences;
    }
    const bool ended = !signalled && lineError.isEmpty() && !drive.running();
    const QString text =
        !lineError.isEmpty() ? lineError
        : signalled ? QCoreApplication::translate("ScriptCommand", "Abgebrochen, die Bühne hält.")
                    : DriveText(o, drive);
    if (o.json) {
        QJsonObject document{
            {QStringLiteral("command"), CommandName(o.action)},
            {QStringLiteral("result"), signalled              ? QStringLiteral("stopped")
                                       : !lineError.isEmpty() ? QStringLiteral("lineFailed")
                                                              : DriveResultKey(drive.outcome())},
            {QStringLiteral("exitCode"), code},
            {QStringLiteral("position"),
             drive.position() >= 0 ? QJsonValue(drive.position() + 1) : QJsonValue()},
            {QStringLiteral("messages"), QJsonArray{text}}};
        if (o.to) {
            document.insert(QStringLiteral("target"), *o.to);
            if (ended && drive.outcome() != BridgeDrive::Outcome::Turning &&
                drive.outcome() != BridgeDrive::Outcome::NoReport) {
                document.insert(QStringLiteral("direction"), drive.sentLeft()
                                                                 ? QStringLiteral("left")
                                                                 : QStringLiteral("right"));
            }
        }
        if (o.light) {
            document.insert(QStringLiteral("light"), *o.light);
        }
        PutJson(document);
    } else {
        Put(code == Done ? stdout : stderr,
            code == Done ? text + u'\n'
                         : QCoreApplication::translate("ScriptCommand", "pivota: %1\n").arg(text));
    }
    return code;
}
} // namespace

int Run(const QStringList &arguments, const QString &defaultSettingsPath) {
    Options o;
    QString error;
    if (!Parse(arguments, &o, &error)) {
        Put(stderr, error);
        return UsageError;
    }
    if (o.help) {
        Put(stdout, Usage(o.action));
        return Done;
    }
    switch (o.action) {
    case Options::Action::List:
        return RunList(o);
    case Options::Action::Diff:
        return RunDiff(o);
    case Options::Action::Drive:
        return RunDrive(o, defaultSettingsPath);
    case Options::Action::Get:
    case Options::Action::Set:
        break;
    }
    return o.from.isEmpty() ? RunJob(o, defaultSettingsPath) : RunFromFile(o, defaultSettingsPath);
}

} // namespace ScriptCommand
