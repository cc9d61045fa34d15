#include "cli/commandline.h"
#include "core/settings/language.h"
#include "core/settings/settingsfile.h"
#include "fixtures/pivotarun.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <unistd.h>

using namespace PivotaRun;

namespace {
// A window that opened by mistake would never return.
constexpr int Timeout = 30000;
} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void helpAndVersionNeedNoDisplay() {
        for (const QString &option : {QStringLiteral("--help"), QStringLiteral("-h")}) {
            const Run r = RunPivota({option});
            QCOMPARE(r.code, 0);
            QVERIFY2(r.out.contains(QLatin1String("--settings <DATEI>")), qPrintable(r.out));
            QVERIFY(r.out.contains(QLatin1String("--version")));
            QVERIFY(r.out.contains(QLatin1String("--help")));
            // The usage names the command as it is typed, not the path it was started by.
            QVERIFY2(r.out.section(u'\n', 0, 0).contains(QLatin1String(": pivota [")),
                     qPrintable(r.out.section(u'\n', 0, 0)));
            // Qt's own options work but do not clutter the help.
            QVERIFY(!r.out.contains(QLatin1String("platform")));
            QVERIFY(r.err.isEmpty());
        }
        const Run v = RunPivota({QStringLiteral("--version")});
        QCOMPARE(v.code, 0);
        QCOMPARE(v.out, QStringLiteral("pivota %1\n").arg(QStringLiteral(PIVOTA_VERSION)));
        QVERIFY(v.err.isEmpty());
    }

    void languageByOptionKeyAndLocale() {
        const auto english = [](const Run &r) {
            return r.code == 0 && r.out.contains(QLatin1String("--settings <FILE>")) &&
                   r.out.contains(QLatin1String("Language of the interface"));
        };
        const auto german = [](const Run &r) {
            return r.code == 0 && r.out.contains(QLatin1String("--settings <DATEI>")) &&
                   r.out.contains(QStringLiteral("Sprache der Oberfläche"));
        };
        const QMap<QString, QString> cLocale = {{QStringLiteral("LC_ALL"), QStringLiteral("C")}};
        const QMap<QString, QString> englishLocale = {
            {QStringLiteral("LC_ALL"), QString()},
            {QStringLiteral("LC_MESSAGES"), QString()},
            {QStringLiteral("LANG"), QStringLiteral("en_GB.UTF-8")}};
        const QStringList help = {QStringLiteral("--help")};
        Run r = RunPivota(help, Timeout, cLocale);
        QVERIFY2(german(r), qPrintable(r.out + r.err));
        r = RunPivota(help, Timeout, englishLocale);
        QVERIFY2(english(r), qPrintable(r.out + r.err));
        r = RunPivota({QStringLiteral("--lang"), QStringLiteral("en"), QStringLiteral("--help")},
                      Timeout, cLocale);
        QVERIFY2(english(r), qPrintable(r.out + r.err));
        r = RunPivota({QStringLiteral("--lang"), QStringLiteral("de"), QStringLiteral("--help")},
                      Timeout, englishLocale);
        QVERIFY2(german(r), qPrintable(r.out + r.err));

        // The settings file's key over the locale, the option over the key.
        QTemporaryDir folder;
        const QString ini = folder.filePath(QStringLiteral("pivota.ini"));
        QFile file(ini);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[SETTINGS]\nSprache=en\n");
        file.close();
        r = RunPivota({QStringLiteral("--settings"), ini, QStringLiteral("--help")}, Timeout,
                      cLocale);
        QVERIFY2(english(r), qPrintable(r.out + r.err));
        r = RunPivota({QStringLiteral("--settings"), ini, QStringLiteral("--lang"),
                       QStringLiteral("de"), QStringLiteral("--help")},
                      Timeout, cLocale);
        QVERIFY2(german(r), qPrintable(r.out + r.err));

        r = RunPivota({QStringLiteral("--lang"), QStringLiteral("fr")}, Timeout, cLocale);
        QCOMPARE(r.code, int(CommandLine::UsageError));
        QVERIFY2(r.err.startsWith(QLatin1String("pivota: --lang")), qPrintable(r.err));
    }

    void wrongCommandLineSaysWhatAndWhereTheUsageIs() {
        const QList<QPair<QStringList, QString>> cases = {
            {{QStringLiteral("--bogus")}, QStringLiteral("bogus")},
            {{QStringLiteral("a.pvt"), QStringLiteral("stray.ini")}, QStringLiteral("stray.ini")},
            {{QStringLiteral("--settings")}, QStringLiteral("--settings")},
        };
        for (const auto &[arguments, named] : cases) {
            const Run r = RunPivota(arguments);
            QCOMPARE(r.code, int(CommandLine::UsageError));
            QVERIFY(r.out.isEmpty());
            const QString first = r.err.section(u'\n', 0, 0);
            QVERIFY2(first.startsWith(QLatin1String("pivota: ")) && first.contains(named),
                     qPrintable(r.err));
            // One line more, where the usage is: the error stays in view.
            QCOMPARE(r.err.count(u'\n'), 2);
            QCOMPARE(r.err.section(u'\n', 1, 1),
                     QStringLiteral("Aufruf und Optionen: pivota --help"));
        }
    }

    // What the console shows: the program named as the user calls it, not by the path it was
    // started with, and no line that an 80-column console would break in the middle of a word.
    void helpAndUsageFitAConsole() {
        const QList<QStringList> runs = {
            {QStringLiteral("--help")},
            {QStringLiteral("--bogus")},
            {QStringLiteral("backup"), QStringLiteral("--help")},
            {QStringLiteral("backup"), QStringLiteral("x.pvt")},
            {QStringLiteral("--lang"), QStringLiteral("en"), QStringLiteral("--help")}};
        for (const QStringList &arguments : runs) {
            const Run r = RunPivota(arguments);
            const QString text = r.out + r.err;
            QVERIFY2(!text.contains(QLatin1String(PIVOTA_PATH " ")), qPrintable(text));
            for (const QString &line : text.split(u'\n')) {
                QVERIFY2(line.size() <= 79, qPrintable(arguments.join(u' ') + u'\n' + line));
            }
        }
        const Run help = RunPivota({QStringLiteral("--help")});
        QVERIFY2(help.out.startsWith(QLatin1String("Aufruf: pivota [")), qPrintable(help.out));
        QVERIFY2(RunPivota({QStringLiteral("--bogus")})
                     .err.contains(QLatin1String("\nAufruf und Optionen: pivota --help")),
                 "where the usage is, after an error");
    }

    void withoutDisplayOneClearLine() {
        const Run none = RunPivota({});
        QCOMPARE(none.code, int(CommandLine::NoDisplay));
        QCOMPARE(none.err.count(u'\n'), 1);
        QVERIFY2(none.err.contains(QLatin1String("Keine grafische Anzeige")), qPrintable(none.err));
        QVERIFY(!none.err.contains(QLatin1String("Reinstalling")));
        // In the language chosen, as every other message.
        const Run english = RunPivota({QStringLiteral("--lang"), QStringLiteral("en")});
        QCOMPARE(english.code, int(CommandLine::NoDisplay));
        QVERIFY2(english.err.contains(QLatin1String("No graphical display")),
                 qPrintable(english.err));

        // A display that is named but not there: the same, naming it. (A number no X server on
        // this machine uses, so that a test run beside a virtual display stays right.)
        int number = 97;
        while (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number))) {
            ++number;
        }
        const QString display = QStringLiteral(":%1").arg(number);
        const Run dead =
            RunPivota({QStringLiteral("--settings"), QStringLiteral("/nonexistent/x.ini")}, Timeout,
                      {{QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb")},
                       {QStringLiteral("DISPLAY"), display}});
        QCOMPARE(dead.code, int(CommandLine::NoDisplay));
        QCOMPARE(dead.err.count(u'\n'), 1);
        QVERIFY2(dead.err.contains(QStringLiteral("„%1“").arg(display)), qPrintable(dead.err));
    }

    void parsedOptions() {
        CommandLine c = ParseCommandLine({QStringLiteral("pivota")});
        QCOMPARE(c.action, CommandLine::Action::Run);
        QVERIFY(c.settingsPath.isEmpty());

        c = ParseCommandLine(
            {QStringLiteral("pivota"), QStringLiteral("--settings"), QStringLiteral("demo.ini")});
        QCOMPARE(c.action, CommandLine::Action::Run);
        QCOMPARE(c.settingsPath, QDir::current().absoluteFilePath(QStringLiteral("demo.ini")));
        c = ParseCommandLine({QStringLiteral("pivota"), QStringLiteral("--settings=/a b/c.ini")});
        QCOMPARE(c.settingsPath, QStringLiteral("/a b/c.ini"));

        // One file is the window's to offer for loading (a double click on it); a second is not.
        QVERIFY(c.openFile.isEmpty());
        c = ParseCommandLine({QStringLiteral("pivota"), QStringLiteral("Anlage.pvt")});
        QCOMPARE(c.action, CommandLine::Action::Run);
        QCOMPARE(c.openFile, QDir::current().absoluteFilePath(QStringLiteral("Anlage.pvt")));

        // Qt's own options stay Qt's.
        c = ParseCommandLine({QStringLiteral("pivota"), QStringLiteral("-platform"),
                              QStringLiteral("offscreen"), QStringLiteral("-style"),
                              QStringLiteral("fusion"), QStringLiteral("-reverse")});
        QCOMPARE(c.action, CommandLine::Action::Run);

        c = ParseCommandLine({QStringLiteral("pivota"), QStringLiteral("--settings=")});
        QCOMPARE(c.action, CommandLine::Action::Error);
    }

    void settingsBesideTheProgramOnlyWhenItsFolderIsWritable() {
        const QString program = QStringLiteral("/opt/pivota/bin/pivota");
        const QString config = QStringLiteral("/home/anna/.config/pivota");
        QStringList asked;
        auto writable = [&](bool answer) {
            return [&asked, answer](const QString &folder) {
                asked << folder;
                return answer;
            };
        };
        QCOMPARE(DefaultSettingsPath(program, config, writable(true)),
                 QStringLiteral("/opt/pivota/bin/pivota.ini"));
        QCOMPARE(DefaultSettingsPath(program, config, writable(false)),
                 QStringLiteral("/home/anna/.config/pivota/pivota.ini"));
        QCOMPARE(asked, QStringList(2, QStringLiteral("/opt/pivota/bin")));
        // The Windows program keeps its name with "ini" for the extension.
        QCOMPARE(
            DefaultSettingsPath(QStringLiteral("C:/Pivota/pivota.exe"), config, writable(true)),
            QStringLiteral("C:/Pivota/pivota.ini"));
    }

    void readOnlyFolderOnDisk() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString folder = dir.filePath(QStringLiteral("bin"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(FileSafety::IsFolderWritable(folder));
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner |
                                                  QFile::ReadGroup | QFile::ExeGroup |
                                                  QFile::ReadOther | QFile::ExeOther));
        // The decision follows access(): an ordinary user may not write into the folder; the
        // superuser (as in CI) may, so there the settings stay beside the program.
        const bool mayWrite = ::access(QFile::encodeName(folder).constData(), W_OK) == 0;
        QCOMPARE(FileSafety::IsFolderWritable(folder), mayWrite);
        QCOMPARE(mayWrite, ::geteuid() == 0);
        const QString chosen =
            DefaultSettingsPath(folder + QStringLiteral("/pivota"), dir.filePath("config"));
        QCOMPARE(chosen, mayWrite ? folder + QStringLiteral("/pivota.ini")
                                  : dir.filePath(QStringLiteral("config/pivota.ini")));
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QVERIFY(!FileSafety::IsFolderWritable(dir.filePath(QStringLiteral("missing"))));
    }

    void qtTextsInGerman() {
        QVERIFY2(InstallTranslations(*qApp, Language::German, {}),
                 "qt6-translations-l10n is not installed");
        QDialogButtonBox box(QDialogButtonBox::Yes | QDialogButtonBox::No |
                             QDialogButtonBox::Cancel);
        QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Abbrechen"));
        QCOMPARE(box.button(QDialogButtonBox::Yes)->text(), QStringLiteral("&Ja"));
        QCOMPARE(box.button(QDialogButtonBox::No)->text(), QStringLiteral("&Nein"));

        QLineEdit edit(QStringLiteral("Gleis 3"));
        std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        QStringList texts;
        for (const QAction *a : menu->actions()) {
            texts << a->text().section(u'\t', 0, 0); // without the shortcut
        }
        QVERIFY2(texts.contains(QStringLiteral("&Kopieren")), qPrintable(texts.join(u'|')));
        QVERIFY2(texts.contains(QStringLiteral("Alles auswählen")), qPrintable(texts.join(u'|')));
        QVERIFY(!texts.contains(QStringLiteral("&Copy")));
    }
};

QTEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
