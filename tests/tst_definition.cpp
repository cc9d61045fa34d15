// The track definition tab: its address rows and their transfer as plain logic on the transmit
// queue, the frame's controls and picture, and a read and write against the simulated controller.

#include "addressrows.h"
#include "colors.h"
#include "scripteddialogs.h"
#include "sharedstate.h"
#include "simulatedwindow.h"
#include "testutil.h"
#include "tframebedienung.h"
#include "tframedefinition.h"
#include "tfrmmain.h"
#include "turntabledrawing.h"
#include "turntablepicture.h"
#include "widgettestutil.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

using namespace TestUtil;
using AddressCodes::StepCell;

namespace {

struct Message {
    int command; // without the folded bits
    int cell;
    int value;
    bool operator==(const Message &) const = default;
};

char *toString(const Message &m) {
    return QTest::toString(
        QStringLiteral("(%1, %2, %3)").arg(m.command, 0, 16).arg(m.cell).arg(m.value));
}

// Everything the queue holds, as messages with their values unfolded.
QList<Message> TakeMessages(SendQueue &q) {
    const std::vector<int> bytes = Drain(q);
    QList<Message> out;
    for (size_t i = 0; i + 2 < bytes.size(); i += 3) {
        const int c = bytes[i];
        out.append(
            {c & 0xFC, bytes[i + 1] | (c & 1 ? 0x80 : 0), bytes[i + 2] | (c & 2 ? 0x80 : 0)});
    }
    return out;
}

// Ticks a transfer to its end, sending every queued byte after each tick; the messages in order.
QList<Message> RunTransfer(AddressRows &rows, SharedState &s, int maxTicks = 1000) {
    QList<Message> sent;
    for (int i = 0; i < maxTicks && (rows.ReadMode() || rows.WriteMode()); ++i) {
        rows.Tick();
        sent += TakeMessages(s.sendQueue);
    }
    return sent;
}

// The usual preset, as the board holds it, verified.
void LoadStandard(AddressRows &rows) {
    rows.ApplyPreset(0);
    rows.RowState.fill(AddressRows::Verified);
}

QColor PanelColour(TFrameDefinition &f, int row) {
    return Find<QLabel>(&f, qPrintable(QStringLiteral("pnl_adr_%1").arg(row)))
        ->palette()
        .color(QPalette::Window);
}

QLineEdit *Edit(QWidget *w, int row) {
    return Find<QLineEdit>(w, qPrintable(QStringLiteral("edt_adr_%1").arg(row)));
}

struct Frame {
    Frame() : frame(state, dialogs) {
        frame.timer()->stop(); // the tests tick it themselves
        frame.resize(940, 516);
    }
    SharedState state;
    ScriptedDialogs dialogs;
    TFrameDefinition frame;
};

} // namespace

class TestDefinition : public QObject {
    Q_OBJECT
private slots:
    // -----------------------------------------------------------------------------------------
    // Editing and presets

    void editingAnAddress() {
        Frame t;
        TFrameDefinition &f = t.frame;
        f.rows().RowAddress[7] = 42;
        f.ShowAddressRows();
        QLineEdit *edit = Edit(&f, 7);
        QCOMPARE(edit->text(), QStringLiteral("42"));
        QVERIFY(!f.HasUnwrittenChanges());

        edit->setText(QStringLiteral("007"));
        QCOMPARE(f.rows().RowAddress[7], 7);
        QCOMPARE(edit->text(), QStringLiteral("7"));
        QCOMPARE(f.rows().RowState[7], int(AddressRows::Changed));
        QCOMPARE(PanelColour(f, 7), Colors::MarkChanged);
        QCOMPARE(edit->palette().color(QPalette::Base), Colors::AddressGreen);
        QVERIFY(f.HasUnwrittenChanges());
        QCOMPARE(t.dialogs.calls.size(), 0);

        edit->setText(QStringLiteral("7x"));
        QCOMPARE(t.dialogs.count("warning"), 1);
        QCOMPARE(t.dialogs.calls.last().text,
                 QStringLiteral("Ungültige Eingabe.\rZugelassen sind nur Zahlen"));
        QCOMPARE(f.rows().RowAddress[7], 7);

        // An empty edit marks the row but keeps the address.
        f.rows().RowState[8] = AddressRows::Verified;
        f.rows().RowAddress[8] = 300;
        Edit(&f, 8)->setText(QString());
        QCOMPARE(f.rows().RowAddress[8], 300);
        QCOMPARE(f.rows().RowState[8], int(AddressRows::Changed));
        QCOMPARE(PanelColour(f, 8), Colors::MarkChanged);
        QCOMPARE(t.dialogs.count("warning"), 1);

        // Showing the rows never counts as an edit.
        f.rows().RowState.fill(AddressRows::Sent);
        f.rows().RowAddress[9] = 12;
        f.ShowAddressRows();
        QCOMPARE(f.rows().RowState[9], int(AddressRows::Sent));
        QCOMPARE(PanelColour(f, 9), Colors::MarkSent);
    }

    void redGreenAndEditColours() {
        Frame t;
        TFrameDefinition &f = t.frame;
        QCOMPARE(Edit(&f, 3)->palette().color(QPalette::Base), f.palette().color(QPalette::Base));
        f.rows().RowAddress[3] = 228;
        f.ShowAddressRows();
        QCOMPARE(Edit(&f, 3)->palette().color(QPalette::Base), Colors::AddressGreen);
        QTest::mouseClick(Find<QPushButton>(&f, "btn_rg_3"), Qt::LeftButton);
        QVERIFY(!f.rows().RowGreen[3]);
        QCOMPARE(f.rows().RowState[3], int(AddressRows::Changed));
        QCOMPARE(Edit(&f, 3)->palette().color(QPalette::Base), Colors::AddressRed);
        QCOMPARE(Find<QLabel>(&f, "pnl_adr_3")->toolTip(),
                 QStringLiteral("Status: Daten geändert und noch nicht in Gruben-Platine "
                                "geschrieben"));
        f.btn_rgClick(3);
        QVERIFY(f.rows().RowGreen[3]);
    }

    void presets() {
        SharedState s;
        AddressRows rows(s);
        rows.ApplyPreset(1);
        const int functions[4] = {225, 227, 226, 228};
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(rows.RowAddress[k], functions[k]);
            QVERIFY(rows.RowGreen[k]);
        }
        for (int j = 0; j < 24; ++j) {
            QCOMPARE(rows.RowAddress[j + 4], 229 + j / 2);
            QCOMPARE(rows.RowGreen[j + 4], j % 2 == 1); // P1 red, P2 green, ...
            QCOMPARE(rows.PositionNumber[j], j);
            QCOMPARE(rows.RowState[j + 4], int(AddressRows::Changed));
        }

        // The same values again change no state.
        rows.RowState.fill(AddressRows::Verified);
        rows.ApplyPreset(1);
        for (int k = 0; k < 28; ++k) {
            QCOMPARE(rows.RowState[k], int(AddressRows::Verified));
        }
        rows.ApplyPreset(0); // differs only in "Step" and "Turn"
        QCOMPARE(rows.RowAddress[1], 226);
        QCOMPARE(rows.RowAddress[2], 227);
        for (int k = 0; k < 28; ++k) {
            QCOMPARE(rows.RowState[k] == AddressRows::Changed, k == 1 || k == 2);
        }

        // Ascending from P1's address, alternating or not.
        rows.RowAddress[4] = 100;
        rows.RowGreen[4] = false;
        rows.ApplyPreset(3);
        for (int k = 4; k < 28; ++k) {
            QCOMPARE(rows.RowAddress[k], 100 + k - 4);
            QVERIFY(!rows.RowGreen[k]);
        }
        QCOMPARE(rows.RowAddress[0], 225);
        rows.RowGreen[4] = true;
        rows.ApplyPreset(2);
        for (int k = 4; k < 28; ++k) {
            QCOMPARE(rows.RowAddress[k], 100 + (k - 4) / 2);
            QCOMPARE(rows.RowGreen[k], (k - 4) % 2 == 0);
        }

        // Everything to 0: position numbers are not compared.
        rows.RowState.fill(AddressRows::Verified);
        for (int k = 0; k < 28; ++k) {
            rows.RowAddress[k] = 0;
        }
        rows.RowGreen.fill(true);
        rows.PositionNumber.fill(5);
        rows.ApplyPreset(4);
        QVERIFY(!rows.HasUnwrittenChanges());
        QCOMPARE(rows.PositionNumber[23], 0);
        QVERIFY(rows.RowGreen[4]);

        rows.ApplyPreset(-1); // no item chosen
        QVERIFY(!rows.HasUnwrittenChanges());
    }

    void renumberingWithGaps() {
        Frame t;
        TFrameDefinition &f = t.frame;
        SharedState &s = t.state;
        s.PositionCount = 48;
        for (int p = 1; p <= 48; ++p) {
            s.station.PositionUsed[size_t(p)] = p == 1 || p == 3 || p == 5;
        }
        f.rows().ApplyPreset(0);
        f.rows().RowState.fill(AddressRows::Verified);
        f.ShowAddressRows();
        auto *combo = Find<QComboBox>(&f, "ComboBox_adr");
        auto *go = Find<QPushButton>(&f, "btn_adr_go");
        QVERIFY(!go->isEnabled());
        combo->setCurrentIndex(5);
        QVERIFY(go->isEnabled());
        QTest::mouseClick(go, Qt::LeftButton);

        QCOMPARE(f.rows().PositionNumber[0], 0);
        QCOMPARE(f.rows().PositionNumber[1], 2);
        QCOMPARE(f.rows().PositionNumber[2], 4);
        QCOMPARE(Find<QLabel>(&f, "lbl_adr_4")->text(), QStringLiteral("P:1"));
        QCOMPARE(Find<QLabel>(&f, "lbl_adr_5")->text(), QStringLiteral("P:3"));
        QCOMPARE(Find<QLabel>(&f, "lbl_adr_6")->text(), QStringLiteral("P:5"));
        QCOMPARE(f.rows().RowAddress[5], 229); // addresses of numbered rows stay
        for (int j = 3; j < 24; ++j) {
            QCOMPARE(f.rows().PositionNumber[j], 255);
            QCOMPARE(f.rows().RowAddress[j + 4], 0);
            QVERIFY(
                Find<QLabel>(&f, qPrintable(QStringLiteral("lbl_adr_%1").arg(j + 4)))->isHidden());
        }
        for (int k = 4; k < 28; ++k) {
            QCOMPARE(PanelColour(f, k), Colors::MarkChanged);
        }
        QCOMPARE(f.rows().RowState[0], int(AddressRows::Verified));
        // The next drawing shows the rows again; a row that serves no position keeps its label
        // hidden.
        f.DrawTurntable();
        QVERIFY(!Edit(&f, 20)->isHidden());
        QVERIFY(Find<QLabel>(&f, "lbl_adr_20")->isHidden());
        QVERIFY(!Find<QLabel>(&f, "lbl_adr_6")->isHidden());
    }

    void undoRestoresTheMirror() {
        Frame t;
        TFrameDefinition &f = t.frame;
        AddressRows &rows = f.rows();
        LoadStandard(rows);
        rows.StoreAddressesInImage();
        rows.StorePositionNumbersInImage();
        Edit(&f, 10)->setText(QStringLiteral("999"));
        f.btn_rgClick(11);
        rows.ApplyPreset(4);
        QVERIFY(f.HasUnwrittenChanges());
        QTest::mouseClick(Find<QPushButton>(&f, "btn_undo"), Qt::LeftButton);
        QCOMPARE(rows.RowAddress[10], 232);
        QCOMPARE(rows.RowGreen[11], true);
        QCOMPARE(rows.RowAddress[0], 225);
        QCOMPARE(rows.PositionNumber[23], 23);
        QCOMPARE(Edit(&f, 10)->text(), QStringLiteral("232"));
        QVERIFY(!f.HasUnwrittenChanges()); // the PC's changes are gone
    }

    // -----------------------------------------------------------------------------------------
    // The mirror

    void refreshKeepsChangesNotYetWritten() {
        SharedState s;
        AddressRows rows(s);
        LoadStandard(rows);
        rows.StoreAddressesInImage();
        rows.StorePositionNumbersInImage();
        QVERIFY(rows.EditAddress(6, QStringLiteral("500")) == AddressRows::EditResult::Accepted);
        rows.ApplyPreset(5); // all position rows changed, numbers 0..47 of the used positions
        rows.EditAddress(6, QStringLiteral("500"));
        // A "G" for another tab arrives: the rows follow the mirror, except the changed ones.
        s.pit.Apply(StepCell(0, 0), 0x00);
        QVERIFY(rows.ImageChanged());
        const AddressRows::TickResult r = rows.Tick();
        QVERIFY(r.refreshed);
        QVERIFY(!rows.ImageChanged());
        QCOMPARE(rows.RowAddress[0], 0); // no valid code any more
        QCOMPARE(rows.RowAddress[6], 500);
        QCOMPARE(rows.RowState[6], int(AddressRows::Changed));
        QCOMPARE(rows.PositionNumber[2], 2);
        QVERIFY(rows.HasUnwrittenChanges());
    }

    void readingRowsFromTheMirror() {
        SharedState s;
        AddressRows rows(s);
        // Row 5 holds 2044 green, received; row 6 holds a code, not received.
        for (int i = 0; i < 3; ++i) {
            s.pit.Apply(StepCell(5, i), AddressCodes::Dcc(2044, true)[size_t(i)]);
            s.pit.setValue(StepCell(6, i), AddressCodes::Dcc(17, false)[size_t(i)]);
        }
        s.pit.setValue(StepCell(5, 3), 3);
        s.pit.setValue(StepCell(6, 3), 255); // an erased cell: serves no position
        s.pit.setValue(StepCell(7, 3), 47);
        rows.ReadFromImage();
        QCOMPARE(rows.RowAddress[5], 2044);
        QVERIFY(rows.RowGreen[5]);
        QCOMPARE(rows.RowState[5], int(AddressRows::Verified));
        QCOMPARE(rows.RowState[6], int(AddressRows::NotVerified));
        QVERIFY(!rows.PositionLabelVisible(2));
        QCOMPARE(rows.RowAddress[6], 0);
        QVERIFY(rows.PositionLabelVisible(3));
        QCOMPARE(rows.PositionLabel(3), QStringLiteral("P:48"));
        s.PositionCount = 24;
        rows.ReadFromImage();
        QVERIFY(!rows.PositionLabelVisible(3));
        QVERIFY(rows.PositionLabelVisible(1));
        QCOMPARE(rows.PositionLabel(1), QStringLiteral("P:4"));
        // Cells never written decode as no address, green.
        QCOMPARE(rows.RowAddress[20], 0);
        QVERIFY(rows.RowGreen[20]);
    }

    void configurationLoadMarksWhatItChanged() {
        Frame t;
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
        s.AddressesLoaded = true;
        f.ShowDefinition();
        QVERIFY(!s.AddressesLoaded);
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

    void writeAfterOneRedGreen_data() {
        QTest::addColumn<bool>("motorola");
        QTest::newRow("DCC only") << false;
        QTest::newRow("with Motorola") << true;
    }
    void writeAfterOneRedGreen() {
        QFETCH(bool, motorola);
        SharedState s;
        s.station.UseMotorola = motorola;
        AddressRows rows(s);
        LoadStandard(rows);
        rows.ToggleGreen(13); // P10: 233 green becomes red
        QVERIFY(rows.StartWrite().isEmpty());
        QCOMPARE(rows.ProgressMax, 28 * (motorola ? 7 : 4));
        int maxProgress = 0;
        QList<Message> sent;
        while (rows.WriteMode()) {
            rows.Tick();
            maxProgress = std::max(maxProgress, rows.Progress);
            sent += TakeMessages(s.sendQueue);
        }
        QVERIFY(maxProgress <= rows.ProgressMax);
        const AddressCodes::Code dcc = AddressCodes::Dcc(233, false);
        const AddressCodes::Code mm = AddressCodes::Motorola(233, false);
        QList<Message> expected = {
            {0xE0, StepCell(13, 0), dcc[0]},
            {0xE0, StepCell(13, 1), dcc[1]},
            {0xE0, StepCell(13, 2), dcc[2]},
            {0xE0, StepCell(13, 3), 9},
        };
        if (motorola) {
            expected += QList<Message>{{0xE0, StepCell(13, 4), mm[0]},
                                       {0xE0, StepCell(13, 5), mm[1]},
                                       {0xE0, StepCell(13, 6), mm[2]}};
        }
        QCOMPARE(sent, expected);
        QCOMPARE(rows.RowState[13], int(AddressRows::Sent));
        QCOMPARE(rows.RowState[12], int(AddressRows::Verified));
        QVERIFY(!rows.HasUnwrittenChanges());
    }

    void writeWithNothingChanged() {
        Frame t;
        TFrameDefinition &f = t.frame;
        t.state.Online = true;
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
        t.state.Online = false;
        f.UpdateDefinitionButtons();
        f.Timer5Timer();
        QVERIFY(!f.rows().WriteMode());
        QCOMPARE(f.timer()->interval(), 500);
        QCOMPARE(write->text(), QStringLiteral("Werte schreiben"));
        QCOMPARE(read->text(), QStringLiteral("Werte einlesen"));
        QVERIFY(!write->isEnabled() && !read->isEnabled());
        t.state.Online = true;
        f.UpdateDefinitionButtons();
        QVERIFY(write->isEnabled() && read->isEnabled());
    }

    void readRequestsEveryRowInOrder() {
        Frame t;
        TFrameDefinition &f = t.frame;
        t.state.Online = true;
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

    void abortEndsAtTheNextTick() {
        SharedState s;
        AddressRows rows(s);
        LoadStandard(rows);
        rows.StartRead();
        rows.Tick();
        rows.Tick();
        TakeMessages(s.sendQueue);
        rows.StartRead(); // "Abbruch"
        QCOMPARE(rows.TransferRow(), AddressRows::Stopped);
        rows.Tick();
        QVERIFY(!rows.ReadMode());
        QVERIFY(s.sendQueue.isEmpty());
        QCOMPARE(rows.RowState[1], int(AddressRows::NotVerified)); // never requested

        rows.ToggleGreen(0);
        rows.ToggleGreen(1);
        rows.StartWrite();
        rows.Tick();
        rows.Tick();
        TakeMessages(s.sendQueue);
        rows.StartWrite();
        rows.Tick();
        QVERIFY(!rows.WriteMode());
        QVERIFY(s.sendQueue.isEmpty());
        QCOMPARE(rows.RowState[0], int(AddressRows::Changed)); // half written: sent again later
        QCOMPARE(rows.RowState[1], int(AddressRows::Changed));
        rows.StartWrite();
        QCOMPARE(RunTransfer(rows, s).size(), 14);
    }

    void addressOutOfRange() {
        Frame t;
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
        QCOMPARE(t.dialogs.count("warning"), 2);                       // not once per tick
        const AddressCodes::Code dcc = AddressCodes::Dcc(1000, false); // P5 is red
        const QList<Message> expected = {{0xE0, StepCell(8, 0), dcc[0]},
                                         {0xE0, StepCell(8, 1), dcc[1]},
                                         {0xE0, StepCell(8, 2), dcc[2]},
                                         {0xE0, StepCell(8, 3), 4},
                                         {0xE0, StepCell(9, 3), 5}};
        QCOMPARE(sent, expected);
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

    void editDuringAWriteIsKept() {
        SharedState s;
        s.station.UseMotorola = false;
        AddressRows rows(s);
        LoadStandard(rows);
        rows.ToggleGreen(20); // P17: red becomes green
        rows.StartWrite();
        while (rows.TransferRow() < 20) {
            rows.Tick();
            TakeMessages(s.sendQueue);
        }
        rows.Tick(); // first cell of row 20
        rows.EditAddress(20, QStringLiteral("777"));
        RunTransfer(rows, s);
        QCOMPARE(rows.RowAddress[20], 777);
        QCOMPARE(rows.RowState[20], int(AddressRows::Changed));
        rows.StartWrite();
        const QList<Message> sent = RunTransfer(rows, s);
        QCOMPARE(sent.at(0), (Message{0xE0, StepCell(20, 0), AddressCodes::Dcc(777, true)[0]}));
    }

    // -----------------------------------------------------------------------------------------
    // The frame

    void controlsAndNames() {
        Frame t;
        TFrameDefinition &f = t.frame;
        QCOMPARE(f.objectName(), QStringLiteral("TFrameDefinition"));
        for (const char *name :
             {"pnl_definition", "tt_Image1", "Label1", "btn_write_adr", "btn_read_adr",
              "ProgressBar3", "btn_adr_go", "btn_undo", "cbx_use_mm", "btn_all", "bnt_none",
              "cbx_umschaltlinie", "cbx_umdrehen"}) {
            QVERIFY2(f.findChild<QWidget *>(QLatin1String(name)), name);
        }
        QVERIFY(f.findChild<QTimer *>("Timer5"));
        QCOMPARE(Find<QGroupBox>(&f, "GroupBox_Darstellung")->title(),
                 QStringLiteral("Anpassen der Drehscheiben-Darstellung"));
        QCOMPARE(Find<QGroupBox>(&f, "GroupBox_Adressen")->title(), QStringLiteral("Adressen"));
        QCOMPARE(Find<QPushButton>(&f, "btn_undo")->text(), QStringLiteral("Rüchgängig"));
        QCOMPARE(Find<QSpinBox>(&f, "UpDown_Offset")->toolTip(),
                 QStringLiteral("ermöglicht, dass die Bildschirm-Anzeige der tatsächlichen "
                                "Gleis-Nummerrierung entspricht "));
        auto *combo = Find<QComboBox>(&f, "ComboBox_adr");
        QCOMPARE(combo->count(), 6);
        QCOMPARE(combo->itemText(0), QStringLiteral("Adressen Standard"));
        QCOMPARE(combo->itemText(5), QStringLiteral("Positionen neu nummerieren (für DIP3 = ON)"));
        QCOMPARE(combo->currentIndex(), -1);
        for (int i = 1; i <= 48; ++i) {
            QVERIFY(f.findChild<QPushButton *>(QStringLiteral("PositionButton%1").arg(i)));
        }
        for (int k = 0; k < 28; ++k) {
            for (const char *prefix : {"lbl_adr_", "edt_adr_", "pnl_adr_", "btn_rg_"}) {
                const QString name = QLatin1String(prefix) + QString::number(k);
                QVERIFY2(f.findChild<QWidget *>(name), qPrintable(name));
            }
        }
        QCOMPARE(Find<QLabel>(&f, "lbl_adr_0")->text(), QStringLiteral("Licht"));
        QCOMPARE(Find<QLabel>(&f, "lbl_adr_3")->text(), QStringLiteral("DIR"));
        QCOMPARE(Find<QLabel>(&f, "lbl_adr_27")->toolTip(),
                 QStringLiteral("Adresse für Anfahren dieser Position"));
        // Three columns of rows, 25 pixels apart, 130 apart side by side.
        QCOMPARE(Find<QLabel>(&f, "lbl_adr_0")->pos(), QPoint(10, 30));
        QCOMPARE(Find<QLabel>(&f, "lbl_adr_10")->pos(), QPoint(10, 280));
        QCOMPARE(Find<QLabel>(&f, "lbl_adr_11")->pos(), QPoint(140, 30));
        QCOMPARE(Find<QLabel>(&f, "lbl_adr_22")->pos(), QPoint(270, 30));
        QCOMPARE(Edit(&f, 22)->geometry(), QRect(295, 26, 30, 20));
        QCOMPARE(Find<QPushButton>(&f, "btn_rg_27")->geometry(), QRect(345, 155, 30, 16));
        QCOMPARE(Find<QLabel>(&f, "pnl_adr_27")->geometry(), QRect(327, 153, 10, 16));
    }

    void layout_data() {
        QTest::addColumn<QSize>("panel");
        QTest::addColumn<int>("side");
        QTest::newRow("tall enough") << QSize(900, 500) << 485;
        QTest::newRow("narrow") << QSize(700, 500) << 407;
        QTest::newRow("too small") << QSize(200, 100) << 0;
    }
    void layout() {
        QFETCH(QSize, panel);
        QFETCH(int, side);
        Frame t;
        TFrameDefinition &f = t.frame;
        f.resize(panel);
        f.DrawTurntable();
        auto *picture = Find<TurntablePicture>(&f, "tt_Image1");
        QCOMPARE(picture->size(), QSize(side, side));
        auto *top = Find<QGroupBox>(&f, "GroupBox_Darstellung");
        auto *addresses = Find<QGroupBox>(&f, "GroupBox_Adressen");
        QCOMPARE(top->pos(), QPoint(side + 15, 8));
        QCOMPARE(addresses->x(), side + 15);
        QCOMPARE(addresses->y(), 8 + 105 + 3);
        QCOMPARE(addresses->width(), std::max(0, panel.width() - side - 15 - 10));
        QCOMPARE(addresses->height(), std::max(0, side - 116));
        if (side > 0) {
            auto *write = Find<QPushButton>(&f, "btn_write_adr");
            QCOMPARE(write->y() + write->height() + 6, addresses->height());
            QCOMPARE(Find<QPushButton>(&f, "btn_read_adr")->y(), write->y());
            auto *bar = Find<QProgressBar>(&f, "ProgressBar3");
            QCOMPARE(bar->y() + bar->height() + 6, write->y());
            auto *mm = Find<QCheckBox>(&f, "cbx_use_mm");
            auto *read = Find<QPushButton>(&f, "btn_read_adr");
            QCOMPARE(mm->pos(), QPoint(read->x() + read->width() + 10, write->y() + 3));
        }
    }

    void positionButtons() {
        Frame t;
        TFrameDefinition &f = t.frame;
        SharedState &s = t.state;
        s.PositionCount = 24;
        for (int p = 1; p <= 48; ++p) {
            s.station.PositionUsed[size_t(p)] = p % 2 == 0;
        }
        f.rows().RowAddress[4] = 99;
        f.DrawTurntable();
        auto *b3 = Find<QPushButton>(&f, "PositionButton3");
        auto *b4 = Find<QPushButton>(&f, "PositionButton4");
        QVERIFY(!b3->isHidden() && !b4->isHidden());
        QVERIFY(Find<QPushButton>(&f, "PositionButton25")->isHidden());
        QCOMPARE(b3->toolTip(), QStringLiteral("Gleis aktivieren"));
        QCOMPARE(b4->toolTip(), QStringLiteral("Gleis deaktivieren"));

        s.RedrawRequest = false;
        QTest::mouseClick(b4, Qt::LeftButton);
        QVERIFY(!s.station.PositionUsed[4]);
        QCOMPARE(b4->toolTip(), QStringLiteral("Gleis aktivieren"));
        QVERIFY(s.RedrawRequest);
        QCOMPARE(f.rows().RowAddress[4], 99); // the rows are not touched

        QTest::mouseClick(Find<QPushButton>(&f, "btn_all"), Qt::LeftButton);
        for (int p = 1; p <= 48; ++p) {
            QCOMPARE(s.station.PositionUsed[size_t(p)], p <= 24 || p % 2 == 0);
        }
        QTest::mouseClick(Find<QPushButton>(&f, "bnt_none"), Qt::LeftButton);
        for (int p = 1; p <= 48; ++p) {
            QCOMPARE(s.station.PositionUsed[size_t(p)], p > 24 && p % 2 == 0);
        }
        QVERIFY(Find<QPushButton>(&f, "PositionButton26")->isHidden());
    }

    void pictureShowsThePositionsInUse() {
        Frame t;
        TFrameDefinition &f = t.frame;
        SharedState &s = t.state;
        s.station.ReverseCounting = false;
        s.station.ZeroOffset = 0;
        s.station.PositionUsed[12] = false;
        f.DrawTurntable();
        auto *picture = Find<TurntablePicture>(&f, "tt_Image1");
        const TurntableGeometry g(picture->width(), picture->height(), 48, 0, false);
        auto pixel = [&](int i) {
            return QColor(picture->image().pixel(g.Point(g.PositionAngle(i), g.Radius(37.0f))));
        };
        QCOMPARE(pixel(48), Colors::TrackLine);
        QCOMPARE(pixel(36), Colors::TrackLine);
        QCOMPARE(pixel(12), Colors::PitRing); // not in use: only the ring
        // Position 48 lies at 3 o'clock, its button right of the ring.
        auto *b48 = Find<QPushButton>(&f, "PositionButton48");
        QVERIFY(b48->x() > picture->x() + g.cx() + g.Radius(38.0f));
        QVERIFY(std::abs(b48->y() + 7 - (picture->y() + g.cy())) < 10);
        // Reversed counting mirrors: position 12 goes to the top.
        s.station.ReverseCounting = true;
        f.DrawTurntable();
        QVERIFY(Find<QPushButton>(&f, "PositionButton12")->y() < picture->y() + g.cy());
    }

    void showDefinitionAndStationData() {
        Frame t;
        TFrameDefinition &f = t.frame;
        SharedState &s = t.state;
        s.PositionCount = 48;
        s.station.ZeroOffset = 50; // beyond a whole turn: draws like 2
        s.station.ReverseCounting = false;
        s.station.ShowSwitchLine = false;
        s.station.UseMotorola = false;
        f.ShowDefinition();
        auto *offset = Find<QSpinBox>(&f, "UpDown_Offset");
        QCOMPARE(offset->minimum(), -48);
        QCOMPARE(offset->maximum(), 48);
        QCOMPARE(offset->value(), 2);
        QCOMPARE(s.station.ZeroOffset, 2);
        QVERIFY(!Find<QCheckBox>(&f, "cbx_umdrehen")->isChecked());
        QVERIFY(!Find<QCheckBox>(&f, "cbx_umschaltlinie")->isChecked());
        QVERIFY(!Find<QCheckBox>(&f, "cbx_use_mm")->isChecked());
        QVERIFY(!s.RedrawRequest); // showing is no user change

        offset->setValue(-48);
        QCOMPARE(s.station.ZeroOffset, -48);
        QVERIFY(s.RedrawRequest);
        s.RedrawRequest = false;
        Find<QCheckBox>(&f, "cbx_umdrehen")->click();
        QVERIFY(s.station.ReverseCounting);
        QVERIFY(s.RedrawRequest);
        Find<QCheckBox>(&f, "cbx_umschaltlinie")->click();
        QVERIFY(s.station.ShowSwitchLine);
        Find<QCheckBox>(&f, "cbx_use_mm")->click();
        QVERIFY(s.station.UseMotorola);

        // Shown again from other data: the handlers keep out.
        s.station.ReverseCounting = false;
        s.station.UseMotorola = false;
        s.RedrawRequest = false;
        f.ShowDefinition();
        QVERIFY(!s.station.ReverseCounting && !s.station.UseMotorola && !s.RedrawRequest);
        QVERIFY(!Find<QCheckBox>(&f, "cbx_umdrehen")->isChecked());
    }

    void onlineState() {
        Frame t;
        TFrameDefinition &f = t.frame;
        auto *read = Find<QPushButton>(&f, "btn_read_adr");
        auto *write = Find<QPushButton>(&f, "btn_write_adr");
        QVERIFY(!read->isEnabled() && !write->isEnabled());
        t.state.Online = true;
        f.UpdateDefinitionButtons();
        QVERIFY(read->isEnabled() && write->isEnabled());
        f.btn_read_adrClick();
        t.state.Online = false;
        f.UpdateDefinitionButtons();
        t.state.Online = true;
        f.UpdateDefinitionButtons();
        QVERIFY(read->isEnabled()); // "Abbruch"
        QVERIFY(!write->isEnabled());
        t.state.Online = false;
        f.UpdateDefinitionButtons();
        QVERIFY(!read->isEnabled() && !write->isEnabled());
    }

    // -----------------------------------------------------------------------------------------
    // In the main window

    void settingsShowOnTheTabAtStart() {
        QTemporaryDir dir;
        const QString path = dir.filePath("pivota.ini");
        const AddressCodes::Code c = AddressCodes::Dcc(1234, false);
        QVERIFY(WriteFile(path, QStringLiteral("[Grube]\nOffset=-3\nUse_MM=0\n[EE_GRUBE]\n"
                                               "data_9_grube=%1\ndata_25_grube=%2\n"
                                               "data_41_grube=%3\ndata_57_grube=7\n")
                                    .arg(c[0])
                                    .arg(c[1])
                                    .arg(c[2])
                                    .toUtf8()));
        ScriptedDialogs dialogs;
        TfrmMain w(path, dialogs);
        TFrameDefinition *f = w.frameDefinition();
        QCOMPARE(Edit(f, 5)->text(), QStringLiteral("1234"));
        QCOMPARE(Edit(f, 5)->palette().color(QPalette::Base), Colors::AddressRed);
        QCOMPARE(Find<QLabel>(f, "lbl_adr_5")->text(), QStringLiteral("P:8"));
        QCOMPARE(Find<QSpinBox>(f, "UpDown_Offset")->value(), -3);
        QVERIFY(!Find<QCheckBox>(f, "cbx_use_mm")->isChecked());
        QVERIFY(!f->HasUnwrittenChanges());
    }

    void operationPictureFollows() {
        QTemporaryDir dir;
        ScriptedDialogs dialogs;
        TfrmMain w(dir.filePath("pivota.ini"), dialogs);
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
        SimulatedWindow sw({}, "Interval_Senden=2\nInterval_Receive=2\n");
        TfrmMain &w = sw.w();
        SharedState &s = w.state();
        TFrameDefinition *f = w.frameDefinition();
        QTest::mouseClick(w.findChild<QPushButton *>("btnStart"), Qt::LeftButton);
        QVERIFY(s.Online);

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

QTEST_MAIN(TestDefinition)
#include "tst_definition.moc"
