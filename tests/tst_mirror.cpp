#include "hexbyte.h"
#include "sharedstate.h"

#include <QTest>

namespace {
void Receive(SharedState &s, QByteArray bytes) {
    s.receiver.Feed(bytes);
}
// The read request of a cell as the transmit tick puts it on the wire.
void Asked(SharedState &s, int command, int cell) {
    const uint8_t bytes[3] = {uint8_t(command | (cell > 127 ? 1 : 0)), uint8_t(cell & 0x7F), 0};
    for (uint8_t b : bytes) {
        s.answers.NoteSent(b, true, s.now());
    }
}
QByteArray Msg3(char letter, int d1, int d2) {
    QByteArray a;
    a.append(letter).append(static_cast<char>(d1)).append(static_cast<char>(d2));
    return a;
}
} // namespace

class TestMirror : public QObject {
    Q_OBJECT
private slots:
    void defaults() {
        SharedState s;
        QCOMPARE(s.pit.value(0), uint8_t(0xFF)); // unknown until read or loaded
        QCOMPARE(s.pit.defaultValue(48), uint8_t(24));
        QCOMPARE(s.pit.defaultValue(50), uint8_t(1));
        QCOMPARE(s.pit.defaultValue(49), uint8_t(0));
        QCOMPARE(s.pit.defaultValue(255), uint8_t(0));
        const int bridge[32] = {0,   126, 126, 170, 150, 10,  24,  255, 135, 255, 255,
                                255, 65,  56,  20,  255, 0,   88,  88,  2,   20,  21,
                                22,  55,  6,   25,  128, 255, 255, 255, 255, 255};
        for (int cell = 0; cell < 32; ++cell) {
            QCOMPARE(int(s.bridge.defaultValue(cell)), bridge[cell]);
        }
        QCOMPARE(s.bridge.defaultValue(32), uint8_t(0));
        QVERIFY(!s.bridge.received(3));
        QVERIFY(s.PitChangedForEeprom && s.PitChangedForDefinition && s.BridgeChangedForEeprom);
        QCOMPARE(s.station.PositionName[1], QStringLiteral("1"));
        QCOMPARE(s.station.PositionName[48], QStringLiteral("48"));
        QVERIFY(s.station.PositionUsed[48]);
        QVERIFY(s.station.ReverseCounting);
        QCOMPARE(s.station.RSense, 15.0f);
        QCOMPARE(s.ActualPosition, 1);
        QCOMPARE(s.PositionCount, 48);
    }

    void sameCellMessageTwiceAppliesOnce() {
        SharedState s;
        Asked(s, 0xF0, 0x10);
        Receive(s, QByteArray("XYZ") + Msg3('G', 0x10, 0x2A) + Msg3('G', 0x10, 0x2A));
        s.PitChangedForEeprom = false;
        s.PitChangedForDefinition = false;
        QVERIFY(!s.ApplyBoardValues());
        QCOMPARE(s.pit.value(16), uint8_t(42));
        QVERIFY(s.pit.received(16));
        QVERIFY(s.PitChangedForEeprom && s.PitChangedForDefinition);
        s.PitChangedForEeprom = false;
        s.ApplyBoardValues(); // nothing new arrived: the entry was taken
        QVERIFY(!s.PitChangedForEeprom);
    }

    void secondAnswerInOnePeriodReplacesFirst() {
        SharedState s;
        Asked(s, 0xF0, 0x10);
        Asked(s, 0xF0, 0x11);
        Receive(s, QByteArray("XYZ") + Msg3('G', 0x10, 0x2A) + Msg3('G', 0x11, 0x05));
        s.ApplyBoardValues();
        QCOMPARE(s.pit.value(17), uint8_t(5));
        QCOMPARE(s.pit.value(16), uint8_t(0xFF));
        QVERIFY(!s.pit.received(16));
    }

    void bridgeAnswerAppliesAndReportsIt() {
        SharedState s;
        s.BridgeChangedForEeprom = false;
        Asked(s, 0x90, 0xFF);
        Asked(s, 0xF0, 0x00);
        Receive(s, QByteArray("XYZ") + Msg3('H', 0xFF, 0x80) + Msg3('G', 0x00, 0x07));
        QVERIFY(s.ApplyBoardValues());
        QCOMPARE(s.bridge.value(255), uint8_t(0x80));
        QVERIFY(s.bridge.received(255));
        QCOMPARE(s.pit.value(0), uint8_t(7));
        QVERIFY(s.BridgeChangedForEeprom);
        QVERIFY(!s.pit.received(1));
    }

    void answersNobodyAskedForAreDropped() {
        SharedState s;
        qint64 t = 1000;
        s.clock = [&t] { return t; };
        s.PitChangedForEeprom = s.PitChangedForDefinition = s.BridgeChangedForEeprom = false;
        // Noise that looks like answers: a "G" and an "H" for cells never requested.
        Receive(s, QByteArray("XYZ") + Msg3('G', 0x00, 0x55) + Msg3('H', 0x02, 0x66));
        QVERIFY(!s.ApplyBoardValues());
        QCOMPARE(s.pit.value(0), uint8_t(0xFF));
        QCOMPARE(s.bridge.value(2), uint8_t(0xFF));
        QVERIFY(!s.PitChangedForEeprom && !s.BridgeChangedForEeprom);
        QCOMPARE(s.answers.dropped(), 2);

        // A request drained while offline never reached a board: its "answer" is noise too.
        s.answers.NoteSent(0xF0, false, t);
        s.answers.NoteSent(0x05, false, t);
        s.answers.NoteSent(0x00, false, t);
        Receive(s, Msg3('G', 0x05, 0x11));
        s.ApplyBoardValues();
        QCOMPARE(s.pit.value(5), uint8_t(0xFF));

        // A real answer lands once; a second copy after it is dropped.
        Asked(s, 0xF0, 0x85); // folded: cell 133 leaves as 0xF1 0x05
        t += 30;
        Receive(s, Msg3('G', 0x85, 0x12));
        s.ApplyBoardValues();
        QCOMPARE(s.pit.value(133), uint8_t(0x12));
        Receive(s, Msg3('G', 0x85, 0x13));
        s.ApplyBoardValues();
        QCOMPARE(s.pit.value(133), uint8_t(0x12));

        // An answer later than two seconds after its request is not believed.
        Asked(s, 0x90, 0x07);
        t += AnswerFilter::AnswerWindowMs + 1;
        Receive(s, Msg3('H', 0x07, 0x01));
        QVERIFY(!s.ApplyBoardValues());
        QCOMPARE(s.bridge.value(7), uint8_t(0xFF));
        // Write commands ask for nothing.
        s.answers.NoteSent(0x80, true, t);
        s.answers.NoteSent(0x09, true, t);
        s.answers.NoteSent(0x01, true, t);
        Receive(s, Msg3('H', 0x09, 0x01));
        QVERIFY(!s.ApplyBoardValues());
    }

    void impossiblePositionsAreIgnored() {
        SharedState s;
        s.Online = true;
        s.PositionCount = 24;
        Receive(s, QByteArray("XYZ") + Msg3('L', 23, 5));
        s.TakePositions();
        QCOMPARE(s.DigitalTarget, 23);
        QCOMPARE(s.ActualPosition, 5);
        Receive(s, Msg3('L', 24, 164)); // beyond the 24 positions: damaged
        s.TakePositions();
        QCOMPARE(s.DigitalTarget, 23);
        QCOMPARE(s.ActualPosition, 5);
    }

    void positionsOnlyWhileOnline() {
        SharedState s;
        Receive(s, QByteArray("XYZ") + Msg3('L', 5, 9));
        s.TakePositions();
        QCOMPARE(s.ActualPosition, 1);
        QCOMPARE(s.DigitalTarget, -1);
        s.Online = true;
        s.TakePositions();
        QCOMPARE(s.ActualPosition, 9);
        QCOMPARE(s.DigitalTarget, 5);
        Receive(s, Msg3('L', 0xFF, 12));
        s.TakePositions();
        QCOMPARE(s.DigitalTarget, 5); // 0xFF leaves it
        QCOMPARE(s.ActualPosition, 12);
        Receive(s, Msg3('L', 3, 0xFF));
        s.TakePositions();
        QCOMPARE(s.DigitalTarget, 3);
        QCOMPARE(s.ActualPosition, 12);
    }

    void hexBytes() {
        QCOMPARE(HexByteText(0), QStringLiteral("00"));
        QCOMPARE(HexByteText(0xAB), QStringLiteral("ab"));
        QCOMPARE(HexByteText(0x1FF), QStringLiteral("ff"));
        QCOMPARE(ParseHexByte(QStringLiteral("0a")), uint8_t(0x0A));
        QCOMPARE(ParseHexByte(QStringLiteral("FF")), uint8_t(0xFF));
        QCOMPARE(ParseHexByte(QStringLiteral("7g")), uint8_t(0x77)); // lenient by design
        QCOMPARE(ParseHexByte(QStringLiteral("5")), uint8_t(0x50));  // second char counts as 0
        QCOMPARE(ParseHexByte(QString()), uint8_t(0x00));
        QCOMPARE(ParseHexByte(QStringLiteral("123")), uint8_t(0x12));
        QVERIFY(IsStrictHexByte(QStringLiteral("0a")));
        QVERIFY(IsStrictHexByte(QStringLiteral("F")));
        QVERIFY(!IsStrictHexByte(QStringLiteral("7g")));
        QVERIFY(!IsStrictHexByte(QStringLiteral("")));
        QVERIFY(!IsStrictHexByte(QStringLiteral("123")));
        QVERIFY(!IsStrictHexByte(QStringLiteral(" 1")));
    }
};

QTEST_GUILESS_MAIN(TestMirror)
#include "tst_mirror.moc"
