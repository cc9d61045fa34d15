// The simulated controller: its cells, reports, bridge, faults and EEPROM file.

#include "comm/addresscodes.h"
#include "fixtures/simtest.h"
#include "fixtures/testutil.h"
#include "sim/linepump.h"
#include "sim/simcommandline.h"
#include "sim/simport.h"
#include "sim/simulator.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <climits>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace SimTest;
using namespace TestUtil;

class TestSimulator : public QObject {
    Q_OBJECT
private slots:
    void addressCodes() {
        using namespace AddressCodes;
        QCOMPARE(Dcc(1, false), (Code{0x79, 0xF0, 0x05}));
        QCOMPARE(Dcc(1, true), (Code{0x78, 0xF2, 0x05}));
        QCOMPARE(Dcc(5, false), (Code{0x7A, 0xF0, 0x09}));
        QCOMPARE(Dcc(257, false), (Code{0x69, 0xD0, 0x05}));
        QCOMPARE(Dcc(2044, true), (Code{0x30, 0x1E, 0xFD}));
        QCOMPARE(Dcc(0, true), (Code{0, 0, 0}));
        QCOMPARE(Motorola(1, true), (Code{0x03, 0x00, 0xC3}));
        QCOMPARE(Motorola(1, false), (Code{0x03, 0x00, 0x03}));
        QCOMPARE(Motorola(4, true), (Code{0x03, 0x00, 0xFF}));
        QCOMPARE(Motorola(9, true), (Code{0x00, 0xC0, 0xC3}));
        QCOMPARE(Motorola(317, true), (Code{0x00, 0x00, 0xC3}));
        QCOMPARE(Motorola(320, false), (Code{0x00, 0x00, 0x3F}));
        QCOMPARE(DecodeDcc({0x30, 0x1E, 0xFD}), 2044);
        QCOMPARE(DecodeDcc({0x79, 0xF0, 0x05}), -1);
        QCOMPARE(DecodeDcc({0, 0, 0}), 0);
        QCOMPARE(DecodeDcc({0xFF, 0xFF, 0xFF}), 0);
        QCOMPARE(CellBase(0), 4);
        QCOMPARE(CellBase(11), 15);
        QCOMPARE(CellBase(12), 64);
        QCOMPARE(CellBase(27), 79);
    }

    void startsWithDefaultsVersionsAndAddresses() {
        Simulator sim;
        QCOMPARE(sim.pitCell(0), uint8_t(0x01));
        QCOMPARE(sim.pitCell(1), uint8_t(0x04));
        QCOMPARE(sim.pitCell(48), uint8_t(24));
        QCOMPARE(sim.bridgeCell(3), uint8_t(170));
        QCOMPARE(sim.bridgeCell(126), uint8_t(0x01));
        QCOMPARE(sim.bridgeCell(127), uint8_t(0x02));
        auto dcc = [&](int row) {
            const int b = AddressCodes::CellBase(row);
            return AddressCodes::DecodeDcc(
                {sim.pitCell(b), sim.pitCell(b + 16), sim.pitCell(b + 32)});
        };
        QCOMPARE(dcc(0), 225);
        QCOMPARE(dcc(1), 227);
        QCOMPARE(dcc(4), -229); // P1 red
        QCOMPARE(dcc(5), 229);  // P2 green
        QCOMPARE(dcc(27), 240);
        QCOMPARE(sim.pitCell(AddressCodes::CellBase(27) + 48), uint8_t(23));
    }

    void readsAndWritesFoldedCells() {
        Simulator sim;
        sim.receive(B({0xE3, 0x48, 0x02})); // pit cell 200 := 130
        sim.receive(B({0x83, 0x7F, 0x00})); // bridge cell 255 := 128, through the pit board
        QCOMPARE(sim.pitCell(200), uint8_t(130));
        sim.advance(50); // relayed and written
        QCOMPARE(sim.bridgeCell(255), uint8_t(128));
        sim.receive(B({0xF1, 0x48, 0x00}));
        sim.receive(B({0x91, 0x7F, 0x00}));
        sim.advance(40);
        QCOMPARE(Answers(sim.takeOutput()),
                 (QList<QByteArray>{B({'G', 200, 130}), B({'H', 255, 128})}));
        QCOMPARE(sim.lostWhileRelaying() + sim.lostWhileWriting(), 0);
    }

    void commandByteResynchronises() {
        Simulator sim;
        sim.receive(B({0x05, 0xF0, 0x30, 0xF0, 0x31, 0x00}));
        sim.advance(30);
        QCOMPARE(sim.takeOutput(), B({'G', 0x31, 0}));
    }

    void reportsAndMarker() {
        Simulator sim;
        sim.advance(199);
        QVERIFY(sim.takeOutput().isEmpty());
        sim.advance(1);
        const QByteArray first = sim.takeOutput();
        QCOMPARE(first.size(), 9);
        QCOMPARE(first.at(0), 'F');
        QCOMPARE(first.at(3), 'L');
        QCOMPARE(first.at(6), 'A');
        QCOMPARE(uint8_t(first.at(2)) & 0x02, 0x02); // Hall sensor at position 0
        sim.advance(800);
        const QByteArray second = sim.takeOutput();
        QVERIFY(second.endsWith(B({'X', 'Y', 'Z', 'E', 0x04, 0x00})));
        sim.advance(1000);
        QCOMPARE(sim.takeOutput().count("XYZ"), 1);
    }

    void turnsRightToTargetAndStops() {
        Simulator sim;
        Drive(sim, 5, false);
        QVERIFY(sim.turning());
        const QList<int> passed = RunUntilStanding(sim, 10000);
        QCOMPARE(passed, (QList<int>{0, 1, 2, 3, 4, 5}));
        QCOMPARE(sim.position(), 5);
        QVERIFY(sim.go()); // go stays until the PC withdraws it
        sim.advance(400);
        const QByteArray out = sim.takeOutput();
        QCOMPARE(uint8_t(LastReport(out, 'F').at(2)) & 0x01, 0); // standing
        QCOMPARE(LastReport(out, 'L'), B({'L', 5, 5}));
    }

    void turnsLeftAcrossZero() {
        Simulator sim;
        Drive(sim, 46, true);
        const QList<int> passed = RunUntilStanding(sim, 10000);
        QCOMPARE(passed, (QList<int>{0, 47, 46}));
        // The last two positions run at the slow speed: 30000 / 88 ms each instead of / 126.
        Simulator timing;
        Drive(timing, 3, false);
        timing.advance(30000 / 126 - 1);
        QCOMPARE(timing.position(), 0);
        timing.advance(1);
        QCOMPARE(timing.position(), 1);
        timing.advance(30000 / 88 - 1);
        QCOMPARE(timing.position(), 1);
        timing.advance(1);
        QCOMPARE(timing.position(), 2);
    }

    void turnsEndlesslyUntilGoIsWithdrawn() {
        Simulator sim;
        sim.receive(B({0xC4, 127, 0}));
        sim.receive(B({0xC1, 0x40, 0x40}));
        sim.advance(5000);
        QVERIFY(sim.turning());
        QVERIFY(sim.position() > 15);
        const int at = sim.position();
        sim.receive(B({0xC1, 0x00, 0x40}));
        sim.advance(30000 / 88 + 1);
        QVERIFY(!sim.turning());
        QCOMPARE(sim.position(), at + 1);
    }

    void alternativePositionCountWithDip1() {
        SimOptions o;
        o.dipSwitches = 0x04;
        Simulator sim(o);
        QCOMPARE(sim.positionCount(), 24);
        Drive(sim, 22, true);
        QCOMPARE(RunUntilStanding(sim, 10000), (QList<int>{0, 23, 22}));
        sim.advance(200);
        QCOMPARE(uint8_t(LastReport(sim.takeOutput(), 'F').at(1)) & 0x1C, 0x04);
    }

    void directDriveDrivesTheCurrent() {
        Simulator sim;
        sim.receive(B({0xA0, 60, 0x01 | 0x04}));
        QVERIFY(sim.directDriveRunning());
        sim.advance(1000);
        const QByteArray out = sim.takeOutput();
        const int current = uint8_t(LastReport(out, 'A').at(2));
        QVERIFY2(current >= 59 && current <= 61, qPrintable(QString::number(current)));
        // The motor turns the bridge one position per 30000 / 60 ms, to the right (numbers rise).
        QVERIFY(sim.turning());
        QCOMPARE(sim.position(), 1000 / (30000 / 60));
        sim.receive(B({0xA0, 60, 0x01 | 0x02 | 0x04})); // left
        const int at = sim.position();
        sim.advance(30000 / 60);
        QCOMPARE(sim.position(), at - 1);
        sim.receive(B({0xA0, 0, 0}));
        sim.advance(30000 / 60);
        QVERIFY(!sim.turning()); // stops at the next position
        sim.advance(200);
        QVERIFY(uint8_t(LastReport(sim.takeOutput(), 'A').at(2)) <= 2);
    }

    void sameSeedSameBytes() {
        SimOptions o;
        o.seed = 42;
        o.corruptProbability = 0.1;
        Simulator a(o);
        Simulator b(o);
        a.advance(3000);
        b.advance(3000);
        QCOMPARE(a.takeOutput(), b.takeOutput());
    }

    void lineFaults() {
        SimOptions clean;
        Simulator reference(clean);
        reference.advance(2000);
        const QByteArray expected = reference.takeOutput();

        SimOptions dropAll;
        dropAll.dropProbability = 1.0;
        Simulator dropped(dropAll);
        dropped.advance(2000);
        QVERIFY(dropped.takeOutput().isEmpty());

        SimOptions corruptAll;
        corruptAll.corruptProbability = 1.0;
        Simulator corrupted(corruptAll);
        corrupted.advance(2000);
        const QByteArray bad = corrupted.takeOutput();
        QCOMPARE(bad.size(), expected.size());
        for (qsizetype i = 0; i < bad.size(); ++i) {
            QVERIFY(bad.at(i) != expected.at(i)); // every byte has one bit flipped
        }

        SimOptions silent;
        silent.silent = true;
        Simulator quiet(silent);
        quiet.receive(B({0xF0, 1, 0}));
        quiet.advance(3000);
        QVERIFY(quiet.takeOutput().isEmpty());

        SimOptions burst;
        burst.strayBurstAtMs = 100;
        burst.strayBurstLength = 5;
        Simulator noisy(burst);
        noisy.advance(150);
        QCOMPARE(noisy.takeOutput().size(), 5);
    }

    void hangsUp() {
        SimOptions o;
        o.hangUpAfterMs = 500;
        Simulator sim(o);
        sim.advance(499);
        QVERIFY(!sim.hungUp());
        sim.takeOutput();
        sim.advance(1);
        QVERIFY(sim.hungUp());
        sim.receive(B({0xF0, 1, 0}));
        sim.advance(2000);
        QVERIFY(sim.takeOutput().isEmpty());
    }

    // A line that nobody reads fills up: the pump then sleeps until there is room, waking only
    // for the simulator's own events, rather than trying to write again at once for ever. Once
    // the far end reads, what the simulator says follows again. (A socket pair stands in for
    // the pseudo-terminal: its buffer fills at a known point and stays full.)
    void pumpSleepsWhileNobodyReadsTheLine() {
        int ends[2] = {-1, -1};
        QVERIFY(::socketpair(AF_UNIX, SOCK_STREAM, 0, ends) == 0);
        const int line = ends[0];
        const int far = ends[1];
        for (const int fd : ends) {
            QVERIFY(::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK) == 0);
        }
        // What an earlier program left unread: the line takes no more.
        const QByteArray filler(4096, 'q');
        while (::write(line, filler.constData(), size_t(filler.size())) > 0) {
        }
        QVERIFY(errno == EAGAIN || errno == EWOULDBLOCK);

        Simulator sim;
        LinePump pump(sim, line, 19200, false);
        // A second of the simulator's time: five reports and a marker that cannot go out.
        QTRY_VERIFY_WITH_TIMEOUT(sim.now() >= 1000, 20000);
        QVERIFY2(pump.sendWakeUps() < 100, qPrintable(QString::number(pump.sendWakeUps())));
        QVERIFY(pump.waitingForRoom());
        QVERIFY(pump.outgoing() > 0);

        // The far end reads: the filler comes, then the reports and markers as they come.
        QByteArray received;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                char buf[4096];
                ssize_t n = 0;
                while ((n = ::read(far, buf, sizeof buf)) > 0) {
                    received.append(buf, int(n));
                }
                return !pump.waitingForRoom() && received.contains("XYZ");
            }(),
            20000);
        QVERIFY(received.startsWith(filler));
        pump.Stop();
        ::close(far);
        ::close(line);
    }

    void errorsAndBlockedBridge() {
        SimOptions o;
        o.pitErrors = 0x01;
        o.bridgeErrors = 0x02;
        o.blocked = true;
        Simulator sim(o);
        Drive(sim, 5, false);
        QVERIFY(!sim.turning());
        sim.advance(1000);
        QCOMPARE(sim.position(), 0);
        const QByteArray out = sim.takeOutput();
        const QByteArray e = out.mid(out.indexOf("XYZ") + 3, 3);
        QCOMPARE(e.at(0), 'E');
        QCOMPARE(uint8_t(e.at(1)), uint8_t(0x04 | 0x01));
        QCOMPARE(uint8_t(e.at(2)) & 0x02, 0x02);
        QCOMPARE(uint8_t(e.at(2)) & Simulator::ErrorJammedAtStart, Simulator::ErrorJammedAtStart);
    }

    void speedCellsFollowTheDirection() {
        // Bridge cells 1/17 hold the left speeds, 2/18 the right ones; unequal values show which
        // cell a step used.
        auto speeds = [](Simulator &sim) {
            sim.setBridgeCell(1, 50);   // fast left: 600 ms a position
            sim.setBridgeCell(2, 200);  // fast right: 150 ms
            sim.setBridgeCell(17, 30);  // slow left: 1000 ms
            sim.setBridgeCell(18, 100); // slow right: 300 ms
        };
        Simulator right;
        speeds(right);
        Drive(right, 5, false);
        QCOMPARE(StepTimes(right, 10000), (QList<int>{150, 150, 150, 300, 300}));
        QCOMPARE(right.position(), 5);

        Simulator left;
        speeds(left);
        Drive(left, 44, true);
        QCOMPARE(StepTimes(left, 10000), (QList<int>{600, 600, 1000, 1000}));
        QCOMPARE(left.position(), 44);

        // The sense current while turning follows the fast speed of the direction too.
        Simulator current;
        speeds(current);
        current.receive(B({0xC4, 127, 0}));
        current.receive(B({0xC1, 0x02, 0x02}));
        current.receive(B({0xC1, 0x40, 0x40}));
        current.advance(1000);
        const int sense = uint8_t(LastReport(current.takeOutput(), 'A').at(2));
        QVERIFY2(sense >= 50 * 4 / 5 - 5 && sense <= 50 * 4 / 5 + 5,
                 qPrintable(QString::number(sense)));
    }

    void shrinkingPositionCountKeepsTheTargetReachable() {
        SimOptions dip1;
        dip1.dipSwitches = 0x04;

        // Turning right towards 20 of 24 when the PC writes 10 into pit cell 48: the target comes
        // to the last position that is left, and the bridge stops there.
        Simulator sim(dip1);
        Drive(sim, 20, false);
        while (sim.position() < 3) {
            sim.advance(10);
        }
        sim.receive(B({0xE0, 48, 10}));
        QCOMPARE(sim.positionCount(), 10);
        QCOMPARE(sim.target(), 9);
        const QList<int> passed = RunUntilStanding(sim, 60000);
        QVERIFY2(!sim.turning(), "the bridge still turns");
        QCOMPARE(passed.last(), 9);
        QCOMPARE(sim.position(), 9);
        sim.advance(400);
        QCOMPARE(LastReport(sim.takeOutput(), 'L'), B({'L', 9, 9}));

        // Beyond the new count already (at 15 on the way to 20): both come to 9, and it stops.
        Simulator beyond(dip1);
        Drive(beyond, 20, false);
        while (beyond.position() < 15) {
            beyond.advance(10);
        }
        beyond.receive(B({0xE0, 48, 10}));
        QCOMPARE(beyond.position(), 9);
        QVERIFY(!beyond.turning());

        // Turning left from 5 towards 20 when the count shrinks to 10 through the EEPROM image
        // rather than the line: the bridge goes on leftwards over 0 to the new last position.
        Simulator leftwards(dip1);
        Drive(leftwards, 5, false);
        RunUntilStanding(leftwards, 60000);
        leftwards.receive(B({0xC1, 0x00, 0x40})); // go off
        Drive(leftwards, 20, true);
        while (leftwards.position() != 3) {
            leftwards.advance(10);
        }
        leftwards.setPitCell(48, 10);
        QCOMPARE(leftwards.target(), 9);
        QCOMPARE(RunUntilStanding(leftwards, 60000), (QList<int>{3, 2, 1, 0, 9}));
        QVERIFY(!leftwards.turning());

        // A target set before the count shrinks, with go given afterwards: no endless turn.
        Simulator late(dip1);
        late.receive(B({0xC4, 20, 0}));
        late.receive(B({0xE0, 48, 4}));
        late.receive(B({0xC1, 0x40, 0x40}));
        RunUntilStanding(late, 60000);
        QVERIFY(!late.turning());
        QCOMPARE(late.position(), 3);

        // Without DIP 1 the cell is not the count: the target stays.
        Simulator noDip;
        Drive(noDip, 20, false);
        noDip.receive(B({0xE0, 48, 10}));
        QCOMPARE(noDip.target(), 20);
        RunUntilStanding(noDip, 60000);
        QCOMPARE(noDip.position(), 20);
    }

    void largestTimesRunWithoutOverflow() {
        SimOptions o;
        o.hangUpAfterMs = INT_MAX;
        o.strayBurstAtMs = INT_MAX - 1;
        o.silent = true;
        Simulator sim(o);
        sim.advance(INT_MAX - 2);
        QVERIFY(!sim.hungUp());
        QVERIFY(sim.takeOutput().isEmpty());
        sim.advance(1);
        QCOMPARE(sim.takeOutput().size(), o.strayBurstLength);
        sim.advance(INT_MAX);
        QVERIFY(sim.hungUp());
        QCOMPARE(sim.now(), int64_t(INT_MAX));
    }

    void eepromFileRoundTrip() {
        QTemporaryDir dir;
        const QString path = dir.filePath("eeprom.txt");
        Simulator a;
        a.receive(B({0xE1, 0x7A, 0x55})); // pit cell 250
        a.receive(B({0x83, 0x10, 0x7F}));
        a.advance(a.options().bridgeDelayMs); // the bridge write is relayed
        QVERIFY(a.saveEeprom(path));
        Simulator b;
        QCOMPARE(b.pitCell(250), uint8_t(0));
        QCOMPARE(b.bridgeCell(0x90), uint8_t(0));
        QVERIFY(b.loadEeprom(path));
        QCOMPARE(b.pitCell(250), uint8_t(0x55));
        QCOMPARE(b.bridgeCell(0x90), uint8_t(0xFF));
        QVERIFY(!b.loadEeprom(dir.filePath("missing.txt")));
    }
};

QTEST_GUILESS_MAIN(TestSimulator)
#include "tst_simulator.moc"
