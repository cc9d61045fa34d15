#include "addresscodes.h"
#include "simcommandline.h"
#include "simport.h"
#include "simulator.h"
#include "testutil.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <climits>
#include <fcntl.h>
#include <unistd.h>

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

// Advances in 1 ms steps until the bridge stands; returns how long each position step took.
QList<int> StepTimes(Simulator &sim, int maxMs) {
    QList<int> times;
    int last = sim.position();
    int since = 0;
    for (int t = 0; t < maxMs && sim.turning(); ++t) {
        sim.advance(1);
        ++since;
        if (sim.position() != last) {
            times << since;
            since = 0;
            last = sim.position();
        }
    }
    return times;
}

SimCommandLineResult Parse(const QStringList &args) {
    return ParseSimCommandLine(QStringList{QStringLiteral("pivota-sim")} + args);
}

// The cell answers ("G" and "H") in the output. Everything the simulator sends comes in whole
// three-byte units (the marker "X","Y","Z" is one), so the output is cut every third byte.
QList<QByteArray> Answers(const QByteArray &out) {
    QList<QByteArray> answers;
    for (qsizetype i = 0; i + 3 <= out.size(); i += 3) {
        if (out.at(i) == 'G' || out.at(i) == 'H') {
            answers << out.mid(i, 3);
        }
    }
    return answers;
}

// Advances 1 ms at a time until a cell answer comes out, at most maxMs; returns how many
// milliseconds that took (-1 for none) and the answer. Reports in between are passed over.
struct Timed {
    int ms = -1;
    QByteArray answer;
    bool operator==(const Timed &) const = default;
};
char *toString(const Timed &t) {
    return QTest::toString(QStringLiteral("%1 ms: %2").arg(t.ms).arg(t.answer.toHex(' ')));
}
Timed NextAnswer(Simulator &sim, int maxMs) {
    for (int t = 1; t <= maxMs; ++t) {
        sim.advance(1);
        const QList<QByteArray> answers = Answers(sim.takeOutput());
        if (!answers.isEmpty()) {
            return Timed{t, answers.constFirst()};
        }
    }
    return {};
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

    // -----------------------------------------------------------------------------------------
    // Pacing: answer delays, one bridge request at a time, the write time

    void pitReadIsAnsweredExactlyAfterThePitDelay() {
        for (const int delay : {SimOptions{}.pitDelayMs, 0, 17, 150}) {
            SimOptions o;
            o.pitDelayMs = delay;
            Simulator sim(o);
            sim.advance(3);
            sim.receive(B({0xF0, 48, 0}));
            const Timed t = NextAnswer(sim, 400);
            // A delay of 0 answers with the next step of time.
            QCOMPARE(t.ms, std::max(delay, 1));
            QCOMPARE(t.answer, B({'G', 48, 24}));
            QCOMPARE(NextAnswer(sim, 100).ms, -1); // one answer only
        }
    }

    void bridgeReadIsAnsweredAfterTheBridgeDelay() {
        for (const int delay : {SimOptions{}.bridgeDelayMs, 73}) {
            SimOptions o;
            o.bridgeDelayMs = delay;
            Simulator sim(o);
            sim.setBridgeCell(0x90, 0x5A);
            sim.receive(B({0x91, 0x10, 0}));
            QVERIFY(sim.relaying());
            const Timed t = NextAnswer(sim, 400);
            QCOMPARE(t.ms, delay);
            QCOMPARE(t.answer, B({'H', 0x90, 0x5A}));
            QVERIFY(!sim.relaying());
        }
        // The bridge board reads the cell when the request reaches it, at the end of the relay.
        Simulator sim;
        sim.receive(B({0x90, 7, 0}));
        sim.advance(20);
        sim.setBridgeCell(7, 0x33);
        QCOMPARE(NextAnswer(sim, 100).answer, B({'H', 7, 0x33}));
    }

    void secondBridgeRequestDuringTheRelayIsLost() {
        Simulator sim;
        const int relay = sim.options().bridgeDelayMs;
        sim.setBridgeCell(3, 30);
        sim.setBridgeCell(4, 40);
        sim.setBridgeCell(5, 0x44);
        sim.receive(B({0x90, 3, 0}));
        sim.advance(relay - 1);
        sim.receive(B({0x90, 4, 0}));    // lost: the pit board is still relaying cell 3
        sim.receive(B({0x80, 5, 0x55})); // a write is lost the same way: no effect
        QCOMPARE(sim.lostWhileRelaying(), 2);
        QCOMPARE(sim.lostWhileWriting(), 0);
        // The lost requests do not stretch the relay: cell 3 comes at the bridge delay.
        QCOMPARE(NextAnswer(sim, 100), (Timed{1, B({'H', 3, 30})}));
        QCOMPARE(NextAnswer(sim, 500).ms, -1); // nothing for cell 4
        QCOMPARE(sim.bridgeCell(5), uint8_t(0x44));

        // Right when the relay is done the next request is taken.
        Simulator next;
        next.receive(B({0x90, 3, 0}));
        next.advance(relay);
        next.receive(B({0x90, 4, 0}));
        QCOMPARE(Answers(next.takeOutput()).size(), 1);
        QCOMPARE(NextAnswer(next, 100), (Timed{relay, B({'H', 4, next.bridgeCell(4)})}));
        QCOMPARE(next.lostWhileRelaying(), 0);

        // With no bridge delay at all two requests in a row both pass.
        SimOptions instant;
        instant.bridgeDelayMs = 0;
        Simulator fast(instant);
        fast.receive(B({0x90, 3, 0, 0x90, 4, 0}));
        fast.advance(1);
        QCOMPARE(Answers(fast.takeOutput()).size(), 2);
        QCOMPARE(fast.lostWhileRelaying(), 0);
    }

    void pitRequestsPassAPendingBridgeRelay() {
        Simulator sim;
        const int pit = sim.options().pitDelayMs;
        const int relay = sim.options().bridgeDelayMs;
        sim.receive(B({0x90, 3, 0}));
        sim.advance(10);
        sim.receive(B({0xF0, 48, 0}));
        QCOMPARE(NextAnswer(sim, 100), (Timed{pit, B({'G', 48, 24})}));
        // A pit write meanwhile takes effect at once.
        sim.receive(B({0xE0, 100, 9}));
        QCOMPARE(sim.pitCell(100), uint8_t(9));
        QCOMPARE(NextAnswer(sim, 100).ms, relay - 10 - pit);
        QCOMPARE(sim.lostWhileRelaying() + sim.lostWhileWriting(), 0);
    }

    void pitBoardIgnoresRequestsDuringTheWriteTime() {
        Simulator sim;
        const int writeTime = sim.options().writeTimeMs;
        const uint8_t cell101 = sim.pitCell(101);
        QVERIFY(cell101 != 7);
        sim.receive(B({0xE0, 100, 9}));
        sim.advance(writeTime - 1);
        sim.receive(B({0xF0, 100, 0})); // lost
        sim.receive(B({0xE0, 101, 7})); // lost, no effect
        QCOMPARE(sim.lostWhileWriting(), 2);
        QCOMPARE(sim.pitCell(101), cell101);
        QCOMPARE(NextAnswer(sim, 100).ms, -1);
        // The bridge board is not the one writing: its requests pass.
        sim.receive(B({0xE0, 102, 1}));
        sim.receive(B({0x90, 3, 0}));
        QVERIFY(sim.relaying());
        sim.advance(writeTime); // over: the pit board answers again, with the value written
        sim.takeOutput();
        sim.receive(B({0xF0, 102, 0}));
        QCOMPARE(NextAnswer(sim, 100), (Timed{sim.options().pitDelayMs, B({'G', 102, 1})}));
        QCOMPARE(sim.lostWhileWriting(), 2);
        QCOMPARE(sim.lostWhileRelaying(), 0);
    }

    void bridgeWriteTakesEffectAfterTheRelayAndIsThenReadable() {
        Simulator sim;
        const int relay = sim.options().bridgeDelayMs;
        const int writeTime = sim.options().writeTimeMs;
        const uint8_t before = sim.bridgeCell(0x90);
        const uint8_t cell17 = sim.bridgeCell(0x11);
        QVERIFY(before != 0x85 && cell17 != 0x01);
        sim.receive(B({0x83, 0x10, 0x05})); // bridge cell 0x90 := 0x85
        sim.advance(relay - 1);
        QCOMPARE(sim.bridgeCell(0x90), before);
        sim.advance(1);
        QCOMPARE(sim.bridgeCell(0x90), uint8_t(0x85));

        // The write time counts from there: the bridge board ignores a read and a write ...
        sim.advance(writeTime - 1);
        sim.receive(B({0x91, 0x10, 0}));
        sim.receive(B({0x80, 0x11, 0x01}));
        QCOMPARE(sim.lostWhileWriting(), 2);
        QCOMPARE(sim.lostWhileRelaying(), 0);
        QVERIFY(!sim.relaying());
        // ... while the pit board, which did not write, still answers.
        sim.receive(B({0xF0, 48, 0}));
        QCOMPARE(NextAnswer(sim, 100).answer, B({'G', 48, 24}));
        QCOMPARE(NextAnswer(sim, 200).ms, -1);
        QCOMPARE(sim.bridgeCell(0x11), cell17);

        // Afterwards the cell reads back with the value written.
        sim.receive(B({0x91, 0x10, 0}));
        QCOMPARE(NextAnswer(sim, 100), (Timed{relay, B({'H', 0x90, 0x85})}));
        QCOMPARE(sim.lostWhileWriting(), 2);
    }

    void writeTimeIsAnOption() {
        SimOptions none;
        none.writeTimeMs = 0;
        Simulator quick(none);
        quick.receive(B({0xE0, 100, 9, 0xF0, 100, 0}));
        QCOMPARE(NextAnswer(quick, 100).answer, B({'G', 100, 9}));
        QCOMPARE(quick.lostWhileWriting(), 0);

        SimOptions slow;
        slow.writeTimeMs = 300;
        Simulator eeprom(slow);
        eeprom.receive(B({0x80, 1, 50}));
        eeprom.advance(eeprom.options().bridgeDelayMs + 299);
        eeprom.receive(B({0x90, 1, 0}));
        QCOMPARE(eeprom.lostWhileWriting(), 1);
        eeprom.advance(1);
        eeprom.receive(B({0x90, 1, 0}));
        QCOMPARE(NextAnswer(eeprom, 100).answer, B({'H', 1, 50}));
        QCOMPARE(eeprom.lostWhileWriting(), 1);
    }

    void pacingWithoutAnswers() {
        // A silent controller still relays and writes; it only says nothing.
        SimOptions o;
        o.silent = true;
        Simulator sim(o);
        sim.receive(B({0x80, 1, 50}));
        sim.advance(1);
        sim.receive(B({0x90, 1, 0}));
        QCOMPARE(sim.lostWhileRelaying(), 1);
        sim.advance(sim.options().bridgeDelayMs);
        QCOMPARE(sim.bridgeCell(1), uint8_t(50));
        QVERIFY(sim.takeOutput().isEmpty());

        // Hanging up ends a relay that was on its way.
        SimOptions h;
        h.hangUpAfterMs = 20;
        Simulator hangs(h);
        hangs.receive(B({0x80, 1, 50}));
        hangs.advance(100);
        QVERIFY(hangs.hungUp());
        QVERIFY(!hangs.relaying());
        QVERIFY(hangs.bridgeCell(1) != 50);
    }

    void largestDelaysRunWithoutOverflow() {
        SimOptions o;
        o.bridgeDelayMs = INT_MAX;
        o.writeTimeMs = INT_MAX;
        o.silent = true; // no reports piling up over 25 days
        Simulator sim(o);
        sim.receive(B({0x80, 1, 50, 0xE0, 100, 9}));
        sim.advance(INT_MAX - 1);
        QVERIFY(sim.relaying());
        QVERIFY(sim.bridgeCell(1) != 50);
        sim.receive(B({0xF0, 100, 0})); // the pit board still writes
        QCOMPARE(sim.lostWhileWriting(), 1);
        sim.advance(1);
        QVERIFY(!sim.relaying());
        QCOMPARE(sim.bridgeCell(1), uint8_t(50));
        sim.receive(B({0xF0, 100, 0}));
        QCOMPARE(sim.lostWhileWriting(), 1);
        sim.advance(INT_MAX - 1); // the bridge board writes until twice the largest int
        sim.receive(B({0x90, 1, 0}));
        QCOMPARE(sim.lostWhileWriting(), 2);
        sim.advance(1);
        sim.receive(B({0x90, 1, 0}));
        QVERIFY(sim.relaying());
        QCOMPARE(sim.now(), 2 * int64_t(INT_MAX));
    }

    void portDeviceTimesARequestByItsWrite() {
        // The boards judge the pacing by when a request arrives: the port device brings the
        // simulated time up to the moment of the write, not to its last tick. No event is
        // processed here, so no tick runs in between.
        auto sim = std::make_shared<Simulator>();
        SimulatorPortDevice port(sim);
        QVERIFY(port.open(nullptr));
        QElapsedTimer clock;
        clock.start(); // after the device's own clock, so never ahead of it
        while (clock.elapsed() < 30) {
        }
        const QByteArray read = B({0xF0, 48, 0});
        QCOMPARE(port.write(read.constData(), read.size(), nullptr), qint64(read.size()));
        QVERIFY2(sim->now() >= 30, qPrintable(QString::number(sim->now())));
        port.close();
    }

    void pacingDefaults() {
        const SimOptions defaults;
        QCOMPARE(defaults.pitDelayMs, 5);
        QCOMPARE(defaults.bridgeDelayMs, 40);
        QCOMPARE(defaults.writeTimeMs, 10);
        // The program's demo mode runs with the same figures as pivota-sim without options.
        const SimOptions &shared = SimulatorPortDevice::Shared()->options();
        QCOMPARE(shared.pitDelayMs, 5);
        QCOMPARE(shared.bridgeDelayMs, 40);
        QCOMPARE(shared.writeTimeMs, 10);
        const SimOptions parsed = Parse({}).settings.options;
        QCOMPARE(parsed.pitDelayMs, 5);
        QCOMPARE(parsed.bridgeDelayMs, 40);
        QCOMPARE(parsed.writeTimeMs, 10);
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
                                              "25"});
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
