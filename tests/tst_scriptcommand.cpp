// pivota list, get, set, diff and drive as a script runs them: names a shell can type, values
// refused before anything is sent, every write landing on the boards of pivota-sim (read from the
// simulator's own EEPROM file after it stops), and the JSON a script reads, parsed.

#include "comm/addresscodes.h"
#include "core/parameter/parametercatalogue.h"
#include "fixtures/pivotarun.h"
#include "fixtures/simprocess.h"
#include "fixtures/testutil.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

using namespace PivotaRun;

namespace {
QJsonObject JsonOf(const Run &r) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(r.out.toUtf8(), &error);
    return error.error == QJsonParseError::NoError ? doc.object() : QJsonObject();
}

// The cells of the simulator's EEPROM file, "P 1a 7e" per line: pit cells at 0..255, bridge at
// 256..511.
QList<int> SimCells(const QString &path) {
    QList<int> cells(512, -1);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return cells;
    }
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() == 3) {
            cells[(parts[0] == "B" ? 256 : 0) + parts[1].toInt(nullptr, 16)] =
                parts[2].toInt(nullptr, 16);
        }
    }
    return cells;
}

int BridgeCellOf(int ref) {
    return 256 + Parameter::CellOf(ref);
}
} // namespace

class TestScriptCommand : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_settings = m_dir.filePath(QStringLiteral("pivota.ini"));
        QVERIFY(TestUtil::WriteFile(m_settings, FastSettings()));
    }

    // Every name is unique and found again; a wrong word anywhere refuses the whole command
    // before the port is opened (the missing port would otherwise answer 3).
    void namesAndRefusals() {
        const Run list = RunPivota({"list", "--json"});
        QCOMPARE(list.code, 0);
        const QJsonArray settings = JsonOf(list).value(QStringLiteral("settings")).toArray();
        QSet<QString> names;
        for (const QJsonValue &v : settings) {
            names.insert(v.toObject().value(QStringLiteral("name")).toString());
        }
        QCOMPARE(names.size(), settings.size());
        QVERIFY(names.contains(QStringLiteral("geschwindigkeit-links-schnell")));
        QVERIFY(names.contains(QStringLiteral("zeit-laenge-horn-bei-start")));
        QVERIFY(names.contains(QStringLiteral("lastregelung-verwenden")));
        for (const QString &name : names) {
            QVERIFY2(QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789-").contains(name.at(0)),
                     qPrintable(name));
            QVERIFY2(!name.contains(u' ') && name == name.toLower(), qPrintable(name));
        }

        const QString missing = QStringLiteral("/dev/pivota-test-missing");
        const QList<QStringList> wrong = {
            {"set", "--port", missing, "geschwindigkeit-links-schnell=128"},
            {"set", "--port", missing, "geschwindigkeit-links-schnell=0"},
            {"set", "--port", missing, "zeit-laenge-horn-bei-start=16.3s"},
            {"set", "--port", missing, "zeit-laenge-horn-bei-start=1.27V"},
            {"set", "--port", missing, "lastregelung-verwenden=vielleicht"},
            {"set", "--port", missing, "sw-version-grube=1"},
            {"set", "--port", missing, "P:3=dcc:2045/gruen"},
            {"set", "--port", missing, "P:49=dcc:1/gruen"},
            {"set", "--port", missing, "filter-s=20", "unbekannt=1"},
            {"set", "--port", missing, "filter-s"},
            {"get", "--port", missing, "grube:256"},
            {"get", "geschwindigkeit-links-schnell"},
            {"get", "--port", missing},
            {"list", "--port", missing},
            {"get", "--port", missing, "--force", "filter-s"},
            {"set", "--port", missing, "--from", "a.pvt", "zeiten"},
            {"diff", "a.pvt"},
            {"drive", "--port", missing, "--to", "49"},
            {"drive", "--port", missing, "--to", "3", "--stop"},
            {"drive", "--port", missing, "--left"},
            {"drive", "--port", missing, "--to", "3", "--left", "--right"},
            {"drive", "--port", missing, "--light", "an"},
            {"drive", "--port", missing, "--to", "3", "--timeout", "5"},
            {"drive", "--to", "3", "--wait"},
            {"get", "--port", missing, "--wait", "filter-s"},
        };
        for (const QStringList &args : wrong) {
            const Run r = RunPivota(QStringList{"--settings", m_settings} + args);
            QVERIFY2(r.code == 2, qPrintable(args.join(' ') + '\n' + Dump(r)));
            QVERIFY2(!r.err.contains(missing), qPrintable(Dump(r)));
            QVERIFY(r.err.contains(QStringLiteral("pivota %1 --help").arg(args.at(0))));
        }
        // A file without the part asked for: refused before the port is opened.
        const Run noPart = RunPivota({"set", "--settings", m_settings, "--port", missing, "--from",
                                      m_settings, "parameter"});
        QVERIFY2(noPart.code == 2 && noPart.err.contains(QStringLiteral("Nichts wurde gesendet")),
                 qPrintable(Dump(noPart)));
        const Run help = RunPivota({"set", "--help"});
        QCOMPARE(help.code, 0);
        QVERIFY(help.out.contains(QStringLiteral("--force")));
        // A name is not case sensitive, a board is named in either spelling.
        const Run line = RunPivota(
            {"get", "--settings", m_settings, "--port", missing, "Filter-S", "bühne:0x07"});
        QVERIFY2(line.code == 3, qPrintable(Dump(line)));
    }

    // Parameters, two bits of one option byte, a unit value and an address row by its position:
    // each lands on the simulated boards; a second set finds them equal, --force writes again.
    void setLandsOnTheBoards() {
        const QString simFile = m_dir.filePath(QStringLiteral("sim.txt"));
        QString text;
        for (int cell = 0; cell < 256; ++cell) {
            int value = (cell * 5 + 9) & 0x7F;
            for (int row = AddressCodes::FirstPositionRow; row < AddressCodes::Rows; ++row) {
                if (cell == AddressCodes::StepCell(row, 3)) {
                    value = row - AddressCodes::FirstPositionRow; // row 6 drives to position 3
                }
            }
            text += SimLine('P', cell, value);
        }
        for (int cell = 0; cell < 256; ++cell) {
            text += SimLine('B', cell, cell == 8 ? 0x01 : (cell * 3 + 1) & 0x7F);
        }
        QVERIFY(TestUtil::WriteFile(simFile, text.toLatin1()));
        const QString link = m_dir.filePath(QStringLiteral("tty"));
        SimProcess sim;
        QVERIFY(sim.start(
            {"--eeprom", simFile, "--pit-delay", "1", "--bridge-delay", "3", "--baud", "115200"},
            link));
        const QStringList base = {"--settings", m_settings, "--port", link, "--json"};
        const QStringList values = {
            "geschwindigkeit-links-schnell=100", "zeit-laenge-horn-bei-start=1.27s",
            "lastregelung-verwenden=nein", "sound-verwenden=ja", "P:3=dcc:230/gruen"};
        Run r = RunPivota(QStringList{"set"} + base + values);
        QVERIFY2(r.code == 0, qPrintable(Dump(r)));
        QJsonObject json = JsonOf(r);
        QCOMPARE(json.value(QStringLiteral("result")).toString(), QStringLiteral("done"));
        QJsonArray items = json.value(QStringLiteral("settings")).toArray();
        QCOMPARE(items.size(), values.size());
        for (const QJsonValue &item : items) {
            QCOMPARE(item.toObject().value(QStringLiteral("outcome")).toString(),
                     QStringLiteral("written"));
        }

        r = RunPivota(QStringList{"set"} + base + values);
        QVERIFY2(r.code == 0, qPrintable(Dump(r)));
        for (const QJsonValue &item : JsonOf(r).value(QStringLiteral("settings")).toArray()) {
            QCOMPARE(item.toObject().value(QStringLiteral("outcome")).toString(),
                     QStringLiteral("unchanged"));
            QVERIFY(item.toObject().value(QStringLiteral("writes")).toArray().isEmpty());
        }
        r = RunPivota(QStringList{"set", "--force"} + base + QStringList{values.at(0)});
        QVERIFY2(r.code == 0, qPrintable(Dump(r)));
        items = JsonOf(r).value(QStringLiteral("settings")).toArray();
        QCOMPARE(items.at(0).toObject().value(QStringLiteral("writes")).toArray().size(), 1);

        r = RunPivota(QStringList{"get"} + base + QStringList{"zeit-laenge-horn-bei-start"});
        QVERIFY2(r.code == 0, qPrintable(Dump(r)));
        const QJsonObject horn =
            JsonOf(r).value(QStringLiteral("settings")).toArray().at(0).toObject();
        QCOMPARE(horn.value(QStringLiteral("state")).toString(), QStringLiteral("confirmed"));
        QCOMPARE(horn.value(QStringLiteral("number")).toInt(), 20);
        QCOMPARE(horn.value(QStringLiteral("unit")).toString(), QStringLiteral("s"));
        QVERIFY(qAbs(horn.value(QStringLiteral("unitValue")).toDouble() - 1.275) < 0.01);

        // The chosen part of a file only: its parameter, not its address cell.
        const QString file = m_dir.filePath(QStringLiteral("part.pvt"));
        QVERIFY(TestUtil::WriteFile(file, "[EE_BUHNE]\ndata_12_buhne=33\n[EE_GRUBE]\n"
                                          "data_20_grube=9\n"));
        r = RunPivota(QStringList{"set"} + base + QStringList{"--from", file, "parameter"});
        QVERIFY2(r.code == 0, qPrintable(Dump(r)));
        QCOMPARE(JsonOf(r).value(QStringLiteral("writes")).toArray().size(), 1);

        sim.stop();
        const QList<int> cells = SimCells(simFile);
        QCOMPARE(cells.at(256 + 12), 33);
        QCOMPARE(cells.at(20), (20 * 5 + 9) & 0x7F);
        QCOMPARE(cells.at(BridgeCellOf(Parameter::Rows()[0].cell)), 100);
        QCOMPARE(cells.at(256 + 20), 20);
        QCOMPARE(cells.at(BridgeCellOf(Parameter::Groups()[0].cell)), 0x02);
        const int row = AddressCodes::FirstPositionRow + 2;
        const AddressCodes::Code dcc = *AddressCodes::EncodeDcc(230, true).code;
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(cells.at(AddressCodes::StepCell(row, i)), int(dcc[size_t(i)]));
        }
    }

    // Two files compared without a controller: named as set names them, raw cells by board and
    // number; 0 same, 1 different, 2 a file that cannot be used.
    void diffOfTwoFiles() {
        const QString a = m_dir.filePath(QStringLiteral("a.pvt"));
        const QString b = m_dir.filePath(QStringLiteral("b.pvt"));
        QVERIFY(TestUtil::WriteFile(a, "[EE_BUHNE]\ndata_1_buhne=126\ndata_8_buhne=3\n"
                                       "data_200_buhne=7\n"));
        QVERIFY(TestUtil::WriteFile(b, "[EE_BUHNE]\ndata_1_buhne=100\ndata_8_buhne=1\n"
                                       "data_200_buhne=7\n"));
        Run r = RunPivota({"diff", a, a});
        QVERIFY2(r.code == 0, qPrintable(Dump(r)));
        r = RunPivota({"diff", "--json", a, b});
        QVERIFY2(r.code == 1, qPrintable(Dump(r)));
        const QJsonObject json = JsonOf(r);
        QCOMPARE(json.value(QStringLiteral("same")).toBool(), false);
        QStringList named;
        for (const QJsonValue &d : json.value(QStringLiteral("differences")).toArray()) {
            named << d.toObject().value(QStringLiteral("name")).toString();
        }
        QCOMPARE(named, QStringList({"geschwindigkeit-links-schnell", "sound-verwenden"}));
        const QJsonObject speed =
            json.value(QStringLiteral("differences")).toArray().at(0).toObject();
        QCOMPARE(
            speed.value(QStringLiteral("a")).toObject().value(QStringLiteral("number")).toInt(),
            126);
        QCOMPARE(
            speed.value(QStringLiteral("b")).toObject().value(QStringLiteral("number")).toInt(),
            100);
        QVERIFY(TestUtil::WriteFile(b, "[EE_BUHNE]\ndata_1_buhne=126\ndata_8_buhne=3\n"
                                       "data_201_buhne=7\n"));
        r = RunPivota({"diff", "--json", a, b});
        QVERIFY2(r.code == 1, qPrintable(Dump(r)));
        named.clear();
        for (const QJsonValue &d : JsonOf(r).value(QStringLiteral("differences")).toArray()) {
            named << d.toObject().value(QStringLiteral("name")).toString();
        }
        QCOMPARE(named, QStringList({"buehne:200", "buehne:201"}));
        r = RunPivota({"diff", a, m_dir.filePath(QStringLiteral("missing.pvt"))});
        QVERIFY2(r.code == 2, qPrintable(Dump(r)));
    }

    // The bridge driven on pivota-sim: --wait returns once the board reports it standing at the
    // target, which a second run reads from the board's own report; a jammed bridge answers 1.
    void driveTheBridge() {
        const QString link = m_dir.filePath(QStringLiteral("drive-tty"));
        {
            SimProcess sim;
            QVERIFY(sim.start({"--baud", "115200"}, link));
            const QStringList base = {"drive", "--settings", m_settings, "--port", link, "--json"};
            Run r = RunPivota(base + QStringList{"--wait", "--to", "7", "--right"});
            QVERIFY2(r.code == 0, qPrintable(Dump(r)));
            QJsonObject json = JsonOf(r);
            QCOMPARE(json.value(QStringLiteral("result")).toString(), QStringLiteral("done"));
            QCOMPARE(json.value(QStringLiteral("position")).toInt(), 7);
            QCOMPARE(json.value(QStringLiteral("direction")).toString(), QStringLiteral("right"));
            r = RunPivota(base + QStringList{"--light", "on", "--wait"});
            QVERIFY2(r.code == 0, qPrintable(Dump(r)));
            QCOMPARE(JsonOf(r).value(QStringLiteral("position")).toInt(), 7);
        }
        SimProcess jammed;
        QVERIFY(jammed.start({"--baud", "115200", "--blocked"}, link));
        const Run r = RunPivota({"drive", "--settings", m_settings, "--port", link, "--to", "3",
                                 "--wait", "--timeout", "30", "--json"});
        QVERIFY2(r.code == 1, qPrintable(Dump(r)));
        QCOMPARE(JsonOf(r).value(QStringLiteral("result")).toString(), QStringLiteral("blocked"));
    }

    // A bridge that turns one position in half a minute: --wait gives up at its limit with exit 1
    // and the words, and Ctrl-C while it waits ends with 130.
    void driveWaitEndsAtItsLimitOrAtCtrlC() {
        const QString simFile = m_dir.filePath(QStringLiteral("slow.txt"));
        QString slow;
        for (const int cell : {1, 2, 17, 18}) { // the speeds left and right, fast and slow
            slow += SimLine('B', cell, 1);
        }
        QVERIFY(TestUtil::WriteFile(simFile, slow.toLatin1()));
        const QString link = m_dir.filePath(QStringLiteral("slow-tty"));
        const QStringList drive = {"drive",  "--settings", m_settings, "--port", link,
                                   "--json", "--to",       "7",        "--wait"};
        {
            SimProcess sim;
            QVERIFY(sim.start({"--baud", "115200", "--eeprom", simFile}, link));
            const Run r = RunPivota(drive + QStringList{"--timeout", "1"});
            QVERIFY2(r.code == 1, qPrintable(Dump(r)));
            const QJsonObject json = JsonOf(r);
            QCOMPARE(json.value(QStringLiteral("result")).toString(), QStringLiteral("timedOut"));
            QVERIFY2(json.value(QStringLiteral("messages"))
                         .toArray()
                         .at(0)
                         .toString()
                         .startsWith(QStringLiteral("Nicht in 1 s angekommen")),
                     qPrintable(Dump(r)));
        }
        SimProcess sim;
        QVERIFY(sim.start({"--baud", "115200", "--eeprom", simFile, "--trace"}, link));
        QProcess p;
        p.start(QStringLiteral(PIVOTA_PATH), drive);
        QVERIFY(p.waitForStarted());
        // Ctrl-C once the drive is on the line (its function byte reached the board).
        QByteArray trace;
        QVERIFY(QTest::qWaitFor(
            [&] {
                trace += sim.m_process.readAllStandardError();
                return trace.contains("<- c1");
            },
            30000));
        ::kill(static_cast<pid_t>(p.processId()), SIGINT);
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 130);
        const QJsonDocument json = QJsonDocument::fromJson(p.readAllStandardOutput());
        QCOMPARE(json.object().value(QStringLiteral("result")).toString(),
                 QStringLiteral("stopped"));
    }

private:
    QTemporaryDir m_dir;
    QString m_settings;
};

QTEST_GUILESS_MAIN(TestScriptCommand)
#include "tst_scriptcommand.moc"
