#include "comm/portmap.h"
#include "comm/sharedstate.h"
#include "core/settings/inifile.h"
#include "core/settings/settingsfile.h"
#include "core/settings/settingsstore.h"
#include "fixtures/settingsfolder.h"
#include "fixtures/testutil.h"
#include "platform/filesafety.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace TestUtil;

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void emptyFileGivesDefaults() {
        IniFile ini;
        ini.loadBytes(QByteArray());
        ProgramSettings s;
        SharedState state;
        ReadProgramSettings(ini, s, state);
        QCOMPARE(s.comPort, 5);
        QCOMPARE(s.baud, 9600);
        QCOMPARE(s.readSize, 8);
        QCOMPARE(s.intervalReceive, 20);
        QCOMPARE(s.intervalSenden, 20);
        QCOMPARE(s.userLevel, QStringLiteral("Anwender"));
        QCOMPARE(s.checkedLevel, QStringLiteral("Justage")); // the form's button stays
        QCOMPARE(QRect(s.left, s.top, s.width, s.height), QRect(10, 10, 1000, 670));
        QCOMPARE(state.ActualPosition, 0);
        QCOMPARE(state.TargetPosition, 0);
        QCOMPARE(state.PositionCount, 48);
        for (int i = 1; i <= 48; ++i) {
            QVERIFY(state.station.PositionUsed[i]);
            QCOMPARE(state.station.PositionName[i], QString::number(i));
        }
        for (int cell = 0; cell < 256; ++cell) {
            QCOMPARE(state.pit.value(cell), state.pit.defaultValue(cell));
            QCOMPARE(state.bridge.value(cell), state.bridge.defaultValue(cell));
        }
        QCOMPARE(state.bridge.value(3), uint8_t(170));
        QCOMPARE(state.pit.value(48), uint8_t(24));
        QCOMPARE(state.pit.value(255), uint8_t(0));
        QCOMPARE(state.station.ZeroOffset, 0);
        QVERIFY(state.station.ReverseCounting);
        QVERIFY(state.station.ShowSwitchLine);
        QVERIFY(state.station.UseMotorola);
        QCOMPARE(state.station.RSense, 15.0f);
        QVERIFY(!state.ShowExternalTarget); // its box is hidden at most levels: off by default
        QVERIFY(s.autoReconnect);

        // Booleans are written as 0 and 1.
        state.station.ReverseCounting = false;
        state.ShowExternalTarget = true;
        WriteProgramSettings(ini, s, state);
        const QString text = QString::fromUtf8(ini.toBytes());
        QVERIFY(text.contains(QStringLiteral("\nreverse=0\n")));
        QVERIFY(text.contains(QStringLiteral("\nShow_Switchline=1\n")));
        QVERIFY(text.contains(QStringLiteral("\nUse_MM=1\n")));
        QVERIFY(text.contains(QStringLiteral("\nextern=1\n")));
        QVERIFY(text.contains(QStringLiteral("\nAuto_Verbinden=1\n")));
        QVERIFY(text.contains(QStringLiteral("\nOffset=0\n")));
        QVERIFY(text.contains(QStringLiteral("\nR-Sense=15\n")));
    }

    void saveFailureReasonsSayWhatToDo() {
        // A full disk says so, whatever the system's text.
        QVERIFY(FileSafety::SaveFailureReason("/x/pivota.ini", "Unknown error", 9000, 100)
                    .contains("Platz"));
        // A text that tells nothing is replaced; a real one is kept.
        const QString unknown =
            FileSafety::SaveFailureReason("/x/pivota.ini", "Unknown error", 9000, -1);
        QVERIFY(!unknown.contains("Unknown error"));
        // The path as the system writes it ("\\x\\pivota.ini" on Windows).
        const QString shown = QDir::toNativeSeparators(QStringLiteral("/x/pivota.ini"));
        QVERIFY(unknown.startsWith(shown));
        QCOMPARE(FileSafety::SaveFailureReason("/x/pivota.ini", "Permission denied", 9000, 1 << 30),
                 shown + QStringLiteral(": Permission denied"));
    }

    void limitsAndOddValues_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("what");
        QTest::addColumn<int>("expected");
        QTest::newRow("no positions")
            << QByteArray("[Buehne]\nAnzahl_Positionen=0\n") << "count" << 10;
        QTest::newRow("too many positions")
            << QByteArray("[Buehne]\nAnzahl_Positionen=60\n") << "count" << 48;
        QTest::newRow("actual above 48")
            << QByteArray("[Buehne]\nBuehne_IstPosition=49\n") << "actual" << 0;
        QTest::newRow("actual 47 stays")
            << QByteArray("[Buehne]\nBuehne_IstPosition=47\n") << "actual" << 47;
        QTest::newRow("actual 48 is no position of 48")
            << QByteArray("[Buehne]\nBuehne_IstPosition=48\n") << "actual" << 0;
        QTest::newRow("target beyond the count")
            << QByteArray("[Buehne]\nBuehne_SollPosition=30\nAnzahl_Positionen=24\n") << "target"
            << 0;
        QTest::newRow("target within the count")
            << QByteArray("[Buehne]\nBuehne_SollPosition=23\nAnzahl_Positionen=24\n") << "target"
            << 23;
        QTest::newRow("negative target")
            << QByteArray("[Buehne]\nBuehne_SollPosition=-3\n") << "target" << 0;
        QTest::newRow("receive interval 0")
            << QByteArray("[SETTINGS]\nInterval_Receive=0\n") << "receive" << 20;
        QTest::newRow("send interval negative")
            << QByteArray("[SETTINGS]\nInterval_Senden=-7\n") << "send" << 20;
        QTest::newRow("send interval 50")
            << QByteArray("[SETTINGS]\nInterval_Senden=50\n") << "send" << 50;
        QTest::newRow("read size 0") << QByteArray("[SETTINGS]\nBuffersize=0\n") << "read" << 8;
        QTest::newRow("read size huge")
            << QByteArray("[SETTINGS]\nBuffersize=99999\n") << "read" << 4000;
        QTest::newRow("read size not a number")
            << QByteArray("[SETTINGS]\nBuffersize=viel\n") << "read" << 8;
        QTest::newRow("port out of set") << QByteArray("[SETTINGS]\nCOM-Port=12\n") << "port" << 0;
        QTest::newRow("baud out of set")
            << QByteArray("[SETTINGS]\nBaud=4800\n") << "baud" << 19200;
        QTest::newRow("baud 2400") << QByteArray("[SETTINGS]\nBaud=2400\n") << "baud" << 2400;
        QTest::newRow("cell above a byte gives default")
            << QByteArray("[EE_GRUBE]\ndata_7_grube=300\n") << "pit7" << 0;
        QTest::newRow("negative cell gives default")
            << QByteArray("[EE_BUHNE]\ndata_3_buhne=-1\n") << "bridge3" << 170;
        QTest::newRow("cell 255 stays")
            << QByteArray("[EE_BUHNE]\ndata_3_buhne=255\n") << "bridge3" << 255;
        QTest::newRow("cell not a number gives default")
            << QByteArray("[EE_BUHNE]\ndata_3_buhne=x\n") << "bridge3" << 170;
        QTest::newRow("boolean any non-zero")
            << QByteArray("[use]\nPosition_4_use=-2\n") << "use4" << 1;
        QTest::newRow("boolean zero") << QByteArray("[use]\nPosition_4_use=0\n") << "use4" << 0;
        QTest::newRow("reconnect off")
            << QByteArray("[SETTINGS]\nAuto_Verbinden=0\n") << "reconnect" << 0;
        QTest::newRow("reconnect on") << QByteArray("[SETTINGS]\n") << "reconnect" << 1;
    }
    void limitsAndOddValues() {
        QFETCH(QByteArray, text);
        QFETCH(QString, what);
        QFETCH(int, expected);
        IniFile ini;
        ini.loadBytes(text);
        ProgramSettings s;
        SharedState state;
        ReadProgramSettings(ini, s, state);
        const QMap<QString, int> got = {{"count", state.PositionCount},
                                        {"actual", state.ActualPosition},
                                        {"target", state.TargetPosition},
                                        {"receive", s.intervalReceive},
                                        {"send", s.intervalSenden},
                                        {"read", s.readSize},
                                        {"port", s.comPort},
                                        {"baud", s.baud},
                                        {"pit7", state.pit.value(7)},
                                        {"bridge3", state.bridge.value(3)},
                                        {"use4", state.station.PositionUsed[4] ? 1 : 0},
                                        {"reconnect", s.autoReconnect ? 1 : 0}};
        QCOMPARE(got.value(what, -999), expected);
    }

    void floatsWithPointOrComma() {
        IniFile ini;
        ini.loadBytes("[Buehne]\nR-Sense=4,7\n");
        QCOMPARE(ini.readFloat("Buehne", "R-Sense", 15.0f), 4.7f);
        ini.loadBytes("[Buehne]\nR-Sense=0.33\n");
        QCOMPARE(ini.readFloat("Buehne", "R-Sense", 15.0f), 0.33f);
        ini.writeFloat("Buehne", "R-Sense", 15.0f);
        QCOMPARE(ini.readString("Buehne", "R-Sense", {}), QStringLiteral("15"));
        ini.writeFloat("Buehne", "R-Sense", 4.7f);
        QCOMPARE(ini.readString("Buehne", "R-Sense", {}), QStringLiteral("4.7"));
    }

    void settingsReaderReplacesAnUnusableResistor_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<float>("expected");
        QTest::newRow("zero") << QByteArray("0") << 15.0f;
        QTest::newRow("negative") << QByteArray("-2,5") << 15.0f;
        QTest::newRow("nan") << QByteArray("nan") << 15.0f;
        QTest::newRow("inf") << QByteArray("inf") << 15.0f;
        QTest::newRow("usable") << QByteArray("0.33") << 0.33f;
    }
    void settingsReaderReplacesAnUnusableResistor() {
        QFETCH(QByteArray, stored);
        QFETCH(float, expected);
        IniFile ini;
        ini.loadBytes("[Buehne]\nR-Sense=" + stored + "\n");
        ProgramSettings settings;
        SharedState state;
        ReadProgramSettings(ini, settings, state);
        QCOMPARE(state.station.RSense, expected);
    }

    void writesKeysInOrderAndBufferSizeUnderItsOwnName() {
        IniFile ini;
        ini.loadBytes("[SETTINGS]\nBuffersize=16\n");
        ProgramSettings s;
        SharedState state;
        ReadProgramSettings(ini, s, state);
        QCOMPARE(s.readSize, 16);
        WriteProgramSettings(ini, s, state);
        const QString text = QString::fromUtf8(ini.toBytes());
        QVERIFY(text.contains("Buffersize=16"));     // kept, the program never writes it
        QVERIFY(text.contains("COM-Buffersize=16")); // the read size
        const QStringList order = {"[SETTINGS]",
                                   "COM-Port=",
                                   "Interval_Receive=",
                                   "Benutzer=",
                                   "Baud=",
                                   "[Window]",
                                   "Width=",
                                   "Left=",
                                   "[Buehne]",
                                   "Buehne_IstPosition=",
                                   "R-Sense=",
                                   "extern=",
                                   "[use]",
                                   "Position_48_use=",
                                   "[Name]",
                                   "Position_1_name=1",
                                   "[Grube]",
                                   "Use_MM=",
                                   "[EE_GRUBE]",
                                   "data_0_grube=",
                                   "data_255_grube=",
                                   "[EE_BUHNE]",
                                   "data_255_buhne="};
        int at = 0;
        for (const QString &piece : order) {
            const int found = text.indexOf(piece, at);
            QVERIFY2(found >= 0, qPrintable(piece));
            at = found;
        }
        IniFile fresh;
        fresh.loadBytes(QByteArray());
        WriteProgramSettings(fresh, s, state);
        QVERIFY(
            !QString::fromUtf8(fresh.toBytes())
                 .contains(QRegularExpression("^Buffersize", QRegularExpression::MultilineOption)));
    }

    void windowsFileSurvivesReadAndWrite() {
        const SettingsFolder folder;
        const QString path = folder.path();
        // Written by the Windows version: CR LF, Windows-1252, keys in other cases, a section and
        // a comment this program does not know.
        const QByteArray original = "; Anlage Keller\r\n"
                                    "[settings]\r\n"
                                    "com-port=3\r\n"
                                    "BAUD=19200\r\n"
                                    "[Name]\r\n"
                                    "Position_2_name=Lokschuppen S\xFC"
                                    "d\r\n"
                                    "[Haendler]\r\n"
                                    "Kunde=M\xFCller\r\n";
        QVERIFY(WriteFile(path, original));
        IniFile ini;
        QVERIFY(ini.load(path));
        QVERIFY(ini.wasWindows1252());
        ProgramSettings s;
        SharedState state;
        ReadProgramSettings(ini, s, state);
        QCOMPARE(s.comPort, 3);
        QCOMPARE(s.baud, 19200);
        QCOMPARE(state.station.PositionName[2], QStringLiteral("Lokschuppen Süd"));
        WriteProgramSettings(ini, s, state);
        QVERIFY(ini.save(path));

        const QByteArray saved = ReadFile(path);
        const QString text = QString::fromUtf8(saved);
        QVERIFY(saved.contains("\r\n"));
        for (qsizetype i = 0; i < saved.size(); ++i) {
            if (saved.at(i) == '\n') {
                QVERIFY(i > 0 && saved.at(i - 1) == '\r'); // every line keeps its CR LF
            }
        }
        QVERIFY(text.startsWith("; Anlage Keller"));
        QVERIFY(text.contains("com-port=3"));                      // the key keeps its spelling
        QVERIFY(!text.contains("COM-Port="));                      // and is not written twice
        QVERIFY(text.contains("Position_2_name=Lokschuppen Süd")); // now UTF-8
        QVERIFY(text.contains("[Haendler]\r\nKunde=Müller"));

        IniFile again;
        QVERIFY(again.load(path));
        QVERIFY(!again.wasWindows1252());
        QCOMPARE(again.readString("Name", "Position_2_name", {}),
                 QStringLiteral("Lokschuppen Süd"));
        QCOMPARE(again.readString("HAENDLER", "kunde", {}), QStringLiteral("Müller"));
    }

    // "Ende" keeps what the file held: a comment after the last key, and every name of a UTF-8
    // file that an editor gave one Windows-1252 byte on another line.
    void endeKeepsTheLastCommentAndTheNamesOfAMixedFile() {
        const SettingsFolder folder;
        const QString path = folder.path();
        QVERIFY(WriteFile(path, "[Name]\n"
                                "Position_1_name=S\xC3\xBC"
                                "d\n"
                                "[Haendler]\n"
                                "Kunde=M\xFCller\n"
                                "\n"
                                "; Anlage Keller\n"
                                "; Stand 2024\n"));
        SettingsStore store(path);
        ProgramSettings s;
        SharedState state;
        PortMap ports;
        QString error;
        QVERIFY2(store.Read(s, state, ports, &error), qPrintable(error));
        QCOMPARE(state.station.PositionName[1], QStringLiteral("Süd"));
        QVERIFY2(store.Save(s, state, &error), qPrintable(error));
        const QString saved = QString::fromUtf8(ReadFile(path));
        QVERIFY2(saved.contains("Position_1_name=Süd\n"), qPrintable(saved));
        QVERIFY2(saved.contains("Kunde=Müller\n"), qPrintable(saved));
        QVERIFY2(saved.endsWith("\n\n; Anlage Keller\n; Stand 2024\n"), qPrintable(saved));
        // Saved again, nothing changes: the comment stays once, at the end.
        QVERIFY(store.Save(s, state, &error));
        QCOMPARE(QString::fromUtf8(ReadFile(path)), saved);
    }

    void windows1252SpecialBytes() {
        bool fallback = false;
        QCOMPARE(DecodeUtf8OrWindows1252("\x80 \x93x\x94", &fallback), QStringLiteral("€ “x”"));
        QVERIFY(fallback);
        QCOMPARE(DecodeUtf8OrWindows1252("Gr\xC3\xBC\xC3\x9F"
                                         "e",
                                         &fallback),
                 QStringLiteral("Grüße"));
        QVERIFY(!fallback);
    }

    void portsSection() {
        IniFile ini;
        ini.loadBytes("[Ports]\nCOM5=simulator\ncom2=/dev/ttyACM0\nCOM3=\n");
        PortMap map;
        ReadPortMap(ini, map);
        QCOMPARE(map.target(5), PortMap::Simulator);
        QCOMPARE(map.target(2), QStringLiteral("/dev/ttyACM0"));
        QCOMPARE(map.target(3), PortMap::DefaultTarget(3));
    }

    void settingsPathBesideProgram() {
        QCOMPARE(SettingsPathFor("/opt/pivota/pivota"), QStringLiteral("/opt/pivota/pivota.ini"));
        QCOMPARE(SettingsPathFor("C:/Programme/pivota.exe"),
                 QStringLiteral("C:/Programme/pivota.ini"));
        QCOMPARE(SettingsPathFor("/home/a.b/pivota"), QStringLiteral("/home/a.b/pivota.ini"));
    }

    void saveIsAtomicAndReportsFailure() {
        IniFile ini;
        ini.loadBytes("[a]\nb=1\n");
        QString error;
        QVERIFY(!ini.save("/nonexistent-dir/pivota.ini", &error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
