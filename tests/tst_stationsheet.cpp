// The station sheet's content from a backup and a configuration file: every position in use with
// its name, the address rows as the definition tab names them, the parameters that differ from
// their default marked, and the cells the file holds no value for named.

#include "comm/addresscodes.h"
#include "comm/sharedstate.h"
#include "core/backup/backupfile.h"
#include "core/parameter/parametercatalogue.h"
#include "core/settings/settingsfile.h"
#include "core/sheet/stationsheet.h"

#include <QTemporaryDir>
#include <QTest>

using Backup::Cell;

namespace {
size_t at(int i) {
    return static_cast<size_t>(i);
}

Cell &At(Backup::Image &image, int ref) {
    return image.of(Parameter::IsPit(ref) ? Board::Grube
                                          : Board::Buehne)[at(Parameter::CellOf(ref))];
}

// Every parameter at its default, every position row serving no position.
Backup::Image DefaultImage() {
    Backup::Image image;
    for (int cell = 0; cell < Backup::Cells; ++cell) {
        image.pit[at(cell)] = Cell::Of(0);
        image.bridge[at(cell)] = Cell::Of(0);
    }
    for (const Parameter::ParameterRow &row : Parameter::Rows()) {
        At(image, row.cell) = Cell::Of(row.defaultValue);
    }
    for (const Parameter::OptionGroup &group : Parameter::Groups()) {
        At(image, group.cell) = Cell::Of(group.defaultValue);
    }
    for (int row = AddressCodes::FirstPositionRow; row < AddressCodes::Rows; ++row) {
        image.pit[at(AddressCodes::StepCell(row, 3))] = Cell::Of(255);
    }
    return image;
}

void SetRow(Backup::Image &image, int row, int address, bool green, int position) {
    const AddressCodes::Code dcc = AddressCodes::Dcc(address, green);
    for (int i = 0; i < 3; ++i) {
        image.pit[at(AddressCodes::StepCell(row, i))] = Cell::Of(dcc[at(i)]);
    }
    image.pit[at(AddressCodes::StepCell(row, 3))] = Cell::Of(position - 1);
}

QString LongName(int i) {
    return QStringLiteral("Gleis %1 Lokschuppen Nord am Wasserturm").arg(i);
}
} // namespace

class TestStationSheet : public QObject {
    Q_OBJECT
private slots:
    void backupWithFortyEightNamedPositions() {
        Backup::Image image = DefaultImage();
        // Row 1 drives to position 3; the first speed is changed.
        SetRow(image, AddressCodes::FirstPositionRow, 230, true, 3);
        const Parameter::ParameterRow &speed = Parameter::Rows()[0];
        const int changed = speed.defaultValue == speed.minimum ? speed.maximum : speed.minimum;
        At(image, speed.cell) = Cell::Of(changed);
        SharedState state;
        for (int i = 1; i <= StationData::MaxPositions; ++i) {
            state.station.PositionUsed[at(i)] = true;
            state.station.PositionName[at(i)] = LongName(i);
        }
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Bahnhof Süd.pvt"));
        QString error;
        QVERIFY(Backup::SaveBackup(path, ProgramSettings(), state, image,
                                   {QDateTime::currentDateTime(), QStringLiteral("1.0")}, &error));

        StationSheet::Content c;
        QVERIFY2(StationSheet::FromFile(path, QString(), QDateTime::currentDateTime(),
                                        QStringLiteral("2.0"), &c, &error),
                 qPrintable(error));
        QCOMPARE(c.title, QStringLiteral("Bahnhof Süd"));
        QCOMPARE(int(c.positions.size()), StationData::MaxPositions);
        QCOMPARE(c.positions.back().name, LongName(48));
        QVERIFY2(c.source.contains(QStringLiteral("Prüfsumme stimmt")), qPrintable(c.source));
        QVERIFY(c.doubtful.isEmpty());
        QVERIFY(!c.pitFirmware.isEmpty() && !c.bridgeFirmware.isEmpty());

        // The four function rows, then the one row that serves a position.
        QCOMPARE(int(c.addresses.size()), AddressCodes::FirstPositionRow + 1);
        QCOMPARE(c.addresses[0].name, QStringLiteral("Licht"));
        const StationSheet::AddressLine &p3 = c.addresses.back();
        QCOMPARE(p3.name, QStringLiteral("P:3"));
        QCOMPARE(p3.address, QStringLiteral("230"));
        QCOMPARE(p3.output, QStringLiteral("grün"));
        QCOMPARE(p3.positions, QStringLiteral("3"));

        // Exactly the changed row is marked.
        int marked = 0;
        for (const StationSheet::ParameterLine &line : c.parameters) {
            QVERIFY(!line.defaultValue.isEmpty());
            if (line.differs) {
                ++marked;
                QVERIFY(line.value.startsWith(QString::number(changed)));
            }
        }
        QCOMPARE(marked, 1);
    }

    void unconfirmedAndUnreadableCellsAreNamed() {
        Backup::Image image = DefaultImage();
        const Parameter::ParameterRow &row = Parameter::Rows()[0];
        At(image, row.cell) = Cell{Cell::State::Unconfirmed, 0};
        image.pit[200] = Cell{Cell::State::Unreadable, 0};
        SharedState state;
        const StationSheet::Content c = StationSheet::Build(
            image, state.station, 12, {QStringLiteral("/x/a.pvt"), false, {}},
            QStringLiteral("Titel"), QDateTime::currentDateTime(), QStringLiteral("2.0"));
        QCOMPARE(c.doubtful.size(), 2);
        QVERIFY2(c.doubtful.join(u'\n').contains(QStringLiteral("unbestätigt")),
                 qPrintable(c.doubtful.join(u'\n')));
        QVERIFY(c.doubtful.join(u'\n').contains(QStringLiteral("200")));
        QCOMPARE(c.parameters.front().value, QStringLiteral("unbestätigt"));
        QVERIFY(!c.parameters.front().differs);
        QVERIFY(c.source.contains(QStringLiteral("ohne Prüfsumme")));
        QCOMPARE(StationSheet::SourceText({}), QStringLiteral("von der Steuerung gelesen"));
    }
};

QTEST_GUILESS_MAIN(TestStationSheet)
#include "tst_stationsheet.moc"
