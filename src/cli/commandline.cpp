#include "cli/commandline.h"

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
        "GERÄT: Gerätepfad, COM1..COM9 wie zugeordnet, oder simulator. Rückgabewert 0 gleich, 1 "
        "Unterschiede,\n2 Aufruf- oder Dateifehler, 3 Verbindung fehlgeschlagen.\n");
}
} // namespace

CommandLine ParseCommandLine(const QStringList &arguments) {
    QCommandLineParser parser;
    // Qt's options are single-dash words: -platform offscreen.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QCoreApplication::translate(
        "CommandLine", "Einrichten, Bedienen und Diagnose der Drehscheiben-Steuerung über die "
                       "serielle Schnittstelle."));
    const QCommandLineOption help(
        {QStringLiteral("h"), QStringLiteral("help")},
        QCoreApplication::translate("CommandLine",
                                    "Zeigt diese Hilfe an und beendet das Programm."));
    const QCommandLineOption version(
        {QStringLiteral("v"), QStringLiteral("version")},
        QCoreApplication::translate("CommandLine",
                                    "Zeigt die Version an und beendet das Programm."));
    const QCommandLineOption settings(
        QStringLiteral("settings"),
        QCoreApplication::translate("CommandLine",
                                    "Liest und schreibt die Einstellungen in DATEI statt in der "
                                    "Einstellungs-Datei des Programms."),
        QCoreApplication::translate("CommandLine", "DATEI"));
    const QCommandLineOption log(
        QStringLiteral("log"),
        QCoreApplication::translate(
            "CommandLine", "Schreibt ein Protokoll der Sitzung (Verbindung, jedes Byte auf der "
                           "Leitung, Übertragungen) mit Uhrzeit an das Ende von DATEI."),
        QCoreApplication::translate("CommandLine", "DATEI"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(settings);
    const QCommandLineOption lang(
        QStringLiteral("lang"),
        QCoreApplication::translate("CommandLine",
                                    "Sprache der Oberfläche: de (Deutsch) oder en (Englisch); "
                                    "ohne: die Einstellung „Sprache“, sonst die des Systems."),
        QCoreApplication::translate("CommandLine", "SPRACHE"));
    parser.addOption(log);
    parser.addOption(lang);
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

    CommandLine result;
    const QString usage = parser.helpText();
    if (!parser.parse(arguments)) {
        result.action = CommandLine::Action::Error;
        result.output = QCoreApplication::translate("CommandLine", "pivota: %1\n\n%2")
                            .arg(parser.errorText(), usage);
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.action = CommandLine::Action::Error;
        result.output =
            QCoreApplication::translate("CommandLine", "pivota: Unerwartetes Argument „%1“.\n\n%2")
                .arg(parser.positionalArguments().constFirst(), usage);
        return result;
    }
    if (parser.isSet(settings)) {
        const QString file = parser.value(settings);
        if (file.isEmpty()) {
            result.action = CommandLine::Action::Error;
            result.output = QCoreApplication::translate(
                                "CommandLine", "pivota: --settings braucht einen Dateinamen.\n\n%1")
                                .arg(usage);
            return result;
        }
        result.settingsPath = QFileInfo(file).absoluteFilePath();
    }
    if (parser.isSet(log)) {
        const QString file = parser.value(log);
        if (file.isEmpty()) {
            result.action = CommandLine::Action::Error;
            result.output = QCoreApplication::translate(
                                "CommandLine", "pivota: --log braucht einen Dateinamen.\n\n%1")
                                .arg(usage);
            return result;
        }
        result.logPath = QFileInfo(file).absoluteFilePath();
    }
    if (parser.isSet(lang)) {
        const QString code = parser.value(lang).trimmed().toLower();
        if (code != QLatin1String("de") && code != QLatin1String("en")) {
            result.action = CommandLine::Action::Error;
            result.output = QCoreApplication::translate("CommandLine",
                                                        "pivota: --lang braucht de oder en.\n\n%1")
                                .arg(usage);
            return result;
        }
        result.language = code;
    }
    if (parser.isSet(help)) {
        result.action = CommandLine::Action::Help;
        result.output = usage + Commands();
        return result;
    }
    if (parser.isSet(version)) {
        result.action = CommandLine::Action::Version;
        result.output = QCoreApplication::translate("CommandLine", "pivota %1\n")
                            .arg(QCoreApplication::applicationVersion());
        return result;
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
