#include "comm/hexbyte.h"
#include "comm/receiver.h"
#include "fixtures/testutil.h"

#include <QTest>

using namespace TestUtil;

class TestReceiver : public QObject {
    Q_OBJECT
private slots:
    void tableStartsUnset() {
        InfoTable t;
        for (int k = 0; k < InfoTable::Entries; ++k) {
            QCOMPARE(t.letter(k), uint8_t(0xFF));
            QCOMPARE(t.data2(k), uint8_t(0xFF));
        }
        const QStringList lines = t.DumpLines();
        QCOMPARE(lines.size(), 7);
        QCOMPARE(lines.first(), QStringLiteral("Info 1: ff ff ff"));
        QCOMPARE(lines.last(), QStringLiteral("Info 7: ff ff ff"));
    }

    void markerAlignsAfterStrayBytes_data() {
        QTest::addColumn<int>("stray");
        for (int n = 0; n < 5; ++n) {
            QTest::addRow("%d stray bytes", n) << n;
        }
    }
    void markerAlignsAfterStrayBytes() {
        QFETCH(int, stray);
        Receiver r;
        QByteArray input(stray, 'q');
        input += QByteArray("XYZG") + B({0x10, 0x2A});
        r.Feed(input);
        QCOMPARE(r.table().letter(InfoTable::PitCell), uint8_t('G'));
        QCOMPARE(r.table().data1(InfoTable::PitCell), uint8_t(0x10));
        QCOMPARE(r.table().data2(InfoTable::PitCell), uint8_t(0x2A));
        QCOMPARE(r.table().letter(InfoTable::Other), uint8_t('X')); // the marker itself
    }

    void unknownLettersGoToEntryZero() {
        Receiver r;
        r.Feed(QByteArray("XYZA") + B({1, 2}) + QByteArray("Q") + B({3, 4}));
        QCOMPARE(r.table().letter(InfoTable::Measure), uint8_t('A'));
        QCOMPARE(r.table().data1(InfoTable::Measure), uint8_t(1));
        QCOMPARE(r.table().data2(InfoTable::Measure), uint8_t(2));
        QCOMPARE(r.table().letter(InfoTable::Other), uint8_t('Q'));
        QCOMPARE(r.table().data1(InfoTable::Other), uint8_t(3));
        QCOMPARE(r.table().data2(InfoTable::Other), uint8_t(4));
    }

    void messageSplitAcrossTicks() {
        Receiver r;
        r.Feed("XY");
        r.Feed(QByteArray("ZL") + B({7}));
        QCOMPARE(r.table().letter(InfoTable::Positions), uint8_t(0xFF)); // not complete yet
        r.Feed(B({9, 'F'}));
        QCOMPARE(r.table().letter(InfoTable::Positions), uint8_t('L'));
        QCOMPARE(r.table().data1(InfoTable::Positions), uint8_t(7));
        QCOMPARE(r.table().data2(InfoTable::Positions), uint8_t(9));
        r.Feed(B({0x40, 0x01}));
        QCOMPARE(r.table().letter(InfoTable::Status), uint8_t('F'));
        QCOMPARE(r.table().data2(InfoTable::Status), uint8_t(0x01));
    }

    void fullByteValuesAndZeroBytesAreKept() {
        Receiver r;
        r.Feed(QByteArray("XYZH") + B({0xFF, 0x00}) + QByteArray("E") + B({0x00, 0x84}));
        QCOMPARE(r.table().data1(InfoTable::BridgeCell), uint8_t(0xFF));
        QCOMPARE(r.table().data2(InfoTable::BridgeCell), uint8_t(0x00));
        QCOMPARE(r.table().data2(InfoTable::Error), uint8_t(0x84));
    }

    void infoDumpShowsTableBeforeMarker() {
        Receiver r;
        Receiver::Result first = r.Feed(QByteArray("XYZ") + QByteArray("F") + B({0x40, 0x03}));
        QVERIFY(first.dumped);
        QCOMPARE(first.dumpLines.size(), 7);
        QCOMPARE(first.dumpLines.at(0), QStringLiteral("Info 1: ff ff ff"));

        Receiver::Result none = r.Feed(QByteArray("G") + B({1, 2}));
        QVERIFY(!none.dumped);

        Receiver::Result second = r.Feed("XYZ");
        QVERIFY(second.dumped);
        QCOMPARE(second.dumpLines.at(0), QStringLiteral("Info 1: 46 40 03"));
        QCOMPARE(second.dumpLines.at(4), QStringLiteral("Info 5: 47 01 02"));
        QCOMPARE(second.dumpLines.at(6), QStringLiteral("Info 7: ff ff ff"));
    }

    // An answer is believed only when the message behind it shows the stream in step: the next
    // answer or report, or the marker in its place. A marker that had to re-align the count
    // rejects the answer cut just before it.
    void markerBehindAnAnswerDecidesWhetherItIsBelieved() {
        struct Case {
            const char *name;
            QByteArray bytes;
            int believed;
            int discarded;
        };
        const QList<Case> cases = {
            {"in step", QByteArray("XYZG") + B({0x05, 0x2A}) + "XYZ", 1, 0},
            // The value byte was lost: the answer takes the marker's "X" as its value.
            {"value lost before the marker", QByteArray("XYZG") + B({0x05}) + "XYZ", 0, 1},
            // Two bytes lost: "G", "X", "Y" would pass for an answer of cell 'X'.
            {"cell and value lost", QByteArray("XYZG") + "XYZ", 0, 1},
            // A stray byte in front of the answer shifts it; the marker shows it.
            {"stray byte before the answer",
             QByteArray("XYZ") + B({0x33}) + "G" + B({0x05, 0x2A}) + "XYZ", 0, 0},
        };
        for (const Case &c : cases) {
            Receiver r;
            const Receiver::Result result = r.Feed(c.bytes);
            QVERIFY2(int(result.believed.size()) == c.believed, c.name);
            QVERIFY2(int(result.discarded.size()) == c.discarded, c.name);
        }
        // Answers split across reads are judged the same way.
        Receiver r;
        r.Feed(QByteArray("XYZG") + B({0x05}));
        const Receiver::Result late = r.Feed("XY");
        QVERIFY(late.believed.empty());
        const Receiver::Result marker = r.Feed("Z");
        QVERIFY(marker.believed.empty());
        QCOMPARE(int(marker.discarded.size()), 1);
    }

    void assemblerSaysWhenTheMarkerRealigned() {
        Framing::AnswerAssembler a;
        const auto feed = [&a](const QByteArray &bytes) {
            Framing::AnswerAssembler::Result last;
            for (char ch : bytes) {
                last = a.Feed(static_cast<uint8_t>(ch));
            }
            return last;
        };
        Framing::AnswerAssembler::Result r = feed("XYZ");
        QVERIFY(r.marker && !r.realigned);
        r = feed(QByteArray("F") + B({1, 2}) + "XYZ");
        QVERIFY(r.marker && !r.realigned);
        for (int stray = 1; stray <= 2; ++stray) {
            r = feed(QByteArray(stray, 'q') + "XYZ");
            QVERIFY(r.marker);
            QVERIFY(r.realigned);
            QCOMPARE(a.counter(), 0);
        }
    }

    void withoutMarkerEveryThirdByteCuts() {
        // A lost byte shifts the framing until the next marker re-aligns it.
        Receiver r;
        r.Feed(QByteArray("XYZG") + B({0x10}) + QByteArray("G") + B({0x11, 0x05}));
        QCOMPARE(r.table().data1(InfoTable::PitCell), uint8_t(0x10));
        QCOMPARE(r.table().data2(InfoTable::PitCell), uint8_t('G'));
        r.Feed(QByteArray("XYZG") + B({0x11, 0x05}));
        QCOMPARE(r.table().data1(InfoTable::PitCell), uint8_t(0x11));
        QCOMPARE(r.table().data2(InfoTable::PitCell), uint8_t(0x05));
    }
};

QTEST_GUILESS_MAIN(TestReceiver)
#include "tst_receiver.moc"
