#include "addresscodes.h"
#include "simulator.h"
#include "testutil.h"

#include <QTemporaryDir>
#include <QTest>

using namespace TestUtil;

namespace {

// The latest three-byte report of a letter in the output (reports are aligned: they start after
// a marker or at the beginning).
QByteArray LastReport(const QByteArray &out, char letter) {
    for (qsizetype i = out.size() - 3; i >= 0; --i) {
        if (out.at(i) == letter && (i == 0 || i % 3 == 0 || out.mid(i - 3, 3) == "XYZ")) {
            return out.mid(i, 3);
        }
    }
    return {};
}

// Runs until the bridge stands again, at most maxMs; returns the positions it passed.
QList<int> RunUntilStanding(Simulator &sim, int maxMs) {
    QList<int> passed;
    for (int t = 0; t < maxMs; t += 10) {
        sim.advance(10);
        if (passed.isEmpty() || passed.last() != sim.position()) {
            passed << sim.position();
        }
        if (!sim.turning()) {
            break;
        }
    }
    return passed;
}

void Drive(Simulator &sim, int target, bool left) {
    sim.receive(B({0xC4, target, 0}));
    sim.receive(B({0xC1, left ? 0x02 : 0x00, 0x02}));
    sim.receive(B({0xC1, 0x40, 0x40}));
}
} // namespace

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
        sim.receive(B({0x83, 0x7F, 0x00})); // bridge cell 255 := 128
        QCOMPARE(sim.pitCell(200), uint8_t(130));
        QCOMPARE(sim.bridgeCell(255), uint8_t(128));
        sim.receive(B({0xF1, 0x48, 0x00}));
        sim.advance(4);
        QVERIFY(sim.takeOutput().isEmpty()); // answers take 5 to 30 ms
        sim.advance(26);
        QCOMPARE(sim.takeOutput(), B({'G', 200, 130}));
        sim.receive(B({0x91, 0x7F, 0x00}));
        sim.advance(30);
        QCOMPARE(sim.takeOutput(), B({'H', 255, 128}));
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

    void eepromFileRoundTrip() {
        QTemporaryDir dir;
        const QString path = dir.filePath("eeprom.txt");
        Simulator a;
        a.receive(B({0xE1, 0x7A, 0x55})); // pit cell 250
        a.receive(B({0x83, 0x10, 0x7F}));
        QVERIFY(a.saveEeprom(path));
        Simulator b;
        QCOMPARE(b.pitCell(250), uint8_t(0));
        QVERIFY(b.loadEeprom(path));
        QCOMPARE(b.pitCell(250), uint8_t(0x55));
        QCOMPARE(b.bridgeCell(0x90), uint8_t(0xFF));
        QVERIFY(!b.loadEeprom(dir.filePath("missing.txt")));
    }
};

QTEST_GUILESS_MAIN(TestSimulator)
#include "tst_simulator.moc"
