// pivota-sim's command line: options, their ranges, and the program's exit codes and trace.

#include "comm/addresscodes.h"
#include "fixtures/simtest.h"
#include "fixtures/testutil.h"
#include "sim/simcommandline.h"
#include "sim/simport.h"
#include "sim/simulator.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <climits>
#include <fcntl.h>
#include <unistd.h>

using namespace SimTest;
using namespace TestUtil;

class TestSimCommandLine : public QObject {
    Q_OBJECT
private slots:
    void commandLineAcceptsValidOptions() {
        const SimCommandLineResult r = Parse({"--link",      "/tmp/tt",
                                              "--baud",      "2400",
                                              "--seed",      "4294967295",
                                              "--drop",      "0.25",
                                              "--corrupt",   "1",
                                              "--silent",    "--hang-up-after",
                                              "2147483.647", "--stray-burst-at",
                                              "0.5",         "--blocked",
                                              "--errors",    "0x01,ff",
                                              "--dip",       "1C",
                                              "--eeprom",    "/tmp/e.txt",
                                              "--trace",     "--pit-delay",
                                              "0",           "--bridge-delay",
                                              "2147483647",  "--write-time",
                                              "25",          "--flip-answer",
                                              "p,0a,01",     "--flip-answer",
                                              "B,0xff,80"});
        QCOMPARE(r.status, SimCommandLineResult::Status::Run);
        const SimCommandLine &s = r.settings;
        QCOMPARE(s.link, QStringLiteral("/tmp/tt"));
        QCOMPARE(s.lineRate, 2400);
        QCOMPARE(s.options.seed, 4294967295u);
        QCOMPARE(s.options.dropProbability, 0.25);
        QCOMPARE(s.options.corruptProbability, 1.0);
        QVERIFY(s.options.silent && s.options.blocked && s.trace);
        QCOMPARE(s.options.hangUpAfterMs, INT_MAX);
        QCOMPARE(s.options.strayBurstAtMs, 500);
        QCOMPARE(s.options.pitErrors, uint8_t(0x01));
        QCOMPARE(s.options.bridgeErrors, uint8_t(0xFF));
        QCOMPARE(s.options.dipSwitches, uint8_t(0x1C));
        QCOMPARE(s.eepromFile, QStringLiteral("/tmp/e.txt"));
        QCOMPARE(s.options.pitDelayMs, 0);
        QCOMPARE(s.options.bridgeDelayMs, INT_MAX);
        QCOMPARE(s.options.writeTimeMs, 25);
        QCOMPARE(s.options.flippedAnswers.size(), size_t(2));
        QVERIFY(!s.options.flippedAnswers[0].bridge && s.options.flippedAnswers[0].cell == 10 &&
                s.options.flippedAnswers[0].bits == 0x01);
        QVERIFY(s.options.flippedAnswers[1].bridge && s.options.flippedAnswers[1].cell == 0xFF &&
                s.options.flippedAnswers[1].bits == 0x80);

        const SimCommandLineResult defaults = Parse({});
        QCOMPARE(defaults.status, SimCommandLineResult::Status::Run);
        QCOMPARE(defaults.settings.lineRate, 19200);
        QCOMPARE(defaults.settings.options.seed, 1u);
        QCOMPARE(defaults.settings.options.hangUpAfterMs, -1);
        QCOMPARE(defaults.settings.options.strayBurstAtMs, -1);
        QCOMPARE(defaults.settings.options.dipSwitches, uint8_t(0));

        const SimCommandLineResult help = Parse({"--help"});
        QCOMPARE(help.status, SimCommandLineResult::Status::Help);
        QVERIFY(help.helpText.contains(QStringLiteral("--hang-up-after")));
        for (const QString &option :
             {QStringLiteral("--pit-delay <ms>"), QStringLiteral("--bridge-delay <ms>"),
              QStringLiteral("--write-time <ms>")}) {
            QVERIFY2(help.helpText.contains(option), qPrintable(option));
        }
        QVERIFY(help.helpText.simplified().contains(QStringLiteral("(default 40)")));
    }

    void commandLineRejectsValuesOutOfRange_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("named");
        QTest::newRow("drop above 1") << QStringList{"--drop", "1.5"} << "--drop";
        QTest::newRow("drop negative") << QStringList{"--drop", "-0.1"} << "--drop";
        QTest::newRow("drop nan") << QStringList{"--drop", "nan"} << "--drop";
        QTest::newRow("corrupt text") << QStringList{"--corrupt", "often"} << "--corrupt";
        QTest::newRow("hang-up overflows an int")
            << QStringList{"--hang-up-after", "2147484"} << "--hang-up-after";
        QTest::newRow("hang-up huge")
            << QStringList{"--hang-up-after", "1e300"} << "--hang-up-after";
        QTest::newRow("hang-up inf") << QStringList{"--hang-up-after", "inf"} << "--hang-up-after";
        QTest::newRow("hang-up negative")
            << QStringList{"--hang-up-after", "-1"} << "--hang-up-after";
        QTest::newRow("stray burst huge")
            << QStringList{"--stray-burst-at", "99999999999"} << "--stray-burst-at";
        QTest::newRow("stray burst empty")
            << QStringList{"--stray-burst-at", ""} << "--stray-burst-at";
        QTest::newRow("seed negative") << QStringList{"--seed", "-1"} << "--seed";
        QTest::newRow("seed too big") << QStringList{"--seed", "4294967296"} << "--seed";
        QTest::newRow("baud too low") << QStringList{"--baud", "0"} << "--baud";
        QTest::newRow("baud too high") << QStringList{"--baud", "99999999999"} << "--baud";
        QTest::newRow("dip above a byte") << QStringList{"--dip", "104"} << "--dip";
        QTest::newRow("dip unknown bit") << QStringList{"--dip", "01"} << "--dip";
        QTest::newRow("dip not hex") << QStringList{"--dip", "zz"} << "--dip";
        QTest::newRow("errors above a byte") << QStringList{"--errors", "100,01"} << "--errors";
        QTest::newRow("errors one value") << QStringList{"--errors", "01"} << "--errors";
        QTest::newRow("errors three values") << QStringList{"--errors", "01,02,03"} << "--errors";
        QTest::newRow("errors not hex") << QStringList{"--errors", "01,xy"} << "--errors";
        const QString ms = QStringLiteral(": whole milliseconds 0..2147483647");
        QTest::newRow("pit delay negative")
            << QStringList{"--pit-delay", "-1"} << "--pit-delay -1" + ms;
        QTest::newRow("pit delay fraction")
            << QStringList{"--pit-delay", "5.5"} << "--pit-delay 5.5" + ms;
        QTest::newRow("pit delay text") << QStringList{"--pit-delay", "soon"} << "--pit-delay";
        QTest::newRow("bridge delay overflows an int")
            << QStringList{"--bridge-delay", "2147483648"} << "--bridge-delay 2147483648" + ms;
        QTest::newRow("bridge delay huge")
            << QStringList{"--bridge-delay", "99999999999999999999"} << "--bridge-delay";
        QTest::newRow("bridge delay empty")
            << QStringList{"--bridge-delay", ""} << "--bridge-delay";
        QTest::newRow("write time exponent")
            << QStringList{"--write-time", "1e3"} << "--write-time 1e3" + ms;
        QTest::newRow("write time negative")
            << QStringList{"--write-time", "-10"} << "--write-time";
        QTest::newRow("write time missing") << QStringList{"--write-time"} << "write-time";
        QTest::newRow("flip unknown board")
            << QStringList{"--flip-answer", "X,0a,01"} << "--flip-answer X,0a,01";
        QTest::newRow("flip cell above a byte")
            << QStringList{"--flip-answer", "P,100,01"} << "--flip-answer";
        QTest::newRow("flip without bits")
            << QStringList{"--flip-answer", "P,0a"} << "--flip-answer";
        QTest::newRow("unknown option") << QStringList{"--fast"} << "fast";
        QTest::newRow("stray argument") << QStringList{"extra"} << "extra";
    }

    void commandLineRejectsValuesOutOfRange() {
        QFETCH(QStringList, args);
        QFETCH(QString, named);
        const SimCommandLineResult r = Parse(args);
        QCOMPARE(r.status, SimCommandLineResult::Status::Error);
        QVERIFY2(r.error.contains(named), qPrintable(r.error));
    }

    void simulatorProgramExitsWithUsageError() {
        QProcess sim;
        sim.start(QStringLiteral(PIVOTA_SIM_PATH), {"--hang-up-after", "1e10"});
        QVERIFY(sim.waitForFinished(30000));
        QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.exitCode(), 2);
        const QString err = QString::fromLocal8Bit(sim.readAllStandardError());
        QVERIFY2(err.contains(QStringLiteral("--hang-up-after 1e10: seconds 0..2147483.647")),
                 qPrintable(err));
        QVERIFY(sim.readAllStandardOutput().isEmpty()); // no device was made
    }

    void simulatorProgramRefusesABadDelay() {
        QProcess sim;
        sim.start(QStringLiteral(PIVOTA_SIM_PATH), {"--bridge-delay", "-5"});
        QVERIFY(sim.waitForFinished(30000));
        QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.exitCode(), 2);
        const QString err = QString::fromLocal8Bit(sim.readAllStandardError());
        QVERIFY2(err.startsWith(QStringLiteral(
                     "pivota-sim: --bridge-delay -5: whole milliseconds 0..2147483647\n")),
                 qPrintable(err));
        QVERIFY(sim.readAllStandardOutput().isEmpty());
    }

    void simulatorProgramTracesLostRequests() {
        // Two bridge reads and a pit write with a pit read behind it, all at once: the second
        // bridge read meets the relay of the first, the pit read the write time. The trace tells
        // each as it happens, and the counts at exit.
        QProcess sim;
        sim.start(QStringLiteral(PIVOTA_SIM_PATH), {"--trace"});
        QVERIFY(sim.waitForStarted(5000));
        QVERIFY(QTest::qWaitFor([&] { return sim.canReadLine(); }, 5000));
        const QByteArray device = sim.readLine().trimmed();
        const int fd = ::open(device.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY2(fd >= 0, device.constData());
        const QByteArray requests = B({0x90, 1, 0, 0x90, 2, 0, 0xE0, 100, 9, 0xF0, 100, 0});
        QCOMPARE(::write(fd, requests.constData(), size_t(requests.size())),
                 ssize_t(requests.size()));
        QString err;
        const bool told = QTest::qWaitFor(
            [&] {
                err += QString::fromLocal8Bit(sim.readAllStandardError());
                return err.contains(QStringLiteral("-- 1 request lost: a bridge request was "
                                                   "still being relayed")) &&
                       err.contains(QStringLiteral("-- 1 request lost: the board was writing"));
            },
            10000);
        ::close(fd);
        sim.terminate();
        QVERIFY(sim.waitForFinished(30000));
        err += QString::fromLocal8Bit(sim.readAllStandardError());
        QVERIFY2(told, qPrintable(err));
        QVERIFY2(err.contains(QStringLiteral("pivota-sim: requests lost while a bridge request "
                                             "was relayed: 1, while a board was writing: 1\n")),
                 qPrintable(err));
    }
};

QTEST_GUILESS_MAIN(TestSimCommandLine)
#include "tst_simcommandline.moc"
