#include "cli/backupcommand.h"
#include "cli/commandline.h"
#include "cli/recordcommand.h"
#include "cli/scriptcommand.h"
#include "cli/sheetcommand.h"
#include "core/session/sessionlog.h"
#include "core/settings/language.h"
#include "core/settings/settingsfile.h"
#include "gui/sheet/sheetprinter.h"
#include "gui/window/programicon.h"
#include "gui/window/qtdialogs.h"
#include "gui/window/tfrmmain.h"
#include "platform/console.h"
#include "platform/settingslocation.h"
#include "programversion.h"

#ifdef PIVOTA_BENCH_PROBE
#include "benchprobe.h" // bench/: the program with its measurements, built only there
#endif

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <cstdio>
#include <cstdlib>

namespace {
void SetIdentity() {
    QCoreApplication::setApplicationName(QStringLiteral("pivota"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(ProgramVersion::Number));
}

// While the window system starts, Qt's warnings are held back, and its fatal "no platform plugin"
// message (which would abort with advice to reinstall) becomes one line that says what is wrong.
QtMessageHandler g_previousHandler = nullptr;
QList<std::pair<QtMsgType, QString>> g_heldMessages;
// Made while the chosen language's texts are installed: the window system starts after them.
QString g_noDisplayLine;

void StartupMessages(QtMsgType type, const QMessageLogContext &context, const QString &message) {
    if (type == QtFatalMsg) {
        WriteText(stderr, g_noDisplayLine + QLatin1Char('\n'));
        std::_Exit(CommandLine::NoDisplay);
    }
    (void)context;
    g_heldMessages.append({type, message});
}

int Print(std::FILE *stream, const QString &text, int code) {
    WriteText(stream, text);
    return code;
}

QString SettingsPath(const CommandLine &commandLine) {
    if (!commandLine.settingsPath.isEmpty()) {
        return commandLine.settingsPath;
    }
    const QString path =
        DefaultSettingsPath(QCoreApplication::applicationFilePath(), UserSettingsFolder());
    // The user's configuration folder may not exist yet; "Ende" writes into it.
    QDir().mkpath(QFileInfo(path).absolutePath());
    return path;
}
// The station sheet is painted, which needs the window system's fonts and painting but no
// window: without a display it is painted on the offscreen platform.
int RunSheet(int argc, char *argv[], Language language, const QString &settingsPath) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
#ifndef Q_OS_WIN
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    }
    QGuiApplication app(argc, argv);
    SetIdentity();
    InstallTranslations(app, language, TranslationFolders(QCoreApplication::applicationDirPath()));
    return SheetCommand::Run(QCoreApplication::arguments(), settingsPath, &SheetPrinter::WritePdf);
}
} // namespace

int main(int argc, char *argv[]) {
    CommandLine commandLine;
    Language language = Language::German;
    bool sheet = false;
    QString sheetSettingsPath;
    {
        // The command line is decided without the window system, so that --help and --version
        // work on any console.
        QCoreApplication console(argc, argv);
        SetIdentity();
        // The language comes from the command line, the settings file or the system; then the
        // command line is read again, so that its help and messages are in that language.
        commandLine = ParseCommandLine(QCoreApplication::arguments());
        const bool command = BackupCommand::IsCommand(QCoreApplication::arguments());
        if (command) {
            // The commands' options stand before or after the command: the window's parser
            // does not know them.
            const BackupCommand::Options early = BackupCommand::Peek(QCoreApplication::arguments());
            commandLine.language = early.language;
            commandLine.settingsPath = early.settingsPath;
        }
        language =
            ChooseLanguage(commandLine.language, LanguageFromSettings(SettingsPath(commandLine)),
                           SystemLocaleNames());
        // Numbers in the messages follow the interface's language, not the system's.
        if (language == Language::English && QLocale().language() != QLocale::English) {
            QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        } else if (language == Language::German && QLocale().language() != QLocale::German) {
            QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        }
        InstallTranslations(console, language,
                            TranslationFolders(QCoreApplication::applicationDirPath()));
        // The commands (backup, record, get, set, ...) run here, on the console alone.
        if (command) {
            const QString settingsPath =
                DefaultSettingsPath(QCoreApplication::applicationFilePath(), UserSettingsFolder());
            const QStringList arguments = QCoreApplication::arguments();
            if (BackupCommand::CommandName(arguments) == QLatin1String("sheet")) {
                sheet = true; // painted under an application of its own, made below
                sheetSettingsPath = settingsPath;
            } else if (BackupCommand::CommandName(arguments) == QLatin1String("record")) {
                return RecordCommand::Run(arguments, settingsPath);
            }
            if (!sheet) {
                return BackupCommand::IsScriptCommand(arguments)
                           ? ScriptCommand::Run(arguments, settingsPath)
                           : BackupCommand::Run(arguments, settingsPath);
            }
        }
        if (!sheet) {
            commandLine = ParseCommandLine(QCoreApplication::arguments());
            switch (commandLine.action) {
            case CommandLine::Action::Help:
                // Where the settings are, which differs between a copy of one's own and an
                // installed program.
                return Print(
                    stdout,
                    WrapLines(commandLine.output +
                              QCoreApplication::translate("Main", "\nEinstellungs-Datei: %1\n")
                                  .arg(ShownPath(SettingsPath(commandLine)))),
                    EXIT_SUCCESS);
            case CommandLine::Action::Version:
                return Print(stdout, commandLine.output, EXIT_SUCCESS);
            case CommandLine::Action::Error:
                if (StandardErrorShown()) {
                    return Print(stderr, commandLine.output, CommandLine::UsageError);
                }
                break; // said in a box below
            case CommandLine::Action::Run:
                break;
            }
            g_noDisplayLine = NoDisplayLine(qEnvironmentVariable("QT_QPA_PLATFORM"),
                                            qEnvironmentVariable("DISPLAY"),
                                            qEnvironmentVariable("WAYLAND_DISPLAY"));
        }
    }
    if (sheet) {
        return RunSheet(argc, argv, language, sheetSettingsPath);
    }

    g_previousHandler = qInstallMessageHandler(StartupMessages);
    QApplication app(argc, argv);
    qInstallMessageHandler(g_previousHandler);
    for (const auto &[type, message] : g_heldMessages) {
        qt_message_output(type, QMessageLogContext(), message);
    }
    g_heldMessages.clear();

    SetIdentity();
    QGuiApplication::setDesktopFileName(QStringLiteral("example.c_seed_1d4a9cac.pivota"));
    // The program's texts and Qt's own (standard buttons, context menus) in the same language.
    InstallTranslations(app, language, TranslationFolders(QCoreApplication::applicationDirPath()));
    if (commandLine.action == CommandLine::Action::Error) {
        // A window program whose standard error nobody sees says what is wrong in a box.
        QtDialogs().showError(QCoreApplication::applicationName(), commandLine.output.trimmed());
        return CommandLine::UsageError;
    }

    if (!commandLine.logPath.isEmpty()) {
        QString error;
        if (!SessionLog::Start(commandLine.logPath, &error)) {
            const QString line = QCoreApplication::translate("Main", "pivota: %1: %2\n")
                                     .arg(QDir::toNativeSeparators(commandLine.logPath), error);
            if (!StandardErrorShown()) {
                QtDialogs().showError(QCoreApplication::applicationName(), line.trimmed());
            }
            return Print(stderr, line, CommandLine::UsageError);
        }
    }
    QtDialogs dialogs;
    // The tabs not shown first are built after the first frame, which then comes sooner.
    TfrmMain window(SettingsPath(commandLine), dialogs, TfrmMain::HiddenTabs::AfterFirstFrame);
    dialogs.setParent(&window);
#ifdef PIVOTA_BENCH_PROBE
    BenchProbe::InstallIfAsked(window);
#endif
    // The icon is built in, so no icon theme is searched for it. Decoding it takes longer than
    // the first frame can spare: the title bar and the task bar have it a moment later.
    QObject::connect(&window, &TfrmMain::firstFrameShown, &window,
                     [] { QApplication::setWindowIcon(ProgramIcon()); });
    // A file given to the program (a double click on a configuration file) is offered as "laden"
    // offers it, once the window is there to ask.
    if (!commandLine.openFile.isEmpty()) {
        QObject::connect(
            &window, &TfrmMain::firstFrameShown, &window,
            [&window, file = commandLine.openFile] { window.OfferFile(file); },
            Qt::QueuedConnection);
    }
    window.show();
    return app.exec();
}
