// What the program finds out about a serial device: the latency timer of a USB serial adapter
// (read from a fake sysfs folder).

#include "portenumerator.h"
#include "testutil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace TestUtil;

class TestPortInfo : public QObject {
    Q_OBJECT
private slots:
    void latencyTimerFromSysfs() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString root = QFileInfo(dir.path()).canonicalFilePath();
        const QString sys = root + QStringLiteral("/usb-serial");
        const QString usb = root + QStringLiteral("/ttyUSB0");
        const QString acm = root + QStringLiteral("/ttyACM0");
        const QString odd = root + QStringLiteral("/ttyUSB2");
        const QString byId = root + QStringLiteral("/usb-Maker_Adapter_A1-if00-port0");
        QVERIFY(WriteFile(usb, ""));
        QVERIFY(WriteFile(acm, ""));
        QVERIFY(WriteFile(odd, ""));
        QVERIFY(QFile::link(usb, byId));
        QVERIFY(QDir().mkpath(sys + QStringLiteral("/ttyUSB0")));
        QVERIFY(WriteFile(sys + QStringLiteral("/ttyUSB0/latency_timer"), "16\n"));
        QVERIFY(QDir().mkpath(sys + QStringLiteral("/ttyUSB2")));
        QVERIFY(WriteFile(sys + QStringLiteral("/ttyUSB2/latency_timer"), "fast\n"));

        QCOMPARE(KernelDeviceName(byId), QStringLiteral("ttyUSB0"));
        QCOMPARE(ReadLatencyTimer(usb, sys), std::optional<int>(16));
        QCOMPARE(ReadLatencyTimer(byId, sys), std::optional<int>(16));
        // A device without a latency timer, and a value that is no number, have none.
        QCOMPARE(ReadLatencyTimer(acm, sys), std::nullopt);
        QCOMPARE(ReadLatencyTimer(odd, sys), std::nullopt);
        QCOMPARE(ReadLatencyTimer(usb, root + QStringLiteral("/none")), std::nullopt);

        FoundPort p{byId, usb, QStringLiteral("FT232R USB UART"), QStringLiteral("FTDI"),
                    ReadLatencyTimer(byId, sys)};
        QCOMPARE(p.displayText(), QStringLiteral("ttyUSB0 – FT232R USB UART (FTDI), Latenz 16 ms"));
        p.latencyMs = std::nullopt;
        QCOMPARE(p.displayText(), QStringLiteral("ttyUSB0 – FT232R USB UART (FTDI)"));
        const FoundPort bare{acm, acm, QString(), QString(), 1};
        QCOMPARE(bare.displayText(), QStringLiteral("ttyACM0, Latenz 1 ms"));
    }
};

QTEST_GUILESS_MAIN(TestPortInfo)
#include "tst_portinfo.moc"
