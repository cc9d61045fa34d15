#include "comm/hexbyte.h"
#include "comm/sharedstate.h"
#include "fixtures/testsession.h"
#include "fixtures/testutil.h"

#include <QTest>

namespace {
void Receive(SharedState &s, QByteArray bytes) {
    s.Receive(bytes);
}
// A message put on the wire as the transmit tick does.
void Sent(SharedState &s, int command, int value1, int value2) {
    s.sendQueue.QueueValuePair(command, value1, value2);
    TestUtil::PutOnWire(s);
}
// The read request of a cell.
void Asked(SharedState &s, int command, int cell) {
    Sent(s, command, cell, 0);
}
QByteArray Msg3(char letter, int d1, int d2) {
    QByteArray a;
    a.append(letter).append(static_cast<char>(d1)).append(static_cast<char>(d2));
    return a;
}
// A status report, as the board sends every 200 ms: it shows the stream in step behind the
// answers before it.
QByteArray Status() {
    return Msg3('F', 0x00, 0x00);
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
        const uint64_t before = s.pit.revision();
        Receive(s, QByteArray("XYZ") + Msg3('G', 0x10, 0x2A) + Msg3('G', 0x10, 0x2A) + Status());
        QCOMPARE(s.pit.value(16), uint8_t(42));
        QVERIFY(s.pit.received(16));
        QVERIFY(s.pit.revision() > before);
        QCOMPARE(s.pit.answerCount(16), 1u); // the copy was not asked for
        QCOMPARE(s.answers.dropped(), 1);
    }

    // Every answer of a period lands: the receiver keeps them all, not only the latest one.
    void twoAnswersInOnePeriodBothLand() {
        SharedState s;
        Asked(s, 0xF0, 0x10);
        Asked(s, 0xF0, 0x11);
        Receive(s, QByteArray("XYZ") + Msg3('G', 0x10, 0x2A) + Msg3('G', 0x11, 0x05) + Status());
        QCOMPARE(s.pit.value(17), uint8_t(5));
        QCOMPARE(s.pit.value(16), uint8_t(42));
        QVERIFY(s.pit.received(16) && s.pit.received(17));
    }

    void bridgeAnswerAppliesAndReportsIt() {
        SharedState s;
        const uint64_t before = s.bridge.answerRevision();
        Asked(s, 0x90, 0xFF);
        Asked(s, 0xF0, 0x00);
        Receive(s, QByteArray("XYZ") + Msg3('H', 0xFF, 0x80) + Msg3('G', 0x00, 0x07) + Status());
        QCOMPARE(s.bridge.value(255), uint8_t(0x80));
        QVERIFY(s.bridge.received(255));
        QCOMPARE(s.pit.value(0), uint8_t(7));
        QVERIFY(s.bridge.answerRevision() > before);
        QVERIFY(!s.pit.received(1));
    }

    // An answer counts only once the stream behind it is seen in step: one lost byte shifts every
    // later message, and then the letter of the next report passes for a value.
    void answersOutOfStepAreNotBelieved() {
        SharedState s;
        Asked(s, 0xF0, 0x1F);
        // Held until the next message: nothing yet.
        Receive(s, QByteArray("XYZ") + Msg3('G', 0x1F, 0xFE));
        QCOMPARE(s.pit.value(0x1F), uint8_t(0xFF));
        // The report behind it lost its first byte: the next message starts with a data byte.
        Receive(s, QByteArray("\x40\x00", 2) + Msg3('L', 1, 2));
        QCOMPARE(s.pit.value(0x1F), uint8_t(0xFF));
        QVERIFY(!s.pit.received(0x1F));

        // The same after a marker that must re-align the count.
        Asked(s, 0xF0, 0x20);
        Receive(s, QByteArray("XYZ") + Msg3('G', 0x20, 0x46) + QByteArray("\x01XYZ"));
        QCOMPARE(s.pit.value(0x20), uint8_t(0xFF));
        // A marker in its place confirms the answer before it.
        Asked(s, 0xF0, 0x21);
        Receive(s, Msg3('G', 0x21, 0x46) + QByteArray("XYZ"));
        QCOMPARE(s.pit.value(0x21), uint8_t(0x46));
    }

    void answersNobodyAskedForAreDropped() {
        SharedState s;
        qint64 t = 1000;
        s.setClock([&t] { return t; });
        const uint64_t pitBefore = s.pit.revision();
        const uint64_t bridgeBefore = s.bridge.revision();
        // Noise that looks like answers: a "G" and an "H" for cells never requested.
        Receive(s, QByteArray("XYZ") + Msg3('G', 0x00, 0x55) + Msg3('H', 0x02, 0x66) + Status());
        QCOMPARE(s.pit.value(0), uint8_t(0xFF));
        QCOMPARE(s.bridge.value(2), uint8_t(0xFF));
        QCOMPARE(s.pit.revision(), pitBefore);
        QCOMPARE(s.bridge.revision(), bridgeBefore);
        QCOMPARE(s.answers.dropped(), 2);

        // A real answer lands once; a second copy after it is dropped.
        Asked(s, 0xF0, 0x85); // folded: cell 133 leaves as 0xF1 0x05
        t += 30;
        Receive(s, Msg3('G', 0x85, 0x12) + Status());
        QCOMPARE(s.pit.value(133), uint8_t(0x12));
        Receive(s, Msg3('G', 0x85, 0x13) + Status());
        QCOMPARE(s.pit.value(133), uint8_t(0x12));

        // An answer later than two seconds after its request is not believed.
        Asked(s, 0x90, 0x07);
        t += AnswerFilter::AnswerWindowMs + 1;
        Receive(s, Msg3('H', 0x07, 0x01) + Status());
        QCOMPARE(s.bridge.value(7), uint8_t(0xFF));
        // Write commands ask for nothing.
        Sent(s, 0x80, 0x09, 0x01);
        Receive(s, Msg3('H', 0x09, 0x01) + Status());
        QCOMPARE(s.bridge.value(9), uint8_t(0xFF));
    }

    void impossiblePositionsAreIgnored() {
        TestSession line;
        SharedState &s = line.state;
        QVERIFY(line.GoOnline());
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
        TestSession line;
        SharedState &s = line.state;
        Receive(s, QByteArray("XYZ") + Msg3('L', 5, 9));
        s.TakePositions();
        QCOMPARE(s.ActualPosition, 1);
        QCOMPARE(s.DigitalTarget, -1);
        QVERIFY(line.GoOnline()); // a new connection: its own reports count
        Receive(s, QByteArray("XYZ") + Msg3('L', 5, 9));
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
