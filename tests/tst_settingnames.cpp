// The names, values and cells behind get, set and diff, without a line: keys made from the
// catalogue's texts, values in the row's own terms and their ranges, the cells a write touches,
// and an address row found by the position it drives to.

#include "comm/addresscodes.h"
#include "comm/stationstate.h"
#include "core/parameter/parametercatalogue.h"
#include "core/scripting/filediff.h"

#include <QTest>

using namespace Scripting;

namespace {
Setting Named(const char *name) {
    QString error;
    const std::optional<Setting> s = Find(QString::fromUtf8(name), &error);
    return s.value_or(Setting{});
}
} // namespace

class TestSettingNames : public QObject {
    Q_OBJECT
private slots:
    void keysAndNames() {
        QCOMPARE(KeyOf(QStringLiteral("Zeit: Länge Horn bei Start")),
                 QStringLiteral("zeit-laenge-horn-bei-start"));
        QCOMPARE(KeyOf(QStringLiteral("SW-Version BÜHNE")), QStringLiteral("sw-version-buehne"));
        QCOMPARE(KeyOf(QStringLiteral("Blinklicht 1er-Blinken (sonst: 2er)")),
                 QStringLiteral("blinklicht-1er-blinken-sonst-2er"));
        // Every fixed name is found again as itself, in any case.
        for (const Setting &s : Scripting::Named()) {
            QString error;
            const auto found = Find(s.name.toUpper(), &error);
            QVERIFY2(found && *found == s, qPrintable(s.name + u' ' + error));
        }
        QCOMPARE(Named("bühne:0x07").name, QStringLiteral("buehne:7"));
        QCOMPARE(Named("p:3").position, 3);
        QCOMPARE(Named("zeile:1").index, AddressCodes::FirstPositionRow);
        QString error;
        for (const char *wrong : {"grube:256", "P:0", "P:49", "zeile:25", "geschwindigkeit"}) {
            QVERIFY2(!Find(QString::fromLatin1(wrong), &error), wrong);
            QVERIFY(!error.isEmpty());
        }
    }

    void valuesInTheRowsTerms() {
        const Setting horn = Named("zeit-laenge-horn-bei-start");
        QString error;
        // 63.75 ms steps: 1.27 s is step 20, as the tab shows it.
        for (const char *typed : {"20", "1.27s", "1,27 s", "1.275S"}) {
            const auto v = ParseValue(horn, QString::fromLatin1(typed), &error);
            QVERIFY2(v && v->number == 20, typed);
        }
        for (const char *typed : {"256", "-1", "16.3s", "1.27V", "1.27", "zwanzig"}) {
            QVERIFY2(!ParseValue(horn, QString::fromLatin1(typed), &error), typed);
        }
        const Setting speed = Named("geschwindigkeit-links-schnell");
        QVERIFY(ParseValue(speed, QStringLiteral("127"), &error));
        QVERIFY(!ParseValue(speed, QStringLiteral("128"), &error));
        QVERIFY(error.contains(QStringLiteral("1 bis 127")));
        QVERIFY(!ParseValue(speed, QStringLiteral("1s"), &error)); // no unit to compute with
        QVERIFY(!ParseValue(Named("sw-version-grube"), QStringLiteral("1"), &error));
        QVERIFY(!ParseValue(Named("grube:0"), QStringLiteral("1"), &error)); // firmware cell
        const auto address = ParseValue(Named("P:3"), QStringLiteral("mm:12/rot"), &error);
        QVERIFY(address && address->address == 12 && !address->green && address->motorola);
        QVERIFY(!ParseValue(Named("P:3"), QStringLiteral("dcc:12"), &error)); // no colour
        QVERIFY(!ParseValue(Named("P:3"), QStringLiteral("mm:321/rot"), &error));
    }

    // A bit keeps the other bits of its byte and needs the byte known; only what differs is
    // planned, everything with force.
    void writesPlanned() {
        const Setting sound = Named("sound-verwenden");
        const int ref = Parameter::Groups()[0].cell;
        Backup::Image board;
        const Value yes{0, true, {}, 0, true, false};
        QVERIFY(!PlanWrite(sound, yes, board, false).problem.isEmpty());
        board.bridge[size_t(Parameter::CellOf(ref))] = Backup::Cell::Of(0x81);
        Plan plan = PlanWrite(sound, yes, board, false);
        QCOMPARE(plan.writes.size(), size_t(1));
        QCOMPARE(plan.writes[0].value, 0x83);
        board.bridge[size_t(Parameter::CellOf(ref))] = Backup::Cell::Of(0x83);
        QVERIFY(PlanWrite(sound, yes, board, false).writes.empty());
        QCOMPARE(PlanWrite(sound, yes, board, true).writes.size(), size_t(1));
    }

    // P:3 is the row whose position cell holds 2; diff names it so when both files agree.
    void rowsByPositionAndDiff() {
        const int row = AddressCodes::FirstPositionRow + 5;
        Backup::Image a;
        for (int r = AddressCodes::FirstPositionRow; r < AddressCodes::Rows; ++r) {
            a.pit[size_t(AddressCodes::StepCell(r, 3))] = Backup::Cell::Of(r == row ? 2 : 40);
        }
        const AddressCodes::Code code = *AddressCodes::EncodeDcc(230, true).code;
        for (int i = 0; i < 3; ++i) {
            a.pit[size_t(AddressCodes::StepCell(row, i))] = Backup::Cell::Of(code[size_t(i)]);
            a.pit[size_t(AddressCodes::StepCell(row, 4 + i))] = Backup::Cell::Of(0);
        }
        const Reading r = Read(Named("P:3"), a, StationData());
        QCOMPARE(r.row, row);
        QVERIFY(r.value && r.value->address == 230 && r.value->green && !r.value->motorola);
        QVERIFY(!Read(Named("P:4"), a, StationData()).value);

        Backup::Image b = a;
        b.pit[size_t(AddressCodes::StepCell(row, 0))] = Backup::Cell::Of(0);
        b.bridge[200] = Backup::Cell::Of(1);
        const std::vector<FileDifference> d = DiffFiles(a, b);
        QCOMPARE(d.size(), size_t(2));
        QCOMPARE(d[0].setting.name, QStringLiteral("P:3"));
        QCOMPARE(d[1].setting.name, QStringLiteral("buehne:200"));
        QVERIFY(DiffFiles(a, a).empty());
    }
};

QTEST_GUILESS_MAIN(TestSettingNames)
#include "tst_settingnames.moc"
