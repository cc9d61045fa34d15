// The definition tab's transfers as the user runs them: rows marked by a configuration load, the
// read and write buttons on the tab's timer, addresses a format cannot hold, the settings shown at
// start, and a read and write against the simulated controller.

#include "comm/sharedstate.h"
#include "core/definition/addressrows.h"
#include "fixtures/addresstransfer.h"
#include "fixtures/definitionframe.h"
#include "fixtures/rununtil.h"
#include "fixtures/simulatedwindow.h"
#include "fixtures/testutil.h"
#include "fixtures/testwindow.h"
#include "fixtures/widgettestutil.h"
#include "gui/common/colors.h"
#include "gui/definition/tframedefinition.h"
#include "gui/operation/tframebedienung.h"
#include "gui/window/tfrmmain.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

using namespace TestUtil;
using AddressCodes::StepCell;

class TestDefinitionTransfer : public QObject {
    Q_OBJECT
private slots:
    // -----------------------------------------------------------------------------------------
    // The mirror

    void configurationLoadMarksWhatItChanged() {
        DefinitionFrame t;
        TFrameDefinition &f = t.frame;
        SharedState &s = t.state;
        AddressRows &rows = f.rows();
        LoadStandard(rows);
        rows.StoreAddressesInImage();
        rows.StorePositionNumbersInImage();
        // An earlier read left the received flags of row 9 set.
        for (int i = 0; i < 3; ++i) {
            s.pit.setReceived(StepCell(9, i), true);
            s.pit.setReceived(StepCell(12, i), true);
        }
        rows.ReadFromImage();
        QCOMPARE(rows.RowState[9], int(AddressRows::Verified));
        rows.RowState.fill(AddressRows::Verified);

        // The file brings other cells for rows 9 and 14 and another position number for row 20.
        const AddressCodes::Code c = AddressCodes::Dcc(1500, false);
        for (int i = 0; i < 3; ++i) {
            s.pit.setValue(StepCell(9, i), c[size_t(i)]);
            s.pit.setValue(StepCell(14, i), c[size_t(i)]);
        }
        s.pit.setValue(StepCell(20, 3), 40);
        f.ConfigurationLoaded({ConfigFile::Content::Addresses});
        QCOMPARE(rows.RowAddress[9], 1500);
        QCOMPARE(rows.RowState[9], int(AddressRows::Changed)); // not "verified" by old flags
        QCOMPARE(rows.RowState[14], int(AddressRows::Changed));
        QCOMPARE(rows.RowState[20], int(AddressRows::Changed));
        QCOMPARE(rows.RowState[12], int(AddressRows::Verified)); // unchanged by the load
        QCOMPARE(rows.RowState[15], int(AddressRows::Verified));
        QCOMPARE(PanelColour(f, 14), Colors::MarkChanged);
        QVERIFY(f.HasUnwrittenChanges());

        // The next write sends exactly the marked rows.
        s.station.UseMotorola = false;
        rows.StartWrite();
        const QList<Message> sent = RunTransfer(rows, s);
        QCOMPARE(sent.size(), 12);
        QCOMPARE(sent.at(0).cell, StepCell(9, 0));
        QCOMPARE(sent.at(4).cell, StepCell(14, 0));
        QCOMPARE(sent.at(11), (Message{0xE0, StepCell(20, 3), 40}));
    }

    // -----------------------------------------------------------------------------------------
    // Transfers on the queue

    void writeWithNothingChanged() {
        DefinitionFrame t;
        TFrameDefinition &f = t.frame;
        t.line.Set(true);
        f.UpdateDefinitionButtons();
        LoadStandard(f.rows());
        auto *write = Find<QPushButton>(&f, "btn_write_adr");
        auto *read = Find<QPushButton>(&f, "btn_read_adr");
        QTest::mouseClick(write, Qt::LeftButton);
        QCOMPARE(write->text(), QStringLiteral("Abbruch"));
        QVERIFY(!read->isEnabled());
        QVERIFY(f.timer()->isActive());
        QCOMPARE(f.timer()->interval(), 500);
        f.timer()->stop();
        for (int row = 0; row < 28; ++row) {
            f.Timer5Timer();
            QCOMPARE(f.rows().TransferRow(), row + 1);
            QCOMPARE(f.timer()->interval(), 50);
            QVERIFY(t.state.sendQueue.isEmpty());
        }
        QVERIFY(f.rows().WriteMode());
        // Offline meanwhile: the end enables nothing.
        t.line.Set(false);
        f.UpdateDefinitionButtons();
        f.Timer5Timer();
        QVERIFY(!f.rows().WriteMode());
        QCOMPARE(f.timer()->interval(), 500);
        QCOMPARE(write->text(), QStringLiteral("Werte schreiben"));
        QCOMPARE(read->text(), QStringLiteral("Werte einlesen"));
        QVERIFY(!write->isEnabled() && !read->isEnabled());
        t.line.Set(true);
        f.UpdateDefinitionButtons();
        QVERIFY(write->isEnabled() && read->isEnabled());
    }

    void readRequestsEveryRowInOrder() {
        DefinitionFrame t;
        TFrameDefinition &f = t.frame;
        t.line.Set(true);
        f.UpdateDefinitionButtons();
        auto *read = Find<QPushButton>(&f, "btn_read_adr");
        auto *bar = Find<QProgressBar>(&f, "ProgressBar3");
        QTest::mouseClick(read, Qt::LeftButton);
        QCOMPARE(read->text(), QStringLiteral("Abbruch"));
        QVERIFY(!Find<QPushButton>(&f, "btn_write_adr")->isEnabled());
        QCOMPARE(f.timer()->interval(), 300);
        QCOMPARE(bar->maximum(), 112);
        f.timer()->stop();
        QList<Message> sent;
        // A full queue holds the transfer back.
        t.state.sendQueue.QueueValue(0xF0, 1);
        f.Timer5Timer();
        QCOMPARE(f.rows().TransferRow(), 0);
        TakeMessages(t.state.sendQueue);
        while (f.rows().ReadMode()) {
            f.Timer5Timer();
            QVERIFY(bar->value() <= bar->maximum());
            sent += TakeMessages(t.state.sendQueue);
        }
        QCOMPARE(sent.size(), 112);
        for (int k = 0; k < 28; ++k) {
            const int b = AddressCodes::CellBase(k);
            for (int i = 0; i < 4; ++i) {
                QCOMPARE(sent.at(4 * k + i), (Message{0xF0, b + 16 * i, 0}));
            }
            QCOMPARE(f.rows().RowState[k], int(AddressRows::Requested));
            QCOMPARE(PanelColour(f, k), Colors::MarkRequested);
        }
        QCOMPARE(read->text(), QStringLiteral("Werte einlesen"));
        QVERIFY(read->isEnabled());
    }

    void addressOutOfRange() {
        DefinitionFrame t;
        TFrameDefinition &f = t.frame;
        SharedState &s = t.state;
        s.station.UseMotorola = true;
        AddressRows &rows = f.rows();
        LoadStandard(rows);
        rows.StoreAddressesInImage();
        const uint8_t mmBefore = s.pit.value(StepCell(8, 4));
        Edit(&f, 8)->setText(QStringLiteral("1000")); // DCC only
        Edit(&f, 9)->setText(QStringLiteral("3000")); // neither
        f.btn_write_adrClick();
        f.timer()->stop();
        QCOMPARE(t.dialogs.count("warning"), 2);
        QCOMPARE(t.dialogs.calls.at(0).text,
                 QStringLiteral("Fehler: Adress-Wert <1000> ist zu gross für das Motorola-Format "
                                "(max: 320)"));
        QCOMPARE(t.dialogs.calls.at(1).text,
                 QStringLiteral("Fehler: Adress-Wert <3000> ist zu gross für das DCC-Format "
                                "(max: 2044)"));
        QList<Message> sent;
        while (rows.WriteMode()) {
            f.Timer5Timer();
            sent += TakeMessages(s.sendQueue);
        }
        QCOMPARE(t.dialogs.count("warning"), 2); // not once per tick
        // Neither row sends a cell: half a row would leave the board with a DCC address beside an
        // old Motorola one.
        QVERIFY(sent.isEmpty());
        QCOMPARE(s.pit.value(StepCell(8, 4)), mmBefore);
        QCOMPARE(rows.RowState[8], int(AddressRows::Changed));
        QCOMPARE(rows.RowState[9], int(AddressRows::Changed));
        QVERIFY(f.HasUnwrittenChanges());

        // Corrected, the next write sends the whole row.
        Edit(&f, 9)->setText(QStringLiteral("300"));
        s.station.UseMotorola = false;
        rows.StartWrite();
        sent = RunTransfer(rows, s);
        QCOMPARE(sent.size(), 8);
        QCOMPARE(rows.RowState[8], int(AddressRows::Sent));
        QCOMPARE(rows.RowState[9], int(AddressRows::Sent));
    }

    // -----------------------------------------------------------------------------------------
    // In the main window

    // With Motorola in use, a verified write of an address beyond Motorola's range writes nothing
    // of the row: the board keeps both its addresses, the row is not shown as confirmed, and the
    // closing line says which row was not written and why.
    void refusedRowIsNotShownAsConfirmed() {
        SimulatedWindow sw({}, "Interval_Senden=2\nInterval_Receive=2\n");
        TfrmMain &w = sw.w();
        TFrameDefinition *f = w.frameDefinition();
        Find<QCheckBox>(f, "cbx_use_mm")->setChecked(true);
        QVERIFY(w.state().station.UseMotorola);
        w.btnStartClick();
        QVERIFY(w.state().connection().online());
        QTest::mouseClick(Find<QPushButton>(f, "btn_read_adr"), Qt::LeftButton);
        QVERIFY(RunUntil([&] { return !f->rows().Running(); }, 60000));
        QCOMPARE(f->rows().RowName(14), QStringLiteral("P:11"));
        const int motorolaBefore = sw.sim->pitCell(StepCell(14, 4));
        const int dccBefore = sw.sim->pitCell(StepCell(14, 0));

        Edit(f, 14)->setText(QStringLiteral("999"));
        QTest::mouseClick(Find<QPushButton>(f, "btn_write_adr"), Qt::LeftButton);
        QCOMPARE(sw.dialogs.count("warning"), 1);
        QVERIFY(
            sw.dialogs.calls.last().text.contains(QStringLiteral("Motorola-Format (max: 320)")));
        QVERIFY(RunUntil([&] { return !f->rows().Running(); }, 60000));
        QCOMPARE(sw.sim->pitCell(StepCell(14, 0)), dccBefore);
        QCOMPARE(sw.sim->pitCell(StepCell(14, 4)), motorolaBefore);
        QCOMPARE(f->rows().RowState[14], int(AddressRows::Changed));
        QCOMPARE(PanelColour(*f, 14), Colors::MarkChanged);
        QCOMPARE(Edit(f, 14)->text(), QStringLiteral("999"));
        QVERIFY(f->HasUnwrittenChanges());
        // The rows the mirror brings meanwhile do not make it confirmed either.
        f->Timer5Timer();
        QCOMPARE(f->rows().RowState[14], int(AddressRows::Changed));
        QVERIFY(
            RunUntil([&] { return w.statusText().contains(QStringLiteral("geprüft")); }, 10000));
        QVERIFY2(w.statusText().endsWith(
                     QStringLiteral("; P:11 nicht geschrieben: Adresse 999 liegt außerhalb von 0 "
                                    "bis 320 (Motorola bis 320, DCC bis 2044)")),
                 qPrintable(w.statusText()));
    }

    void settingsShowOnTheTabAtStart() {
        const AddressCodes::Code c = AddressCodes::Dcc(1234, false);
        TestWindow t(QStringLiteral("[Grube]\nOffset=-3\nUse_MM=0\n[EE_GRUBE]\n"
                                    "data_9_grube=%1\ndata_25_grube=%2\n"
                                    "data_41_grube=%3\ndata_57_grube=7\n")
                         .arg(c[0])
                         .arg(c[1])
                         .arg(c[2])
                         .toUtf8());
        TFrameDefinition *f = t.w().frameDefinition();
        QCOMPARE(Edit(f, 5)->text(), QStringLiteral("1234"));
        QCOMPARE(Edit(f, 5)->palette().color(QPalette::Base), Colors::AddressRed);
        QCOMPARE(Find<QLabel>(f, "lbl_adr_5")->text(), QStringLiteral("P:8"));
        QCOMPARE(Find<QSpinBox>(f, "UpDown_Offset")->value(), -3);
        QVERIFY(!Find<QCheckBox>(f, "cbx_use_mm")->isChecked());
        QVERIFY(!f->HasUnwrittenChanges());
    }

    void operationPictureFollows() {
        TestWindow t;
        TfrmMain &w = t.w();
        TFrameDefinition *f = w.frameDefinition();
        TFrameBedienung *op = w.frameBedienung();
        w.Timer2Timer();
        const int before = op->drawCount();
        QTest::mouseClick(Find<QPushButton>(f, "PositionButton5"), Qt::LeftButton);
        QVERIFY(!w.state().station.PositionUsed[5]);
        w.Timer2Timer();
        QCOMPARE(op->drawCount(), before + 1);
        QVERIFY(op->positionButton(5)->isHidden());
        Find<QSpinBox>(f, "UpDown_Offset")->setValue(3);
        w.Timer2Timer();
        QCOMPARE(op->drawCount(), before + 2);
        w.Timer2Timer();
        QCOMPARE(op->drawCount(), before + 2); // nothing more to draw
    }

    void readWriteAndReadBackWithTheSimulator() {
        SimulatedWindow sw({}, "Interval_Senden=2\nInterval_Receive=2\nFeste_Taktung=1\n");
        TfrmMain &w = sw.w();
        SharedState &s = w.state();
        TFrameDefinition *f = w.frameDefinition();
        QTest::mouseClick(w.findChild<QPushButton *>("btnStart"), Qt::LeftButton);
        QVERIFY(s.connection().online());

        // Each tick's request is answered and applied before the next tick.
        auto runTransfer = [&] {
            // Stopping it is not enough: the housekeeping tick wakes it during a transfer.
            QObject::disconnect(f->timer(), &QTimer::timeout, f, nullptr);
            while (f->rows().ReadMode() || f->rows().WriteMode()) {
                const bool reading = f->rows().ReadMode() && f->rows().Running();
                const int cell =
                    reading ? StepCell(f->rows().TransferRow(), f->rows().TransferStep) : -1;
                f->Timer5Timer();
                if (!QTest::qWaitFor([&] { return s.sendQueue.isEmpty(); }, 5000)) {
                    return false;
                }
                if (reading) {
                    const InfoTable &table = s.infoTable();
                    if (!QTest::qWaitFor(
                            [&] {
                                return s.pit.received(cell) ||
                                       (table.letter(InfoTable::PitCell) == 'G' &&
                                        table.data1(InfoTable::PitCell) == cell);
                            },
                            5000)) {
                        return false;
                    }
                    w.Timer2Timer();
                }
            }
            f->Timer5Timer(); // takes the last answer into the rows
            return true;
        };
        auto clearReceived = [&] {
            for (int cell = 0; cell < 256; ++cell) {
                s.pit.setReceived(cell, false);
            }
        };

        clearReceived();
        QTest::mouseClick(f->findChild<QPushButton *>("btn_read_adr"), Qt::LeftButton);
        QVERIFY(runTransfer());
        const int functions[4] = {225, 227, 226, 228};
        for (int k = 0; k < 28; ++k) {
            QCOMPARE(f->rows().RowAddress[k], k < 4 ? functions[k] : 227 + k / 2);
            QCOMPARE(f->rows().RowGreen[k], k < 4 || (k - 4) % 2 == 1);
            QCOMPARE(f->rows().RowState[k], int(AddressRows::Verified));
            QCOMPARE(PanelColour(*f, k), Colors::MarkReceived);
        }
        QCOMPARE(Edit(f, 27)->text(), QStringLiteral("240"));

        Edit(f, 6)->setText(QStringLiteral("300")); // P3, red
        QTest::mouseClick(f->findChild<QPushButton *>("btn_write_adr"), Qt::LeftButton);
        QVERIFY(runTransfer());
        QCOMPARE(f->rows().RowState[6], int(AddressRows::Sent));
        QCOMPARE(PanelColour(*f, 6), Colors::MarkSent);
        const AddressCodes::Code dcc = AddressCodes::Dcc(300, false);
        const AddressCodes::Code mm = AddressCodes::Motorola(300, false);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(sw.sim->pitCell(StepCell(6, i)), dcc[size_t(i)]);
            QCOMPARE(sw.sim->pitCell(StepCell(6, 4 + i)), mm[size_t(i)]);
        }
        QCOMPARE(sw.sim->pitCell(StepCell(7, 0)), AddressCodes::Dcc(230, true)[0]);

        clearReceived();
        f->rows().RowAddress[6] = 0; // forget it on the PC: the read must bring it back
        QTest::mouseClick(f->findChild<QPushButton *>("btn_read_adr"), Qt::LeftButton);
        QVERIFY(runTransfer());
        QCOMPARE(f->rows().RowAddress[6], 300);
        QVERIFY(!f->rows().RowGreen[6]);
        QCOMPARE(f->rows().RowState[6], int(AddressRows::Verified));
        QCOMPARE(Edit(f, 6)->text(), QStringLiteral("300"));
    }
};

QTEST_MAIN(TestDefinitionTransfer)
#include "tst_definitiontransfer.moc"
