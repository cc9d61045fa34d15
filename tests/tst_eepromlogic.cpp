// The EEPROM tab's rules without widgets: the dump text, the edits' normalisation, and the
// read-all sweeps of both boards on the transmit queue.

#include "comm/boardimage.h"
#include "comm/framing.h"
#include "comm/sharedstate.h"
#include "comm/transfertally.h"
#include "core/eeprom/eepromlogic.h"
#include "fixtures/testutil.h"

#include <QTest>
#include <vector>

using namespace TestUtil;

class TestEepromLogic : public QObject {
    Q_OBJECT
private slots:
    // -----------------------------------------------------------------------------------------
    // Texts

    void dumpText() {
        BoardImage image(BoardImage::Board::Grube);
        QString text = Eeprom::DumpText(image);
        QStringList lines = text.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 16);
        QCOMPARE(lines.first(), QStringLiteral("0x00: ffff ffff ffff ffff | ffff ffff ffff ffff "));
        QVERIFY(!text.endsWith(QStringLiteral("\n")));
        QVERIFY(!text.contains(QStringLiteral("\n0x")) || text.count(QStringLiteral("\r\n")) == 15);

        for (int cell = 0; cell < 256; ++cell) {
            image.setValue(cell, cell);
        }
        lines = Eeprom::DumpText(image).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.at(1), QStringLiteral("0x10: 1011 1213 1415 1617 | 1819 1a1b 1c1d 1e1f "));
        QCOMPARE(lines.at(15), QStringLiteral("0xf0: f0f1 f2f3 f4f5 f6f7 | f8f9 fafb fcfd feff "));
    }

    void normalisation() {
        QCOMPARE(Eeprom::NormalizeHexEdit("123"), QStringLiteral("12"));
        QCOMPARE(Eeprom::NormalizeHexEdit("5"), QStringLiteral("05"));
        QCOMPARE(Eeprom::NormalizeHexEdit(""), QStringLiteral("0"));
        QCOMPARE(Eeprom::NormalizeHexEdit("ab"), QStringLiteral("ab"));
    }

    // -----------------------------------------------------------------------------------------
    // Sweeps

    void aSweepAsksEveryCellInAscendingOrder_data() {
        QTest::addColumn<bool>("pitBoard");
        QTest::newRow("pit board") << true;
        QTest::newRow("bridge board") << false;
    }
    void aSweepAsksEveryCellInAscendingOrder() {
        QFETCH(bool, pitBoard);
        const Board board = pitBoard ? Board::Grube : Board::Buehne;
        const int command = pitBoard ? 0xF0 : 0x90;
        SharedState s;
        s.transferSettings.fixedPacing = true; // one request per tick, as first built
        Eeprom::Sweeps sweeps(s);
        sweeps.Toggle(board);
        QVERIFY(sweeps.of(board).running());
        QVERIFY(!sweeps.of(pitBoard ? Board::Buehne : Board::Grube).running());
        for (int cell = 0; cell < Eeprom::Sweeps::Cells; ++cell) {
            const Eeprom::Sweeps::Progress p = sweeps.Tick();
            QCOMPARE(pitBoard ? p.pit : p.bridge, cell + 1);
            QCOMPARE(pitBoard ? p.bridge : p.pit, 0);
            // Cells from 128 on carry their top bit in the command.
            QCOMPARE(Drain(s.sendQueue), (std::vector<int>{command | (cell >> 7), cell & 0x7F, 0}));
        }
        // Done with its last request: nothing more is asked.
        QVERIFY(!sweeps.of(board).running());
        QVERIFY(!sweeps.of(board).active());
        const Eeprom::Sweeps::Progress after = sweeps.Tick();
        QCOMPARE(after.pit, 0);
        QCOMPARE(after.bridge, 0);
        QVERIFY(s.sendQueue.isEmpty());
    }

    void trafficHoldsTheSweepsBackAndThePitBoardGoesFirst() {
        SharedState s;
        s.transferSettings.fixedPacing = true; // one request per tick, as first built
        Eeprom::Sweeps sweeps(s);
        sweeps.Toggle(Board::Grube);
        sweeps.Toggle(Board::Buehne);
        // Two bytes of other traffic still waiting: neither sweep asks.
        s.sendQueue.QueueValue(0xE0, 99);
        s.sendQueue.TakeNext();
        Eeprom::Sweeps::Progress p = sweeps.Tick();
        QCOMPARE(p.pit, 0);
        QCOMPARE(p.bridge, 0);
        QCOMPARE(s.sendQueue.length(), 2);
        // One byte left: the pit board is asked, and its request holds the bridge sweep back.
        s.sendQueue.TakeNext();
        p = sweeps.Tick();
        QCOMPARE(p.pit, 1);
        QCOMPARE(p.bridge, 0);
        QCOMPARE(Drain(s.sendQueue), (std::vector<int>{0x00, 0xF0, 0x00, 0x00}));
        for (int cell = 1; cell < Eeprom::Sweeps::Cells; ++cell) {
            QCOMPARE(sweeps.Tick().bridge, 0);
            Drain(s.sendQueue);
        }
        // The bridge sweep goes on once the pit sweep is done.
        QVERIFY(!sweeps.pit.running());
        QCOMPARE(sweeps.bridge.position(), 0);
        QCOMPARE(sweeps.Tick().bridge, 1);
        QCOMPARE(Drain(s.sendQueue), (std::vector<int>{0x90, 0x00, 0x00}));
    }

    void aSecondClickStopsAndTheNextStartsAtCellZero() {
        qint64 now = 0;
        SharedState s;
        s.setClock([&] { return now; });
        s.transferSettings.fixedPacing = true; // one request per tick, as first built
        Eeprom::Sweeps sweeps(s);
        sweeps.Toggle(Board::Buehne);
        for (int i = 0; i < 3; ++i) {
            sweeps.Tick();
            Drain(s.sendQueue);
        }
        QCOMPARE(sweeps.bridge.position(), 3);
        sweeps.Toggle(Board::Buehne); // stop
        QVERIFY(!sweeps.bridge.running());
        QVERIFY(!sweeps.bridge.active());
        QCOMPARE(sweeps.Tick().bridge, 0);
        QVERIFY(s.sendQueue.isEmpty());
        // What was asked so far is reported once the answers had their time.
        now += TransferTally::GraceMs;
        QCOMPARE(s.TakeTransferReport()->line, QStringLiteral("0 von 3 Zellen beantwortet"));

        sweeps.Toggle(Board::Buehne);
        QCOMPARE(sweeps.bridge.position(), 0);
        QCOMPARE(sweeps.Tick().bridge, 1);
        QCOMPARE(Drain(s.sendQueue), (std::vector<int>{0x90, 0x00, 0x00}));

        // The pacing chosen again while a sweep runs: the click still stops the running one.
        s.transferSettings.fixedPacing = false;
        sweeps.Toggle(Board::Buehne);
        QVERIFY(!sweeps.bridge.active());
        QCOMPARE(sweeps.Tick().bridge, 0);
        QVERIFY(s.sendQueue.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestEepromLogic)
#include "tst_eepromlogic.moc"
