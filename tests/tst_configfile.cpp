// A station's configuration file without the window: which cells each part loads, which chosen
// parts a file holds, the port it names, and loading addresses and R-Sense into the mirrors.

#include "comm/sharedstate.h"
#include "core/configuration/configfile.h"
#include "core/settings/inifile.h"

#include <QList>
#include <QStringList>
#include <QTest>

using ConfigFile::Content;

class TestConfigFile : public QObject {
    Q_OBJECT
private slots:
    void cellRanges() {
        int parameters = 0;
        int addresses = 0;
        for (int cell = 0; cell < 256; ++cell) {
            parameters += ConfigFile::IsParameterCell(true, cell) ? 1 : 0;
            parameters += ConfigFile::IsParameterCell(false, cell) ? 1 : 0;
            addresses += ConfigFile::IsAddressCell(cell) ? 1 : 0;
        }
        QCOMPARE(parameters, 4 + 47);
        QCOMPARE(addresses, 3 * 12 + 184);
        for (int cell : {0, 3, 16, 19, 32, 35, 48, 52, 55, 240, 255}) {
            QVERIFY2(!ConfigFile::IsAddressCell(cell), qPrintable(QString::number(cell)));
        }
        QVERIFY(!ConfigFile::IsParameterCell(false, 0));
        QVERIFY(!ConfigFile::IsParameterCell(false, 48));
        QVERIFY(!ConfigFile::IsParameterCell(true, 47));
    }

    void cellTextsAndTheCellsALoadLeaves() {
        IniFile ini;
        QVERIFY(ini.loadBytes("[EE_GRUBE]\ndata_4_grube= 17 \ndata_5_grube=256\n"
                              "data_6_grube=UNBESTÄTIGT\ndata_7_grube=0x10\n"
                              "data_49_grube=-3\n[EE_BUHNE]\ndata_2_buhne=zwei\n"));
        using Kind = ConfigFile::CellEntry::Kind;
        QCOMPARE(ConfigFile::ReadCell(ini, true, 4).kind, Kind::Value);
        QCOMPARE(ConfigFile::ReadCell(ini, true, 4).value, 17);
        QCOMPARE(ConfigFile::ReadCell(ini, true, 5).kind, Kind::Unreadable);
        QCOMPARE(ConfigFile::ReadCell(ini, true, 5).text, QStringLiteral("256"));
        QCOMPARE(ConfigFile::ReadCell(ini, true, 6).kind, Kind::Unconfirmed);
        QCOMPARE(ConfigFile::ReadCell(ini, true, 7).kind, Kind::Unreadable);
        QCOMPARE(ConfigFile::ReadCell(ini, true, 8).kind, Kind::Missing);
        QCOMPARE(ConfigFile::ReadCell(ini, false, 2).kind, Kind::Unreadable);

        const auto parameters = ConfigFile::UnreadableCells(ini, {Content::Parameters});
        QCOMPARE(parameters.size(), 2);
        QCOMPARE(parameters[0].cell, 49);
        QVERIFY(parameters[0].pitBoard);
        QCOMPARE(parameters[1].cell, 2);
        QVERIFY(!parameters[1].pitBoard);
        const auto addresses = ConfigFile::UnreadableCells(ini, {Content::Addresses});
        QCOMPARE(addresses.size(), 2);
        QCOMPARE(addresses[0].cell, 5);
        QCOMPARE(addresses[1].cell, 7);

        SharedState state;
        state.pit.setValue(5, 99);
        state.pit.setReceived(5, true);
        state.pit.setValue(6, (state.pit.defaultValue(6) + 1) & 0xFF);
        ConfigFile::LoadAddresses(ini, state);
        QCOMPARE(int(state.pit.value(4)), 17);
        QCOMPARE(int(state.pit.value(5)), 99); // no value in the file: left as it was
        QVERIFY(state.pit.received(5));
        QCOMPARE(state.pit.value(6), state.pit.defaultValue(6)); // unconfirmed: the default
    }

    void missingPartsByTheSectionsAFileHolds() {
        const QList<Content> all(ConfigFile::Contents.begin(), ConfigFile::Contents.end());
        IniFile ini;
        // Sections in any case; parameters come from either board, addresses from the pit board.
        ini.loadBytes("[settings]\nCOM-Port=7\n[EE_BUHNE]\ndata_3_buhne=1\n");
        QCOMPARE(ConfigFile::MissingContents(ini, all),
                 (QList<Content>{Content::TrackDefinition, Content::Addresses}));
        QCOMPARE(ConfigFile::Captions(ConfigFile::MissingContents(ini, all)),
                 (QStringList{QStringLiteral("Gleis-Definition"), QStringLiteral("Adressen")}));
        // Any of the station's sections is a track definition.
        for (const QByteArray section : {"[use]\n", "[Name]\n", "[Grube]\n"}) {
            ini.loadBytes(section + "x=1\n[EE_GRUBE]\ndata_9_grube=1\n");
            QCOMPARE(ConfigFile::MissingContents(ini, all), QList<Content>{Content::Port});
        }
        // Only what was chosen is asked for.
        ini.loadBytes("Einkaufsliste\nMilch\n[Ports]\nCOM1=x\n");
        QCOMPARE(ConfigFile::MissingContents(ini, all), all);
        QCOMPARE(ConfigFile::MissingContents(ini, {Content::Parameters}),
                 QList<Content>{Content::Parameters});
        QVERIFY(ConfigFile::MissingContents(ini, {}).isEmpty());
    }

    void portOfAFile_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("port");
        QTest::newRow("COM7") << QByteArray("7") << 7;
        QTest::newRow("COM1") << QByteArray("1") << 1;
        QTest::newRow("none") << QByteArray("0") << 0;
        QTest::newRow("beyond COM9") << QByteArray("10") << 0;
        QTest::newRow("negative") << QByteArray("-3") << 0;
    }
    void portOfAFile() {
        QFETCH(QByteArray, value);
        QFETCH(int, port);
        IniFile ini;
        ini.loadBytes("[SETTINGS]\nCOM-Port=" + value + "\n");
        QCOMPARE(ConfigFile::PortOf(ini), port);
    }

    void loadingAddressesTakesOnlyAddressCells() {
        QByteArray text = "[EE_GRUBE]\n";
        for (int cell = 0; cell < 256; ++cell) {
            text += QStringLiteral("data_%1_grube=90\n").arg(cell).toUtf8();
        }
        IniFile ini;
        ini.loadBytes(text + "[EE_BUHNE]\ndata_7_buhne=90\n");
        SharedState s;
        for (int cell = 0; cell < 256; ++cell) {
            s.pit.Apply(cell, 0x11); // values a board confirmed
            s.bridge.Apply(cell, 0x11);
        }
        ConfigFile::LoadAddresses(ini, s);
        for (int cell = 0; cell < 256; ++cell) {
            const bool address = ConfigFile::IsAddressCell(cell);
            QCOMPARE(s.pit.value(cell), uint8_t(address ? 90 : 0x11));
            // A value from a file is no value a board confirmed.
            QCOMPARE(s.pit.received(cell), !address);
            QCOMPARE(s.bridge.value(cell), uint8_t(0x11));
            QVERIFY(s.bridge.received(cell));
        }
    }

    void rSenseOnlyFromAFileThatHoldsAUsableValue() {
        SharedState s;
        s.station.RSense = 2.2f;
        IniFile ini;
        ini.loadBytes("[Grube]\nOffset=1\n");
        ConfigFile::LoadRSense(ini, s);
        QCOMPARE(s.station.RSense, 2.2f);
        for (const QByteArray unusable : {"0", "-1", "abc", "inf"}) {
            ini.loadBytes("[Buehne]\nR-Sense=" + unusable + "\n");
            ConfigFile::LoadRSense(ini, s);
            QCOMPARE(s.station.RSense, 2.2f);
        }
        ini.loadBytes("[Buehne]\nR-Sense=0,47\n");
        ConfigFile::LoadRSense(ini, s);
        QCOMPARE(s.station.RSense, 0.47f);
    }
};

QTEST_GUILESS_MAIN(TestConfigFile)
#include "tst_configfile.moc"
