// The EEPROM tab as the user meets it: reading and writing single cells, inputs that are no hex
// byte, the dumps following the mirrors, its buttons and layout, and a full sweep of the pit board
// against the simulated controller.

#include "comm/sharedstate.h"
#include "core/eeprom/eepromlogic.h"
#include "fixtures/scripteddialogs.h"
#include "fixtures/simulatedwindow.h"
#include "fixtures/testsession.h"
#include "fixtures/testutil.h"
#include "fixtures/widgettestutil.h"
#include "gui/eeprom/tframeeeprom.h"
#include "gui/window/tfrmmain.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <vector>

using namespace TestUtil;

class TestEeprom : public QObject {
    Q_OBJECT
private slots:
    void singleCellReadAndWrite() {
        SharedState state;
        state.transferSettings.fixedPacing = true; // the requests go straight into the queue
        ScriptedDialogs dialogs;
        TFrameEEprom tab(state, dialogs);
        auto *adr = Find<QLineEdit>(&tab, "edt_ee_adr");
        auto *adr2 = Find<QLineEdit>(&tab, "edt_ee_adr2");
        auto *data2 = Find<QLineEdit>(&tab, "edt_ee_data2");
        QCOMPARE(adr->text(), QStringLiteral("1"));
        QCOMPARE(Find<QLineEdit>(&tab, "edt_ee_data")->text(), QStringLiteral("1"));

        adr->setText("5");
        tab.btn_get_EEdataClick(BoardImage::Board::Grube);
        QCOMPARE(adr->text(), QStringLiteral("05"));
        QCOMPARE(Drain(state.sendQueue), (std::vector<int>{0xF0, 0x05, 0x00}));
        adr->setText("0a");
        tab.btn_get_EEdataClick(BoardImage::Board::Grube);
        QCOMPARE(Drain(state.sendQueue), (std::vector<int>{0xF0, 0x0A, 0x00}));
        adr2->setText("Ff");
        tab.btn_get_EEdataClick(BoardImage::Board::Buehne);
        QCOMPARE(Drain(state.sendQueue), (std::vector<int>{0x91, 0x7F, 0x00}));

        adr2->setText("FF");
        data2->setText("80");
        tab.btn_write_EEdataClick(BoardImage::Board::Buehne);
        QCOMPARE(Drain(state.sendQueue), (std::vector<int>{0x83, 0x7F, 0x00}));
        // The mirror follows only when the cell is read back.
        QCOMPARE(state.bridge.value(255), uint8_t(0xFF));
        QVERIFY(dialogs.calls.isEmpty());
    }

    void inputsThatAreNoHexByteAreRefused_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("write");
        for (bool write : {false, true}) {
            const char *button = write ? "write" : "get";
            QTest::addRow("%s: address 100 is not cut to 10", button) << "100"
                                                                      << "01" << write;
            QTest::addRow("%s: empty address", button) << ""
                                                       << "01" << write;
            QTest::addRow("%s: address zz", button) << "zz"
                                                    << "01" << write;
        }
        QTest::newRow("write: value 7g") << "10"
                                         << "7g" << true;
        QTest::newRow("write: value 100") << "10"
                                          << "100" << true;
        QTest::newRow("write: empty value") << "10"
                                            << "" << true;
    }
    void inputsThatAreNoHexByteAreRefused() {
        QFETCH(QString, address);
        QFETCH(QString, value);
        QFETCH(bool, write);
        SharedState state;
        ScriptedDialogs dialogs;
        TFrameEEprom tab(state, dialogs);
        tab.show();
        Find<QLineEdit>(&tab, "edt_ee_adr")->setText(address);
        Find<QLineEdit>(&tab, "edt_ee_data")->setText(value);
        if (write) {
            tab.btn_write_EEdataClick(BoardImage::Board::Grube);
        } else {
            tab.btn_get_EEdataClick(BoardImage::Board::Grube);
        }
        QVERIFY(state.sendQueue.isEmpty());
        QCOMPARE(dialogs.calls.size(), 1);
        QCOMPARE(dialogs.calls.first().kind, QStringLiteral("warning"));
        QCOMPARE(dialogs.calls.first().text,
                 QStringLiteral("Ungültige Eingabe.\rZugelassen sind nur Zahlen"));
        QVERIFY(
            Find<QPlainTextEdit>(&tab, "Memo_ee_buhne")->toPlainText().startsWith("0x00: ffff"));
    }

    void blanksAroundADigitAreAccepted() {
        SharedState state;
        state.transferSettings.fixedPacing = true; // the request goes straight into the queue
        ScriptedDialogs dialogs;
        TFrameEEprom tab(state, dialogs);
        auto *adr = Find<QLineEdit>(&tab, "edt_ee_adr");
        adr->setText(" 7 ");
        tab.btn_get_EEdataClick(BoardImage::Board::Grube);
        QCOMPARE(Drain(state.sendQueue), (std::vector<int>{0xF0, 0x07, 0x00}));
        QCOMPARE(adr->text(), QStringLiteral("07"));
        adr->setText(" 7 ");
        Find<QLineEdit>(&tab, "edt_ee_data")->setText(" a");
        tab.btn_write_EEdataClick(BoardImage::Board::Grube);
        QCOMPARE(Drain(state.sendQueue), (std::vector<int>{0xE0, 0x07, 0x0A}));
        QVERIFY(dialogs.calls.isEmpty());
    }

    void dumpFollowsReceivedCells() {
        SharedState state;
        ScriptedDialogs dialogs;
        TFrameEEprom tab(state, dialogs);
        auto *memo = Find<QPlainTextEdit>(&tab, "Memo_ee_buhne");
        QVERIFY(!tab.HasTimer3Work());
        state.answers.NoteRequest(AnswerFilter::Board::Buehne, 1, state.now());
        state.Receive(QByteArray("XYZH\x01\x2a"
                                 "F\x00\x00",
                                 9));
        QVERIFY(tab.HasTimer3Work()); // the dump waits to be redrawn
        tab.Timer3Timer();
        QVERIFY(memo->toPlainText().startsWith("0x00: ff2a"));
        QVERIFY(!tab.HasTimer3Work());
    }

    void buttonsFollowOnlineState() {
        TestSession line;
        SharedState &state = line.state;
        ScriptedDialogs dialogs;
        TFrameEEprom tab(state, dialogs);
        const char *transfer[] = {"btn_get_all_EEData", "btn_get_all_EEData2", "btn_write_EEdata",
                                  "btn_write_EEdata2",  "btn_get_EEdata",      "btn_get_EEdata2"};
        for (const char *name : transfer) {
            QVERIFY2(!Find<QPushButton>(&tab, name)->isEnabled(), name);
        }
        line.GoOnline();
        tab.UpdateEEpromButtons();
        for (const char *name : transfer) {
            QVERIFY2(Find<QPushButton>(&tab, name)->isEnabled(), name);
        }
        line.GoOffline();
        tab.UpdateEEpromButtons();
        QVERIFY(!Find<QPushButton>(&tab, "btn_get_EEdata")->isEnabled());
        QVERIFY(Find<QPushButton>(&tab, "btn_all_zero_g")->isEnabled());
        QVERIFY(Find<QPushButton>(&tab, "btn_update")->isEnabled());
        QCOMPARE(Find<QPushButton>(&tab, "btn_all_zero_g")->text(), QStringLiteral("setzte 00"));
        QCOMPARE(Find<QPushButton>(&tab, "btn_all_zero_b")->text(), QStringLiteral("setze 00"));
    }

    void layout() {
        SharedState state;
        ScriptedDialogs dialogs;
        TFrameEEprom tab(state, dialogs);
        tab.resize(1000, 544);
        tab.ArrangeEEpromTab();
        auto *group = Find<QWidget>(&tab, "GroupBox_ee_grube");
        QCOMPARE(group->x(), 1000 - 30 - group->width());
        QCOMPARE(Find<QWidget>(&tab, "btn_all_zero_b")->x(), group->x());
        auto *update = Find<QWidget>(&tab, "btn_update");
        auto *zero = Find<QWidget>(&tab, "btn_all_zero_b");
        QCOMPARE(update->x(), zero->x() + zero->width() + 5);
        QCOMPARE(update->y(), zero->y());
        auto *pitMemo = Find<QWidget>(&tab, "Memo_ee_grube");
        auto *bevel = Find<QWidget>(&tab, "Bevel1");
        QCOMPARE(pitMemo->width(), 1000 - group->width() - 50);
        QVERIFY(pitMemo->geometry().bottom() < bevel->y());
        QVERIFY(Find<QWidget>(&tab, "Memo_ee_buhne")->y() > bevel->y());
    }

    // The caption of "gesamtes EEprom einlesen" stays while a sweep runs; its tool tip and the
    // bar's say that a click now stops it, and go once the sweep has ended, whichever the pacing.
    void aRunningSweepSaysThatAClickStopsIt() {
        for (const bool fixed : {false, true}) {
            TestSession line;
            SharedState &state = line.state;
            state.transferSettings.fixedPacing = fixed;
            line.GoOnline();
            ScriptedDialogs dialogs;
            TFrameEEprom tab(state, dialogs);
            tab.UpdateEEpromButtons();
            auto *pit = Find<QPushButton>(&tab, "btn_get_all_EEData");
            auto *bridge = Find<QPushButton>(&tab, "btn_get_all_EEData2");
            auto *bar = Find<QProgressBar>(&tab, "ProgressBar1");
            QVERIFY(pit->toolTip().isEmpty());
            QTest::mouseClick(pit, Qt::LeftButton);
            QVERIFY(tab.sweeps().pit.running());
            QCOMPARE(pit->text(), QStringLiteral("gesamtes EEprom einlesen"));
            QCOMPARE(pit->toolTip(), TFrameEEprom::StopHint());
            QCOMPARE(bar->toolTip(), TFrameEEprom::StopHint());
            QVERIFY(bridge->toolTip().isEmpty()); // the bridge board's sweep does not run
            if (fixed) {
                // Left to run, it ends in the tick that sends its last request.
                for (int tick = 0; tick < 300 && tab.sweeps().pit.running(); ++tick) {
                    Drain(state.sendQueue);
                    tab.Timer3Timer();
                }
            } else {
                QTest::mouseClick(pit, Qt::LeftButton);
            }
            QVERIFY(!tab.sweeps().pit.running());
            QVERIFY2(pit->toolTip().isEmpty(), fixed ? "fixed pacing" : "paced by the answers");
            QVERIFY(bar->toolTip().isEmpty());
        }
    }

    void fullPitSweepAgainstSimulator() {
        SimulatedWindow s({}, "Benutzer=Debug\nFeste_Taktung=1");
        TfrmMain &w = s.w();
        const auto &sim = s.sim;
        sim->setPitCell(200, 0x5C);
        w.btnStartClick();
        QVERIFY(w.state().connection().online());
        TFrameEEprom *tab = w.frameEEprom();
        QVERIFY(Find<QPushButton>(tab, "btn_get_all_EEData")->isEnabled());
        QTest::mouseClick(Find<QPushButton>(tab, "btn_get_all_EEData"), Qt::LeftButton);
        // The sweep's own steps, paced by the answers instead of 300 ms ticks: each request goes
        // out only when the previous cell has arrived, so no answer can overwrite another.
        auto *timer3 = Find<QTimer>(tab, "Timer3");
        QCOMPARE(timer3->interval(), 300);
        // Stopping it is not enough: the housekeeping tick wakes it while the sweep runs.
        QObject::disconnect(timer3, &QTimer::timeout, tab, nullptr);
        Find<QTimer>(&w, "Timer2")->setInterval(10);
        Find<QTimer>(&w, "Timer_Senden")->setInterval(2);
        Find<QTimer>(&w, "Timer_Receive")->setInterval(5);
        auto *bar = Find<QProgressBar>(tab, "ProgressBar1");
        for (int cell = 0; cell < 256; ++cell) {
            QVERIFY(tab->sweeps().pit.running());
            QVERIFY(QTest::qWaitFor([&] { return w.state().sendQueue.length() < 2; }, 2000));
            tab->Timer3Timer();
            QCOMPARE(bar->value(), std::min(cell + 1, 255));
            // The answer has come; the mirror takes it once the stream behind it is in step,
            // which the next answer shows.
            const InfoTable &table = w.state().infoTable();
            QVERIFY2(QTest::qWaitFor(
                         [&] {
                             return table.letter(InfoTable::PitCell) == 'G' &&
                                    table.data1(InfoTable::PitCell) == cell;
                         },
                         2000),
                     qPrintable(QString::number(cell)));
            if (cell > 0) {
                QVERIFY(w.state().pit.received(cell - 1));
                QCOMPARE(w.state().pit.value(cell - 1), sim->pitCell(cell - 1));
            }
        }
        QVERIFY(!tab->sweeps().pit.running());
        QTRY_VERIFY_WITH_TIMEOUT(w.state().pit.received(255), 2000);
        BoardImage expected(BoardImage::Board::Grube);
        for (int cell = 0; cell < 256; ++cell) {
            expected.setValue(cell, sim->pitCell(cell));
        }
        tab->Timer3Timer();
        QCOMPARE(Find<QPlainTextEdit>(tab, "Memo_ee_grube")->toPlainText(),
                 Eeprom::DumpText(expected).replace("\r\n", "\n"));
        QVERIFY(s.dialogs.calls.isEmpty());
    }
};

QTEST_MAIN(TestEeprom)
#include "tst_eeprom.moc"
