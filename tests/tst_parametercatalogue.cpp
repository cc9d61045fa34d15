// The parameter catalogue, the tab's marks and texts, and its transfers, all without widgets.

#include "comm/sharedstate.h"
#include "core/parameter/parametercatalogue.h"
#include "core/parameter/parametermodel.h"
#include "core/parameter/parametertransfer.h"
#include "fixtures/testutil.h"

#include <QTest>
#include <utility>
#include <vector>

using namespace Parameter;
using namespace TestUtil;

namespace {

const ParameterRow &RowNamed(const char *name, int *index = nullptr) {
    for (int k = 0; k < RowCount; ++k) {
        if (QString::fromUtf8(Rows()[size_t(k)].name) == QString::fromUtf8(name)) {
            if (index) {
                *index = k;
            }
            return Rows()[size_t(k)];
        }
    }
    qFatal("no row %s", name);
}

int RowIndex(const char *name) {
    int k = -1;
    RowNamed(name, &k);
    return k;
}

// The messages in the queue as (command byte, data 1, data 2).
std::vector<std::array<int, 3>> Messages(SendQueue &q) {
    const std::vector<int> bytes = Drain(q);
    std::vector<std::array<int, 3>> out;
    for (size_t i = 0; i + 2 < bytes.size(); i += 3) {
        out.push_back({bytes[i], bytes[i + 1], bytes[i + 2]});
    }
    return out;
}

// A model on a state whose mirrors hold the catalogue's defaults, shown once.
struct Fixture {
    Fixture() {
        state.transferSettings.fixedPacing = true; // one request per tick, as first built
        for (int cell = 0; cell < 256; ++cell) {
            state.bridge.setValue(cell, state.bridge.defaultValue(cell));
            state.pit.setValue(cell, state.pit.defaultValue(cell));
        }
        model.Show();
    }
    SharedState state;
    ParameterModel model{state};
    ParameterTransfer transfer{model};

    // Runs a transfer to its end, taking each request out of the queue as the line would.
    std::vector<std::array<int, 3>> RunToEnd(std::vector<int> *intervals = nullptr) {
        std::vector<std::array<int, 3>> sent;
        for (int guard = 0; guard < 100; ++guard) {
            const auto step = transfer.Tick();
            if (intervals) {
                intervals->push_back(transfer.interval());
            }
            for (const auto &m : Messages(state.sendQueue)) {
                sent.push_back(m);
            }
            if (step.ended) {
                return sent;
            }
        }
        qFatal("transfer never ended");
    }
};

} // namespace

class TestParameterCatalogue : public QObject {
    Q_OBJECT
private slots:
    // ---- the tables ------------------------------------------------------------------------

    void transferOrderAndBoards() {
        // Bridge cells, then pit 48, 0, 1, bridge 126, 127 and the three option bytes.
        const std::vector<int> expected = {
            1, 2,       17,     18,     19,  20,  21,        22,      23,     25, 26,
            5, 3,       4,      12,     13,  14,  33,        34,      32,     27, 7,
            6, Pit(48), Pit(0), Pit(1), 126, 127, Bridge(8), Pit(49), Pit(50)};
        QCOMPARE(int(expected.size()), EntryCount);
        for (int i = 0; i < EntryCount; ++i) {
            QCOMPARE(EntryCell(i), expected[size_t(i)]);
        }
        QCOMPARE(Groups()[0].defaultValue, 135);
        QCOMPARE(Groups()[1].defaultValue, 0);
        QCOMPARE(Groups()[2].defaultValue, 1);
        QCOMPARE(QString::fromUtf8(Groups()[1].labels[4]), QStringLiteral("RM1 invertieren"));
        QCOMPARE(QString::fromUtf8(Groups()[1].labels[2]), QStringLiteral("RM3 invertieren"));
        // The hidden minor version rows carry no name.
        QCOMPARE(QString::fromUtf8(Rows()[PitMinorRow].name), QString());
        QCOMPARE(QString::fromUtf8(Rows()[BridgeMinorRow].name), QString());
    }

    void rangesThatDiffer() {
        QCOMPARE(RowNamed("Geschwindigkeit Rechts langsam").maximum, 127);
        QCOMPARE(RowNamed("Zeit: Länge Horn bei Start").minimum, 0);
        QCOMPARE(RowNamed("Zeit: Länge Horn bei Stop").minimum, 0);
        QCOMPARE(RowNamed("Alternative Positionsanzahl Grube").minimum, 4);
        QCOMPARE(RowNamed("Alternative Positionsanzahl Grube").maximum, 70);
        QCOMPARE(RowNamed("Alternative Positionsanzahl Grube").cell, Pit(48));
        QCOMPARE(RowNamed("Filter_b").defaultValue, 46);
        int zeroMinimum = 0;
        for (const ParameterRow &r : Rows()) {
            zeroMinimum += r.name[0] && r.minimum == 0 && r.maximum > 0 ? 1 : 0;
        }
        QCOMPARE(zeroMinimum, 2); // only the horn lengths accept 0
    }

    void valueLabels_data() {
        QTest::addColumn<QString>("row");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("label");
        QTest::newRow("time 20 in single precision")
            << "Zeit: Dunkelphase Signal" << 20 << "(1.27 s)";
        QTest::newRow("time 1") << "Zeit: Dunkelphase Signal" << 1 << "(0.06 s)";
        QTest::newRow("time 255") << "Zeit: Erkennung Blockierung Fahrt" << 255 << "(16.26 s)";
        QTest::newRow("V_MESS 170") << "V_MESS" << 170 << "(3.33 V)";
        QTest::newRow("V_COUNT 150") << "V_COUNT" << 150 << "(2.94 V)";
        QTest::newRow("horn 0 shows the unit alone") << "Zeit: Länge Horn bei Start" << 0 << "(s)";
        QTest::newRow("speed shows its limit")
            << "Geschwindigkeit Links schnell" << 100 << "(max.=127)";
        QTest::newRow("no unit, no label") << "Filter_b" << 46 << "";
    }
    void valueLabels() {
        QFETCH(QString, row);
        QFETCH(int, value);
        QFETCH(QString, label);
        QCOMPARE(ValueLabel(RowNamed(row.toUtf8().constData()), value), label);
    }

    void versionTexts() {
        QCOMPARE(VersionText(0, 0x38, false), QStringLiteral("V 0.38"));
        QCOMPARE(VersionText(255, 255, true), QStringLiteral("V 0.1x"));
        QCOMPARE(VersionText(255, 255, false), QStringLiteral("V ff.ff"));
        QCOMPARE(VersionText(2, 5, true), QStringLiteral("V 02.05"));
        QCOMPARE(VersionText(1, 10, false), QStringLiteral("V 01.0a"));
    }

    void typedTexts() {
        QCOMPARE(ParseTyped("").kind, TypedText::Empty);
        QCOMPARE(ParseTyped("  ").kind, TypedText::Empty);
        QCOMPARE(ParseTyped("-").kind, TypedText::Sign);
        QCOMPARE(ParseTyped("abc").kind, TypedText::Invalid);
        QCOMPARE(ParseTyped("12a").kind, TypedText::Invalid);
        QCOMPARE(ParseTyped("1 2").kind, TypedText::Invalid);
        QCOMPARE(ParseTyped(" 12 ").value, 12);
        QCOMPARE(ParseTyped("-5").value, -5);
        // A very long number is a very large value, not a wrong text.
        QCOMPARE(ParseTyped("99999999999999999999").kind, TypedText::Number);
        QVERIFY(ParseTyped("99999999999999999999").value > 255);
        QVERIFY(ParseTyped("-99999999999999999999").value < 0);
    }

    // ---- typing, clicking, showing ---------------------------------------------------------

    void typingClampsAboveAtOnceAndBelowAtTheEnd() {
        Fixture f;
        const int speed = RowIndex("Geschwindigkeit Links schnell");
        auto out = f.model.Typed(speed, "200");
        QCOMPARE(out.result, ParameterModel::EditResult::Stored);
        QVERIFY(out.textReplaced);
        QCOMPARE(f.model.text(speed), QStringLiteral("127"));
        QCOMPARE(f.model.valueLabel(speed), QStringLiteral("(max.=127)"));
        QCOMPARE(f.model.rowMark(speed), Mark::Yellow);
        QCOMPARE(f.state.bridge.value(1), uint8_t(127));

        // A typed 10 in a row with minimum 4 passes through "1" without becoming 40.
        const int count = RowIndex("Alternative Positionsanzahl Grube");
        QCOMPARE(f.model.Typed(count, "1").result, ParameterModel::EditResult::Nothing);
        QCOMPARE(f.model.text(count), QStringLiteral("1"));
        QCOMPARE(f.model.rowMark(count), Mark::White);
        QCOMPARE(f.state.pit.value(48), uint8_t(24));
        QCOMPARE(f.model.Typed(count, "10").result, ParameterModel::EditResult::Stored);
        QCOMPARE(f.state.pit.value(48), uint8_t(10));
        QCOMPARE(f.model.EditingFinished(count).result, ParameterModel::EditResult::Nothing);
        QCOMPARE(f.model.text(count), QStringLiteral("10"));

        // 2 stays 2 while typing and becomes 4 when editing ends.
        f.model.Typed(count, "2");
        QCOMPARE(f.state.pit.value(48), uint8_t(10));
        out = f.model.EditingFinished(count);
        QCOMPARE(out.result, ParameterModel::EditResult::Stored);
        QCOMPARE(f.model.text(count), QStringLiteral("4"));
        QCOMPARE(f.state.pit.value(48), uint8_t(4));

        // -5: the horn length becomes 0 and shows the unit alone; the dark phase becomes 1.
        const int horn = RowIndex("Zeit: Länge Horn bei Start");
        QCOMPARE(f.model.Typed(horn, "-").result, ParameterModel::EditResult::Nothing);
        QCOMPARE(f.model.Typed(horn, "-5").result, ParameterModel::EditResult::Nothing);
        f.model.EditingFinished(horn);
        QCOMPARE(f.model.text(horn), QStringLiteral("0"));
        QCOMPARE(f.model.valueLabel(horn), QStringLiteral("(s)"));
        QCOMPARE(f.state.bridge.value(20), uint8_t(0));
        const int dark = RowIndex("Zeit: Dunkelphase Signal");
        f.model.Typed(dark, "-5");
        f.model.EditingFinished(dark);
        QCOMPARE(f.model.text(dark), QStringLiteral("1"));
        QCOMPARE(f.model.valueLabel(dark), QStringLiteral("(0.06 s)"));

        // Leaving an edit that was not typed in changes nothing, even with a stored value out of
        // range.
        f.state.bridge.setValue(13, 0);
        f.model.Show();
        const int filter = RowIndex("Filter_b");
        QCOMPARE(f.model.EditingFinished(filter).result, ParameterModel::EditResult::Nothing);
        QCOMPARE(f.model.text(filter), QStringLiteral("0"));
        QCOMPARE(f.model.rowMark(filter), Mark::White);
    }

    void wrongTextsWarnAndGoBackToTheLastValidText() {
        Fixture f;
        const int filter = RowIndex("Filter_b");
        auto out = f.model.Typed(filter, "a");
        QCOMPARE(out.result, ParameterModel::EditResult::Warn);
        QVERIFY(out.textReplaced);
        QCOMPARE(f.model.text(filter), QStringLiteral("56"));
        QCOMPARE(f.model.rowMark(filter), Mark::White);
        QCOMPARE(f.state.bridge.value(13), uint8_t(56));
        QCOMPARE(f.model.EditingFinished(filter).result, ParameterModel::EditResult::Nothing);
        // Every wrong keystroke is reported, and the text stays the last valid one.
        QCOMPARE(f.model.Typed(filter, "7").result, ParameterModel::EditResult::Stored);
        QCOMPARE(f.model.Typed(filter, "7x").result, ParameterModel::EditResult::Warn);
        QCOMPARE(f.model.text(filter), QStringLiteral("7"));
        QCOMPARE(f.model.Typed(filter, "7y").result, ParameterModel::EditResult::Warn);
        QCOMPARE(f.state.bridge.value(13), uint8_t(7));
        QCOMPARE(f.model.rowMark(filter), Mark::Yellow);
        // A lone sign is wrong only when editing ends, and then the row shows its value again.
        QCOMPARE(f.model.Typed(filter, "-").result, ParameterModel::EditResult::Nothing);
        out = f.model.EditingFinished(filter);
        QCOMPARE(out.result, ParameterModel::EditResult::Warn);
        QCOMPARE(f.model.text(filter), QStringLiteral("7"));
        QCOMPARE(f.state.bridge.value(13), uint8_t(7));
    }

    void emptyTextIsNotWritten() {
        Fixture f;
        const int filter = RowIndex("Filter_s");
        f.state.bridge.setReceived(12, true);
        f.model.Show();
        QCOMPARE(f.model.rowMark(filter), Mark::Green);
        // Typed over and then emptied: the value from before the edit, nothing to be written.
        f.model.Typed(filter, "9");
        QCOMPARE(f.model.rowMark(filter), Mark::Yellow);
        QCOMPARE(f.state.bridge.value(12), uint8_t(9));
        auto out = f.model.Typed(filter, "");
        QCOMPARE(out.result, ParameterModel::EditResult::Nothing);
        QVERIFY(out.status.contains(QStringLiteral("nicht geschrieben")));
        QCOMPARE(f.model.text(filter), QString());
        QCOMPARE(f.model.rowMark(filter), Mark::Green);
        QVERIFY(!f.model.HasUnwrittenChanges());
        QVERIFY(!f.model.EntryChanged(filter));
        // Left empty: the value from before the edit, shown again, and said so.
        out = f.model.EditingFinished(filter);
        QCOMPARE(f.state.bridge.value(12), uint8_t(65));
        QCOMPARE(f.model.text(filter), QStringLiteral("65"));
        QVERIFY(out.status.contains(QStringLiteral("65")));
        QCOMPARE(f.model.rowMark(filter), Mark::Green);

        // A row changed in an earlier edit: while empty it is not written either, and leaving it
        // brings that change back with its mark.
        f.model.Typed(filter, "30");
        f.model.EditingFinished(filter);
        f.model.Typed(filter, "");
        QVERIFY(!f.model.HasUnwrittenChanges());
        f.model.Typed(filter, "3");
        f.model.Typed(filter, "");
        f.model.EditingFinished(filter);
        QCOMPARE(f.state.bridge.value(12), uint8_t(30));
        QCOMPARE(f.model.text(filter), QStringLiteral("30"));
        QCOMPARE(f.model.rowMark(filter), Mark::Yellow);
        // A refresh while the edit is empty leaves it empty.
        f.model.Typed(filter, "");
        f.model.Show();
        QCOMPARE(f.model.text(filter), QString());
    }

    void clampsSayWhatTheyDid() {
        Fixture f;
        const int dark = RowIndex("Zeit: Dunkelphase Signal");
        QVERIFY(f.model.Typed(dark, "-").status.isEmpty());
        QVERIFY(f.model.Typed(dark, "-5").status.isEmpty());
        const auto low = f.model.EditingFinished(dark);
        QCOMPARE(low.result, ParameterModel::EditResult::Stored);
        QVERIFY(low.status.contains(QStringLiteral("-5 auf das Minimum 1 gesetzt")));
        const int speed = RowIndex("Geschwindigkeit Rechts schnell");
        const auto high = f.model.Typed(speed, "200");
        QVERIFY(high.status.contains(QStringLiteral("200 auf das Maximum 127 gesetzt")));
        // A value in range says nothing.
        QVERIFY(f.model.Typed(speed, "100").status.isEmpty());
        QVERIFY(f.model.EditingFinished(speed).status.isEmpty());
    }

    void optionBitsTouchOnlyTheirBit() {
        Fixture f;
        f.state.pit.setValue(49, 0xA5); // bits that the tab does not show are set
        f.model.Show();
        f.model.Clicked(1, 4, true); // "RM1 invertieren"
        QCOMPARE(f.state.pit.value(49), uint8_t(0xB5));
        QCOMPARE(f.model.bitMark(1, 4), Mark::Yellow);
        QCOMPARE(f.model.bitMark(1, 3), Mark::White);
        f.model.Clicked(1, 2, false); // "RM3 invertieren"
        QCOMPARE(f.state.pit.value(49), uint8_t(0xB1));
        QVERIFY(f.model.ticked(1, 4));
        QVERIFY(!f.model.ticked(1, 2));
        QVERIFY(f.model.ticked(1, 0)); // hidden bit, as in the cell
    }

    void showTakesValuesAndReceivedFlags() {
        Fixture f;
        f.state.pit.setValue(0, 0);
        f.state.pit.setValue(1, 0x38);
        f.state.bridge.setValue(126, 255);
        f.state.bridge.setValue(127, 255);
        f.state.bridge.Apply(13, 50);
        f.state.bridge.Apply(8, 0x87);
        f.model.Show();
        QCOMPARE(f.model.text(PitVersionRow), QStringLiteral("V 0.38"));
        QCOMPARE(f.model.text(BridgeVersionRow), QStringLiteral("V 0.1x"));
        const int filter = RowIndex("Filter_b");
        QCOMPARE(f.model.text(filter), QStringLiteral("50"));
        QCOMPARE(f.model.rowMark(filter), Mark::Green);
        QVERIFY(!f.state.bridge.received(13)); // consumed
        QCOMPARE(f.model.bitMark(0, 0), Mark::Green);
        QCOMPARE(f.model.bitMark(0, 4), Mark::White); // hidden bit
        QVERIFY(!f.state.bridge.received(8));
        // Nothing was marked changed; a refresh never turns a mark back to white.
        QVERIFY(!f.model.HasUnwrittenChanges());
        f.model.Show();
        QCOMPARE(f.model.rowMark(filter), Mark::Green);
        // An answer replaces a typed value and turns it green.
        f.model.Typed(filter, "60");
        QCOMPARE(f.model.rowMark(filter), Mark::Yellow);
        f.state.bridge.Apply(13, 50);
        f.model.Show();
        QCOMPARE(f.model.text(filter), QStringLiteral("50"));
        QCOMPARE(f.model.rowMark(filter), Mark::Green);
    }

    void unrelatedRefreshKeepsAValueBeingTyped() {
        Fixture f;
        const int count = RowIndex("Alternative Positionsanzahl Bühne");
        f.model.Typed(count, "1");
        f.state.bridge.Apply(1, 100); // an answer for another row
        f.model.Show();
        QCOMPARE(f.model.text(count), QStringLiteral("1"));
        f.model.Typed(count, "12");
        QCOMPARE(f.state.bridge.value(6), uint8_t(12));
        // An answer for the row itself wins.
        f.model.Typed(count, "3");
        f.state.bridge.Apply(6, 30);
        f.model.Show();
        QCOMPARE(f.model.text(count), QStringLiteral("30"));
        QCOMPARE(f.model.EditingFinished(count).result, ParameterModel::EditResult::Nothing);
    }

    void loadMarksChangedRowsAndOptionGroups() {
        Fixture f;
        const int current = RowIndex("Strom Links");
        const int filter = RowIndex("Filter_s");
        f.state.bridge.Apply(12, 65);
        f.model.Show();                  // Filter_s green
        f.state.bridge.setValue(33, 99); // "Strom Links" changed by the file
        f.state.pit.setValue(50, 3);     // option group 2 changed
        f.state.bridge.setValue(126, 7); // versions never load-marked
        f.model.Hide();
        f.model.Show(true, true);
        QCOMPARE(f.model.rowMark(current), Mark::Yellow);
        QCOMPARE(f.model.text(current), QStringLiteral("99"));
        QCOMPARE(f.model.rowMark(filter), Mark::Green);
        QCOMPARE(f.model.rowMark(BridgeVersionRow), Mark::White);
        for (int b = 0; b < Bits; ++b) {
            QCOMPARE(f.model.bitMark(2, b), Mark::Yellow);
            QCOMPARE(f.model.bitMark(0, b), Mark::White);
        }
        QVERIFY(f.model.HasUnwrittenChanges());
        // Without the load marker a changed value only shows.
        f.state.bridge.setValue(34, 77);
        f.model.Show();
        QCOMPARE(f.model.rowMark(RowIndex("Strom Rechts")), Mark::White);
    }

    void defaults() {
        Fixture f;
        // A board at the catalogue's defaults: nothing to mark.
        for (int k = 0; k < RowCount; ++k) {
            const ParameterRow &r = Rows()[size_t(k)];
            if (!IsVersionRow(k)) {
                ImageOf(f.state, r.cell).setValue(CellOf(r.cell), r.defaultValue);
            }
        }
        for (const OptionGroup &g : Groups()) {
            ImageOf(f.state, g.cell).setValue(CellOf(g.cell), g.defaultValue);
        }
        f.model.Show();
        QCOMPARE(f.model.ApplyDefaults(), -1);
        QVERIFY(!f.model.HasUnwrittenChanges());

        // "Filter_b" at 50 and "RM2 invertieren" ticked: both go back, the rest stays.
        f.state.bridge.setValue(13, 50);
        f.state.pit.setValue(49, 0x08 | 0x80);
        f.model.Show();
        QCOMPARE(f.model.ApplyDefaults(), -1);
        const int filter = RowIndex("Filter_b");
        QCOMPARE(f.model.text(filter), QStringLiteral("46"));
        QCOMPARE(f.model.rowMark(filter), Mark::Yellow);
        QCOMPARE(f.state.bridge.value(13), uint8_t(46));
        QCOMPARE(f.model.bitMark(1, 3), Mark::Yellow);
        QCOMPARE(f.state.pit.value(49), uint8_t(0x80)); // the hidden bit stays
        QCOMPARE(f.model.rowMark(RowIndex("Filter_s")), Mark::White);

        // A text that is no number (a lone sign; letters are never kept) stops at that row; rows
        // before it are done.
        const int speed = RowIndex("Geschwindigkeit Links schnell");
        const int horn = RowIndex("Zeit: Länge Horn bei Start");
        f.model.Typed(speed, "5");
        f.model.Typed(horn, "-");
        QCOMPARE(f.model.ApplyDefaults(), horn);
        QCOMPARE(f.model.text(speed), QStringLiteral("126"));
        QCOMPARE(f.model.text(horn), QStringLiteral("-"));
    }

    void markAllSparesTheVersions() {
        Fixture f;
        f.state.bridge.Apply(126, 2);
        f.model.Show();
        f.model.MarkAll();
        int yellow = 0;
        for (int k = 0; k < RowCount; ++k) {
            yellow += f.model.rowMark(k) == Mark::Yellow ? 1 : 0;
        }
        QCOMPARE(yellow, 24);
        QCOMPARE(f.model.rowMark(BridgeVersionRow), Mark::Green);
        QCOMPARE(f.model.bitMark(4, 7), Mark::Yellow);
    }

    // ---- transfers -------------------------------------------------------------------------

    void readQueuesAllEntriesInOrder() {
        Fixture f;
        f.transfer.Toggle(PacedTransfer::Mode::Read, f.model.entryCount());
        QCOMPARE(f.transfer.interval(), 300);
        std::vector<std::array<int, 3>> sent;
        for (int i = 0; i < EntryCount; ++i) {
            const auto step = f.transfer.Tick();
            QVERIFY(!step.ended);
            QCOMPARE(step.progress, i + 1);
            if (i < RowCount) {
                QCOMPARE(f.model.rowMark(i), Mark::Blue);
            } else {
                QCOMPARE(f.model.bitMark(i - RowCount, 0), Mark::Blue);
                QCOMPARE(f.model.bitMark(i - RowCount, 7), Mark::Blue);
            }
            const auto m = Messages(f.state.sendQueue);
            QCOMPARE(int(m.size()), 1);
            sent.push_back(m[0]);
        }
        for (int i = 0; i < EntryCount; ++i) {
            const int ref = EntryCell(i);
            const std::array<int, 3> expected = {IsPit(ref) ? 0xF0 : 0x90, CellOf(ref), 0};
            QCOMPARE(sent[size_t(i)], expected);
        }
        QCOMPARE(sent[0], (std::array<int, 3>{0x90, 1, 0}));
        QCOMPARE(sent[23], (std::array<int, 3>{0xF0, 48, 0}));
        QCOMPARE(sent[30], (std::array<int, 3>{0xF0, 50, 0}));
        const auto end = f.transfer.Tick();
        QVERIFY(end.ended);
        QCOMPARE(end.progress, 0);
        QVERIFY(!f.transfer.ReadMode());
        QVERIFY(f.state.sendQueue.isEmpty());
    }

    void writeSendsExactlyTheTypedRows() {
        Fixture f;
        f.model.Typed(RowIndex("Filter_b"), "50");
        f.model.Typed(RowIndex("Alternative Positionsanzahl Grube"), "30");
        f.transfer.Toggle(PacedTransfer::Mode::Write, f.model.entryCount());
        std::vector<int> intervals;
        const auto sent = f.RunToEnd(&intervals);
        const std::vector<std::array<int, 3>> expected = {{0x80, 13, 50}, {0xE0, 48, 30}};
        QCOMPARE(sent, expected);
        QVERIFY(!f.model.HasUnwrittenChanges());
        // Sent, which is neither "loaded from disk" nor confirmed; unsent rows keep their mark.
        QCOMPARE(f.model.rowMark(RowIndex("Filter_b")), Mark::Sent);
        QCOMPARE(f.model.rowMark(RowIndex("Filter_s")), Mark::White);
        // 500 ms after a sent entry, 50 ms after a skipped one.
        QCOMPARE(intervals[size_t(RowIndex("Filter_b"))], 500);
        QCOMPARE(intervals[size_t(RowIndex("Filter_s"))], 50);
        QCOMPARE(intervals[size_t(RowIndex("Alternative Positionsanzahl Grube"))], 500);
    }

    void tickedOptionBitAddsItsWholeByte() {
        Fixture f;
        f.state.bridge.setValue(8, 0x97); // bit 4 is not shown by the tab
        f.model.Show();
        f.model.Clicked(0, 3, true); // "Drehrichtung umdrehen"
        f.transfer.Toggle(PacedTransfer::Mode::Write, f.model.entryCount());
        const auto sent = f.RunToEnd();
        QCOMPARE(int(sent.size()), 1);
        // 0x9F folds into command 0x82 and data 0x1F.
        QCOMPARE(sent[0], (std::array<int, 3>{0x82, 8, 0x1F}));
        for (int b = 0; b < Bits; ++b) {
            QCOMPARE(f.model.bitMark(0, b), Mark::Sent);
        }
    }

    void markAllThenWriteSendsEverything() {
        Fixture f;
        f.model.MarkAll();
        f.transfer.Toggle(PacedTransfer::Mode::Write, f.model.entryCount());
        const auto sent = f.RunToEnd();
        QCOMPARE(int(sent.size()), 24 + 3);
        for (const auto &m : sent) {
            const bool pit = (m[0] & 0xF0) == 0xE0;
            const int cell = m[1];
            QVERIFY(!(pit && (cell == 0 || cell == 1)));
            QVERIFY(!(!pit && (cell == 126 || cell == 127)));
        }
        QCOMPARE(sent[24], (std::array<int, 3>{0x82, 8, 0x07})); // 135 folded
        QCOMPARE(sent[25], (std::array<int, 3>{0xE0, 49, 0}));
        QCOMPARE(sent[26], (std::array<int, 3>{0xE0, 50, 1}));
        QVERIFY(!f.model.HasUnwrittenChanges());
    }

    void writeWithoutChangesSendsNothing() {
        // A speed typed after a fresh start must not carry unverified option bytes along.
        Fixture f;
        f.model.Typed(RowIndex("Geschwindigkeit Rechts schnell"), "100");
        f.transfer.Toggle(PacedTransfer::Mode::Write, f.model.entryCount());
        const auto sent = f.RunToEnd();
        QCOMPARE(int(sent.size()), 1);
        QCOMPARE(sent[0], (std::array<int, 3>{0x80, 2, 100}));
    }

    void secondClickCancelsAndThirdStartsAfresh() {
        Fixture f;
        f.transfer.Toggle(PacedTransfer::Mode::Read, f.model.entryCount());
        for (int i = 0; i < 3; ++i) {
            f.transfer.Tick();
            Drain(f.state.sendQueue);
        }
        f.transfer.Toggle(PacedTransfer::Mode::Read, f.model.entryCount());
        QCOMPARE(f.transfer.engine().state(), PacedTransfer::State::Stopping);
        QVERIFY(f.transfer.Tick().ended);
        QVERIFY(f.state.sendQueue.isEmpty());
        QCOMPARE(f.model.rowMark(3), Mark::White); // never requested
        f.transfer.Toggle(PacedTransfer::Mode::Read, f.model.entryCount());
        QCOMPARE(f.transfer.TransferPosition(), 0);
        f.transfer.Tick();
        QCOMPARE(Messages(f.state.sendQueue).at(0), (std::array<int, 3>{0x90, 1, 0}));

        // A write click during a read ends the read; the next write starts at entry 0.
        f.transfer.Toggle(PacedTransfer::Mode::Write, f.model.entryCount());
        QVERIFY(f.transfer.Tick().ended);
        QVERIFY(!f.transfer.ReadMode() && !f.transfer.WriteMode());
        f.transfer.Toggle(PacedTransfer::Mode::Write, f.model.entryCount());
        QCOMPARE(f.transfer.TransferPosition(), 0);
    }

    void backedUpQueueDelaysTheTransfer() {
        Fixture f;
        f.state.sendQueue.QueueMessage(0xC4, 5, 0); // other traffic
        f.transfer.Toggle(PacedTransfer::Mode::Read, f.model.entryCount());
        auto step = f.transfer.Tick();
        QVERIFY(!step.ended);
        QCOMPARE(step.progress, 0);
        QCOMPARE(f.state.sendQueue.length(), 3);
        QCOMPARE(f.model.rowMark(0), Mark::White);
        f.state.sendQueue.TakeNext();
        QVERIFY(!f.transfer.Tick().ended); // 2 bytes: still waiting
        QCOMPARE(f.state.sendQueue.length(), 2);
        f.state.sendQueue.TakeNext();
        step = f.transfer.Tick(); // 1 byte: the request goes out
        QCOMPARE(step.progress, 1);
        QCOMPARE(f.state.sendQueue.length(), 4);
        QCOMPARE(f.model.rowMark(0), Mark::Blue);
        // The rest completes.
        f.state.sendQueue.TakeNext();
        const auto rest = f.RunToEnd();
        QCOMPARE(int(rest.size()), EntryCount);
        QCOMPARE(rest[0], (std::array<int, 3>{0x90, 1, 0}));
        QCOMPARE(rest[1], (std::array<int, 3>{0x90, 2, 0}));
    }
};

QTEST_GUILESS_MAIN(TestParameterCatalogue)
#include "tst_parametercatalogue.moc"
