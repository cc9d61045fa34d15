// The send log's lines: one per byte as the send queue names it, manual sends among them, the
// oldest dropped at the cap, and everything gone at a clear; what a view is told on the way. The
// view: nothing to do while hidden, a repaint at most every so often while shown, and at the end
// of the log it stays at the end.

#include "comm/sendqueue.h"
#include "gui/settings/sendlogmodel.h"
#include "gui/settings/sendlogview.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

class TestSendLog : public QObject {
    Q_OBJECT
private slots:
    void linesAsTheQueueNamesThem() {
        SendLogModel log;
        QCOMPARE(log.maxLines(), 20000);
        log.AppendByte(0xF0);
        log.AppendByte(0x00);
        log.AppendText(QStringLiteral("gesendet:'abc' (3)"));
        log.AppendByte(0x41);
        QCOMPARE(log.lines(),
                 (QStringList{SendLogLine(0xF0), SendLogLine(0x00),
                              QStringLiteral("gesendet:'abc' (3)"), SendLogLine(0x41)}));
        QCOMPARE(log.rowCount(), 4);
        QCOMPARE(log.data(log.index(0)).toString(), QStringLiteral("'ð' $f0 b11110000"));
        QVERIFY(!log.data(log.index(0), Qt::EditRole).isValid());
        QVERIFY(log.line(4).isNull());
    }

    void theOldestGoAtTheCap() {
        SendLogModel log(5);
        QSignalSpy inserted(&log, &QAbstractItemModel::rowsInserted);
        QSignalSpy changed(&log, &QAbstractItemModel::dataChanged);
        for (int b = 0; b < 5; ++b) {
            log.AppendByte(static_cast<uint8_t>(b));
        }
        QCOMPARE(inserted.count(), 5);
        log.AppendText(QStringLiteral("eins"));
        log.AppendByte(5);
        log.AppendText(QStringLiteral("zwei"));
        // Full: the count stays, every row shows the next line.
        QCOMPARE(inserted.count(), 5);
        QCOMPARE(changed.count(), 3);
        QCOMPARE(log.rowCount(), 5);
        QCOMPARE(log.lines(), (QStringList{SendLogLine(3), SendLogLine(4), QStringLiteral("eins"),
                                           SendLogLine(5), QStringLiteral("zwei")}));
        // The manual lines leave in their turn, and the later ones keep their text.
        for (int b = 6; b < 9; ++b) {
            log.AppendByte(static_cast<uint8_t>(b));
        }
        QCOMPARE(log.lines(), (QStringList{SendLogLine(5), QStringLiteral("zwei"), SendLogLine(6),
                                           SendLogLine(7), SendLogLine(8)}));
        log.AppendText(QStringLiteral("drei"));
        log.AppendByte(9);
        QCOMPARE(log.lines(), (QStringList{SendLogLine(6), SendLogLine(7), SendLogLine(8),
                                           QStringLiteral("drei"), SendLogLine(9)}));
    }

    void clearEmptiesAndStartsAgain() {
        SendLogModel log(3);
        QSignalSpy reset(&log, &QAbstractItemModel::modelReset);
        for (int b = 0; b < 7; ++b) {
            log.AppendByte(static_cast<uint8_t>(b));
        }
        log.AppendText(QStringLiteral("x"));
        log.Clear();
        QCOMPARE(reset.count(), 1);
        QCOMPARE(log.rowCount(), 0);
        QVERIFY(log.lines().isEmpty());
        log.AppendText(QStringLiteral("y"));
        log.AppendByte(1);
        QCOMPARE(log.lines(), (QStringList{QStringLiteral("y"), SendLogLine(1)}));
    }

    void viewWorksOnlyWhileShown() {
        SendLogModel log(1000);
        SendLogView view(log);
        view.resize(180, 200);
        for (int b = 0; b < 300; ++b) {
            log.AppendByte(static_cast<uint8_t>(b));
        }
        QVERIFY(!view.repaintDue()); // hidden: no timer, no layout
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        // Shown, it took the lines at once and stands at the end.
        const int shown = view.visibleLines();
        QVERIFY(shown > 1 && shown < 300);
        QCOMPARE(view.firstVisibleLine(), 300 - shown);

        log.AppendByte(1);
        log.AppendByte(2);
        QVERIFY(view.repaintDue()); // one repaint for both, a little later
        QTRY_VERIFY_WITH_TIMEOUT(!view.repaintDue(), 2000);
        QCOMPARE(view.firstVisibleLine(), 302 - shown);

        // Scrolled up, it stays where the user put it.
        view.verticalScrollBar()->setValue(10);
        log.AppendByte(3);
        view.catchUp();
        QCOMPARE(view.firstVisibleLine(), 10);
        // Full, the count stays and the end is still the end.
        view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
        for (int b = 0; b < 800; ++b) {
            log.AppendByte(static_cast<uint8_t>(b));
        }
        view.catchUp();
        QCOMPARE(log.lineCount(), 1000);
        QCOMPARE(view.firstVisibleLine(), 1000 - shown);
        log.Clear();
        QCOMPARE(view.firstVisibleLine(), 0);
    }
};

QTEST_MAIN(TestSendLog)
#include "tst_sendlog.moc"
