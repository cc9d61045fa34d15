#include "messages.h"
#include "sendqueue.h"

#include <QTest>
#include <vector>

namespace {
std::vector<int> Bytes(const SendQueue &q) {
    std::vector<int> v;
    for (int i = 0; i < q.length(); ++i) {
        v.push_back(q.at(i));
    }
    return v;
}
} // namespace

class TestSendQueue : public QObject {
    Q_OBJECT
private slots:
    void foldsHighBitsIntoCommand() {
        SendQueue q;
        q.QueueValuePair(Msg::WritePitCell, 200, 5);
        q.QueueValuePair(Msg::WriteBridgeCell, 3, 130);
        q.QueueValue(Msg::ReadPitCell, 255);
        q.QueueValuePair(Msg::WriteBridgeCell, 255, 128);
        q.QueueValue(Msg::ReadBridgeCell, 127);
        const std::vector<int> expected = {0xE1, 0x48, 0x05, 0x82, 0x03, 0x02, 0xF1, 0x7F,
                                           0x00, 0x83, 0x7F, 0x00, 0x90, 0x7F, 0x00};
        QCOMPARE(Bytes(q), expected);
    }

    void rawAndKeyCodeFormsDoNotFold() {
        SendQueue q;
        int cleared = 0;
        q.onClearLog = [&] { ++cleared; };
        q.QueueMessage(Msg::FunctionGroup1, 0x40, 0x40);
        q.QueueMessage(0xA0, 0xFF, 0x86); // raw bytes go out exactly as passed
        q.QueueKeyCode(0xFF);             // bit 7 dropped, command stays 0xC4
        q.QueueValue(Msg::ReadPitCell, 1);
        const std::vector<int> expected = {0xC1, 0x40, 0x40, 0xA0, 0xFF, 0x86,
                                           0xC4, 0x7F, 0x00, 0xF0, 0x01, 0x00};
        QCOMPARE(Bytes(q), expected);
        QCOMPARE(cleared, 3); // only the raw form and the key code clear the send log
    }

    void dropsWholeMessagesAtCapacity() {
        SendQueue q;
        for (int i = 0; i < 16; ++i) {
            q.QueueValue(Msg::ReadPitCell, i);
        }
        QCOMPARE(q.length(), 48);
        q.QueueValue(Msg::ReadPitCell, 99); // 51 > 50: dropped whole
        QCOMPARE(q.length(), 48);

        QCOMPARE(q.TakeNext().value(), uint8_t(0xF0));
        QCOMPARE(q.length(), 47);
        q.QueueValue(Msg::ReadPitCell, 42);
        QCOMPARE(q.length(), 50);
        QCOMPARE(q.at(49), uint8_t(0)); // the accepted message is whole at the tail
        QCOMPARE(q.at(48), uint8_t(42));

        q.TakeNext();
        q.TakeNext();
        q.QueueKeyCode(5); // 48 + 3 > 50 still
        QCOMPARE(q.length(), 48);
        q.TakeNext();
        q.QueueKeyCode(5);
        QCOMPARE(q.length(), 50);
    }

    void urgentMessageMakesRoomWithoutCuttingTheOneOnTheWire() {
        // Room: appended like any raw message, nothing dropped, the send log cleared.
        SendQueue q;
        int cleared = 0;
        q.onClearLog = [&] { ++cleared; };
        q.QueueValue(Msg::ReadPitCell, 1);
        QCOMPARE(q.QueueUrgent(Msg::DirectDrive, 0x28, 0x02), 0);
        QCOMPARE(Bytes(q), (std::vector<int>{0xF0, 0x01, 0x00, 0xA0, 0x28, 0x02}));
        QCOMPARE(cleared, 1);

        // Full with the head message partly written (48 - 2 bytes gone = 46 + two more = 49 with
        // two bytes of the first message left): the newest whole messages go, the rest of the
        // head and the older messages stay in order, the stop comes last.
        SendQueue full;
        for (int i = 0; i < 16; ++i) {
            full.QueueMessage(Msg::DirectDrive, i, 0x03);
        }
        full.TakeNext(); // 0xA0 of message 0 is on the wire
        full.QueueMessage(Msg::DirectDrive, 16, 0x03);
        QCOMPARE(full.length(), 50);
        QCOMPARE(full.QueueUrgent(Msg::DirectDrive, 0x10, 0x02), 1);
        QCOMPARE(full.length(), 50);
        QCOMPARE(full.at(0), uint8_t(0));    // the rest of message 0 ...
        QCOMPARE(full.at(1), uint8_t(0x03)); // ... stays whole
        QCOMPARE(full.at(45), uint8_t(15));  // message 15 kept, message 16 dropped
        QCOMPARE(full.at(47), uint8_t(0xA0));
        QCOMPARE(full.at(48), uint8_t(0x10));
        QCOMPARE(full.at(49), uint8_t(0x02));

        // 45 bytes take it as they are; 48 (where a plain message is dropped) lose the newest.
        SendQueue q45;
        for (int i = 0; i < 15; ++i) {
            q45.QueueValue(Msg::ReadPitCell, i);
        }
        QCOMPARE(q45.QueueUrgent(Msg::DirectDrive, 1, 0), 0);
        QCOMPARE(q45.length(), 48);
        q45.QueueValue(Msg::ReadPitCell, 99);
        QCOMPARE(q45.length(), 48);
        QCOMPARE(q45.QueueUrgent(Msg::DirectDrive, 2, 0), 1);
        QCOMPARE(q45.length(), 48);
        QCOMPARE(q45.at(42), uint8_t(0xF0)); // message 14 kept, the first urgent one dropped
        QCOMPARE(q45.at(43), uint8_t(14));
        QCOMPARE(q45.at(46), uint8_t(2));
        SendQueue q49;
        for (int i = 0; i < 16; ++i) {
            q49.QueueValue(Msg::ReadPitCell, i);
        }
        q49.TakeNext();
        q49.TakeNext();
        q49.QueueValue(Msg::ReadPitCell, 16); // 46 + 3 = 49: one byte of message 0 left
        QCOMPARE(q49.QueueUrgent(Msg::DirectDrive, 1, 0), 1);
        QCOMPARE(q49.length(), 49);
        QCOMPARE(q49.at(0), uint8_t(0x00)); // last byte of message 0
        QCOMPARE(q49.at(46), uint8_t(0xA0));

        // Every byte that leaves is still part of a whole message.
        std::vector<int> out;
        while (auto b = full.TakeNext()) {
            out.push_back(*b);
        }
        QCOMPARE(out.size() % 3, size_t(2)); // the two bytes left of message 0, then whole ones
        for (size_t i = 2; i < out.size(); i += 3) {
            QCOMPARE(out[i], 0xA0);
        }
    }

    void drainsFirstInFirstOut() {
        SendQueue q;
        QVERIFY(!q.TakeNext().has_value());
        q.QueueValuePair(Msg::WritePitCell, 1, 2);
        q.QueueValuePair(Msg::WritePitCell, 3, 4);
        std::vector<int> out;
        while (auto b = q.TakeNext()) {
            out.push_back(*b);
        }
        QCOMPARE(out, (std::vector<int>{0xE0, 1, 2, 0xE0, 3, 4}));
        QVERIFY(q.isEmpty());
    }

    void sendLogLines_data() {
        QTest::addColumn<int>("byte");
        QTest::addColumn<QString>("line");
        QTest::newRow("letter") << 0x41 << QStringLiteral("'A' $41 b01000001");
        QTest::newRow("zero byte shows a space") << 0x00 << QStringLiteral("' ' $00 b00000000");
        QTest::newRow("command") << 0xF1 << QStringLiteral("'ñ' $f1 b11110001");
        QTest::newRow("low value") << 0x05 << QStringLiteral("'\x05' $05 b00000101");
    }
    void sendLogLines() {
        QFETCH(int, byte);
        QFETCH(QString, line);
        QCOMPARE(SendLogLine(static_cast<uint8_t>(byte)), line);
    }
};

QTEST_GUILESS_MAIN(TestSendQueue)
#include "tst_sendqueue.moc"
