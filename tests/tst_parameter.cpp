// The parameter tab as the user meets it: its controls, typing and clicking, the buttons and the
// transfers on Timer4, and a full read, write and read-back against the simulated controller.

#include "comm/sharedstate.h"
#include "fixtures/scripteddialogs.h"
#include "fixtures/simulatedwindow.h"
#include "fixtures/testsession.h"
#include "fixtures/testutil.h"
#include "fixtures/widgettestutil.h"
#include "gui/common/colors.h"
#include "gui/parameter/tframeparameter.h"
#include "gui/window/tfrmmain.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using namespace TestUtil;
using Parameter::Mark;

namespace {

QLineEdit *Edit(QWidget *tab, int row) {
    return Find<QLineEdit>(tab, QStringLiteral("edt_para_%1").arg(row).toUtf8().constData());
}
QLabel *ValueLabel(QWidget *tab, int row) {
    return Find<QLabel>(tab, QStringLiteral("lbl_para_value_%1").arg(row).toUtf8().constData());
}
QCheckBox *Bit(QWidget *tab, int group, int bit) {
    return Find<QCheckBox>(
        tab, QStringLiteral("cbx_opt_%1_%2").arg(group).arg(bit).toUtf8().constData());
}
QLabel *Panel(QWidget *tab, int group, int bit) {
    return Find<QLabel>(tab,
                        QStringLiteral("pnl_opt_%1_%2").arg(group).arg(bit).toUtf8().constData());
}
QColor EditColour(QWidget *tab, int row) {
    return Edit(tab, row)->palette().color(QPalette::Base);
}

// Replaces an edit's text by typing, as a user would: select all, then the keys one by one.
void Type(QLineEdit *edit, const QString &text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

constexpr int FilterB = 15;
constexpr int AltCountPit = 23;

// A tab on its own state, shown once and wide enough for its layout.
struct Tab {
    Tab() {
        tab.resize(1000, 540);
        tab.HideParameterRows();
        tab.ShowParameters();
    }
    TestSession line;
    SharedState &state = line.state;
    ScriptedDialogs dialogs;
    TFrameParameter tab{state, dialogs};
};

} // namespace

class TestParameter : public QObject {
    Q_OBJECT
private slots:
    void controlsAndLayout() {
        SharedState state;
        ScriptedDialogs dialogs;
        TFrameParameter tab(state, dialogs);
        QCOMPARE(tab.objectName(), QStringLiteral("TFrameParameter"));
        // Before the first ShowParameters every row is hidden and the transfer buttons are off.
        QVERIFY(Edit(&tab, 0)->isHidden());
        QVERIFY(!Find<QPushButton>(&tab, "btn_read_values")->isEnabled());
        QVERIFY(!Find<QPushButton>(&tab, "btn_write_values")->isEnabled());
        QVERIFY(Find<QPushButton>(&tab, "btn_default")->isEnabled());
        QVERIFY(Find<QPushButton>(&tab, "btn_alle_gelb")->isEnabled());
        QCOMPARE(Find<QPushButton>(&tab, "btn_default")->text(), QStringLiteral("Vorgabe-Werte "));
        QCOMPARE(tab.transfer().engine().state(), PacedTransfer::State::Idle);

        tab.resize(1000, 540);
        state.bridge.setValue(3, 170);
        tab.ShowParameters();
        QCOMPARE(Find<QLabel>(&tab, "lbl_para_0")->text(),
                 QStringLiteral("Geschwindigkeit Links schnell"));
        QCOMPARE(Edit(&tab, 12)->toolTip(),
                 QStringLiteral("Sensor-Spannung: wenn dieser Schwellwert überschritten wird, hat "
                                "Sensor die Helle Zone verlassen"));
        for (int k = 0; k < 64; ++k) {
            const bool shown = k < 28 && k != 25 && k != 27;
            QCOMPARE(!Edit(&tab, k)->isHidden(), shown);
        }
        // Value labels only for rows with a unit.
        QVERIFY(!ValueLabel(&tab, 4)->isHidden());
        QVERIFY(ValueLabel(&tab, FilterB)->isHidden());
        QCOMPARE(ValueLabel(&tab, 12)->text(), QStringLiteral("(3.33 V)"));
        // Versions are shown, never typed over.
        QVERIFY(!Edit(&tab, 24)->isEnabled());
        QVERIFY(!Edit(&tab, 26)->isEnabled());
        QCOMPARE(Edit(&tab, 26)->text(), QStringLiteral("V 0.1x"));
        QCOMPARE(Edit(&tab, 24)->text(), QStringLiteral("V ff.ff"));
        // Option bits: 12 shown, the rest hidden.
        int shownBits = 0;
        for (int g = 0; g < 5; ++g) {
            for (int b = 0; b < 8; ++b) {
                shownBits += Bit(&tab, g, b)->isHidden() ? 0 : 1;
            }
        }
        QCOMPARE(shownBits, 12);
        QCOMPARE(Find<QLabel>(&tab, "lbl_opt_1_4")->text(), QStringLiteral("RM1 invertieren"));
        QCOMPARE(Bit(&tab, 1, 4)->toolTip(),
                 QStringLiteral("der Zustand frei / besetzt wird vertauscht"));
        QCOMPARE(Find<QLabel>(&tab, "lbl_legend_0")->text(),
                 QStringLiteral("Bedeutung der Farben:"));

        // Boxes side by side without overlapping, buttons inside the tab and in their order.
        auto box = [&](const char *name) { return Find<QGroupBox>(&tab, name)->geometry(); };
        QCOMPARE(box("GroupBox_speed").topLeft(), QPoint(6, 6));
        QCOMPARE(box("GroupBox_time").top(), box("GroupBox_speed").bottom() + 11);
        QCOMPARE(box("GroupBox_parameter").left(), box("GroupBox_speed").right() + 11);
        QCOMPARE(box("GroupBox_versions").width(), box("GroupBox_parameter").width());
        QCOMPARE(box("GroupBox_config").top(), box("GroupBox_versions").bottom() + 11);
        QCOMPARE(box("GroupBox_speed").height(), 15 + 4 * 25 + 6);
        QVERIFY(!box("GroupBox_config").intersects(box("GroupBox_versions")));
        const QRect read = Find<QPushButton>(&tab, "btn_read_values")->geometry();
        const QRect write = Find<QPushButton>(&tab, "btn_write_values")->geometry();
        const QRect gelb = Find<QPushButton>(&tab, "btn_alle_gelb")->geometry();
        const QRect def = Find<QPushButton>(&tab, "btn_default")->geometry();
        QCOMPARE(read.right() + 1, tab.width() - 30);
        QCOMPARE(write.right() + 11, read.left());
        QCOMPARE(gelb.right() + 11, write.left());
        QCOMPARE(def.left(), gelb.left());
        QVERIFY(def.top() > gelb.bottom());
        QVERIFY(def.bottom() < tab.height());
        for (int k : {0, 4, 12, 23, 26}) {
            const QLineEdit *e = Edit(&tab, k);
            const QRect inBox = e->geometry();
            QVERIFY2(e->parentWidget()->rect().contains(inBox), qPrintable(QString::number(k)));
        }
    }

    void typingMarksStoresAndClamps() {
        Tab t;
        QCOMPARE(EditColour(&t.tab, 0), t.tab.palette().color(QPalette::Base));
        Type(Edit(&t.tab, 0), "200");
        QCOMPARE(Edit(&t.tab, 0)->text(), QStringLiteral("127"));
        QCOMPARE(ValueLabel(&t.tab, 0)->text(), QStringLiteral("(max.=127)"));
        QCOMPARE(EditColour(&t.tab, 0), Colors::MarkChanged);
        QCOMPARE(t.state.bridge.value(1), uint8_t(127));
        QVERIFY(t.tab.HasUnwrittenChanges());

        // 10 typed into a row with minimum 4 stays 10.
        Type(Edit(&t.tab, AltCountPit), "10");
        QCOMPARE(Edit(&t.tab, AltCountPit)->text(), QStringLiteral("10"));
        QCOMPARE(t.state.pit.value(48), uint8_t(10));
        // 2 becomes 4 when the user presses Enter.
        Type(Edit(&t.tab, AltCountPit), "2");
        QCOMPARE(t.state.pit.value(48), uint8_t(10));
        QTest::keyClick(Edit(&t.tab, AltCountPit), Qt::Key_Return);
        QCOMPARE(Edit(&t.tab, AltCountPit)->text(), QStringLiteral("4"));
        QCOMPARE(t.state.pit.value(48), uint8_t(4));

        // A time row's label follows the typed value.
        Type(Edit(&t.tab, 4), "20");
        QCOMPARE(ValueLabel(&t.tab, 4)->text(), QStringLiteral("(1.27 s)"));
        QVERIFY(t.dialogs.calls.isEmpty());
    }

    void wrongTextWarnsAndGoesBack() {
        Tab t;
        QLineEdit *edit = Edit(&t.tab, FilterB);
        Type(edit, "5a");
        QCOMPARE(t.dialogs.count("warning"), 1);
        QCOMPARE(t.dialogs.calls.at(0).text,
                 QStringLiteral("Ungültige Eingabe.\rZugelassen sind nur Zahlen"));
        // After the box the wrong character is gone.
        QCOMPARE(edit->text(), QStringLiteral("5"));
        QCOMPARE(t.state.bridge.value(13), uint8_t(5));
        QCOMPARE(EditColour(&t.tab, FilterB), Colors::MarkChanged);
        // A negative number on its way is not wrong.
        Type(edit, "-");
        QCOMPARE(t.dialogs.count("warning"), 1);
        QCOMPARE(edit->text(), QStringLiteral("-"));
    }

    void emptiedFieldIsNotWritten() {
        Tab t;
        t.state.transferSettings.fixedPacing = true;
        t.line.GoOnline();
        t.tab.UpdateParameterButtons();
        QLineEdit *edit = Edit(&t.tab, FilterB);
        const uint8_t before = t.state.bridge.value(13);
        Type(edit, "12");
        QCOMPARE(EditColour(&t.tab, FilterB), Colors::MarkChanged);
        Type(edit, "");
        QCOMPARE(edit->text(), QString());
        QCOMPARE(EditColour(&t.tab, FilterB), t.tab.palette().color(QPalette::Base));
        QVERIFY(!t.tab.HasUnwrittenChanges());
        const auto status = t.state.TakeTransferReport();
        QVERIFY(status && status->line.contains(QStringLiteral("nicht geschrieben")));
        // A write now sends nothing for it.
        QTest::mouseClick(Find<QPushButton>(&t.tab, "btn_write_values"), Qt::LeftButton);
        auto *timer = t.tab.findChild<QTimer *>("Timer4");
        std::vector<int> sent;
        for (int i = 0; i < 40 && timer->isActive(); ++i) {
            t.tab.Timer4Timer();
            const auto bytes = Drain(t.state.sendQueue);
            sent.insert(sent.end(), bytes.begin(), bytes.end());
        }
        QVERIFY(sent.empty());
        // Leaving the edit shows the value again.
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(edit->text(), QString::number(before));
        QCOMPARE(t.state.bridge.value(13), before);
        QCOMPARE(EditColour(&t.tab, FilterB), t.tab.palette().color(QPalette::Base));
        QVERIFY(t.dialogs.calls.isEmpty());
    }

    void clampSaysSoInTheStatusBar() {
        Tab t;
        QLineEdit *edit = Edit(&t.tab, AltCountPit);
        Type(edit, "-5");
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(edit->text(), QStringLiteral("4"));
        const auto status = t.state.TakeTransferReport();
        QVERIFY(status.has_value());
        QVERIFY(status->line.endsWith(QStringLiteral("-5 auf das Minimum 4 gesetzt")));
        QVERIFY(t.dialogs.calls.isEmpty());
    }

    void showingNeverCountsAsAChange() {
        Tab t;
        t.state.bridge.Apply(13, 50);
        t.state.pit.Apply(49, 0x10);
        t.tab.ShowParameters();
        QCOMPARE(Edit(&t.tab, FilterB)->text(), QStringLiteral("50"));
        QCOMPARE(EditColour(&t.tab, FilterB), Colors::MarkReceived);
        QVERIFY(Bit(&t.tab, 1, 4)->isChecked());
        QCOMPARE(Panel(&t.tab, 1, 4)->palette().color(QPalette::Window), Colors::MarkReceived);
        QVERIFY(!t.tab.HasUnwrittenChanges());
        QVERIFY(!t.tab.updating());
    }

    void refreshKeepsTheCaret() {
        Tab t;
        QLineEdit *edit = Edit(&t.tab, FilterB);
        Type(edit, "123");
        edit->setCursorPosition(1);
        t.state.bridge.Apply(1, 100); // another row's answer
        t.tab.ShowParameters();
        QCOMPARE(edit->cursorPosition(), 1);
        QCOMPARE(Edit(&t.tab, 0)->text(), QStringLiteral("100"));
    }

    void optionClick() {
        Tab t;
        t.state.pit.setValue(49, 0x81);
        t.tab.ShowParameters();
        QTest::mouseClick(Bit(&t.tab, 1, 4), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(Bit(&t.tab, 1, 4)->isChecked());
        QCOMPARE(t.state.pit.value(49), uint8_t(0x91));
        QCOMPARE(Panel(&t.tab, 1, 4)->palette().color(QPalette::Window), Colors::MarkChanged);
        QVERIFY(t.tab.HasUnwrittenChanges());
    }

    void defaultsButton() {
        Tab t;
        // Cancel: nothing changes, and typing still works afterwards.
        t.dialogs.answers = {false};
        QTest::mouseClick(Find<QPushButton>(&t.tab, "btn_default"), Qt::LeftButton);
        QCOMPARE(t.dialogs.count("okcancel"), 1);
        QVERIFY(t.dialogs.calls.at(0).text.startsWith(
            QStringLiteral("Rücksetzen auf Vorgabe-Werte\nDadurch gehen alle Einstellungen")));
        QVERIFY(!t.tab.HasUnwrittenChanges());
        QVERIFY(!t.tab.updating());
        Type(Edit(&t.tab, FilterB), "50");
        QCOMPARE(EditColour(&t.tab, FilterB), Colors::MarkChanged);

        // OK: every row that differs from its default takes it.
        t.dialogs.answers = {true};
        QTest::mouseClick(Find<QPushButton>(&t.tab, "btn_default"), Qt::LeftButton);
        QCOMPARE(Edit(&t.tab, FilterB)->text(), QStringLiteral("46"));
        QCOMPARE(t.state.bridge.value(13), uint8_t(46));
        QCOMPARE(Edit(&t.tab, 4)->text(), QStringLiteral("2"));
        QCOMPARE(ValueLabel(&t.tab, 4)->text(), QStringLiteral("(0.13 s)"));
        QVERIFY(Bit(&t.tab, 0, 0)->isChecked());
        QVERIFY(!Bit(&t.tab, 0, 3)->isChecked());
        QVERIFY(!t.tab.updating());
        QVERIFY(t.dialogs.count("warning") == 0);
    }

    void transfersOnTimer4() {
        Tab t;
        t.state.transferSettings.fixedPacing = true; // one request per tick, as first built
        t.line.GoOnline();
        t.tab.UpdateParameterButtons();
        auto *read = Find<QPushButton>(&t.tab, "btn_read_values");
        auto *bar = Find<QProgressBar>(&t.tab, "ProgressBar3");
        auto *timer = t.tab.findChild<QTimer *>("Timer4");
        QVERIFY(read->isEnabled());
        QTest::mouseClick(read, Qt::LeftButton);
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 300);
        QCOMPARE(bar->maximum(), 31);
        t.tab.Timer4Timer();
        QCOMPARE(EditColour(&t.tab, 0), Colors::MarkRequested);
        QCOMPARE(bar->value(), 1);
        QCOMPARE(Drain(t.state.sendQueue), (std::vector<int>{0x90, 1, 0}));
        // The answer arrives the way the main window passes it on.
        t.state.bridge.Apply(1, 99);
        t.tab.ShowParameters();
        QCOMPARE(EditColour(&t.tab, 0), Colors::MarkReceived);
        QCOMPARE(Edit(&t.tab, 0)->text(), QStringLiteral("99"));
        // A second click ends the read at the next tick.
        QTest::mouseClick(read, Qt::LeftButton);
        t.tab.Timer4Timer();
        QVERIFY(!timer->isActive());
        QCOMPARE(bar->value(), 0);
        QVERIFY(t.state.sendQueue.isEmpty());

        // "markiere alle Gelb" then write: 24 rows and 3 bytes, and everything white after.
        QTest::mouseClick(Find<QPushButton>(&t.tab, "btn_alle_gelb"), Qt::LeftButton);
        QCOMPARE(EditColour(&t.tab, 0), Colors::MarkChanged);
        QVERIFY(t.tab.HasUnwrittenChanges());
        QTest::mouseClick(Find<QPushButton>(&t.tab, "btn_write_values"), Qt::LeftButton);
        QCOMPARE(timer->interval(), 500);
        int messages = 0;
        for (int i = 0; i < 40 && timer->isActive(); ++i) {
            t.tab.Timer4Timer();
            messages += int(Drain(t.state.sendQueue).size()) / 3;
        }
        QVERIFY(!timer->isActive());
        QCOMPARE(messages, 27);
        QVERIFY(!t.tab.HasUnwrittenChanges());
        QCOMPARE(EditColour(&t.tab, 0), Colors::MarkSent);
        QCOMPARE(Panel(&t.tab, 1, 4)->palette().color(QPalette::Window), Colors::MarkSent);
        // The legend says what the mark means.
        bool legendSaysSent = false;
        for (int i = 0; i < 7; ++i) {
            legendSaysSent |=
                Find<QLabel>(&t.tab, QStringLiteral("lbl_legend_%1").arg(i).toUtf8().constData())
                    ->text()
                    .contains(QStringLiteral("gesendet, noch nicht zurückgelesen"));
        }
        QVERIFY(legendSaysSent);
        // The write's own line for the status bar, not the read's before it.
        const auto report = t.state.TakeTransferReport();
        QVERIFY(report.has_value());
        QCOMPARE(report->line.left(report->line.indexOf(u' ')), QStringLiteral("27"));
        QVERIFY(report->line.contains(QStringLiteral("geschrieben")));

        // Offline: the transfer buttons are off again.
        t.line.GoOffline();
        t.tab.UpdateParameterButtons();
        QVERIFY(!read->isEnabled());
    }

    void configurationLoadMarks() {
        Tab t;
        t.state.bridge.Apply(12, 65);
        t.tab.ShowParameters();
        // A configuration load with "Parameter".
        t.state.bridge.setValue(33, 99);
        t.state.pit.setValue(50, 3);
        t.tab.ConfigurationLoaded({ConfigFile::Content::Parameters});
        QCOMPARE(EditColour(&t.tab, 17), Colors::MarkChanged);
        QCOMPARE(Edit(&t.tab, 17)->text(), QStringLiteral("99"));
        QCOMPARE(EditColour(&t.tab, 14), Colors::MarkReceived);
        QVERIFY(Bit(&t.tab, 2, 1)->isChecked());
        QCOMPARE(Panel(&t.tab, 2, 0)->palette().color(QPalette::Window), Colors::MarkChanged);
        QCOMPARE(Panel(&t.tab, 0, 0)->palette().color(QPalette::Window),
                 t.tab.palette().color(QPalette::Base));
        QVERIFY(t.tab.HasUnwrittenChanges());
    }

    void settingsFileValuesShowAtStart() {
        SimulatedWindow sw({}, "[EE_BUHNE]\ndata_13_buhne=77\ndata_8_buhne=1\n"
                               "[EE_GRUBE]\ndata_0_grube=0\ndata_1_grube=56\n");
        auto *tab = sw.w().frameParameter();
        QCOMPARE(Edit(tab, FilterB)->text(), QStringLiteral("77"));
        QVERIFY(!Edit(tab, FilterB)->isHidden());
        QCOMPARE(Edit(tab, 24)->text(), QStringLiteral("V 0.38"));
        QVERIFY(Bit(tab, 0, 0)->isChecked());
        QVERIFY(!Bit(tab, 0, 1)->isChecked());
        // Nothing is confirmed by a board yet, and nothing counts as changed.
        QCOMPARE(EditColour(tab, FilterB), tab->palette().color(QPalette::Base));
        QVERIFY(!tab->HasUnwrittenChanges());
    }

    // ---- against the simulated controller --------------------------------------------------

    // In both pacings: paced by the answers every cell is read twice and a write is read back
    // (green at once); at fixed pacing a written value is marked sent until it is read.
    // The line lost while a read waits for an answer: the entry asked for goes back to its mark,
    // no row stays blue for a request that can no longer be answered.
    void lostLineLeavesNoRequestMarked() {
        SimOptions quick;
        quick.pitDelayMs = 1;
        quick.bridgeDelayMs = 3;
        quick.hangUpAfterMs = 300;
        SimulatedWindow sw(quick, "Interval_Senden=2\nInterval_Receive=2\n");
        TfrmMain &w = sw.w();
        auto *tab = w.frameParameter();
        w.btnStartClick();
        QVERIFY(w.state().connection().online());
        QTest::mouseClick(Find<QPushButton>(tab, "btn_read_values"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!w.state().connection().online(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!tab->transfer().Running(), 5000);
        int green = 0;
        for (int k = 0; k < 28; ++k) {
            QVERIFY2(tab->model().rowMark(k) != Mark::Blue, qPrintable(QString::number(k)));
            green += tab->model().rowMark(k) == Mark::Green ? 1 : 0;
        }
        for (int g = 0; g < Parameter::GroupSlots; ++g) {
            for (int bit = 0; bit < Parameter::Bits; ++bit) {
                QVERIFY(tab->model().bitMark(g, bit) != Mark::Blue);
            }
        }
        QVERIFY(green > 0 && green < 28); // it was interrupted halfway
        QCOMPARE(EditColour(tab, 0) == Colors::MarkRequested, false);
    }

    void readWriteReadBackAgainstTheSimulator_data() {
        QTest::addColumn<bool>("fixed");
        QTest::newRow("paced by the answers") << false;
        QTest::newRow("fixed pacing") << true;
    }

    void readWriteReadBackAgainstTheSimulator() {
        QFETCH(bool, fixed);
        // Quick boards and short byte intervals: what is read and written does not depend on them.
        SimOptions quick;
        quick.pitDelayMs = 1;
        quick.bridgeDelayMs = 3;
        SimulatedWindow sw(quick, QByteArray("Interval_Senden=2\nInterval_Receive=2\n") +
                                      (fixed ? "Feste_Taktung=1\n" : ""));
        TfrmMain &w = sw.w();
        sw.sim->setBridgeCell(13, 61);
        sw.sim->setBridgeCell(33, 70);
        sw.sim->setPitCell(49, 0x14);
        auto *tab = w.frameParameter();
        tab->transfer().setFixedIntervals({80, 100, 10});
        w.findChild<QTabWidget *>("PageControl1")->setCurrentIndex(2); // "Parameter"
        QTest::mouseClick(w.findChild<QPushButton *>("btnStart"), Qt::LeftButton);
        QVERIFY(w.state().connection().online());

        auto *timer = tab->findChild<QTimer *>("Timer4");
        // Timer4 ticks a transfer at fixed pacing; one paced by the answers runs on its engine's
        // timer.
        const auto done = [&] { return !timer->isActive() && !tab->transfer().Running(); };
        QTest::mouseClick(Find<QPushButton>(tab, "btn_read_values"), Qt::LeftButton);
        QVERIFY(fixed ? timer->isActive() : tab->transfer().Running());
        QTRY_VERIFY_WITH_TIMEOUT(done(), 30000);
        // The last bridge answers may still be on their way when the transfer ends.
        QTRY_VERIFY_WITH_TIMEOUT(EditColour(tab, 26) == Colors::MarkReceived, 3000);
        for (int k = 0; k < 28; ++k) {
            QCOMPARE(tab->model().rowMark(k), Mark::Green);
        }
        QCOMPARE(Edit(tab, FilterB)->text(), QStringLiteral("61"));
        QCOMPARE(Edit(tab, 17)->text(), QStringLiteral("70"));
        QCOMPARE(Edit(tab, 26)->text(),
                 Parameter::VersionText(sw.sim->bridgeCell(126), sw.sim->bridgeCell(127), true));
        QVERIFY(Bit(tab, 1, 4)->isChecked());
        QVERIFY(Bit(tab, 1, 2)->isChecked());
        QVERIFY(!Bit(tab, 1, 3)->isChecked());
        QCOMPARE(Panel(tab, 1, 4)->palette().color(QPalette::Window), Colors::MarkReceived);

        // Change "Filter_b" and write it.
        Type(Edit(tab, FilterB), "50");
        QCOMPARE(EditColour(tab, FilterB), Colors::MarkChanged);
        QTest::mouseClick(Find<QPushButton>(tab, "btn_write_values"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(done(), 30000);
        QTRY_COMPARE_WITH_TIMEOUT(sw.sim->bridgeCell(13), uint8_t(50), 3000);
        QCOMPARE(EditColour(tab, FilterB), fixed ? Colors::MarkSent : Colors::MarkReceived);
        // The status bar shows the write's own line, not the read's.
        QTRY_VERIFY_WITH_TIMEOUT(w.statusText().startsWith(QStringLiteral("1 Zelle in")), 3000);
        QVERIFY(w.statusText().contains(fixed ? QStringLiteral("geschrieben, nicht zurückgelesen")
                                              : QStringLiteral("geschrieben und geprüft")));
        QCOMPARE(sw.sim->bridgeCell(33), uint8_t(70)); // nothing else written
        QCOMPARE(sw.sim->pitCell(49), uint8_t(0x14));

        // Read back: the new value comes back green.
        sw.sim->setBridgeCell(33, 71);
        QTest::mouseClick(Find<QPushButton>(tab, "btn_read_values"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(done(), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(EditColour(tab, 26) == Colors::MarkReceived, 3000);
        QCOMPARE(Edit(tab, FilterB)->text(), QStringLiteral("50"));
        QCOMPARE(EditColour(tab, FilterB), Colors::MarkReceived);
        QCOMPARE(Edit(tab, 17)->text(), QStringLiteral("71"));
        QVERIFY(!tab->HasUnwrittenChanges());
        QVERIFY(sw.dialogs.calls.isEmpty());
    }
};

QTEST_MAIN(TestParameter)
#include "tst_parameter.moc"
