// The accessory address codes of the pit board: checked against codes built here from the DCC
// basic accessory packet and the Motorola ternary telegram, not by calling the code under test.

#include "comm/addresscodes.h"
#include "comm/boardimage.h"

#include <QHash>
#include <QSet>
#include <QTest>

using namespace AddressCodes;

namespace {

// Basic accessory decoder packet: address byte 10AAAAAA with the six low bits of the decoder
// address, instruction byte 1AAA1DDD with the three high bits in ones' complement, the activate
// bit, the pair and the output, and the error byte as their xor. The board stores the error byte,
// the instruction byte without its top bit and the address byte without its top bit followed by
// a 1 bit.
Code PacketCode(int address, int output) {
    const int decoder = (address - 1) / 4 + 1;
    const int pair = (address - 1) % 4;
    const int a = 0b1000'0000 | (decoder & 0b11'1111);
    const int i = 0b1000'0000 | ((~(decoder >> 6) & 0b111) << 4) | 0b1000 | (pair << 1) | output;
    const int e = a ^ i;
    return {uint8_t(e), uint8_t((i << 1) & 0xFF), uint8_t(((a << 2) | 1) & 0xFF)};
}

// Motorola accessory telegram: the decoder number (80 sends as 0) in four ternary digits, least
// significant first, each as a bit pair 0 -> 00, 1 -> 11, 2 -> 10, after six zero bits and before
// two; then the port byte: output, odd pair, upper pair, and two closing 1 bits.
Code TelegramCode(int address, bool green) {
    const int decoder = (address - 1) / 4 + 1;
    const int pair = (address - 1) % 4;
    int value = decoder % 80;
    QString bits = QStringLiteral("000000");
    for (int digit = 0; digit < 4; ++digit) {
        const char *pairs[3] = {"00", "11", "10"};
        bits += QLatin1String(pairs[value % 3]);
        value /= 3;
    }
    bits += QStringLiteral("00");
    const QString port = QLatin1String(green ? "11" : "00") +
                         QLatin1String(pair % 2 ? "11" : "00") +
                         QLatin1String(pair >= 2 ? "11" : "00") + QLatin1String("11");
    const int word = bits.toInt(nullptr, 2);
    return {uint8_t(word >> 8), uint8_t(word & 0xFF), uint8_t(port.toInt(nullptr, 2))};
}

QString Text(const Code &c) {
    return QStringLiteral("%1%2%3")
        .arg(c[0], 2, 16, QLatin1Char('0'))
        .arg(c[1], 2, 16, QLatin1Char('0'))
        .arg(c[2], 2, 16, QLatin1Char('0'))
        .toUpper();
}

// The green DCC text from the red one, by its two digits: digit 4 gets bit 1 set, digit 2 its
// lowest bit inverted.
QString GreenFromRedText(QString red) {
    const QString hex = QStringLiteral("0123456789ABCDEF");
    red[3] = hex.at(hex.indexOf(red.at(3)) | 0x2);
    red[1] = hex.at(hex.indexOf(red.at(1)) ^ 0x1);
    return red;
}

} // namespace

class TestAddressCodes : public QObject {
    Q_OBJECT
private slots:
    void dccExamples_data() {
        QTest::addColumn<int>("address");
        QTest::addColumn<QString>("red");
        QTest::addColumn<QString>("green");
        QTest::newRow("1") << 1 << "79F005"
                           << "78F205";
        QTest::newRow("2") << 2 << "7BF405"
                           << "7AF605";
        QTest::newRow("4") << 4 << "7FFC05"
                           << "7EFE05";
        QTest::newRow("5") << 5 << "7AF009"
                           << "7BF209";
        QTest::newRow("257") << 257 << "69D005"
                             << "68D205";
        QTest::newRow("2044") << 2044 << "311CFD"
                              << "301EFD";
        QTest::newRow("none") << 0 << "000000"
                              << "000000";
    }
    void dccExamples() {
        QFETCH(int, address);
        QFETCH(QString, red);
        QFETCH(QString, green);
        QCOMPARE(CodeText(*EncodeDcc(address, false).code), red);
        QCOMPARE(CodeText(*EncodeDcc(address, true).code), green);
    }

    void motorolaExamples_data() {
        QTest::addColumn<int>("address");
        QTest::addColumn<QString>("green");
        QTest::addColumn<QString>("red");
        QTest::newRow("1") << 1 << "0300C3"
                           << "030003";
        QTest::newRow("2") << 2 << "0300F3"
                           << "030033";
        QTest::newRow("3") << 3 << "0300CF"
                           << "03000F";
        QTest::newRow("4") << 4 << "0300FF"
                           << "03003F";
        QTest::newRow("5") << 5 << "0200C3"
                           << "020003";
        QTest::newRow("9") << 9 << "00C0C3"
                           << "00C003";
        QTest::newRow("317") << 317 << "0000C3"
                             << "000003";
        QTest::newRow("320") << 320 << "0000FF"
                             << "00003F";
        QTest::newRow("none") << 0 << "000000"
                              << "000000";
    }
    void motorolaExamples() {
        QFETCH(int, address);
        QFETCH(QString, green);
        QFETCH(QString, red);
        QCOMPARE(CodeText(*EncodeMotorola(address, true).code), green);
        QCOMPARE(CodeText(*EncodeMotorola(address, false).code), red);
    }

    void everyDccAddressFollowsThePacketLayout() {
        QSet<QString> seen;
        for (int a = 1; a <= MaxDcc; ++a) {
            const Code red = Dcc(a, false);
            const Code green = Dcc(a, true);
            QCOMPARE(red, PacketCode(a, 0));
            QCOMPARE(green, PacketCode(a, 1));
            QCOMPARE(Text(green), GreenFromRedText(Text(red)));
            seen.insert(Text(red));
            seen.insert(Text(green));
        }
        QCOMPARE(seen.size(), 2 * MaxDcc); // no two codes alike
    }

    void everyMotorolaAddressFollowsTheTernaryRule() {
        for (int a = 1; a <= MaxMotorola; ++a) {
            const QString green = Text(Motorola(a, true));
            QCOMPARE(Motorola(a, true), TelegramCode(a, true));
            QCOMPARE(Motorola(a, false), TelegramCode(a, false));
            // The red text: digit 5 goes from C to 0 or from F to 3.
            QString red = green;
            red[4] = red.at(4) == u'C' ? u'0' : u'3';
            QVERIFY(green.at(4) == u'C' || green.at(4) == u'F');
            QCOMPARE(Text(Motorola(a, false)), red);
        }
        QCOMPARE(Text(Motorola(320, true)).left(4), QStringLiteral("0000")); // decoder 80
    }

    void rangeMessages() {
        QCOMPARE(EncodeDcc(2045, true).error,
                 QStringLiteral("Fehler: Adress-Wert <2045> ist zu gross für das DCC-Format "
                                "(max: 2044)"));
        QCOMPARE(EncodeDcc(-1, true).error,
                 QStringLiteral("Fehler: Adress-Wert <-1> ist zu klein für das DCC-Format "
                                "(min: 1)"));
        QCOMPARE(EncodeMotorola(321, false).error,
                 QStringLiteral("Fehler: Adress-Wert <321> ist zu gross für das Motorola-Format "
                                "(max: 320)"));
        QCOMPARE(EncodeMotorola(-7, false).error,
                 QStringLiteral("Fehler: Adress-Wert <-7> ist zu klein für das Motorola-Format "
                                "(min: 1)"));
        QVERIFY(!EncodeDcc(2045, true).ok());
        QVERIFY(!EncodeMotorola(321, true).ok());
        QVERIFY(EncodeDcc(2044, false).ok() && EncodeDcc(2044, false).error.isEmpty());
        QVERIFY(EncodeMotorola(320, false).ok());
        QVERIFY(EncodeDcc(1000, true).ok());
        QVERIFY(!EncodeMotorola(1000, true).ok()); // valid for DCC only
    }

    void decodingFindsExactlyTheValidCodes() {
        QHash<uint32_t, int> expected;
        for (int a = 1; a <= MaxDcc; ++a) {
            for (int g = 0; g < 2; ++g) {
                const Code c = PacketCode(a, g);
                expected.insert(uint32_t(c[0]) << 16 | uint32_t(c[1]) << 8 | c[2], g ? a : -a);
            }
        }
        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            const Code c{uint8_t(it.key() >> 16), uint8_t(it.key() >> 8), uint8_t(it.key())};
            QCOMPARE(DecodeDcc(c), it.value());
        }
        // Every other content of the three cells gives 0: count the non-zero results of all of
        // them.
        int nonZero = 0;
        for (uint32_t v = 0; v < (1u << 24); ++v) {
            nonZero += DecodeDcc(Code{uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)}) != 0;
        }
        QCOMPARE(nonZero, expected.size());
        QCOMPARE(DecodeDcc(Code{0, 0, 0}), 0);
        QCOMPARE(DecodeDcc(Code{0xFF, 0xFF, 0xFF}), 0);
        QCOMPARE(DecodeDcc(Code{0x30, 0x1E, 0xFD}), 2044);
        QCOMPARE(DecodeDcc(Code{0x79, 0xF0, 0x05}), -1);
    }

    void decodingReadsTheRowCellsOfTheMirror() {
        BoardImage pit(BoardImage::Board::Grube);
        const int base = CellBase(20);
        pit.setValue(base, 0x30);
        pit.setValue(base + 16, 0x1E);
        pit.setValue(base + 32, 0xFD);
        QCOMPARE(DecodeDcc(pit, base), 2044);
        pit.setValue(base + 32, 0xFC);
        QCOMPARE(DecodeDcc(pit, base), 0);
    }

    void rowCells() {
        // Rows 0..3 use cells 4..7, rows 4..11 cells 8..15, rows 12..27 cells 64..79.
        QCOMPARE(CellBase(0), 4);
        QCOMPARE(CellBase(3), 7);
        QCOMPARE(CellBase(11), 15);
        QCOMPARE(CellBase(12), 64);
        QCOMPARE(CellBase(27), 79);
        QCOMPARE(StepCell(0, 3), 52);
        QCOMPARE(StepCell(4, 3), 56);
        QCOMPARE(StepCell(27, 3), 127);
        QCOMPARE(StepCell(0, 4), 132);
        QCOMPARE(StepCell(12, 6), 224);
        QCOMPARE(StepCell(27, 6), 239);
        QSet<int> cells;
        for (int row = 0; row < Rows; ++row) {
            for (int step = 0; step < 7; ++step) {
                const int c = StepCell(row, step);
                QVERIFY(c >= 4 && c <= 239);
                QVERIFY(c < 48 || c > 51); // 48..51 hold other settings
                cells.insert(c);
            }
        }
        QCOMPARE(cells.size(), Rows * 7); // no two rows share a cell
    }
};

QTEST_GUILESS_MAIN(TestAddressCodes)
#include "tst_addresscodes.moc"
