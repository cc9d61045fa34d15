// pivota record as a technician runs it from a console without a display, against the built-in
// simulator: the CSV file in both languages with rows as the board reported them, and the exit
// codes of the other commands for a wrong command line and a port that cannot be opened.

#include "fixtures/pivotarun.h"
#include "fixtures/testutil.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace PivotaRun;

class TestRecordCommand : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_settings = m_dir.filePath(QStringLiteral("pivota.ini"));
        QVERIFY(TestUtil::WriteFile(m_settings, FastSettings()));
    }

    void usageAndLineErrors() {
        const QString file = m_dir.filePath(QStringLiteral("bad.csv"));
        for (const QStringList &args :
             QList<QStringList>{{"record", "--port", "simulator", file},
                                {"record", "--port", "simulator", "--seconds", "0", file},
                                {"record", "--port", "simulator", "--seconds", "99999", file},
                                {"record", "--seconds", "1", file},
                                {"record", "--port", "simulator", "--seconds", "1"}}) {
            const Run r = RunPivota(QStringList{"--settings", m_settings} + args);
            QVERIFY2(r.code == 2, qPrintable(Dump(r)));
            QVERIFY2(r.err.contains(QStringLiteral("pivota record --help")), qPrintable(Dump(r)));
        }
        const Run help = RunPivota({"record", "--help"});
        QCOMPARE(help.code, 0);
        QVERIFY(help.out.contains(QStringLiteral("--seconds N")));

        // A port that cannot be opened leaves a file of the same name as it was.
        QVERIFY(TestUtil::WriteFile(file, "kept"));
        const Run r = RunPivota({"record", "--settings", m_settings, "--port",
                                 "/dev/pivota-test-missing", "--seconds", "1", file});
        QVERIFY2(r.code == 3, qPrintable(Dump(r)));
        QFile kept(file);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("kept"));
    }

    void recordsTheSimulator_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QChar>("point");
        QTest::newRow("de") << "de"
                            << "Zeit (ms);Sense-Strom (roh);" << QChar(u',');
        QTest::newRow("en") << "en"
                            << "Time (ms);Sense current (raw);" << QChar(u'.');
    }
    // Two seconds: about ten rows (a report every 200 ms), times not falling within the run, the
    // volts computed from the raw value with the language's decimal separator.
    void recordsTheSimulator() {
        QFETCH(QString, language);
        QFETCH(QString, header);
        QFETCH(QChar, point);
        const QString file = m_dir.filePath(QStringLiteral("run-%1.csv").arg(language));
        const Run r = RunPivota({"--lang", language, "record", "--settings", m_settings, "--port",
                                 "simulator", "--seconds", "2", file});
        QVERIFY2(r.code == 0, qPrintable(Dump(r)));
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const QStringList lines =
            QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QVERIFY2(lines.value(0).startsWith(header), qPrintable(lines.value(0)));
        QVERIFY2(lines.size() >= 1 + 6 && lines.size() <= 1 + 25, qPrintable(lines.join(u'\n')));
        qint64 lastMs = -1;
        int measured = 0;
        int errors = 0;
        for (const QString &line : lines.mid(1)) {
            const QStringList cells = line.split(u';');
            QCOMPARE(cells.size(), 9);
            const qint64 ms = cells.at(0).toLongLong();
            QVERIFY(ms >= lastMs && ms <= 2500);
            lastMs = ms;
            if (cells.at(3).isEmpty()) {
                continue; // before the first report
            }
            ++measured;
            const int raw = cells.at(3).toInt();
            const QString volts = QString::number(raw * 5.0 / 255.0, 'f', 2).replace(u'.', point);
            QCOMPARE(cells.at(4), volts);
            QVERIFY(!cells.at(2).isEmpty() && cells.at(2).contains(point));
            // The error report comes once a second.
            errors += cells.at(7).startsWith(QStringLiteral("0x")) ? 1 : 0;
        }
        QVERIFY(measured >= 5);
        QVERIFY(errors >= 1);
        QVERIFY(lastMs >= 1500);
        QVERIFY(r.out.contains(file));
    }

private:
    QTemporaryDir m_dir;
    QString m_settings;
};

QTEST_GUILESS_MAIN(TestRecordCommand)
#include "tst_recordcommand.moc"
