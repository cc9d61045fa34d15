// The simulated controller paces like a real one: answer delays, one relayed bridge request at a
// time, the write time.

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

class TestSimPacing : public QObject {
    Q_OBJECT
private slots:
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
};

QTEST_GUILESS_MAIN(TestSimPacing)
#include "tst_simpacing.moc"
