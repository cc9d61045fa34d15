// pivota backup, compare and restore as a service technician runs them from a console without a
// display, against the built-in simulator, with the exit codes a script can rely on (0 equal,
// 1 differences, 2 usage or file, 3 line). Against pivota-sim: tst_backupcommandsim.

#include "fixtures/pivotarun.h"
#include "fixtures/pty.h"
#include "fixtures/testutil.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

using namespace PivotaRun;

class TestBackupCommand : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_settings = m_dir.filePath(QStringLiteral("pivota.ini"));
        QVERIFY(TestUtil::WriteFile(m_settings, FastSettings()));
    }

    void usageErrors() {
        const QString file = m_dir.filePath(QStringLiteral("x.pvt"));
        const QList<QStringList> wrong = {
            {"backup", file},
            {"compare", "--port", "simulator"},
            {"compare", "--port", "simulator", file, "more"},
            {"backup", "--port", "simulator", "--baud", "1234", file},
            {"backup", "--port", "simulator", "--yes", file},
            {"backup", "--port", "simulator", ""},
            {"restore", "--port", "simulator", "--colour", file},
        };
        for (const QStringList &args : wrong) {
            const Run r = RunPivota(args);
            QVERIFY2(r.code == 2, qPrintable(args.join(' ') + '\n' + Dump(r)));
            QVERIFY(
                r.err.endsWith(QStringLiteral("\nAufruf und Optionen: pivota backup --help\n")));
            QVERIFY(r.out.isEmpty());
        }
        QVERIFY(!QFile::exists(file));

        const Run help = RunPivota({"restore", "--help"});
        QCOMPARE(help.code, 0);
        QVERIFY(help.out.contains(QStringLiteral("--yes")));
        QVERIFY(help.out.contains(QStringLiteral("3 Verbindung fehlgeschlagen")));
        const Run programHelp = RunPivota({"--help"});
        QCOMPARE(programHelp.code, 0);
        QVERIFY2(programHelp.out.contains(QStringLiteral("pivota restore --port GERÄT")),
                 qPrintable(programHelp.out));
    }

    void filesRefusedBeforeAnythingIsSent() {
        const QString missing = m_dir.filePath(QStringLiteral("missing.pvt"));
        Run r = RunPivota({"compare", "--port", "simulator", missing});
        QCOMPARE(r.code, 2);
        QVERIFY(r.err.contains(QStringLiteral("nicht vorhanden")));

        const QString empty = m_dir.filePath(QStringLiteral("empty.pvt"));
        QVERIFY(TestUtil::WriteFile(empty, "[SETTINGS]\nCOM-Port=3\n"));
        r = RunPivota({"restore", "--port", "simulator", "--yes", empty});
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains(QStringLiteral("keine Zellen")), qPrintable(Dump(r)));
        QVERIFY(r.err.contains(QStringLiteral("Nichts wurde gesendet.")));

        // Restore asks before it writes; without a terminal only --yes answers.
        const QString small = m_dir.filePath(QStringLiteral("small.pvt"));
        QVERIFY(TestUtil::WriteFile(small, "[EE_BUHNE]\ndata_1_buhne=100\n"));
        r = RunPivota({"restore", "--port", "simulator", small});
        QCOMPARE(r.code, 2);
        QVERIFY(r.err.contains(QStringLiteral("--yes")));
        QVERIFY(!r.err.contains(QStringLiteral("liest"))); // nothing was read either
    }

    // SIGTERM as Ctrl-C, and a closed terminal (a dropped SSH session) or a closed pipe as well:
    // the run stops cleanly and says what it did, with the same status.
    void stoppedRunsSayWhatTheyDid_data() {
        QTest::addColumn<bool>("backup");
        QTest::addColumn<int>("signal");
        QTest::newRow("backup, SIGTERM") << true << SIGTERM;
        QTest::newRow("backup, SIGHUP") << true << SIGHUP;
        QTest::newRow("backup, SIGPIPE") << true << SIGPIPE;
        QTest::newRow("restore, SIGHUP") << false << SIGHUP;
        QTest::newRow("restore, SIGPIPE") << false << SIGPIPE;
    }
    void stoppedRunsSayWhatTheyDid() {
        QFETCH(bool, backup);
        QFETCH(int, signal);
        const QString file = m_dir.filePath(QStringLiteral("stopped.pvt"));
        QFile::remove(file);
        if (!backup) { // every pit cell differs from the built-in simulator's
            QByteArray cells = "[EE_GRUBE]\n";
            for (int cell = 1; cell < 256; ++cell) {
                cells +=
                    QStringLiteral("data_%1_grube=%2\n").arg(cell).arg(cell % 2 ? 77 : 78).toUtf8();
            }
            QVERIFY(TestUtil::WriteFile(file, cells));
        }
        QProcess p;
        p.start(QStringLiteral(PIVOTA_PATH),
                backup
                    ? QStringList{"backup", "--settings", m_settings, "--port", "simulator", file}
                    : QStringList{"restore", "--yes", "--settings", m_settings, "--port",
                                  "simulator", file});
        QVERIFY(p.waitForStarted());
        QByteArray err;
        QVERIFY(QTest::qWaitFor(
            [&] {
                err += p.readAllStandardError();
                // A tenth of the cells is read, or written.
                return err.count(backup ? "liest " : "schreibt ") >= 2;
            },
            30000));
        ::kill(static_cast<pid_t>(p.processId()), signal);
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 130);
        err += p.readAllStandardError();
        if (backup) {
            QVERIFY2(err.contains("Abgebrochen: keine Datei geschrieben."), err.constData());
            QVERIFY(!QFile::exists(file));
        } else {
            QVERIFY2(err.contains("Abgebrochen: das Wiederherstellen ist unvollständig"),
                     err.constData());
        }
    }

    // A backup into the settings file in use, under its name or through a link, would replace
    // the settings with the cells: refused before anything is read.
    void backupIntoTheSettingsFileIsRefused() {
        const QString settings = m_dir.filePath(QStringLiteral("own.ini"));
        const QByteArray original = FastSettings() + "; Anlage Keller\n";
        QVERIFY(TestUtil::WriteFile(settings, original));
        const QString symbolic = m_dir.filePath(QStringLiteral("own-link.pvt"));
        QVERIFY(QFile::link(settings, symbolic));
        const QString hard = m_dir.filePath(QStringLiteral("own-hard.pvt"));
        QCOMPARE(
            ::link(QFile::encodeName(settings).constData(), QFile::encodeName(hard).constData()),
            0);
        for (const QString &file : {settings, symbolic, hard}) {
            const Run r =
                RunPivota({"backup", "--settings", settings, "--port", "simulator", file});
            QVERIFY2(r.code == 2, qPrintable(file + '\n' + Dump(r)));
            QVERIFY2(r.err.contains(QStringLiteral("%1 ist die Einstellungs-Datei").arg(file)),
                     qPrintable(Dump(r)));
            QVERIFY2(!r.err.contains(QStringLiteral("liest")), qPrintable(Dump(r)));
            QCOMPARE(TestUtil::ReadFile(settings), original);
        }
    }

    void compareAndRestoreOnTheBuiltInSimulator() {
        // The built-in simulator starts from the boards' defaults in every run.
        const QString file = m_dir.filePath(QStringLiteral("defaults.pvt"));
        QVERIFY(TestUtil::WriteFile(file, "[EE_GRUBE]\ndata_48_grube=24\ndata_0_grube=1\n"
                                          "[EE_BUHNE]\ndata_1_buhne=126\ndata_2_buhne=126\n"));
        Run r = RunPivota({"compare", "--settings", m_settings, "--port", "simulator", file});
        QVERIFY2(r.code == 0, qPrintable(Dump(r)));
        QCOMPARE(r.out.trimmed(),
                 QStringLiteral("Grube: keine Unterschiede, Bühne: keine Unterschiede"));
        // Progress as plain lines: standard error is no terminal.
        QVERIFY(r.err.contains(QStringLiteral("liest 4 von 4 Zellen")));
        QVERIFY(!r.err.contains(u'\r'));

        QVERIFY(TestUtil::WriteFile(file, "[EE_GRUBE]\ndata_48_grube=20\ndata_0_grube=9\n"
                                          "[EE_BUHNE]\ndata_1_buhne=100\ndata_2_buhne=126\n"));
        r = RunPivota({"compare", "--settings", m_settings, "--port", "simulator", file});
        QVERIFY2(r.code == 1, qPrintable(Dump(r)));
        const QStringList lines = r.out.trimmed().split(u'\n');
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0], QStringLiteral("Grube 0 (0x00) Firmware-Version, 1. Byte: Datei 9 "
                                          "(0x09), Steuerung 1 (0x01)"));
        QCOMPARE(lines[2], QStringLiteral("Bühne 1 (0x01) Parameter „Geschwindigkeit Links "
                                          "schnell“: Datei 100 (0x64), Steuerung 126 (0x7e)"));
        QCOMPARE(lines[3], QStringLiteral("Grube: 2 Unterschiede, Bühne: 1 Unterschied"));

        // The firmware version differs and is never written: the controller is not the file's.
        r = RunPivota({"restore", "--settings", m_settings, "--port", "simulator", "--yes", file});
        QVERIFY2(r.code == 1, qPrintable(Dump(r)));
        QVERIFY(r.err.contains(QStringLiteral("1 Zelle der Grube und 1 Zelle der Bühne")));
        // A file without a backup's checksum: the question says that nothing vouches for it.
        QVERIFY(r.err.contains(QStringLiteral("keine Prüfsumme: die Datei wurde nicht von einer "
                                              "Sicherung geschrieben")));
        QVERIFY(r.out.contains(QStringLiteral("Wiederhergestellt: 2 Zellen geschrieben und "
                                              "geprüft.")));
        QVERIFY(r.out.contains(QStringLiteral("Firmware-Version der Steuerung weicht")));

        // Only the firmware differs: nothing to write, but not "as the file".
        QVERIFY(TestUtil::WriteFile(file, "[EE_GRUBE]\ndata_0_grube=9\n"));
        r = RunPivota({"restore", "--settings", m_settings, "--port", "simulator", "--yes", file});
        QVERIFY2(r.code == 1, qPrintable(Dump(r)));
        QVERIFY(!r.out.contains(QStringLiteral("entspricht der Datei")));
        QVERIFY(r.out.contains(QStringLiteral("Nichts zu schreiben, aber die Firmware-Version")));

        // Cells the file holds as unconfirmed are named, and the run does not count as done.
        QVERIFY(TestUtil::WriteFile(file,
                                    "[EE_GRUBE]\ndata_48_grube=24\ndata_50_grube=unbestätigt\n"
                                    "[EE_BUHNE]\ndata_1_buhne=126\n"));
        const QStringList common = {"--settings", m_settings, "--port", "simulator"};
        for (const QStringList &args :
             {QStringList{"compare"} + common + QStringList{file},
              QStringList{"restore"} + common + QStringList{"--yes", file}}) {
            r = RunPivota(args);
            QVERIFY2(r.code == 1, qPrintable(Dump(r)));
            QVERIFY2(r.out.contains(QStringLiteral("Grube 50 (0x32)")) &&
                         r.out.contains(QStringLiteral("in der Datei unbestätigt")),
                     qPrintable(Dump(r)));
        }
    }

    // Options before and after the command, in any order; the messages in the chosen language;
    // the settings file's baud rate.
    void optionsInAnyOrder() {
        const QString file = m_dir.filePath(QStringLiteral("order.pvt"));
        QVERIFY(TestUtil::WriteFile(file, "[EE_BUHNE]\ndata_1_buhne=126\n"));
        const QList<QStringList> orders = {
            {"--lang", "en", "compare", "--settings", m_settings, "--port", "simulator", file},
            {"--settings", m_settings, "compare", "--port", "simulator", file},
            {"compare", "--lang", "en", "--port", "simulator", "--settings", m_settings, file},
            {"--port", "simulator", "--lang=de", "compare", file},
        };
        for (const QStringList &args : orders) {
            const Run r = RunPivota(args);
            QVERIFY2(r.code == 0, qPrintable(args.join(' ') + '\n' + Dump(r)));
            const bool english = args.contains(QStringLiteral("en"));
            QVERIFY2(r.out.trimmed() ==
                         (english ? QStringLiteral("Pit: no differences, Bridge: no differences")
                                  : QStringLiteral("Grube: keine Unterschiede, Bühne: keine "
                                                   "Unterschiede")),
                     qPrintable(Dump(r)));
        }
        // A wrong command line is told in the chosen language, wherever --lang stands.
        for (const QStringList &args :
             {QStringList{"--lang", "en", "backup", "--baud", "1234", "--port", "simulator", file},
              QStringList{"backup", "--colour", "--lang", "en", file}}) {
            const Run r = RunPivota(args);
            QVERIFY2(r.code == 2, qPrintable(Dump(r)));
            QVERIFY2(r.err.endsWith(QStringLiteral("\nUsage and options: pivota backup --help\n")),
                     qPrintable(Dump(r)));
            QCOMPARE(r.err.count(u'\n'), 2); // the error stays in view
            QVERIFY2(!r.err.contains(QStringLiteral("Aufruf")), qPrintable(Dump(r)));
        }
        const Run lang = RunPivota({"backup", "--lang", "fr", "--port", "simulator", file});
        QCOMPARE(lang.code, 2);
        QVERIFY(lang.err.contains(QStringLiteral("--lang braucht de oder en.")));
        // What is no serial line is told in the program's words, in the chosen language.
        const QString regular = m_dir.filePath(QStringLiteral("regular"));
        QVERIFY(TestUtil::WriteFile(regular, "x"));
        Run r = RunPivota({"--lang", "en", "compare", "--port", regular, file});
        QVERIFY2(r.code == 3, qPrintable(Dump(r)));
        QVERIFY2(r.err.contains(QStringLiteral("%1 is a file, not a serial port.").arg(regular)),
                 qPrintable(Dump(r)));
        r = RunPivota({"compare", "--port", m_dir.path(), file});
        QVERIFY2(r.code == 3 &&
                     r.err.contains(QStringLiteral("%1 ist ein Ordner und keine serielle "
                                                   "Schnittstelle.")
                                        .arg(m_dir.path())),
                 qPrintable(Dump(r)));
        r = RunPivota({"compare", "--port", "/dev/null", file});
        QVERIFY2(r.code == 3 &&
                     r.err.contains(QStringLiteral("/dev/null ist keine serielle Schnittstelle.")),
                 qPrintable(Dump(r)));
    }

    void theBaudRateOfTheSettingsFile() {
        // No --baud: the settings file's rate, as the window takes it.
        Pty terminal;
        QVERIFY(terminal.isValid());
        const QString settings = m_dir.filePath(QStringLiteral("baud.ini"));
        QByteArray ini = FastSettings(terminal.device());
        ini.replace("[SETTINGS]\n", "[SETTINGS]\nBaud=2400\n");
        QVERIFY(TestUtil::WriteFile(settings, ini));
        const QString file = m_dir.filePath(QStringLiteral("baud.pvt"));
        QVERIFY(TestUtil::WriteFile(file, "[EE_GRUBE]\ndata_48_grube=24\n"));
        for (const auto &[args, speed] :
             {std::pair{QStringList{"compare", "--settings", settings, "--port", "COM3", file},
                        speed_t(B2400)},
              std::pair{QStringList{"compare", "--baud", "19200", "--settings", settings, "--port",
                                    "COM3", file},
                        speed_t(B19200)}}) {
            QProcess p;
            p.start(QStringLiteral(PIVOTA_PATH), args);
            QVERIFY(p.waitForStarted());
            // The controller says nothing: the line is watched while the program waits for it.
            const bool set =
                QTest::qWaitFor([&] { return terminal.outputSpeed() == speed; }, 10000);
            p.kill();
            p.waitForFinished();
            QVERIFY2(set, qPrintable(QString::number(terminal.outputSpeed())));
        }
    }

    // Texts in the file that are no value: named, never written; nothing usable is refused.
    void cellTextsThatAreNoValues() {
        const QString file = m_dir.filePath(QStringLiteral("hand.pvt"));
        QVERIFY(TestUtil::WriteFile(file, "[EE_GRUBE]\ndata_7_grube=300\ndata_48_grube=20\n"
                                          "[EE_BUHNE]\ndata_9_buhne=xyz\n"));
        const QStringList common = {"--settings", m_settings, "--port", "simulator"};
        Run r = RunPivota(QStringList{"compare"} + common + QStringList{file});
        QVERIFY2(r.code == 1, qPrintable(Dump(r)));
        QVERIFY2(r.out.contains(QStringLiteral("Grube 7 (0x07) Adresszeile 4, DCC-Byte 1: in der "
                                               "Datei „300“, kein Wert (0 bis 255), nicht "
                                               "verglichen")),
                 qPrintable(Dump(r)));
        QVERIFY(r.out.contains(QStringLiteral("Bühne 9 (0x09): in der Datei „xyz“")));

        r = RunPivota(QStringList{"restore"} + common + QStringList{"--yes", file});
        QVERIFY2(r.code == 1, qPrintable(Dump(r)));
        // The list of what differs first, then the question on a line of its own.
        const qsizetype question = r.err.indexOf(QStringLiteral("Wiederherstellen: "));
        QVERIFY2(question >= 0 && (question == 0 || r.err.at(question - 1) == u'\n'),
                 qPrintable(Dump(r)));
        QVERIFY2(r.err.contains(QStringLiteral("Ohne Wert in der Datei, nicht geschrieben: Grube 7 "
                                               "(0x07) „300“, Bühne 9 (0x09) „xyz“.")),
                 qPrintable(Dump(r)));
        QVERIFY(r.out.contains(QStringLiteral("Wiederhergestellt: 1 Zelle geschrieben")));

        QVERIFY(TestUtil::WriteFile(file, "[EE_GRUBE]\ndata_7_grube=300\n"));
        r = RunPivota(QStringList{"restore"} + common + QStringList{"--yes", file});
        QVERIFY2(r.code == 2, qPrintable(Dump(r)));
        QVERIFY(r.err.contains(QStringLiteral("Nichts wurde gesendet.")));
    }

    // What is no regular file is refused at once with the reason, before the port is opened,
    // and a device given as the backup's file stays the device.
    void filesThatAreNoFilesAreRefusedAtOnce() {
        const QString fifo = m_dir.filePath(QStringLiteral("fifo.pvt"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QString folder = m_dir.filePath(QStringLiteral("folder.pvt"));
        QVERIFY(QDir().mkdir(folder));
        struct Case {
            QStringList args;
            const char *reason;
        };
        const QList<Case> cases = {
            {{"compare", "--port", "simulator", fifo}, "Pipe"},
            {{"restore", "--port", "simulator", "--yes", fifo}, "Pipe"},
            {{"compare", "--port", "simulator", "/dev/zero"}, "Gerät"},
            {{"backup", "--port", "simulator", "/dev/null"}, "Gerät"},
            {{"backup", "--port", "simulator", folder}, "Ordner"},
            {{"compare", "--port", "simulator", folder}, "Ordner"},
            {{"compare", "--port", "simulator", "--settings", fifo, folder}, "Pipe"},
            {{"compare", "--port", "simulator", "--settings", "/dev/zero", folder}, "Gerät"},
        };
        for (const Case &c : cases) {
            const Run r = RunPivota(c.args, 20000);
            QVERIFY2(r.code == 2, qPrintable(c.args.join(' ') + '\n' + Dump(r)));
            QVERIFY2(r.err.contains(QString::fromUtf8(c.reason)), qPrintable(Dump(r)));
            QVERIFY2(!r.err.contains(QStringLiteral("liest")), qPrintable(Dump(r)));
        }
        QVERIFY(QFileInfo(QStringLiteral("/dev/null")).exists());
        QVERIFY(!QFileInfo(QStringLiteral("/dev/null")).isFile());

        // A cell held twice with two values is refused: which one to restore is not known.
        const QString twice = m_dir.filePath(QStringLiteral("twice.pvt"));
        QVERIFY(TestUtil::WriteFile(twice, "[EE_BUHNE]\ndata_1_buhne=100\ndata_1_buhne=126\n"));
        const Run r = RunPivota({"restore", "--port", "simulator", "--yes", twice});
        QVERIFY2(r.code == 2, qPrintable(Dump(r)));
        QVERIFY2(r.err.contains(QStringLiteral("data_1_buhne")), qPrintable(Dump(r)));
        QVERIFY(r.err.contains(QStringLiteral("Nichts wurde gesendet.")));

        // A settings file far too large is named once, its size as the locale writes numbers.
        const QString huge = m_dir.filePath(QStringLiteral("huge.ini"));
        {
            QFile f(huge);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.resize(5 * 1024 * 1024)); // sparse
        }
        const Run big = RunPivota({"compare", "--port", "simulator", "--settings", huge, twice},
                                  20000, {{"LC_ALL", "de_DE.UTF-8"}, {"LANG", "de_DE.UTF-8"}});
        QVERIFY2(big.code == 2, qPrintable(Dump(big)));
        QCOMPARE(big.err.count(huge), 1);
        QVERIFY2(big.err.contains(QStringLiteral("(5,0 MB; höchstens 4 MB)")),
                 qPrintable(Dump(big)));
    }

    // Ctrl-C while restore asks: it ends with 130 at once, and nothing is written.
    void ctrlCAtTheRestoreQuestionWritesNothing() {
        Pty terminal;
        QVERIFY(terminal.isValid());
        const QString file = m_dir.filePath(QStringLiteral("ask.pvt"));
        QVERIFY(TestUtil::WriteFile(file, "[EE_BUHNE]\ndata_1_buhne=100\n"));
        QProcess p;
        p.setStandardInputFile(terminal.device());
        p.start(QStringLiteral(PIVOTA_PATH),
                {"restore", "--settings", m_settings, "--port", "simulator", file});
        QVERIFY(p.waitForStarted());
        QByteArray err;
        QVERIFY(QTest::qWaitFor(
            [&] {
                err += p.readAllStandardError();
                return err.contains("[j/N]");
            },
            30000));
        ::kill(static_cast<pid_t>(p.processId()), SIGINT);
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 130);
        err += p.readAllStandardError();
        const QByteArray out = p.readAllStandardOutput();
        QVERIFY2(!err.contains("schreibt") && !out.contains("Wiederhergestellt"),
                 (err + out).constData());
        QVERIFY2((err + out).contains("nichts wurde geschrieben"), (err + out).constData());
        QVERIFY(!(err + out).contains("ein Teil der Zellen"));
    }

private:
    QTemporaryDir m_dir;
    QString m_settings;
};

QTEST_GUILESS_MAIN(TestBackupCommand)
#include "tst_backupcommand.moc"
