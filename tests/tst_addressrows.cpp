// The address rows of the definition tab as plain rules on the transmit queue: presets, the rows
// following the pit board's mirror, and paced reads and writes.

#include "comm/sharedstate.h"
#include "core/definition/addressrows.h"
#include "fixtures/addresstransfer.h"
#include "fixtures/testutil.h"

#include <QTest>

using namespace TestUtil;
using AddressCodes::StepCell;

class TestAddressRows : public QObject {
    Q_OBJECT
private slots:
    // -----------------------------------------------------------------------------------------
    // Presets

    void presets() {
        // The combo box's items, in their order.
        const QStringList texts = {
            QStringLiteral("Adressen Standard"),
            QStringLiteral("Adressen Märklin"),
            QStringLiteral("Adressen Positionen: von P1 aufsteigend R/G "),
            QStringLiteral("Adressen Positionen: von P1 aufsteigend ohne Wechsel"),
            QStringLiteral("setze alles auf 0"),
            QStringLiteral("Positionen neu nummerieren (für DIP3 = ON)")};
        for (int i = 0; i < AddressRows::PresetCount; ++i) {
            QCOMPARE(AddressRows::PresetText(i), texts.at(i));
        }
        QVERIFY(AddressRows::PresetText(AddressRows::PresetCount).isEmpty());

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

    // Before the first read the mirror's position cells hold nothing known: no row claims a
    // position. A board's answer, a preset or a mirror that holds numbers makes them known.
    void positionsShowOnlyOnceKnown() {
        SharedState s;
        AddressRows rows(s);
        rows.ReadFromImage();
        for (int j = 0; j < 24; ++j) {
            QVERIFY(!rows.PositionKnown(j));
            QCOMPARE(rows.PositionLabel(j), QStringLiteral("P:?"));
        }
        s.pit.Apply(StepCell(4 + 2, 3), 0); // the board says: position 1
        rows.ReadFromImage();
        QCOMPARE(rows.PositionLabel(2), QStringLiteral("P:1"));
        QCOMPARE(rows.PositionLabel(3), QStringLiteral("P:?"));
        // A mirror with numbers in it (a settings file from an earlier read).
        SharedState stored;
        for (int j = 0; j < 24; ++j) {
            stored.pit.setValue(StepCell(4 + j, 3), 0); // as a settings file without them gives
        }
        stored.pit.setValue(StepCell(4 + 5, 3), 5);
        AddressRows fromFile(stored);
        fromFile.ReadFromImage();
        QCOMPARE(fromFile.PositionLabel(0), QStringLiteral("P:1"));
        QCOMPARE(fromFile.PositionLabel(5), QStringLiteral("P:6"));
        // A preset sets them on the PC.
        rows.ApplyPreset(0);
        QCOMPARE(rows.PositionLabel(23), QStringLiteral("P:24"));
    }

    void addressesOutOfRangeNameRowAndLimit() {
        SharedState s;
        AddressRows rows(s);
        QCOMPARE(int(rows.EditAddress(0, QStringLiteral("320"))),
                 int(AddressRows::EditResult::Accepted));
        QVERIFY(rows.RangeProblem(0).isEmpty());
        rows.EditAddress(0, QStringLiteral("321"));
        QCOMPARE(rows.RangeProblem(0),
                 QStringLiteral("Licht: Adresse 321 liegt außerhalb von 0 bis 320 (Motorola bis "
                                "320, DCC bis 2044)"));
        // Without Motorola the DCC range counts.
        s.station.UseMotorola = false;
        QVERIFY(rows.RangeProblem(0).isEmpty());
        rows.EditAddress(5, QStringLiteral("2045"));
        QVERIFY(rows.RangeProblem(5).contains(QStringLiteral("0 bis 2044")));
        rows.ApplyPreset(0);
        QVERIFY(rows.RangeProblem(5).isEmpty());
        rows.EditAddress(5, QStringLiteral("9999"));
        QVERIFY(rows.RangeProblem(5).startsWith(QStringLiteral("P:2: Adresse 9999")));
        rows.EditAddress(1, QStringLiteral("-5"));
        QVERIFY(rows.RangeProblem(1).startsWith(QStringLiteral("Step: Adresse -5")));
        // A preset counting up from a large address stops at what an edit can show.
        rows.EditAddress(4, QStringLiteral("9990"));
        rows.ApplyPreset(3);
        QCOMPARE(rows.RowAddress[13], 9999);
        QCOMPARE(rows.RowAddress[27], 9999);
        QVERIFY(!rows.RangeProblem(27).isEmpty());
    }

    // What is no address at all leaves the row as it was; a sign alone or an empty edit is on
    // its way to one.
    void lettersChangeNothing() {
        SharedState s;
        AddressRows rows(s);
        LoadStandard(rows);
        for (const char *text : {"22x", "x", "2 2", "0x10", "1e3"}) {
            QCOMPARE(int(rows.EditAddress(0, QString::fromLatin1(text))),
                     int(AddressRows::EditResult::Invalid));
            QCOMPARE(rows.RowAddress[0], 225);
            QCOMPARE(rows.RowState[0], int(AddressRows::Verified));
        }
        QVERIFY(!rows.HasUnwrittenChanges());
        for (const char *text : {"-", "+", ""}) {
            QCOMPARE(int(rows.EditAddress(1, QString::fromLatin1(text))),
                     int(AddressRows::EditResult::Empty));
            QCOMPARE(rows.RowAddress[1], 226);
            QCOMPARE(rows.RowState[1], int(AddressRows::Changed));
        }
        QCOMPARE(int(rows.EditAddress(1, QStringLiteral("-5"))),
                 int(AddressRows::EditResult::Accepted));
        QCOMPARE(rows.RowAddress[1], -5);
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
        s.transferSettings.fixedPacing = true; // one request per tick, as first built
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

    // A row whose address the format in use cannot hold is not written in that format: it stays
    // changed, and the write's report names it with the reason, the first few on the status line
    // and every one in the details. The other format's cells are written as before.
    void refusedRowsAreNamedInTheReport() {
        SharedState s;
        s.transferSettings.fixedPacing = true; // one request per tick, as first built
        s.station.UseMotorola = true;
        AddressRows rows(s);
        LoadStandard(rows);
        rows.StoreAddressesInImage();
        const uint8_t motorolaBefore = s.pit.value(StepCell(14, 4));
        QVERIFY(rows.EditAddress(14, QStringLiteral("999")) == AddressRows::EditResult::Accepted);
        QCOMPARE(rows.RowName(14), QStringLiteral("P:11"));
        const QList<AddressRows::Problem> problems = rows.StartWrite();
        QCOMPARE(problems.size(), 1);
        QCOMPARE(problems.at(0).row, 14);
        // Nothing of the refused row goes out: the board keeps its old DCC address as well.
        const QList<Message> sent = RunTransfer(rows, s);
        QCOMPARE(sent.size(), 0);
        QCOMPARE(rows.RowState[14], int(AddressRows::Changed));
        QVERIFY(rows.HasUnwrittenChanges());
        QCOMPARE(s.pit.value(StepCell(14, 4)), motorolaBefore);
        QCOMPARE(s.pit.value(StepCell(14, 0)), AddressCodes::Dcc(999, false)[0]);
        const std::optional<PacedTransfer::Report> report = rows.transfer().TakeReport();
        QVERIFY(report);
        const QString named = QStringLiteral("P:11 nicht geschrieben: Adresse 999 liegt außerhalb "
                                             "von 0 bis 320 (Motorola bis 320, DCC bis 2044)");
        QVERIFY2(report->line.endsWith(QStringLiteral("; ") + named), qPrintable(report->line));
        QCOMPARE(report->details, named);

        // Many refused rows: three on the line, every one in the details.
        for (int row = 4; row < 28; ++row) {
            rows.EditAddress(row, QStringLiteral("400"));
        }
        rows.StartWrite();
        RunTransfer(rows, s);
        const std::optional<PacedTransfer::Report> many = rows.transfer().TakeReport();
        QVERIFY(many);
        QCOMPARE(many->line.count(QStringLiteral("nicht geschrieben:")), 3);
        QVERIFY(many->line.endsWith(QStringLiteral("; …")));
        QCOMPARE(many->details.count(QStringLiteral("nicht geschrieben:")), 24);
        QVERIFY(many->details.contains(QStringLiteral("P:24 nicht geschrieben: Adresse 400")));

        // Without Motorola the same addresses are all written, and nothing is named.
        s.station.UseMotorola = false;
        rows.StartWrite();
        RunTransfer(rows, s);
        QVERIFY(!rows.HasUnwrittenChanges());
        const std::optional<PacedTransfer::Report> none = rows.transfer().TakeReport();
        QVERIFY(none);
        QVERIFY2(!none->line.contains(QStringLiteral("nicht geschrieben:")),
                 qPrintable(none->line));
        QVERIFY(none->details.isEmpty());
    }

    void abortEndsAtTheNextTick() {
        SharedState s;
        s.transferSettings.fixedPacing = true; // one request per tick, as first built
        AddressRows rows(s);
        LoadStandard(rows);
        rows.StartRead();
        rows.Tick();
        rows.Tick();
        TakeMessages(s.sendQueue);
        rows.StartRead(); // "Abbruch"
        QCOMPARE(rows.transfer().state(), PacedTransfer::State::Stopping);
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

    void editDuringAWriteIsKept() {
        SharedState s;
        s.transferSettings.fixedPacing = true; // one request per tick, as first built
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
};

QTEST_GUILESS_MAIN(TestAddressRows)
#include "tst_addressrows.moc"
