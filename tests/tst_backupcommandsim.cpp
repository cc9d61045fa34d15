// pivota backup, compare and restore against pivota-sim on a pseudo-terminal, the port mapped as
// COM3 or named by its path: a backup holds the boards' cells, compare names what changed behind
// the program's back in the tab's words, restore writes exactly that, and a line that fails or a
// controller that never answers ends a run with status 3 and no file.

#include "core/backup/backupfile.h"
#include "fixtures/holder.h"
#include "fixtures/pivotarun.h"
#include "fixtures/simprocess.h"
#include "fixtures/testutil.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace PivotaRun;

namespace {
QJsonObject JsonOf(const Run &r) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(r.out.toUtf8(), &error);
    return error.error == QJsonParseError::NoError ? doc.object() : QJsonObject();
}
} // namespace

class TestBackupCommandSim : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_settings = m_dir.filePath(QStringLiteral("pivota.ini"));
        QVERIFY(TestUtil::WriteFile(m_settings, FastSettings()));
    }

    void lineFailures() {
        const QString small = m_dir.filePath(QStringLiteral("small.pvt"));
        QVERIFY(TestUtil::WriteFile(small, "[EE_BUHNE]\ndata_1_buhne=126\n"));
        for (const QString &port :
             {QStringLiteral("/dev/pivota-test-missing"), QStringLiteral("COM4")}) {
            const Run r = RunPivota({"compare", "--settings", m_settings, "--port", port, small});
            QVERIFY2(r.code == 3, qPrintable(Dump(r)));
            QVERIFY(r.err.contains(QStringLiteral("/dev/pivota-test-missing")));
            // A COM number mapped to a device is named beside it.
            QVERIFY2(port != QStringLiteral("COM4") ||
                         r.err.contains(QStringLiteral("COM4: /dev/pivota-test-missing")),
                     qPrintable(Dump(r)));
        }
        // A controller that is there but never answers: said so, not a lost line.
        {
            SimProcess silent;
            const QString link = m_dir.filePath(QStringLiteral("mute"));
            QVERIFY(silent.start({"--silent"}, link));
            const Run r = RunPivota({"compare", "--settings", m_settings, "--port", link, small});
            QVERIFY2(r.code == 3, qPrintable(Dump(r)));
            QVERIFY2(r.err.contains(QStringLiteral("Die Steuerung antwortet nicht")) &&
                         !r.err.contains(QStringLiteral("Verbindung ging verloren")),
                     qPrintable(Dump(r)));
        }
        // A controller that never answers: no file.
        SimProcess sim;
        const QString link = m_dir.filePath(QStringLiteral("silent"));
        QVERIFY(sim.start({"--silent"}, link));
        const QString file = m_dir.filePath(QStringLiteral("silent.pvt"));
        const Run r = RunPivota({"backup", "--settings", m_settings, "--port", link, file});
        QVERIFY2(r.code == 3, qPrintable(Dump(r)));
        QVERIFY(r.err.contains(QStringLiteral("antwortet nicht")));
        QVERIFY(!QFile::exists(file));
    }

    // pivota-sim keeps the device side of its line open itself: the line's far end, no holder. A
    // shell that holds the line without a lock makes it busy, and the message names the shell,
    // never the simulator. A line that hangs up is told once, in the program's words, without the
    // program's log lines, which only --log or the logging rules ask for.
    void heldLineAndHungUpLine() {
        const QString small = m_dir.filePath(QStringLiteral("held.pvt"));
        QVERIFY(TestUtil::WriteFile(small, "[EE_BUHNE]\ndata_1_buhne=126\n"));
        const QString link = m_dir.filePath(QStringLiteral("held"));
        {
            SimProcess sim;
            QVERIFY(sim.start({}, link));
            Holder shell;
            QVERIFY(shell.start(link));
            const Run r = RunPivota({"compare", "--settings", m_settings, "--port", link, small});
            QVERIFY2(r.code == 3, qPrintable(Dump(r)));
            QVERIFY2(r.err.contains(QStringLiteral("wird bereits von einem anderen Programm "
                                                   "benutzt (")) &&
                         r.err.contains(QStringLiteral("Prozess %1).").arg(shell.pid())),
                     qPrintable(Dump(r)));
            QVERIFY2(
                !r.err.contains(QStringLiteral("pivota-sim")) &&
                    !r.err.contains(QStringLiteral("Prozess %1").arg(sim.m_process.processId())),
                qPrintable(Dump(r)));
        }
        SimProcess sim;
        QVERIFY(sim.start(
            {"--pit-delay", "1", "--bridge-delay", "3", "--baud", "115200", "--hang-up-after", "1"},
            link));
        const Run r = RunPivota({"backup", "--settings", m_settings, "--port", link,
                                 m_dir.filePath(QStringLiteral("hung-up.pvt"))});
        QVERIFY2(r.code == 3, qPrintable(Dump(r)));
        QVERIFY2(r.err.contains(QStringLiteral("die Gegenstelle hat die Leitung geschlossen")),
                 qPrintable(Dump(r)));
        QVERIFY2(!r.err.contains(QStringLiteral("pivota.link")), qPrintable(Dump(r)));
    }

    void backupCompareRestoreAgainstPivotaSim() {
        const QString simFile = m_dir.filePath(QStringLiteral("sim.txt"));
        QString text;
        for (int cell = 0; cell < 256; ++cell) {
            text += SimLine('P', cell, (cell * 5 + 9) & 0xFF);
        }
        for (int cell = 0; cell < 256; ++cell) {
            text += SimLine('B', cell, (cell * 3 + 1) & 0xFF);
        }
        QVERIFY(TestUtil::WriteFile(simFile, text.toLatin1()));
        const QString link = m_dir.filePath(QStringLiteral("tty"));
        const QString settings = m_dir.filePath(QStringLiteral("sim.ini"));
        QVERIFY(TestUtil::WriteFile(settings, FastSettings(link)));
        // Quick boards on a quick line.
        const QStringList simArgs = {"--eeprom",       simFile, "--pit-delay", "1",
                                     "--bridge-delay", "3",     "--baud",      "115200"};
        const QString backup = m_dir.filePath(QStringLiteral("backup.pvt"));
        {
            SimProcess sim;
            QVERIFY(sim.start(simArgs, link));
            const Run r = RunPivota({"backup", "--settings", settings, "--port", "COM3", backup});
            QVERIFY2(r.code == 0, qPrintable(Dump(r)));
            QVERIFY(r.out.contains(QStringLiteral("Grube 256 von 256 Zellen, Bühne 256 von 256")));
        }
        Backup::FileContents contents;
        QString error;
        QVERIFY2(Backup::ReadFile(backup, &contents, &error), qPrintable(error));
        QVERIFY(contents.backup);
        for (int cell = 0; cell < 256; ++cell) {
            QVERIFY(contents.image.pit[size_t(cell)] == Backup::Cell::Of((cell * 5 + 9) & 0xFF));
            QVERIFY(contents.image.bridge[size_t(cell)] == Backup::Cell::Of((cell * 3 + 1) & 0xFF));
        }

        // Three cells change behind the program's back.
        text.replace(SimLine('P', 60, (60 * 5 + 9) & 0xFF), SimLine('P', 60, 0));
        text.replace(SimLine('B', 12, (12 * 3 + 1) & 0xFF), SimLine('B', 12, 0));
        text.replace(SimLine('B', 13, (13 * 3 + 1) & 0xFF), SimLine('B', 13, 0));
        QVERIFY(TestUtil::WriteFile(simFile, text.toLatin1()));
        {
            SimProcess sim;
            QVERIFY(sim.start(simArgs, link));
            Run r = RunPivota({"compare", "--settings", settings, "--port", link, backup});
            QVERIFY2(r.code == 1, qPrintable(Dump(r)));
            // The position row in the tab's words, the cell indented below it.
            QCOMPARE(r.out.count(u'\n'), 5);
            QVERIFY2(r.out.contains(QStringLiteral("Positionszeile 5 Position: Datei 54, "
                                                   "Steuerung 1\n    Grube 60 (0x3c) Adresszeile "
                                                   "9, Positionsnummer: Datei 53 (0x35), "
                                                   "Steuerung 0")),
                     qPrintable(Dump(r)));
            QVERIFY(r.out.contains(QStringLiteral("Bühne 13 (0x0d) Parameter „Filter_b“")));
            QVERIFY(r.out.contains(QStringLiteral("Grube: 1 Unterschied, Bühne: 2 Unterschiede")));

            r = RunPivota({"restore", "--settings", settings, "--port", link, "--yes", backup});
            QVERIFY2(r.code == 0, qPrintable(Dump(r)));
            QVERIFY(r.out.contains(QStringLiteral("Wiederhergestellt: 3 Zellen")));
        }
        // The simulator saved its cells at exit: the file's again (a restore compares what it
        // wrote by reading it back).
        const QByteArray saved = TestUtil::ReadFile(simFile);
        QVERIFY(saved.contains(SimLine('P', 60, (60 * 5 + 9) & 0xFF).toLatin1()));
        QVERIFY(saved.contains(SimLine('B', 13, (13 * 3 + 1) & 0xFF).toLatin1()));
        QVERIFY(saved.contains(SimLine('B', 12, (12 * 3 + 1) & 0xFF).toLatin1()));

        // A damaged backup is refused and nothing is sent.
        QByteArray bytes = TestUtil::ReadFile(backup);
        QVERIFY(bytes.contains("data_60_grube=53"));
        bytes.replace("data_60_grube=53", "data_60_grube=54");
        QVERIFY(TestUtil::WriteFile(backup, bytes));
        const Run r = RunPivota(
            {"restore", "--settings", m_settings, "--port", "simulator", "--yes", backup});
        QCOMPARE(r.code, 2);
        QVERIFY(r.err.contains(QStringLiteral("Prüfsumme")));
    }

    // A bit flipped on the line can make a cell's answer equal the file's value: pit cell 10
    // holds 6, the file 7, and the first answer says 7. Compare and restore confirm such an
    // answer as any other, find the difference and write it. A written cell whose read-backs
    // never agree is said to be unconfirmed, not "not written" beside the value wanted.
    void anAnswerThatEqualsTheFileIsConfirmedAsAnyOther() {
        const QString simFile = m_dir.filePath(QStringLiteral("flip.txt"));
        QVERIFY(TestUtil::WriteFile(simFile, SimLine('P', 10, 6).toLatin1()));
        const QString file = m_dir.filePath(QStringLiteral("seven.pvt"));
        QVERIFY(TestUtil::WriteFile(file, "[EE_GRUBE]\ndata_10_grube=7\n"));
        const QString link = m_dir.filePath(QStringLiteral("flip"));
        const QStringList quick = {"--eeprom",       simFile, "--pit-delay", "1",
                                   "--bridge-delay", "3",     "--baud",      "115200"};
        {
            SimProcess sim;
            QVERIFY(sim.start(quick + QStringList{"--flip-answer", "P,0a,01"}, link));
            const Run r = RunPivota({"compare", "--settings", m_settings, "--port", link, file});
            QVERIFY2(r.code == 1, qPrintable(Dump(r)));
            QVERIFY2(r.out.contains(QStringLiteral("Grube: 1 Unterschied")), qPrintable(Dump(r)));
        }
        {
            SimProcess sim;
            QVERIFY(sim.start(quick + QStringList{"--flip-answer", "P,0a,01"}, link));
            const Run r =
                RunPivota({"restore", "--settings", m_settings, "--port", link, "--yes", file});
            QVERIFY2(r.code == 0 && r.out.contains(QStringLiteral("Wiederhergestellt: 1 Zelle")),
                     qPrintable(Dump(r)));
        }
        QVERIFY(TestUtil::ReadFile(simFile).contains(SimLine('P', 10, 7).toLatin1()));

        // Board 6 again. Two answers 6 for the compare; then the read-backs of 7 alternate
        // 6, 7, 6, 7, ... and never settle.
        QVERIFY(TestUtil::WriteFile(simFile, SimLine('P', 10, 6).toLatin1()));
        QStringList flips = quick;
        for (const char *bits : {"00", "00", "01", "00", "01", "00", "01", "00", "01", "00"}) {
            flips << "--flip-answer" << QStringLiteral("P,0a,%1").arg(QLatin1String(bits));
        }
        SimProcess sim;
        QVERIFY(sim.start(flips, link));
        const Run r =
            RunPivota({"restore", "--settings", m_settings, "--port", link, "--yes", file});
        QVERIFY2(r.code == 1, qPrintable(Dump(r)));
        QVERIFY2(r.out.contains(QStringLiteral("geschrieben, aber nicht bestätigt, soll 7 (0x07)")),
                 qPrintable(Dump(r)));
        QVERIFY2(!r.out.contains(QStringLiteral("Steuerung 7 (0x07)")), qPrintable(Dump(r)));
        QVERIFY(r.out.contains(QStringLiteral("0 nicht geschrieben, 1 nicht bestätigt")));
    }

    // With --json each command prints one document a script reads: a backup's cells as the
    // boards hold them, a compare's difference by the setting's name, a restore's verified write,
    // and a line lost midway as its result.
    void jsonOfBackupCompareRestore() {
        const QString simFile = m_dir.filePath(QStringLiteral("json.txt"));
        QString text;
        for (int cell = 0; cell < 256; ++cell) {
            text += SimLine('P', cell, (cell * 7 + 2) & 0xFF) + SimLine('B', cell, cell ^ 0x55);
        }
        QVERIFY(TestUtil::WriteFile(simFile, text.toLatin1()));
        const QString link = m_dir.filePath(QStringLiteral("json-tty"));
        const QStringList quick = {"--eeprom",       simFile, "--pit-delay", "1",
                                   "--bridge-delay", "3",     "--baud",      "115200"};
        const QString backup = m_dir.filePath(QStringLiteral("json.pvt"));
        const QStringList base = {"--json", "--settings", m_settings, "--port", link};
        {
            SimProcess sim;
            QVERIFY(sim.start(quick, link));
            const Run r = RunPivota(QStringList{"backup"} + base + QStringList{backup});
            QVERIFY2(r.code == 0, qPrintable(Dump(r)));
            const QJsonObject json = JsonOf(r);
            QCOMPARE(json.value(QStringLiteral("result")).toString(), QStringLiteral("done"));
            const QJsonArray cells = json.value(QStringLiteral("cells")).toArray();
            QCOMPARE(cells.size(), 512);
            for (const QJsonValue &v : cells) {
                const QJsonObject c = v.toObject();
                const int cell = c.value(QStringLiteral("cell")).toInt();
                const bool pit = c.value(QStringLiteral("board")).toString() == u"grube";
                QCOMPARE(c.value(QStringLiteral("value")).toInt(-1),
                         pit ? (cell * 7 + 2) & 0xFF : cell ^ 0x55);
            }
            const QJsonObject counts = json.value(QStringLiteral("counts")).toObject();
            for (const QString &board : {QStringLiteral("grube"), QStringLiteral("buehne")}) {
                QCOMPARE(counts.value(board).toObject().value(QStringLiteral("confirmed")).toInt(),
                         256);
            }
        }
        // The bridge's fast speed to the left changes behind the program's back.
        text.replace(SimLine('B', 1, 1 ^ 0x55), SimLine('B', 1, 20));
        QVERIFY(TestUtil::WriteFile(simFile, text.toLatin1()));
        {
            SimProcess sim;
            QVERIFY(sim.start(quick, link));
            Run r = RunPivota(QStringList{"compare"} + base + QStringList{backup});
            QVERIFY2(r.code == 1, qPrintable(Dump(r)));
            QJsonObject json = JsonOf(r);
            QCOMPARE(json.value(QStringLiteral("count")).toInt(), 1);
            const QJsonObject named =
                json.value(QStringLiteral("differences")).toArray().at(0).toObject();
            QCOMPARE(named.value(QStringLiteral("name")).toString(),
                     QStringLiteral("geschwindigkeit-links-schnell"));
            QCOMPARE(named.value(QStringLiteral("controller"))
                         .toObject()
                         .value(QStringLiteral("number"))
                         .toInt(),
                     20);

            r = RunPivota(QStringList{"restore", "--yes"} + base + QStringList{backup});
            QVERIFY2(r.code == 0, qPrintable(Dump(r)));
            json = JsonOf(r);
            QCOMPARE(json.value(QStringLiteral("result")).toString(), QStringLiteral("done"));
            const QJsonArray writes = json.value(QStringLiteral("writes")).toArray();
            QCOMPARE(writes.size(), 1);
            QCOMPARE(writes.at(0).toObject().value(QStringLiteral("value")).toInt(), 1 ^ 0x55);
            QVERIFY(json.value(QStringLiteral("failures")).toArray().isEmpty());
        }
        QVERIFY(TestUtil::ReadFile(simFile).contains(SimLine('B', 1, 1 ^ 0x55).toLatin1()));

        SimProcess sim;
        QVERIFY(sim.start(quick + QStringList{"--hang-up-after", "1"}, link));
        const Run r = RunPivota(QStringList{"backup"} + base +
                                QStringList{m_dir.filePath(QStringLiteral("lost.pvt"))});
        QVERIFY2(r.code == 3, qPrintable(Dump(r)));
        QCOMPARE(JsonOf(r).value(QStringLiteral("result")).toString(),
                 QStringLiteral("lineFailed"));
    }

private:
    QTemporaryDir m_dir;
    QString m_settings;
};

QTEST_GUILESS_MAIN(TestBackupCommandSim)
#include "tst_backupcommandsim.moc"
