// The command line of backup, compare and restore (and of list, get, set, diff and drive, with the
// names and values in it), and the answer to restore's question: any
// arguments and any answer, and command lines and answers built from the known forms, which must
// read back as built.
//
// Input: a mode byte; for mode 0 the arguments after "pivota" as pieces between NUL bytes
// (UTF-8), for mode 1 the choices of a built command line, for mode 2 an answer of any bytes, for
// mode 3 the choices of a built answer.

#include "cli/backupcommand.h"
#include "cli/scriptcommand.h"
#include "core/scripting/settingnames.h"
#include "fuzzcheck.h"
#include "fuzztext.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

using BackupCommand::Options;

namespace {
const QString Program = QStringLiteral("pivota");
const QStringList Commands = {QStringLiteral("backup"), QStringLiteral("compare"),
                              QStringLiteral("restore")};

bool ParseFresh(const QStringList &arguments, Options *options, QString *error) {
    *options = Options{};
    options->port = QStringLiteral("untouched");
    error->clear();
    return BackupCommand::Parse(arguments, options, error);
}

// list, get, set, diff and drive: a refusal says why and where the usage is; an accepted line names
// its command, and every name and value in it that is taken reads back as taken.
void CheckScript(const QStringList &arguments) {
    using Action = ScriptCommand::Options::Action;
    ScriptCommand::Options o;
    o.port = QStringLiteral("untouched");
    QString error;
    if (!ScriptCommand::Parse(arguments, &o, &error)) {
        FUZZ_CHECK(error.startsWith(QLatin1String("pivota: ")));
        FUZZ_CHECK(error.endsWith(QLatin1String(" --help\n")));
        FUZZ_CHECK(o.port == QLatin1String("untouched"));
        return;
    }
    FUZZ_CHECK(BackupCommand::IsScriptCommand(arguments));
    if (o.help) {
        return;
    }
    FUZZ_CHECK(o.port == o.port.trimmed());
    FUZZ_CHECK(!o.force || o.action == Action::Set);
    FUZZ_CHECK(o.action != Action::Diff || o.arguments.size() == 2);
    FUZZ_CHECK(o.from.isEmpty() || (o.action == Action::Set && QFileInfo(o.from).isAbsolute()));
    if (!o.from.isEmpty()) {
        return; // the arguments are the file's parts
    }
    if (o.action == Action::Drive) {
        FUZZ_CHECK(o.arguments.isEmpty() && !o.port.isEmpty());
        FUZZ_CHECK(o.to || o.stop || o.light);
        FUZZ_CHECK(!o.to || (*o.to >= 1 && *o.to <= 48));
        FUZZ_CHECK(!(o.to && o.stop) && (o.direction == 0 || o.to));
        return;
    }
    FUZZ_CHECK((o.action == Action::List) == o.arguments.isEmpty());
    for (const QString &a : o.arguments) {
        const qsizetype equals = a.indexOf(u'=');
        const bool assignment = o.action == Action::Set && equals >= 0;
        QString why;
        const auto setting = Scripting::Find(assignment ? a.left(equals) : a, &why);
        if (!setting) {
            FUZZ_CHECK(!why.isEmpty());
            continue;
        }
        FUZZ_CHECK(Scripting::Find(setting->name, nullptr) == setting);
        if (!assignment) {
            continue;
        }
        const auto value = Scripting::ParseValue(*setting, a.mid(equals + 1), &why);
        FUZZ_CHECK(value || !why.isEmpty());
        if (value) {
            FUZZ_CHECK(Scripting::ParseValue(*setting, Scripting::ValueText(*setting, *value),
                                             nullptr) == value);
        }
    }
}

// What every accepted or refused command line satisfies.
void CheckAny(const QStringList &arguments) {
    CheckScript(arguments);
    Options o;
    QString error;
    const bool ok = ParseFresh(arguments, &o, &error);
    if (!ok) { // a refusal always says why, and how it is used
        FUZZ_CHECK(error.startsWith(QLatin1String("pivota: ")));
        // The error stays in view: a pointer to the usage, not the whole usage.
        const QString hint = QStringLiteral("\nAufruf und Optionen: pivota backup --help\n");
        FUZZ_CHECK(error.endsWith(hint));
        FUZZ_CHECK(error.size() > QStringLiteral("pivota: ").size() + hint.size());
        FUZZ_CHECK(o.port == QLatin1String("untouched")); // nothing half read
        return;
    }
    FUZZ_CHECK(BackupCommand::IsCommand(arguments));
    const QString command = arguments.at(BackupCommand::CommandAt(arguments));
    const Options::Action action = command == Commands.at(0)   ? Options::Action::Backup
                                   : command == Commands.at(1) ? Options::Action::Compare
                                                               : Options::Action::Restore;
    FUZZ_CHECK(o.action == action);
    if (o.help) {
        return;
    }
    FUZZ_CHECK(o.baud == 0 || o.baud == 2400 || o.baud == 9600 || o.baud == 19200);
    FUZZ_CHECK(!o.port.isEmpty() && o.port == o.port.trimmed());
    FUZZ_CHECK(!o.yes || o.action == Options::Action::Restore);
    FUZZ_CHECK(o.settingsPath.isEmpty() || QFileInfo(o.settingsPath).isAbsolute());
    FUZZ_CHECK(arguments.contains(o.file));
}

QString Absolute(const QString &name) {
    return name.startsWith(u'/') ? name : QDir::currentPath() + u'/' + name;
}

void Add(QStringList &arguments, FuzzInput &in, const QString &name, const QString &value) {
    if (in.byte() & 1) {
        arguments << QStringLiteral("--") + name + u'=' + value;
    } else {
        arguments << QStringLiteral("--") + name << value;
    }
}

void CheckBuilt(FuzzInput &in) {
    const uint8_t choose = in.byte();
    Options expected;
    expected.action = static_cast<Options::Action>(in.byte() % 3);
    QStringList arguments{Program, Commands.at(static_cast<int>(expected.action))};
    bool portGiven = false;
    bool baudRight = true;
    bool unknownOption = false;
    int files = 0;
    QList<int> order = {0, 1, 2, 3, 4, 5, 6};
    std::rotate(order.begin(), order.begin() + in.byte() % order.size(), order.end());
    for (int part : order) {
        if (!(choose & (1u << part))) {
            continue;
        }
        switch (part) {
        case 0: { // the port: a device, a COM name or the simulator, blanks around
            static const char *const kinds[] = {"/dev/ttyUSB0", "COM3", "simulator"};
            const uint8_t pick = in.byte();
            const QString port =
                pick & 4 ? FuzzText::Name(in) : QString::fromLatin1(kinds[pick % 3]);
            Add(arguments, in, QStringLiteral("port"),
                FuzzText::Blanks(in) + port + FuzzText::Blanks(in));
            expected.port = port;
            portGiven = true;
            break;
        }
        case 1: { // the line rate: one the controller speaks, or another number or word
            static const int rates[] = {2400, 9600, 19200, 4800, 0, -9600, 115200};
            const uint8_t pick = in.byte();
            const QString text = pick & 8 ? FuzzText::Name(in) : QString::number(rates[pick % 7]);
            Add(arguments, in, QStringLiteral("baud"), text);
            bool number = false;
            const int baud = text.toInt(&number);
            baudRight = number && (baud == 2400 || baud == 9600 || baud == 19200);
            expected.baud = baud;
            break;
        }
        case 2: {
            const QString file = FuzzText::Name(in);
            Add(arguments, in, QStringLiteral("settings"), file);
            expected.settingsPath = Absolute(file);
            break;
        }
        case 3:
            arguments << QStringLiteral("--yes");
            expected.yes = true;
            break;
        case 6:
            arguments << QStringLiteral("--json");
            expected.json = true;
            break;
        case 4:
        case 5: // the file, and maybe a second one; or an option the command does not know
            if (part == 5 && (in.byte() & 1)) {
                arguments << QStringLiteral("--force");
                unknownOption = true;
            } else {
                expected.file = FuzzText::Name(in);
                arguments << expected.file;
                ++files;
            }
            break;
        }
    }
    const bool valid = portGiven && baudRight && !unknownOption && files == 1 &&
                       (!expected.yes || expected.action == Options::Action::Restore);
    Options o;
    QString error;
    const bool ok = ParseFresh(arguments, &o, &error);
    FUZZ_CHECK(ok == valid);
    CheckAny(arguments);
    if (!ok) {
        return;
    }
    FUZZ_CHECK(!o.help);
    FUZZ_CHECK(o.action == expected.action);
    FUZZ_CHECK(o.port == expected.port);
    FUZZ_CHECK(o.baud == expected.baud);
    FUZZ_CHECK(o.settingsPath == expected.settingsPath);
    FUZZ_CHECK(o.yes == expected.yes);
    FUZZ_CHECK(o.json == expected.json);
    FUZZ_CHECK(o.file == expected.file);
}

// "j", "ja", "y" and "yes" in ASCII letters of any case, nothing else but blanks around.
bool MeansYes(const QString &answer) {
    const QString core = FuzzText::Inner(answer);
    for (const char *word : {"j", "ja", "y", "yes"}) {
        if (FuzzText::SameAscii(core, QString::fromLatin1(word))) {
            return true;
        }
    }
    return false;
}

void CheckBuiltAnswer(FuzzInput &in) {
    static const char *const words[] = {"j", "ja", "y", "yes", "n", "nein", "no", "", "jaa", "ye"};
    const uint8_t pick = in.byte();
    QString word = QString::fromLatin1(words[pick % 10]);
    const uint8_t capitals = in.byte();
    for (qsizetype i = 0; i < word.size(); ++i) {
        if (capitals & (1u << i)) {
            word[i] = word.at(i).toUpper();
        }
    }
    const bool yes = pick % 10 < 4;
    const QString answer = FuzzText::Blanks(in) + word + FuzzText::Blanks(in) +
                           (in.byte() & 1 ? QStringLiteral("\n") : QString());
    FUZZ_CHECK(BackupCommand::IsYes(answer) == yes);
    if (yes) { // one more letter inside, or a word after it, is no yes
        FUZZ_CHECK(!BackupCommand::IsYes(word + QStringLiteral(" bitte")));
        FUZZ_CHECK(!BackupCommand::IsYes(word.left(1) + u'x' + word.mid(1)));
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzInput in(data, size);
    switch (in.byte() % 4) {
    case 0: {
        size_t n = 0;
        const char *rest = in.take(size, &n);
        CheckAny(FuzzText::ArgumentsOf(rest, n, Program));
        break;
    }
    case 1:
        CheckBuilt(in);
        break;
    case 2: {
        size_t n = 0;
        const char *rest = in.take(size, &n);
        const QString answer = QString::fromUtf8(rest, static_cast<qsizetype>(n));
        FUZZ_CHECK(BackupCommand::IsYes(answer) == MeansYes(answer));
        break;
    }
    default:
        CheckBuiltAnswer(in);
        break;
    }
    return 0;
}
