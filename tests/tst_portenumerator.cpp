// The serial devices of the machine as the settings tab offers them: stable names from the by-id
// folder and the text of a found port.

#include "fixtures/testutil.h"
#include "platform/portenumerator.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace TestUtil;

class TestPortEnumerator : public QObject {
    Q_OBJECT
private slots:
    void stableNamesComeFromTheByIdFolder() {
        QTemporaryDir dir;
        const QString device = dir.filePath(QStringLiteral("ttyUSB7"));
        QVERIFY(WriteFile(device, ""));
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("by-id"))));
        const QString other = dir.filePath(QStringLiteral("ttyUSB8"));
        QVERIFY(WriteFile(other, ""));
        const QString stable =
            dir.filePath(QStringLiteral("by-id/usb-FTDI_FT232R_A1B2-if00-port0"));
        QVERIFY(QFile::link(device, stable));
        QCOMPARE(StableDeviceName(device, dir.filePath(QStringLiteral("by-id"))), stable);
        // A device without a stable name, and a machine without the folder, keep the device.
        QCOMPARE(StableDeviceName(other, dir.filePath(QStringLiteral("by-id"))), other);
        QCOMPARE(StableDeviceName(device, dir.filePath(QStringLiteral("none"))), device);

        FoundPort p{stable, device, QStringLiteral("FT232R USB UART"), QStringLiteral("FTDI")};
        QCOMPARE(p.displayText(), QStringLiteral("ttyUSB7 – FT232R USB UART (FTDI)"));
    }
};

QTEST_GUILESS_MAIN(TestPortEnumerator)
#include "tst_portenumerator.moc"
