// The send log's lines: one per byte as the send queue names it, manual sends among them, the
// oldest dropped at the cap, and everything gone at a clear; what a view is told on the way. The
// view: nothing to do while hidden, a repaint at most every so often while shown, and at the end
// of the log it stays at the end; lines selected with the mouse and the keys, copied with Ctrl+C
// and the context menu, and given to a screen reader as a text.

#include "comm/sendqueue.h"
#include "gui/settings/sendlogmodel.h"
#include "gui/settings/sendlogview.h"

#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QPointer>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

namespace {
// A log of lines "a", "b", ... (manual sends, so that the lines are short and known).
void Fill(SendLogModel &log, int n, char first = 'a') {
    for (int i = 0; i < n; ++i) {
        log.AppendText(QString(QChar(first + i)));
    }
}

QPoint Middle(const SendLogView &view, int row) {
    return view.rowRect(row).center();
}

} // namespace

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

    // A click selects a line, Shift with a click or an arrow key extends it, a drag selects what
    // it passes; Ctrl+C puts the lines on the clipboard, one a line.
    void linesAreSelectedAndCopied() {
        SendLogModel log(100);
        SendLogView view(log);
        view.resize(180, 200);
        Fill(log, 8);
        log.AppendByte(0xF0);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QVERIFY(!view.hasSelection());
        QWidget *port = view.viewport();

        QTest::mouseClick(port, Qt::LeftButton, {}, Middle(view, 2));
        QCOMPARE(view.selectedRows(), std::make_pair(2, 2));
        QTest::mouseClick(port, Qt::LeftButton, Qt::ShiftModifier, Middle(view, 4));
        QCOMPARE(view.selectedRows(), std::make_pair(2, 4));
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("c\nd\ne"));

        QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(view.selectedRows(), std::make_pair(2, 5));
        QTest::keyClick(&view, Qt::Key_Up);
        QCOMPARE(view.selectedRows(), std::make_pair(4, 4)); // from the current line, one up
        QTest::keyClick(&view, Qt::Key_End, Qt::ShiftModifier);
        QCOMPARE(view.selectedRows(), std::make_pair(4, 8));
        QCOMPARE(view.selectedText(), QStringLiteral("e\nf\ng\nh\n") + SendLogLine(0xF0));

        // A drag from line 6 up to line 1.
        QTest::mousePress(port, Qt::LeftButton, {}, Middle(view, 6));
        QMouseEvent move(QEvent::MouseMove, Middle(view, 1), port->mapToGlobal(Middle(view, 1)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(port, &move);
        QTest::mouseRelease(port, Qt::LeftButton, {}, Middle(view, 1));
        QCOMPARE(view.selectedRows(), std::make_pair(1, 6));

        QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(view.selectedRows(), std::make_pair(0, 8));
        QGuiApplication::clipboard()->clear();
        view.copyAction()->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), log.lines().join(u'\n'));
    }

    // The context menu offers "Kopieren" for the selection; a right click outside the selection
    // selects the line under it first. The menu pops up without holding the window.
    void theContextMenuCopies() {
        SendLogModel log(100);
        SendLogView view(log);
        view.resize(180, 200);
        Fill(log, 6);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QWidget *port = view.viewport();
        view.selectRows(1, 2);

        QTest::mousePress(port, Qt::RightButton, {}, Middle(view, 2));
        QCOMPARE(view.selectedRows(), std::make_pair(1, 2)); // inside: the selection stays
        QTest::mousePress(port, Qt::RightButton, {}, Middle(view, 4));
        QCOMPARE(view.selectedRows(), std::make_pair(4, 4));
        QContextMenuEvent event(QContextMenuEvent::Mouse, Middle(view, 4),
                                port->mapToGlobal(Middle(view, 4)));
        QCoreApplication::sendEvent(port, &event);
        auto *menu = view.findChild<QMenu *>();
        QVERIFY(menu);
        QTRY_VERIFY_WITH_TIMEOUT(menu->isVisible(), 2000);
        QStringList texts;
        QAction *copy = nullptr;
        for (QAction *action : menu->actions()) {
            texts << action->text();
            if (action->text() == QStringLiteral("Kopieren")) {
                copy = action;
            }
        }
        QCOMPARE(texts,
                 (QStringList{QStringLiteral("Kopieren"), QStringLiteral("Alles auswählen")}));
        QVERIFY(copy->isEnabled());
        QGuiApplication::clipboard()->clear();
        copy->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("e"));
        QPointer<QMenu> closed = menu;
        menu->close();
        QTRY_VERIFY_WITH_TIMEOUT(!closed, 2000); // gone once closed

        // Nothing selected: nothing to copy.
        view.clearSelection();
        QCoreApplication::sendEvent(port, &event);
        QTRY_VERIFY_WITH_TIMEOUT(
            view.findChild<QMenu *>() && view.findChild<QMenu *>()->isVisible(), 2000);
        QVERIFY(!view.copyAction()->isEnabled());
    }

    // The selection stays with its lines while older ones leave the log at the cap, and goes
    // with them; a clear ends it.
    void theSelectionFollowsItsLines() {
        SendLogModel log(5);
        SendLogView view(log);
        Fill(log, 5);
        view.selectRows(2, 3);
        QCOMPARE(view.selectedText(), QStringLiteral("c\nd"));
        Fill(log, 1, 'x');
        QCOMPARE(log.droppedLines(), 1);
        QCOMPARE(view.selectedRows(), std::make_pair(1, 2));
        QCOMPARE(view.selectedText(), QStringLiteral("c\nd"));
        Fill(log, 2, 'y');
        QCOMPARE(view.selectedRows(), std::make_pair(0, 0)); // "c" has gone
        QCOMPARE(view.selectedText(), QStringLiteral("d"));
        Fill(log, 1, 'q');
        QVERIFY(!view.hasSelection());
        view.selectAll();
        log.Clear();
        QCOMPARE(log.droppedLines(), 0);
        Fill(log, 3);
        QVERIFY(!view.hasSelection());
    }

    // A screen reader reads the log as a read-only text of lines, with the selected lines as its
    // selection and the current line as its cursor; it can select lines itself.
    void theLinesReachTheScreenReader() {
        SendLogModel log(100);
        SendLogView view(log);
        view.resize(180, 200);
        log.AppendByte(0x41);
        Fill(log, 3);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&view);
        QVERIFY(iface);
        QCOMPARE(iface->role(), QAccessible::EditableText);
        QVERIFY(iface->state().readOnly);
        QVERIFY(iface->state().multiLine);
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Sendeprotokoll"));
        QAccessibleTextInterface *text = iface->textInterface();
        QVERIFY(text);
        const QString all = SendLogLine(0x41) + QStringLiteral("\na\nb\nc");
        QCOMPARE(text->characterCount(), int(all.size()));
        QCOMPARE(text->text(0, text->characterCount()), all);
        QCOMPARE(iface->text(QAccessible::Value), all);
        int start = -1;
        int end = -1;
        const int inB = int(all.indexOf(QStringLiteral("\nb"))) + 1;
        QCOMPARE(text->textAtOffset(inB, QAccessible::LineBoundary, &start, &end).trimmed(),
                 QStringLiteral("b"));
        QCOMPARE(start, inB);

        QCOMPARE(text->selectionCount(), 0);
        view.selectRows(1, 2);
        QCOMPARE(text->selectionCount(), 1);
        text->selection(0, &start, &end);
        QCOMPARE(all.mid(start, end - start), QStringLiteral("a\nb"));
        QCOMPARE(text->cursorPosition(), inB);
        text->setSelection(0, 0, inB); // the byte's line and "a", ending before "b"
        QCOMPARE(view.selectedRows(), std::make_pair(0, 1));
        text->removeSelection(0);
        QVERIFY(!view.hasSelection());
        const QRect onScreen = text->characterRect(inB);
        QVERIFY(onScreen.isValid());
        QCOMPARE(text->offsetAtPoint(onScreen.center()), inB);
    }
};

QTEST_MAIN(TestSendLog)
#include "tst_sendlog.moc"
