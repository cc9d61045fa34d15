#include "comm/messages.h"
#include "comm/sendqueue.h"
#include "fixtures/testutil.h"

#include <QTest>
#include <vector>

using TestUtil::Drain;

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
        QObject::connect(&q, &SendQueue::sendLogCleared, [&] { ++cleared; });
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

    void urgentMessageIsNeverDropped() {
        SendQueue q;
        int cleared = 0;
        QObject::connect(&q, &SendQueue::sendLogCleared, [&cleared] { ++cleared; });
        for (int i = 0; i < 16; ++i) {
            q.QueueValue(Msg::ReadPitCell, i);
        }
        q.QueueValue(Msg::ReadPitCell, 99); // full: an ordinary message is dropped
        QCOMPARE(q.length(), 48);
        q.QueueUrgentMessage(0xC1, 0x00, 0x40); // behind everything, beyond the capacity
        QCOMPARE(q.length(), 51);
        QCOMPARE(cleared, 1);
        q.TakeNext(); // the head message is partly sent: two of its bytes remain
        for (int i = 0; i < 5; ++i) {
            q.QueueUrgentMessage(0xC1, 0x00, 0x40);
        }
        // The reserve is used up: the newest waiting messages make room, the partly sent head
        // stays, and the newest stop is last.
        QVERIFY(q.length() <= SendQueue::Capacity + SendQueue::UrgentReserve);
        const std::vector<int> sent = Drain(q);
        QCOMPARE(sent.at(0), 0x00);
        QCOMPARE(sent.at(1), 0x00);
        QCOMPARE(std::vector<int>(sent.end() - 3, sent.end()),
                 (std::vector<int>{0xC1, 0x00, 0x40}));
        QCOMPARE(int(sent.size() % 3), 2);
        q.QueueValue(Msg::ReadPitCell, 1); // and the queue takes ordinary messages again
        QCOMPARE(q.length(), 3);
    }

    void sendLogLines_data() {
        QTest::addColumn<int>("byte");
        QTest::addColumn<QString>("line");
        QTest::newRow("letter") << 0x41 << QStringLiteral("'A' $41 b01000001");
        QTest::newRow("zero byte shows a space") << 0x00 << QStringLiteral("' ' $00 b00000000");
        QTest::newRow("command") << 0xF1 << QStringLiteral("'ñ' $f1 b11110001");
        QTest::newRow("low value") << 0x05 << QStringLiteral("'\x05' $05 b00000101");
        // Bytes 0x80..0x9F show the characters of the Windows code page, not controls.
        QTest::newRow("euro sign") << 0x80 << QStringLiteral("'€' $80 b10000000");
        QTest::newRow("bridge write command") << 0x83 << QStringLiteral("'ƒ' $83 b10000011");
        QTest::newRow("bridge read command") << 0x91 << QStringLiteral("'‘' $91 b10010001");
    }
    void sendLogLines() {
        QFETCH(int, byte);
        QFETCH(QString, line);
        QCOMPARE(SendLogLine(static_cast<uint8_t>(byte)), line);
    }
};

QTEST_GUILESS_MAIN(TestSendQueue)
#include "tst_sendqueue.moc"
