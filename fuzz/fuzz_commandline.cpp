// The program's own command line: any arguments, and command lines built from the known options
// with values from the input, which must parse back to what was built.
//
// Input: a mode byte; for even ones the arguments as pieces between NUL bytes (UTF-8), for odd
// ones the choices of a built command line.

#include "cli/commandline.h"
#include "fuzzcheck.h"
#include "fuzztext.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace {
const QString Program = QStringLiteral("pivota");

// What every parsed command line satisfies, whatever it was.
void CheckAny(const CommandLine &c) {
    switch (c.action) {
    case CommandLine::Action::Run:
        FUZZ_CHECK(c.output.isEmpty());
        break;
    case CommandLine::Action::Error: // a refusal always says why, and where the usage is
        FUZZ_CHECK(c.output.startsWith(QLatin1String("pivota: ")));
        FUZZ_CHECK(c.output.contains(QLatin1String("pivota --help")));
        break;
    case CommandLine::Action::Help:
        FUZZ_CHECK(c.output.contains(QLatin1String("--lang")));
        FUZZ_CHECK(c.output.contains(QLatin1String("pivota backup")));
        break;
    case CommandLine::Action::Version:
        FUZZ_CHECK(c.output.startsWith(QLatin1String("pivota ")));
        break;
    }
    FUZZ_CHECK(c.language.isEmpty() || c.language == QLatin1String("de") ||
               c.language == QLatin1String("en"));
    FUZZ_CHECK(c.settingsPath.isEmpty() || QFileInfo(c.settingsPath).isAbsolute());
    FUZZ_CHECK(c.logPath.isEmpty() || QFileInfo(c.logPath).isAbsolute());
}

void CheckRaw(const QStringList &arguments) {
    const CommandLine c = ParseCommandLine(arguments);
    CheckAny(c);
    const CommandLine again = ParseCommandLine(arguments);
    FUZZ_CHECK(again.action == c.action && again.output == c.output &&
               again.settingsPath == c.settingsPath && again.logPath == c.logPath &&
               again.language == c.language);
    // Nothing but the program: the window with every default.
    if (arguments.size() == 1) {
        FUZZ_CHECK(c.action == CommandLine::Action::Run && c.settingsPath.isEmpty());
    }
}

// Where a relative file name given on the command line lands: in the current folder.
QString Absolute(const QString &name) {
    return name.startsWith(u'/') ? name : QDir::currentPath() + u'/' + name;
}

// One option with its value, as the user may write it: "--name value" or "--name=value".
void Add(QStringList &arguments, FuzzInput &in, const QString &name, const QString &value) {
    const uint8_t form = in.byte();
    const QString dashes = form & 2 ? QStringLiteral("-") : QStringLiteral("--");
    if (form & 1) {
        arguments << dashes + name + u'=' + value;
    } else {
        arguments << dashes + name << value;
    }
}

void CheckBuilt(FuzzInput &in) {
    const uint8_t choose = in.byte();
    QStringList arguments{Program};
    CommandLine expected;
    bool error = false;
    QList<int> order = {0, 1, 2, 3, 4, 5, 6};
    std::rotate(order.begin(), order.begin() + in.byte() % order.size(), order.end());
    if (in.byte() & 1) {
        std::reverse(order.begin(), order.end());
    }
    bool help = false;
    bool version = false;
    for (int option : order) {
        if (!(choose & (1u << option))) {
            continue;
        }
        switch (option) {
        case 0: {
            const bool absolute = in.byte() & 1;
            const QString file =
                (absolute ? QStringLiteral("/tmp/") : QString()) + FuzzText::Name(in);
            Add(arguments, in, QStringLiteral("settings"), file);
            expected.settingsPath = Absolute(file);
            break;
        }
        case 1: {
            const QString file = FuzzText::Name(in);
            Add(arguments, in, QStringLiteral("log"), file);
            expected.logPath = Absolute(file);
            break;
        }
        case 2: {
            const uint8_t pick = in.byte();
            static const char *const codes[] = {"de", "en", "DE", "En", "fr", "d", "english"};
            const QString code = QString::fromLatin1(codes[pick % 7]);
            Add(arguments, in, QStringLiteral("lang"), FuzzText::Blanks(in) + code);
            if (pick % 7 < 4) {
                expected.language = code.toLower();
            } else {
                error = true;
            }
            break;
        }
        case 3: // Qt's own options go to Qt
            Add(arguments, in, QStringLiteral("platform"), FuzzText::Name(in));
            if (in.byte() & 1) {
                arguments << QStringLiteral("-reverse");
            }
            break;
        case 4:
            arguments << (in.byte() & 1 ? QStringLiteral("-h") : QStringLiteral("--help"));
            help = true;
            break;
        case 5:
            arguments << (in.byte() & 1 ? QStringLiteral("-v") : QStringLiteral("--version"));
            version = true;
            break;
        case 6: { // a file given without an option, as the file manager gives it
            const QString file = FuzzText::Name(in);
            arguments << file;
            expected.openFile = Absolute(file);
            break;
        }
        }
    }
    if (choose & 0x80) { // an option without its value at the end
        arguments << (in.byte() & 1 ? QStringLiteral("--settings") : QStringLiteral("--log"));
        error = true;
    }

    const CommandLine c = ParseCommandLine(arguments);
    CheckAny(c);
    if (error) {
        FUZZ_CHECK(c.action == CommandLine::Action::Error);
        return;
    }
    FUZZ_CHECK(c.action == (help      ? CommandLine::Action::Help
                            : version ? CommandLine::Action::Version
                                      : CommandLine::Action::Run));
    FUZZ_CHECK(c.settingsPath == expected.settingsPath);
    FUZZ_CHECK(c.logPath == expected.logPath);
    FUZZ_CHECK(c.language == expected.language);
    FUZZ_CHECK(c.openFile == expected.openFile);
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
    static QCoreApplication app(*argc, *argv); // the help text names the program
    QCoreApplication::setApplicationVersion(QStringLiteral("0.38"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzInput in(data, size);
    if (in.byte() & 1) {
        CheckBuilt(in);
    } else {
        size_t n = 0;
        const char *rest = in.take(size, &n);
        CheckRaw(FuzzText::ArgumentsOf(rest, n, Program));
    }
    return 0;
}
