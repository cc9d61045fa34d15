#include "commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {
// Options that QGuiApplication takes from the command line itself.
const char *const QtValueOptions[] = {
    "platform",    "platformpluginpath", "platformtheme", "plugin",     "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "style",         "stylesheet", "session",
    "display",     "geometry",           "qmljsdebugger", "name",       "title"};
const char *const QtFlagOptions[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

// The commands that need no window; each explains itself with --help.
const QString Commands = QStringLiteral(
    "\nBefehle ohne Fenster (Einzelheiten mit pivota BEFEHL --help):\n"
    "  pivota backup  --port GERÄT [--baud N] DATEI          alle Zellen beider Platinen "
    "sichern\n"
    "  pivota compare --port GERÄT [--baud N] DATEI          Datei mit der Steuerung "
    "vergleichen\n"
    "  pivota restore --port GERÄT [--baud N] [--yes] DATEI  abweichende Zellen "
    "zurückschreiben\n"
    "GERÄT: Gerätepfad, COM1..COM9 wie zugeordnet, oder simulator. Rückgabewert 0 gleich, 1 "
    "Unterschiede,\n2 Aufruf- oder Dateifehler, 3 Verbindung fehlgeschlagen.\n");
} // namespace

CommandLine ParseCommandLine(const QStringList &arguments) {
    QCommandLineParser parser;
    // Qt's options are single-dash words: -platform offscreen.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Einrichten, Bedienen und Diagnose der Drehscheiben-Steuerung über die "
                       "serielle Schnittstelle."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Zeigt diese Hilfe an und beendet das Programm."));
    const QCommandLineOption version(
        {QStringLiteral("v"), QStringLiteral("version")},
        QStringLiteral("Zeigt die Version an und beendet das Programm."));
    const QCommandLineOption settings(
        QStringLiteral("settings"),
        QStringLiteral("Liest und schreibt die Einstellungen in DATEI statt in der "
                       "Einstellungs-Datei des Programms."),
        QStringLiteral("DATEI"));
    const QCommandLineOption log(
        QStringLiteral("log"),
        QStringLiteral("Schreibt ein Protokoll der Sitzung (Verbindung, jedes Byte auf der "
                       "Leitung, Übertragungen) mit Uhrzeit an das Ende von DATEI."),
        QStringLiteral("DATEI"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(settings);
    parser.addOption(log);
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
        result.output = QStringLiteral("pivota: %1\n\n%2").arg(parser.errorText(), usage);
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.action = CommandLine::Action::Error;
        result.output = QStringLiteral("pivota: Unerwartetes Argument „%1“.\n\n%2")
                            .arg(parser.positionalArguments().constFirst(), usage);
        return result;
    }
    if (parser.isSet(help)) {
        result.action = CommandLine::Action::Help;
        result.output = usage + Commands;
        return result;
    }
    if (parser.isSet(version)) {
        result.action = CommandLine::Action::Version;
        result.output = QStringLiteral("pivota %1\n").arg(QCoreApplication::applicationVersion());
        return result;
    }
    if (parser.isSet(settings)) {
        const QString file = parser.value(settings);
        if (file.isEmpty()) {
            result.action = CommandLine::Action::Error;
            result.output =
                QStringLiteral("pivota: --settings braucht einen Dateinamen.\n\n%1").arg(usage);
            return result;
        }
        result.settingsPath = QFileInfo(file).absoluteFilePath();
    }
    if (parser.isSet(log)) {
        const QString file = parser.value(log);
        if (file.isEmpty()) {
            result.action = CommandLine::Action::Error;
            result.output =
                QStringLiteral("pivota: --log braucht einen Dateinamen.\n\n%1").arg(usage);
            return result;
        }
        result.logPath = QFileInfo(file).absoluteFilePath();
    }
    return result;
}

bool InstallGermanTranslations(QCoreApplication &app) {
    const QLocale german(QLocale::German, QLocale::Germany);
    const QStringList folders = {
        QLibraryInfo::path(QLibraryInfo::TranslationsPath),
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations"))};
    bool base = false;
    for (const char *catalogue : {"qtbase", "qtserialport"}) {
        for (const QString &folder : folders) {
            auto *translator = new QTranslator(&app);
            if (translator->load(german, QString::fromLatin1(catalogue), QStringLiteral("_"),
                                 folder)) {
                QCoreApplication::installTranslator(translator);
                base = base || qstrcmp(catalogue, "qtbase") == 0;
                break;
            }
            delete translator;
        }
    }
    return base;
}

QString NoDisplayLine(const QString &platform, const QString &display, const QString &wayland) {
    const QString name = platform.section(u':', 0, 0);
    if (!name.isEmpty() && name != QLatin1String("xcb") && !name.startsWith(u"wayland")) {
        return QStringLiteral("pivota: Die Qt-Plattform „%1“ lässt sich nicht starten.").arg(name);
    }
    if (display.isEmpty() && wayland.isEmpty()) {
        return QStringLiteral("pivota: Keine grafische Anzeige gefunden (DISPLAY und "
                              "WAYLAND_DISPLAY sind leer). Pivota braucht eine Desktop-Sitzung.");
    }
    return QStringLiteral("pivota: Die grafische Anzeige „%1“ ist nicht erreichbar. Pivota "
                          "braucht eine Desktop-Sitzung.")
        .arg(display.isEmpty() ? wayland : display);
}
