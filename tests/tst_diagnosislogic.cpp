// The diagnosis tab's rules without widgets: the measurement texts, the R-Sense answer, the sample
// histories with the graphs' scale, the direct drive's messages, and the recording with its CSV.

#include "comm/directdrive.h"
#include "core/diagnosis/diagnosislogic.h"
#include "core/diagnosis/recording.h"

#include <QLocale>
#include <QTest>

using namespace Diagnosis;

class TestDiagnosisLogic : public QObject {
    Q_OBJECT
private slots:
    // -----------------------------------------------------------------------------------------
    // Texts and the resistor

    void measurementTexts_data() {
        QTest::addColumn<int>("raw");
        QTest::addColumn<float>("rSense");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("voltage");
        QTest::newRow("51") << 51 << 15.0f << "16.67 mA"
                            << "1.00 V";
        QTest::newRow("before any A") << 255 << 15.0f << "83.33 mA"
                                      << "5.00 V";
        QTest::newRow("zero") << 0 << 15.0f << "0.00 mA"
                              << "0.00 V";
        QTest::newRow("small resistor") << 100 << 0.47f << "1042.97 mA"
                                        << "1.96 V";
    }
    void measurementTexts() {
        QFETCH(int, raw);
        QFETCH(float, rSense);
        QFETCH(QString, current);
        QFETCH(QString, voltage);
        QCOMPARE(SenseCurrentText(raw, rSense), current);
        QCOMPARE(SensorVoltageText(raw), voltage);
    }

    void rSenseAnswers_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("kind");
        QTest::addColumn<float>("value");
        const int unchanged = int(RSenseAnswer::Kind::Unchanged);
        const int accepted = int(RSenseAnswer::Kind::Accepted);
        const int refused = int(RSenseAnswer::Kind::Refused);
        QTest::newRow("empty") << "" << unchanged << 0.0f;
        QTest::newRow("blank") << "  " << unchanged << 0.0f;
        QTest::newRow("4.7") << "4.7" << accepted << 4.7f;
        QTest::newRow("10") << " 10 " << accepted << 10.0f;
        const int outOfRange = int(RSenseAnswer::Kind::OutOfRange);
        QTest::newRow("letters") << "abc" << refused << 0.0f;
        QTest::newRow("infinite") << "inf" << refused << 0.0f;
        QTest::newRow("not a number") << "nan" << refused << 0.0f;
        QTest::newRow("overflow") << "1e60" << refused << 0.0f;
        QTest::newRow("two commas") << "1,2,3" << refused << 0.0f;
        // Numbers, but no resistor the current can be computed with.
        QTest::newRow("zero") << "0" << outOfRange << 0.0f;
        QTest::newRow("negative") << "-5" << outOfRange << 0.0f;
        QTest::newRow("huge") << "99999999999" << outOfRange << 0.0f;
        QTest::newRow("above the largest") << "10000.5" << outOfRange << 0.0f;
        QTest::newRow("largest") << "10000" << accepted << 10000.0f;
        QTest::newRow("smallest") << "0.001" << accepted << 0.001f;
        // A comma is a decimal separator whatever the user's number format.
        QTest::newRow("comma") << "22,5" << accepted << 22.5f;
    }
    void rSenseAnswers() {
        QFETCH(QString, answer);
        QFETCH(int, kind);
        QFETCH(float, value);
        const RSenseAnswer r = ParseRSenseAnswer(answer, QLocale::c());
        QCOMPARE(int(r.kind), kind);
        if (r.kind == RSenseAnswer::Kind::Accepted) {
            QCOMPARE(r.value, value);
        }
        QCOMPARE(int(ParseRSenseAnswer(std::nullopt, QLocale::c()).kind), 0);
        // The user's number format decides: a German user types a comma.
        const RSenseAnswer german =
            ParseRSenseAnswer(QStringLiteral("4,7"), QLocale(QLocale::German));
        QCOMPARE(int(german.kind), int(RSenseAnswer::Kind::Accepted));
        QCOMPARE(german.value, 4.7f);
        const RSenseAnswer point =
            ParseRSenseAnswer(QStringLiteral("22.5"), QLocale(QLocale::German));
        QCOMPARE(int(point.kind), int(RSenseAnswer::Kind::Accepted));
        QCOMPARE(point.value, 22.5f);
    }

    void rSenseShownAsEntered() {
        QCOMPARE(RSenseValueText(15.0f), QStringLiteral("15.00"));
        QCOMPARE(RSenseValueText(22.5f), QStringLiteral("22.50"));
        QCOMPARE(RSenseValueText(4.705f), QStringLiteral("4.705"));
        QCOMPARE(RSenseValueText(0.001f), QStringLiteral("0.001"));
        QCOMPARE(RSenseValueText(MaxRSense), QStringLiteral("10000.00"));
        QCOMPARE(RSenseInfoText(0.47f), QStringLiteral("(Strom berechnet für R-Sense = 0.47 Ohm)"));
        // The warning says what is allowed, in German numbers while the interface is German
        // (whatever the system's own locale, as under Wine).
        QLocale::setDefault(QLocale::c());
        const QString range = RSenseRangeText(QStringLiteral("-5"));
        QVERIFY(range.contains(QStringLiteral("-5")));
        QVERIFY(range.contains(QStringLiteral("über 0")));
        QVERIFY(!range.contains(QStringLiteral("nur Zahlen")));
        QVERIFY(range.contains(QStringLiteral("von 0,001 bis")));
        // An English interface writes its numbers the English way.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        const QString english = RSenseRangeText(QStringLiteral("-5"));
        QLocale::setDefault(QLocale::c());
        QVERIFY2(english.contains(QStringLiteral("0.001")) &&
                     !english.contains(QStringLiteral("0,001")),
                 qPrintable(english));
    }

    // -----------------------------------------------------------------------------------------
    // Histories and graphs

    void historyShiftsAndMeansTheNewest() {
        SampleHistory h;
        QCOMPARE(h.at(0), 128);
        QCOMPARE(h.at(254), 128);
        QCOMPARE(h.MeanOfNewest(), 128);
        h.Push(7);
        QCOMPARE(h.at(254), 7);
        QCOMPARE(h.at(253), 128);
        for (int i = 0; i < 24; ++i) {
            h.Push(10);
        }
        h.Push(34); // 24 * 10 + 34 = 274 over 25 = 10.96: truncated
        QCOMPARE(h.MeanOfNewest(), 10);
        QCOMPARE(h.at(229), 7); // outside the newest 25
    }

    void graphScale() {
        const GraphScale s(286);
        QCOMPARE(s.Y(0), 281);
        QCOMPARE(s.Y(255), 26);
        const GraphScale doubled(572);
        QCOMPARE(doubled.Y(100), 367);
        QCOMPARE(GraphScale::X(0, 1001), 0);
        QCOMPARE(GraphScale::X(254, 1001), 996);
        QCOMPARE(GraphScale::X(128, 256), 128);
        QVERIFY(s.drawable());
        QVERIFY(!GraphScale(0).drawable());
        QVERIFY(!GraphScale(-39).drawable());
        QVERIFY(!GraphScale().drawable());
    }

    // -----------------------------------------------------------------------------------------
    // Direct drive

    void directDriveMessages() {
        // Clamping: a stored 0 or 200 is sent as 1 or 127.
        QCOMPARE(DirectDriveMessage(40, true, true, false), (DriveMessage{0xA0, 0x28, 0x03}));
        QCOMPARE(DirectDriveMessage(40, true, false, false), (DriveMessage{0xA0, 0x28, 0x02}));
        QCOMPARE(DirectDriveMessage(40, false, true, true), (DriveMessage{0xA0, 0x28, 0x05}));
        QCOMPARE(DirectDriveMessage(200, false, false, false), (DriveMessage{0xA0, 127, 0x00}));
        QCOMPARE(DirectDriveMessage(0, true, true, false), (DriveMessage{0xA0, 1, 0x03}));
        QCOMPARE(DirectDriveMessage(-7, true, true, false).speed, 1);
    }

    // -----------------------------------------------------------------------------------------
    // Recording

    // Every field comes back as it went in; beyond the capacity the oldest go, and an hour at the
    // board's rate fits.
    void recordingKeepsTheNewest() {
        QVERIFY(Recording::Capacity >= 3600 * 1000 / Recording::PeriodMs);
        Recording r(3);
        Measurement driving;
        driving.measured = true;
        driving.sense = 255;
        driving.sensor = 7;
        driving.errorsKnown = true;
        driving.errorsPit = 0x81;
        driving.errorsBridge = 0x40;
        driving.driving = true;
        driving.left = false;
        driving.speed = 127;
        for (uint32_t ms = 0; ms < 5; ++ms) {
            Measurement m = ms == 3 ? driving : Measurement{};
            m.ms = ms * 200 + 4000000000u;
            r.Add(m);
        }
        QCOMPARE(r.size(), 3);
        QCOMPARE(r.dropped(), 2);
        QCOMPARE(r.at(0).ms, 2 * 200 + 4000000000u);
        driving.ms = 3 * 200 + 4000000000u;
        QCOMPARE(r.at(1), driving);
        QCOMPARE(r.at(2).measured, false);
        r.Clear();
        QVERIFY(r.empty());
        QCOMPARE(r.dropped(), 0);
    }

    void csvRows_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("measured");
        QTest::addColumn<QString>("rSense");
        QTest::newRow("de") << QLocale(QLocale::German, QLocale::Germany)
                            << "200;51;16,67;51;1,00;40;links;0x05;0xc0"
                            << "R-Sense = 15,00 Ohm";
        QTest::newRow("en") << QLocale(QLocale::English, QLocale::UnitedKingdom)
                            << "200;51;16.67;51;1.00;40;links;0x05;0xc0"
                            << "R-Sense = 15.00 Ohm";
    }
    // One row per measurement, nine fields each, unknown cells empty, the decimal separator of the
    // language and no group separator in large values.
    void csvRows() {
        QFETCH(QLocale, locale);
        QFETCH(QString, measured);
        QFETCH(QString, rSense);
        Recording r;
        r.Add({});
        Measurement m;
        m.ms = 200;
        m.measured = true;
        m.sense = 51;
        m.sensor = 51;
        m.errorsKnown = true;
        m.errorsPit = 0x05;
        m.errorsBridge = 0xC0;
        m.driving = true;
        m.speed = 40;
        r.Add(m);
        m.ms = 1234567;
        m.sense = 255;
        m.driving = false;
        r.Add(m);
        const QString text = CsvText(r, 15.0f, locale);
        QVERIFY(text.endsWith(QStringLiteral("\r\n")));
        const QStringList lines = text.chopped(2).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines.at(0).startsWith(QStringLiteral("Zeit (ms);Sense-Strom (roh);")));
        QVERIFY2(lines.at(0).contains(rSense), qPrintable(lines.at(0)));
        for (const QString &line : lines) {
            QCOMPARE(line.count(u';'), 8);
        }
        QCOMPARE(lines.at(1), QStringLiteral("0;;;;;;;;"));
        QCOMPARE(lines.at(2), measured);
        QVERIFY2(lines.at(3).startsWith(QStringLiteral("1234567;255;%1;51;")
                                            .arg(locale.language() == QLocale::German
                                                     ? QStringLiteral("83,33")
                                                     : QStringLiteral("83.33"))),
                 qPrintable(lines.at(3)));
        QVERIFY(lines.at(3).endsWith(QStringLiteral(";;;0x05;0xc0")));
        QVERIFY(CsvBytes(r, 15.0f, locale).startsWith("\xEF\xBB\xBFZeit (ms);"));
    }

    void picturePathBesideTheFile() {
        QCOMPARE(PicturePath(QStringLiteral("/tmp/a.b.csv")), QStringLiteral("/tmp/a.b.png"));
        QCOMPARE(PicturePath(QStringLiteral("/tmp/run")), QStringLiteral("/tmp/run.png"));
        QCOMPARE(PicturePath(QStringLiteral("/tmp/run.PNG")), QStringLiteral("/tmp/run.PNG.png"));
    }
};

QTEST_GUILESS_MAIN(TestDiagnosisLogic)
#include "tst_diagnosislogic.moc"
