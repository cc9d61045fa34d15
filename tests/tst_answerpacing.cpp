// The tabs' transfers paced by the boards' answers, against the simulated controller: what they
// read is what the boards hold, what they write is read back, and the status line says how it
// went.

#include "comm/addresscodes.h"
#include "fixtures/definitionframe.h"
#include "fixtures/rununtil.h"
#include "fixtures/simulatedwindow.h"
#include "fixtures/widgettestutil.h"
#include "gui/common/colors.h"
#include "gui/definition/tframedefinition.h"
#include "gui/eeprom/tframeeeprom.h"
#include "gui/parameter/tframeparameter.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace TestUtil;
using AddressCodes::StepCell;

namespace {
// Fast bytes, so that the tests do not wait on the line.
const QByteArray Fast = "Interval_Senden=2\nInterval_Receive=2\n";

void Click(QWidget *parent, const char *name) {
    QTest::mouseClick(Find<QPushButton>(parent, name), Qt::LeftButton);
}

// The cells a status line counts: "…: 36 von 256 Zellen gelesen in …".
int CellsIn(const QString &status) {
    const int of = status.indexOf(QStringLiteral(" von "));
    const int from = status.lastIndexOf(u' ', of - 1) + 1;
    return status.mid(from, of - from).toInt();
}

void ForgetReceived(SharedState &s) {
    for (int cell = 0; cell < 256; ++cell) {
        s.pit.setReceived(cell, false);
        s.bridge.setReceived(cell, false);
    }
}
} // namespace

class TestAnswerPacing : public QObject {
    Q_OBJECT
private slots:
    // Under line noise no cell marked received holds a value the board does not have: answers
    // are believed only with the stream in step behind them, and only when two agree.
    void noisySweepOfBothBoardsStoresNoWrongValue() {
        SimOptions noisy;
        noisy.seed = 7;
        // A lost byte puts the stream out of step until the next marker, a second later at most,
        // and a damaged one costs the answers around it: a few of each are enough. Quick boards,
        // the shortest pacing and short time-outs keep the requests a noisy line loses from
        // taking long.
        noisy.dropProbability = 0.001;
        noisy.corruptProbability = 0.005;
        noisy.pitDelayMs = 1;
        noisy.bridgeDelayMs = 2;
        SimulatedWindow s(noisy, "Benutzer=Debug\nAntwort_Timeout=20\n"
                                 "Interval_Senden=1\nInterval_Receive=1\n");
        TfrmMain &w = s.w();
        for (int cell = 0; cell < 256; cell += 3) {
            s.sim->setPitCell(cell, (cell * 7) & 0xFF);
            s.sim->setBridgeCell(cell, 0xFF - cell);
        }
        w.btnStartClick();
        QVERIFY(w.state().connection().online());
        ForgetReceived(w.state());
        TFrameEEprom *tab = w.frameEEprom();
        Click(tab, "btn_get_all_EEData");
        Click(tab, "btn_get_all_EEData2");
        QVERIFY(RunUntil(
            [&] { return !tab->sweeps().pit.running() && !tab->sweeps().bridge.running(); },
            100000));
        int received = 0;
        for (int cell = 0; cell < 256; ++cell) {
            for (Board board : {Board::Grube, Board::Buehne}) {
                const BoardImage &image = w.state().image(board);
                if (!image.received(cell)) {
                    continue;
                }
                ++received;
                const int held =
                    board == Board::Grube ? s.sim->pitCell(cell) : s.sim->bridgeCell(cell);
                QVERIFY2(image.value(cell) == held,
                         qPrintable(QStringLiteral("%1 cell %2: %3, the board holds %4")
                                        .arg(board == Board::Grube ? "pit" : "bridge")
                                        .arg(cell)
                                        .arg(image.value(cell))
                                        .arg(held)));
            }
        }
        // Most of it comes through; what did not is named, not guessed.
        QVERIFY2(received > 256, qPrintable(QString::number(received)));
        QVERIFY(s.dialogs.calls.isEmpty());
    }

    // A read marks each row green once its cells came; a written row is read back and turns
    // green, and the board holds what was written. The engine runs the transfer on its own timer:
    // the tab's timer only follows the mirror meanwhile.
    void definitionReadAndVerifiedWrite() {
        SimOptions quick;
        quick.pitDelayMs = 1;
        SimulatedWindow s(quick, Fast);
        TfrmMain &w = s.w();
        w.btnStartClick();
        TFrameDefinition *f = w.frameDefinition();
        ForgetReceived(w.state());
        Click(f, "btn_read_adr");
        QVERIFY(f->rows().Running());
        QCOMPARE(f->timer()->interval(), AddressRows::IdleIntervalMs);
        QVERIFY(RunUntil([&] { return !f->rows().Running(); }, 30000));
        QTRY_VERIFY_WITH_TIMEOUT(f->rows().RowState[27] == int(AddressRows::Verified), 3000);
        for (int k = 0; k < AddressRows::Rows; ++k) {
            QCOMPARE(f->rows().RowState[k], int(AddressRows::Verified));
        }
        QTRY_VERIFY_WITH_TIMEOUT(w.statusText().startsWith(QStringLiteral("112 Zellen in ")), 2000);

        Find<QLineEdit>(f, "edt_adr_6")->setText(QStringLiteral("300"));
        QCOMPARE(f->rows().RowState[6], int(AddressRows::Changed));
        Click(f, "btn_write_adr");
        QVERIFY(RunUntil([&] { return !f->rows().Running(); }, 30000));
        QCOMPARE(f->rows().RowState[6], int(AddressRows::Verified));
        QCOMPARE(PanelColour(*f, 6), Colors::MarkReceived);
        const AddressCodes::Code dcc = AddressCodes::Dcc(300, false);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(s.sim->pitCell(StepCell(6, i)), dcc[size_t(i)]);
        }
        QVERIFY(!f->HasUnwrittenChanges());
        QTRY_VERIFY_WITH_TIMEOUT(w.statusText().startsWith(QStringLiteral("7 Zellen in ")), 2000);
        QVERIFY(w.statusText().contains(QStringLiteral("geschrieben und geprüft")));
    }

    // A board that says nothing: every cell named, no row marked as if it had answered. The tab's
    // timer, which ticks a transfer at fixed pacing, stays still.
    void silentBoardLeavesEverythingUnmarked() {
        SimOptions silent;
        silent.silent = true;
        SimulatedWindow s(silent, Fast + "Antwort_Timeout=1\n");
        TfrmMain &w = s.w();
        w.btnStartClick();
        TFrameParameter *tab = w.frameParameter();
        Click(tab, "btn_read_values");
        QVERIFY(tab->transfer().Running());
        QVERIFY(RunUntil(
            [&] { return Find<QTimer>(tab, "Timer4")->isActive() || !tab->transfer().Running(); },
            30000));
        QVERIFY(!Find<QTimer>(tab, "Timer4")->isActive());
        // Its end reached the tab: the bar says how far it got.
        QCOMPARE(Find<QProgressBar>(tab, "ProgressBar3")->format(),
                 QStringLiteral("31 von 31 Zellen"));
        QTRY_VERIFY_WITH_TIMEOUT(w.statusText().startsWith(QStringLiteral("31 Zellen in ")), 2000);
        QVERIFY2(w.statusText().contains(QStringLiteral(", 0 wiederholt, 31 ohne Antwort")),
                 qPrintable(w.statusText()));
        for (int k = 0; k < 28; ++k) {
            QCOMPARE(tab->model().rowMark(k), Parameter::Mark::White);
        }
    }

    // A single cell: read twice, or written and read back, and the result beside the cell.
    void singleCellsShowWhatTheyFound() {
        SimulatedWindow s({}, "Benutzer=Debug\n" + Fast);
        TfrmMain &w = s.w();
        s.sim->setBridgeCell(0x40, 0x12);
        w.btnStartClick();
        TFrameEEprom *tab = w.frameEEprom();
        auto *result = Find<QLabel>(tab, "lbl_ee_result2");
        Find<QLineEdit>(tab, "edt_ee_adr2")->setText(QStringLiteral("40"));
        Click(tab, "btn_get_EEdata2");
        QTRY_COMPARE_WITH_TIMEOUT(result->text(), QStringLiteral("0x40 = 12"), 5000);
        QCOMPARE(w.state().bridge.value(0x40), uint8_t(0x12));

        Find<QLineEdit>(tab, "edt_ee_data2")->setText(QStringLiteral("a5"));
        Click(tab, "btn_write_EEdata2");
        QTRY_COMPARE_WITH_TIMEOUT(result->text(),
                                  QStringLiteral("0x40 = a5 geschrieben und geprüft"), 5000);
        QCOMPARE(s.sim->bridgeCell(0x40), uint8_t(0xA5));
        QVERIFY(w.state().bridge.received(0x40));
    }

    // A long transfer shows how far it got and, after its first seconds, the time left; a click
    // stops it and says so, and what was read stays.
    void progressShowsTimeLeftAndAbortKeepsWhatWasRead() {
        SimulatedWindow s({}, "Benutzer=Debug");
        TfrmMain &w = s.w();
        w.btnStartClick();
        TFrameEEprom *tab = w.frameEEprom();
        auto *bar = Find<QProgressBar>(tab, "ProgressBar1");
        Click(tab, "btn_get_all_EEData");
        QTRY_VERIFY_WITH_TIMEOUT(bar->format().contains(QStringLiteral(", noch ")), 10000);
        QVERIFY(bar->format().contains(QStringLiteral(" von 256 Zellen")));
        QVERIFY(bar->isTextVisible());
        Click(tab, "btn_get_all_EEData");
        QVERIFY(!tab->sweeps().pit.running());
        QTRY_VERIFY_WITH_TIMEOUT(w.statusText().startsWith(QStringLiteral("Abgebrochen: ")), 2000);
        QVERIFY(w.state().pit.received(0));
        // The bar says so too, with the status line's count.
        const int cells = CellsIn(w.statusText());
        QCOMPARE(bar->format(), QStringLiteral("Abgebrochen: %1 von 256 Zellen").arg(cells));
        QCOMPARE(bar->value(), cells);
    }

    // A click that stops the parameter or the definition tab's transfer leaves the bar saying so,
    // with the status line's count, not the running text it showed last.
    void aStoppedTabTransferSaysSoOnItsBar() {
        SimulatedWindow s({}, "Benutzer=Debug");
        TfrmMain &w = s.w();
        w.btnStartClick();
        const std::pair<QWidget *, const char *> tabs[] = {{w.frameParameter(), "btn_read_values"},
                                                           {w.frameDefinition(), "btn_read_adr"}};
        QString before;
        for (const auto &[tab, button] : tabs) {
            auto *bar = Find<QProgressBar>(tab, "ProgressBar3");
            Click(tab, button);
            QTRY_VERIFY_WITH_TIMEOUT(bar->format().contains(QStringLiteral(" von ")), 5000);
            Click(tab, button);
            QTRY_VERIFY_WITH_TIMEOUT(w.statusText().startsWith(QStringLiteral("Abgebrochen: ")) &&
                                         w.statusText() != before,
                                     2000);
            before = w.statusText();
            const int cells = CellsIn(w.statusText());
            QVERIFY2(bar->format().startsWith(QStringLiteral("Abgebrochen: %1 von ").arg(cells)),
                     qPrintable(bar->format() + " / " + w.statusText()));
            QCOMPARE(bar->value(), cells);
        }
    }

    // The line goes away in the middle: the transfer ends, says it was interrupted and how far it
    // got, and does not go on by itself.
    void lostLineInterruptsTheTransfer() {
        SimOptions hangsUp;
        hangsUp.hangUpAfterMs = 1500;
        SimulatedWindow s(hangsUp, "Benutzer=Debug");
        TfrmMain &w = s.w();
        w.btnStartClick();
        TFrameEEprom *tab = w.frameEEprom();
        Click(tab, "btn_get_all_EEData");
        QTRY_VERIFY_WITH_TIMEOUT(!w.state().connection().online(), 5000);
        QVERIFY(!tab->sweeps().pit.running());
        QTRY_VERIFY_WITH_TIMEOUT(w.statusText().startsWith(QStringLiteral("Unterbrochen")), 2000);
        QVERIFY(w.statusText().contains(QStringLiteral(" von 256 Zellen gelesen")));
        QCOMPARE(s.dialogs.calls.size(), 1); // the lost line's own box
        // The bar no longer shows a time left: it says what the status line says.
        auto *bar = Find<QProgressBar>(tab, "ProgressBar1");
        const int cells = CellsIn(w.statusText());
        QVERIFY(cells > 0);
        QCOMPARE(bar->format(), QStringLiteral("Unterbrochen: %1 von 256 Zellen").arg(cells));
        QCOMPARE(bar->value(), cells);
    }
};

QTEST_MAIN(TestAnswerPacing)
#include "tst_answerpacing.moc"
