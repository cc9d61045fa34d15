#include "cli/commandline.h"

#include "platform/console.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

namespace {
// Options that QGuiApplication takes from the command line itself.
const char *const QtValueOptions[] = {
    "platform",    "platformpluginpath", "platformtheme", "plugin",     "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "style",         "stylesheet", "session",
    "display",     "geometry",           "qmljsdebugger", "name",       "title"};
const char *const QtFlagOptions[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

// The commands that need no window; each explains itself with --help.
QString Commands() {
    return QCoreApplication::translate(
        "CommandLine",
        "\nBefehle ohne Fenster (Einzelheiten mit pivota BEFEHL --help):\n"
        "  pivota backup  --port GERÄT [--baud N] DATEI          alle Zellen beider Platinen "
        "sichern\n"
        "  pivota compare --port GERÄT [--baud N] DATEI          Datei mit der Steuerung "
        "vergleichen\n"
        "  pivota restore --port GERÄT [--baud N] [--yes] DATEI  abweichende Zellen "
        "zurückschreiben\n"
        "  pivota record  --port GERÄT --seconds N DATEI.csv     Messwerte der Diagnose "
        "aufzeichnen\n"
        "  pivota list [--json]                                  Namen aller Einstellungen\n"
        "  pivota get  --port GERÄT [--json] NAME...             Einstellungen lesen\n"
        "  pivota set  --port GERÄT [--force] NAME=WERT...       Einstellungen schreiben\n"
        "  pivota diff [--json] DATEI_A DATEI_B                  zwei Dateien vergleichen\n"
        "  pivota drive --port GERÄT --to N [--wait]             Bühne auf Position N drehen\n"
        "GERÄT: Gerätepfad, COM1..COM9 wie zugeordnet, oder simulator. Rückgabewert 0 gleich, 1 "
        "Unterschiede,\n2 Aufruf- oder Dateifehler, 3 Verbindung fehlgeschlagen.\n");
}
} // namespace

namespace {
// The options of the window's command line, with Qt's own accepted and hidden from the help.
struct Options {
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QCoreApplication::translate(
                                "CommandLine", "Zeigt diese Hilfe an und beendet das Programm.")};
    QCommandLineOption version{
        {QStringLiteral("v"), QStringLiteral("version")},
        QCoreApplication::translate("CommandLine",
                                    "Zeigt die Version an und beendet das Programm.")};
    QCommandLineOption settings{
        QStringLiteral("settings"),
        QCoreApplication::translate("CommandLine",
                                    "Liest und schreibt die Einstellungen in DATEI statt in der "
                                    "Einstellungs-Datei des Programms."),
        QCoreApplication::translate("CommandLine", "DATEI")};
    QCommandLineOption log{QStringLiteral("log"),
                           QCoreApplication::translate(
                               "CommandLine",
                               "Schreibt ein Protokoll der Sitzung (Verbindung, jedes Byte auf der "
                               "Leitung, Übertragungen) mit Uhrzeit an das Ende von DATEI."),
                           QCoreApplication::translate("CommandLine", "DATEI")};
    QCommandLineOption lang{
        QStringLiteral("lang"),
        QCoreApplication::translate("CommandLine",
                                    "Sprache der Oberfläche: de (Deutsch) oder en (Englisch); "
                                    "ohne: die Einstellung „Sprache“, sonst die des Systems."),
        QCoreApplication::translate("CommandLine", "SPRACHE")};

    void AddTo(QCommandLineParser &parser) const {
        // Qt's options are single-dash words: -platform offscreen.
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.setApplicationDescription(QCoreApplication::translate(
            "CommandLine", "Einrichten, Bedienen und Diagnose der Drehscheiben-Steuerung über "
                           "die serielle Schnittstelle."));
        for (const QCommandLineOption &o : {help, version, settings, log, lang}) {
            parser.addOption(o);
        }
        parser.addPositionalArgument(
            QCoreApplication::translate("CommandLine", "DATEI"),
            QCoreApplication::translate(
                "CommandLine", "Konfigurationsdatei, deren Daten das Fenster zum Laden anbietet."),
            QCoreApplication::translate("CommandLine", "[DATEI]"));
        for (const char *name : QtValueOptions) {
            QCommandLineOption o(QString::fromLatin1(name), QString(), QStringLiteral("value"));
            o.setFlags(QCommandLineOption::HiddenFromHelp);
            parser.addOption(o);
        }
        for (const char *name : QtFlagOptions) {
            QCommandLineOption o(QString::fromLatin1(name));
            o.setFlags(QCommandLineOption::HiddenFromHelp);
            parser.addOption(o);
        }
    }
};

// A usage error: what is wrong, and where the usage is, so that the error is the line in view.
CommandLine Refused(const QString &what) {
    CommandLine result;
    result.action = CommandLine::Action::Error;
    result.output = WrapLines(
        QCoreApplication::translate("CommandLine", "pivota: %1\n").arg(what) +
        QCoreApplication::translate("CommandLine", "Aufruf und Optionen: pivota --help\n"));
    return result;
}

// Qt's help names the program by the path it was started with ("/usr/local/bin/pivota",
// "C:\Program Files\Pivota\pivota.exe", unquoted); the usage names the command as it is typed.
QString HelpText(const QCommandLineParser &parser, const QStringList &arguments) {
    QString text = parser.helpText();
    const QString started = arguments.value(0);
    const qsizetype lineEnd = text.indexOf(u'\n');
    if (!started.isEmpty() && lineEnd > 0) {
        text = text.left(lineEnd).replace(started, QStringLiteral("pivota")) + text.mid(lineEnd);
    }
    return text;
}

// The file named by a file option, made absolute; false when the option is given empty.
bool TakeFile(const QCommandLineParser &parser, const QCommandLineOption &option, QString *path) {
    if (!parser.isSet(option)) {
        return true;
    }
    const QString file = parser.value(option);
    if (file.isEmpty()) {
        return false;
    }
    *path = QFileInfo(file).absoluteFilePath();
    return true;
}
} // namespace

CommandLine ParseCommandLine(const QStringList &arguments) {
    QCommandLineParser parser;
    const Options options;
    options.AddTo(parser);
    if (!parser.parse(arguments)) {
        return Refused(parser.errorText());
    }
    // One file, the one the window is to open; a second one is not.
    if (parser.positionalArguments().size() > 1) {
        return Refused(QCoreApplication::translate("CommandLine", "Unerwartetes Argument „%1“.")
                           .arg(parser.positionalArguments().at(1)));
    }
    CommandLine result;
    if (!parser.positionalArguments().isEmpty() &&
        !parser.positionalArguments().constFirst().isEmpty()) {
        result.openFile = QFileInfo(parser.positionalArguments().constFirst()).absoluteFilePath();
    }
    if (!TakeFile(parser, options.settings, &result.settingsPath)) {
        return Refused(
            QCoreApplication::translate("CommandLine", "--settings braucht einen Dateinamen."));
    }
    if (!TakeFile(parser, options.log, &result.logPath)) {
        return Refused(
            QCoreApplication::translate("CommandLine", "--log braucht einen Dateinamen."));
    }
    if (parser.isSet(options.lang)) {
        const QString code = parser.value(options.lang).trimmed().toLower();
        if (code != QLatin1String("de") && code != QLatin1String("en")) {
            return Refused(
                QCoreApplication::translate("CommandLine", "--lang braucht de oder en."));
        }
        result.language = code;
    }
    if (parser.isSet(options.help)) {
        result.action = CommandLine::Action::Help;
        result.output = WrapLines(HelpText(parser, arguments) + Commands());
    } else if (parser.isSet(options.version)) {
        result.action = CommandLine::Action::Version;
        result.output = QCoreApplication::translate("CommandLine", "pivota %1\n")
                            .arg(QCoreApplication::applicationVersion());
    }
    return result;
}

QString NoDisplayLine(const QString &platform, const QString &display, const QString &wayland) {
    const QString name = platform.section(u':', 0, 0);
    if (!name.isEmpty() && name != QLatin1String("xcb") && !name.startsWith(u"wayland")) {
        return QCoreApplication::translate(
                   "CommandLine", "pivota: Die Qt-Plattform „%1“ lässt sich nicht starten.")
            .arg(name);
    }
    if (display.isEmpty() && wayland.isEmpty()) {
        return QCoreApplication::translate(
            "CommandLine", "pivota: Keine grafische Anzeige gefunden (DISPLAY und "
                           "WAYLAND_DISPLAY sind leer). Pivota braucht eine Desktop-Sitzung.");
    }
    return QCoreApplication::translate(
               "CommandLine", "pivota: Die grafische Anzeige „%1“ ist nicht erreichbar. Pivota "
                              "braucht eine Desktop-Sitzung.")
        .arg(display.isEmpty() ? wayland : display);
}
