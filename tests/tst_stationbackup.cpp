// Backing up and restoring a station through the settings tab: saving the whole configuration,
// loading the chosen parts back after a question each, files that lack them or cannot be read,
// and a port load while connected.

#include "core/configuration/configfile.h"
#include "core/settings/inifile.h"
#include "fixtures/scripteddialogs.h"
#include "fixtures/settingsfolder.h"
#include "fixtures/simulatedwindow.h"
#include "fixtures/testutil.h"
#include "fixtures/widgettestutil.h"
#include "gui/definition/tframedefinition.h"
#include "gui/operation/tframebedienung.h"
#include "gui/parameter/tframeparameter.h"

#include "gui/settings/tframesettings.h"
#include "gui/window/tfrmmain.h"
#include <QLabel>

#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <memory>

using namespace TestUtil;

namespace {

// A window on its own settings file, with a scripted seam for the boxes.
struct Window {
    SettingsFolder folder;
    ScriptedDialogs dialogs;
    std::unique_ptr<TfrmMain> w;
    explicit Window(const QByteArray &settings = QByteArray()) {
        folder.write(settings);
        w = std::make_unique<TfrmMain>(folder.path(), dialogs);
    }
    SharedState &state() { return w->state(); }
    void choose(bool port, bool track, bool para, bool adr) {
        Find<QCheckBox>(w.get(), "cbx_load_com")->setChecked(port);
        Find<QCheckBox>(w.get(), "cbx_load_gleisdef")->setChecked(track);
        Find<QCheckBox>(w.get(), "cbx_load_para")->setChecked(para);
        Find<QCheckBox>(w.get(), "cbx_load_adr")->setChecked(adr);
    }
    void save(const QString &path) {
        dialogs.fileNames << path;
        w->frameSettings()->Button1Click();
    }
    void load(const QString &path, QList<bool> answers) {
        dialogs.fileNames << path;
        dialogs.answers = answers;
        w->frameSettings()->Button2Click();
    }
    QString file(const QString &name) { return folder.file(name); }
};

// A station that differs from the defaults everywhere a configuration can carry something.
void MakeStation(TfrmMain &w) {
    SharedState &s = w.state();
    for (int i = 1; i <= 48; ++i) {
        s.station.PositionUsed[i] = i % 3 != 0;
        s.station.PositionName[i] = QStringLiteral("Gleis %1 ä").arg(i);
    }
    s.station.ZeroOffset = -7;
    s.station.ReverseCounting = false;
    s.station.ShowSwitchLine = false;
    s.station.UseMotorola = false;
    s.station.RSense = 4.7f;
    for (int cell = 0; cell < 256; ++cell) {
        s.pit.setValue(cell, (cell * 7 + 3) & 0xFF);
        s.bridge.setValue(cell, (cell * 11 + 5) & 0xFF);
    }
    Find<QRadioButton>(&w, "rad_com7")->setChecked(true);
}

} // namespace

class TestStationBackup : public QObject {
    Q_OBJECT
private slots:
    void saveThenLoadEverythingRestoresExactlyTheChosenData() {
        Window source;
        MakeStation(*source.w);
        source.state().PositionCount = 24;
        source.save(source.file("station.pvt"));
        QVERIFY(source.dialogs.calls.size() == 1);
        QCOMPARE(source.dialogs.calls.first().text, ConfigFile::Filter());
        const QString text = QString::fromUtf8(ReadFile(source.file("station.pvt")));
        QVERIFY(!text.contains(QStringLiteral("Interval_Receive")));
        QVERIFY(!text.contains(QStringLiteral("COM-Buffersize")));

        Window target("[SETTINGS]\nBaud=2400\nBenutzer=Fahren\n[Buehne]\nAnzahl_Positionen=30\n"
                      "Buehne_SollPosition=11\n");
        target.choose(true, true, true, true);
        const int drawn = target.w->frameBedienung()->drawCount();
        target.load(source.file("station.pvt"), {true, true, true, true});
        QCOMPARE(target.dialogs.count("yesno"), 4);
        QCOMPARE(target.dialogs.calls.at(1).text,
                 QStringLiteral("COM-Port Werte laden? Aktuelle Werte werden überschrieben!"));
        QCOMPARE(target.dialogs.calls.at(4).text,
                 QStringLiteral("Adressen laden? Aktuelle Werte werden überschrieben!"));
        const SharedState &t = target.state();
        const SharedState &s = source.state();
        QVERIFY(Find<QRadioButton>(target.w.get(), "rad_com7")->isChecked());
        for (int i = 1; i <= 48; ++i) {
            QCOMPARE(t.station.PositionUsed[i], s.station.PositionUsed[i]);
            QCOMPARE(t.station.PositionName[i], s.station.PositionName[i]);
        }
        QCOMPARE(t.station.ZeroOffset, -7);
        QVERIFY(!t.station.ReverseCounting && !t.station.ShowSwitchLine && !t.station.UseMotorola);
        QCOMPARE(t.station.RSense, 4.7f);
        for (int cell = 0; cell < 256; ++cell) {
            const bool pitLoaded =
                ConfigFile::IsParameterCell(true, cell) || ConfigFile::IsAddressCell(cell);
            const uint8_t pitExpected = pitLoaded ? s.pit.value(cell) : t.pit.defaultValue(cell);
            QCOMPARE(t.pit.value(cell), pitExpected);
            const uint8_t bridgeExpected = ConfigFile::IsParameterCell(false, cell)
                                               ? s.bridge.value(cell)
                                               : t.bridge.defaultValue(cell);
            QCOMPARE(t.bridge.value(cell), bridgeExpected);
        }
        // Not taken from a configuration file.
        QCOMPARE(t.PositionCount, 30);
        QCOMPARE(t.TargetPosition, 11);
        QCOMPARE(target.w->userLevel(), QStringLiteral("Fahren"));
        QVERIFY(Find<QRadioButton>(target.w.get(), "rad_2400")->isChecked());
        // The operation picture follows.
        QVERIFY(target.w->frameBedienung()->drawCount() > drawn);
    }

    void onlyAddressesChangesOnlyAddressCells() {
        Window source;
        MakeStation(*source.w);
        source.save(source.file("station.pvt"));

        Window target;
        target.state().pit.Apply(5, 0x55); // a value the board confirmed
        target.choose(false, false, false, true);
        target.load(source.file("station.pvt"), {true});
        QCOMPARE(target.dialogs.count("yesno"), 1);
        const SharedState &t = target.state();
        for (int cell = 0; cell < 256; ++cell) {
            const uint8_t expected = ConfigFile::IsAddressCell(cell)
                                         ? source.state().pit.value(cell)
                                         : (cell == 5 ? 0x55 : t.pit.defaultValue(cell));
            QCOMPARE(t.pit.value(cell), expected);
            QCOMPARE(t.bridge.value(cell), t.bridge.defaultValue(cell));
        }
        // Values from a file are no values a board confirmed.
        QVERIFY(!t.pit.received(5));
        QCOMPARE(t.station.PositionName[4], QStringLiteral("4"));
        QVERIFY(t.station.ReverseCounting);
        QVERIFY(Find<QRadioButton>(target.w.get(), "rad_com5")->isChecked());
        QCOMPARE(t.station.RSense, 4.7f); // taken on every load
        // The definition tab marks what the load changed: the next write sends it.
        QVERIFY(target.w->frameDefinition()->HasUnwrittenChanges());
        QVERIFY(!target.w->frameParameter()->HasUnwrittenChanges());

        // Closing the window now would leave the loaded addresses unwritten: it asks.
        target.w->show();
        target.dialogs.calls.clear();
        QVERIFY(!target.w->close()); // Abbrechen: stays
        QCOMPARE(target.dialogs.count("yesnocancel"), 1);
        QVERIFY(target.dialogs.calls.first().text.contains(QStringLiteral("Adressen")));
        QVERIFY(target.w->isVisible());
    }

    void answeringNoChangesNothingButRSense() {
        Window source;
        MakeStation(*source.w);
        source.save(source.file("station.pvt"));
        Window target;
        target.choose(true, true, true, true);
        target.load(source.file("station.pvt"), {false, false, false, false});
        QCOMPARE(target.dialogs.count("yesno"), 4);
        const SharedState &t = target.state();
        for (int cell = 0; cell < 256; ++cell) {
            QCOMPARE(t.pit.value(cell), t.pit.defaultValue(cell));
            QCOMPARE(t.bridge.value(cell), t.bridge.defaultValue(cell));
        }
        QCOMPARE(t.station.PositionName[4], QStringLiteral("4"));
        QVERIFY(Find<QRadioButton>(target.w.get(), "rad_com5")->isChecked());
        QCOMPARE(t.station.RSense, 4.7f);
        QVERIFY(!target.w->frameDefinition()->HasUnwrittenChanges());
        QVERIFY(!target.w->frameParameter()->HasUnwrittenChanges());
    }

    void loadedParametersAreMarkedForWriting() {
        Window source;
        MakeStation(*source.w);
        source.save(source.file("station.pvt"));
        Window target;
        target.choose(false, false, true, false);
        target.load(source.file("station.pvt"), {true});
        QVERIFY(target.w->frameParameter()->HasUnwrittenChanges());
        QVERIFY(!target.state().bridge.received(1));
    }

    void nothingChosenAsksForNoFile() {
        Window target;
        target.choose(false, false, false, false);
        target.w->frameSettings()->Button2Click();
        QCOMPARE(target.dialogs.calls.size(), 1);
        QCOMPARE(target.dialogs.calls.first().kind, QStringLiteral("message"));
        QCOMPARE(target.dialogs.calls.first().text,
                 QStringLiteral("Keine Daten zum Laden ausgewählt!"));
    }

    void aFileWithoutTheChosenDataIsRefused() {
        Window target;
        MakeStation(*target.w);
        QVERIFY(WriteFile(target.file("notes.txt"), "Einkaufsliste\nMilch\n[Ports]\nCOM1=x\n"));
        target.choose(false, true, true, true);
        target.load(target.file("notes.txt"), {true, true, true});
        QCOMPARE(target.dialogs.count("yesno"), 0);
        QCOMPARE(target.dialogs.count("error"), 1);
        QCOMPARE(target.state().pit.value(5), uint8_t((5 * 7 + 3) & 0xFF));
        QCOMPARE(target.state().station.PositionName[2], QStringLiteral("Gleis 2 ä"));
        QCOMPARE(target.state().station.RSense, 4.7f);
        // A real file that lacks one chosen part loads the others and says which it skipped.
        QVERIFY(WriteFile(target.file("names.pvt"), "[Name]\nPosition_2_name=Werkstatt\n"));
        target.dialogs.calls.clear();
        target.choose(false, true, false, true);
        target.load(target.file("names.pvt"), {true});
        QCOMPARE(target.dialogs.count("message"), 1);
        QCOMPARE(target.dialogs.calls.at(1).kind, QStringLiteral("message"));
        QVERIFY(target.dialogs.calls.at(1).text.contains(QStringLiteral("Adressen")));
        QCOMPARE(target.dialogs.count("yesno"), 1);
        QCOMPARE(target.state().station.PositionName[2], QStringLiteral("Werkstatt"));
        QCOMPARE(target.state().station.PositionName[3], QStringLiteral("3")); // missing key
        QCOMPARE(target.state().pit.value(5), uint8_t((5 * 7 + 3) & 0xFF));
    }

    // A file opened from the file manager: every part it holds is asked for as "laden" asks,
    // whatever the boxes say; a file that cannot be loaded is refused in a box.
    void fileGivenToTheWindowIsOfferedAsLoadOffersIt() {
        Window source;
        MakeStation(*source.w);
        source.save(source.file("station.pvt"));

        Window target;
        target.choose(false, false, false, false);
        target.dialogs.answers = {false, true, false, true};
        target.w->OfferFile(source.file("station.pvt"));
        QCOMPARE(target.dialogs.count("yesno"), 4);
        QCOMPARE(target.dialogs.calls.size(), 4);
        QCOMPARE(target.dialogs.calls.at(1).text,
                 QStringLiteral("Gleis-Definitionen laden? Aktuelle Werte werden überschrieben!"));
        QCOMPARE(target.state().station.PositionName[2], QStringLiteral("Gleis 2 ä"));
        QCOMPARE(target.state().pit.value(5), source.state().pit.value(5)); // an address cell
        QVERIFY(!Find<QRadioButton>(target.w.get(), "rad_com7")->isChecked());

        // Only the parts the file holds are asked for; nobody chose the others.
        QVERIFY(WriteFile(target.file("names.pvt"), "[Name]\nPosition_2_name=Werkstatt\n"));
        target.dialogs.calls.clear();
        target.dialogs.answers = {true};
        target.w->OfferFile(target.file("names.pvt"));
        QCOMPARE(target.dialogs.calls.size(), 1);
        QCOMPARE(target.state().station.PositionName[2], QStringLiteral("Werkstatt"));

        target.dialogs.calls.clear();
        const QString missing = target.file("fehlt.pvt");
        target.w->OfferFile(missing);
        QCOMPARE(target.dialogs.calls.size(), 1);
        QCOMPARE(target.dialogs.calls.first().kind, QStringLiteral("error"));
        QVERIFY2(target.dialogs.calls.first().text.contains(QDir::toNativeSeparators(missing)),
                 qPrintable(target.dialogs.calls.first().text));
    }

    void savingKeepsAnExistingFilesOtherKeys() {
        Window w;
        const QString path = w.file("station.pvt");
        QVERIFY(WriteFile(path, "; Anlage im Keller\n[Notizen]\nWer=Technik\n[SETTINGS]\n"
                                "Interval_Receive=33\n"));
        w.save(path);
        const QString text = QString::fromUtf8(ReadFile(path));
        QVERIFY(text.contains(QStringLiteral("; Anlage im Keller")));
        QVERIFY(text.contains(QStringLiteral("Wer=Technik")));
        QVERIFY(text.contains(QStringLiteral("Interval_Receive=33")));
        QVERIFY(text.contains(QStringLiteral("data_255_buhne=")));
        QCOMPARE(w.dialogs.count("error"), 0);
    }

    void saveFailuresAreReportedAndLeaveOldFilesAlone() {
        Window w;
        // A folder that is not there: the box names the file.
        const QString missing = w.file("no-such-folder/station.pvt");
        w.save(missing);
        QCOMPARE(w.dialogs.count("error"), 1);
        QVERIFY(w.dialogs.calls.last().text.contains(QDir::toNativeSeparators(missing)));
        // An existing file that cannot be understood is not replaced.
        const QByteArray damaged("[SETTINGS]\nCOM-Port=3\n\0\0\0", 25);
        QVERIFY(WriteFile(w.file("damaged.pvt"), damaged));
        w.save(w.file("damaged.pvt"));
        QCOMPARE(w.dialogs.count("error"), 2);
        QCOMPARE(ReadFile(w.file("damaged.pvt")), damaged);
        // Cancelled: nothing written, nothing said.
        w.dialogs.calls.clear();
        w.w->frameSettings()->Button1Click();
        QCOMPARE(w.dialogs.calls.size(), 1);
    }

    void aFileOfTheWindowsVersionLoads() {
        Window w;
        QByteArray file = "[Name]\r\nPosition_1_name=Stra\xDF"
                          "e\r\n[Grube]\r\nOffset=3\r\n[Buehne]\r\nR-Sense=0,47\r\n"
                          "[EE_GRUBE]\r\ndata_4_grube=17\r\ndata_5_grube=300\r\n";
        QVERIFY(WriteFile(w.file("alt.pvt"), file));
        w.choose(false, true, false, true);
        w.load(w.file("alt.pvt"), {true, true});
        QCOMPARE(w.state().station.PositionName[1], QStringLiteral("Straße"));
        QCOMPARE(w.state().station.ZeroOffset, 3);
        QCOMPARE(w.state().station.RSense, 0.47f);
        QCOMPARE(w.state().pit.value(4), uint8_t(17));
        QCOMPARE(w.state().pit.value(5), uint8_t(0)); // no byte: the PC's value stays
        QCOMPARE(w.dialogs.count("error"), 0);
    }

    void cellsWhoseTextIsNoValueAreNamedAndKept() {
        Window w;
        w.state().pit.setValue(7, 64);
        w.state().bridge.setValue(9, 33);
        const uint8_t defaultPit7 = BoardImage::DefaultFor(Board::Grube, 7);
        QVERIFY(defaultPit7 != 64);
        QVERIFY(WriteFile(w.file("hand.pvt"), "[EE_GRUBE]\ndata_7_grube=300\ndata_8_grube=12\n"
                                              "[EE_BUHNE]\ndata_9_buhne=xyz\ndata_10_buhne=5\n"));
        w.choose(false, false, true, true);
        w.load(w.file("hand.pvt"), {true, true});
        // Kept as the PC held them, not the defaults: a write would send what the file never held.
        QCOMPARE(int(w.state().pit.value(7)), 64);
        QCOMPARE(int(w.state().bridge.value(9)), 33);
        QCOMPARE(int(w.state().pit.value(8)), 12);
        QCOMPARE(int(w.state().bridge.value(10)), 5);
        const QString status = Find<QLabel>(w.w.get(), "StatusPanel0")->text();
        QVERIFY2(status.startsWith(QStringLiteral("aus hand.pvt übernommen: Parameter, Adressen")),
                 qPrintable(status));
        QVERIFY2(status.endsWith(QStringLiteral("; ohne Wert, nicht geladen: Grube 7 (0x07) "
                                                "„300“, Bühne 9 (0x09) „xyz“")),
                 qPrintable(status));
        // Only the parts taken count: without the parameters, bridge cell 9 is not named.
        w.choose(false, false, false, true);
        w.load(w.file("hand.pvt"), {true});
        const QString addresses = Find<QLabel>(w.w.get(), "StatusPanel0")->text();
        QVERIFY2(addresses.endsWith(QStringLiteral("nicht geladen: Grube 7 (0x07) „300“")),
                 qPrintable(addresses));
    }

    void rSenseOnlyFromAFileThatHoldsIt() {
        Window w;
        w.state().station.RSense = 2.2f;
        QVERIFY(WriteFile(w.file("old.pvt"), "[Grube]\nOffset=1\n"));
        w.choose(false, true, false, false);
        w.load(w.file("old.pvt"), {true});
        QCOMPARE(w.state().station.RSense, 2.2f);
        QVERIFY(WriteFile(w.file("bad.pvt"), "[Grube]\nOffset=1\n[Buehne]\nR-Sense=0\n"));
        w.load(w.file("bad.pvt"), {true});
        QCOMPARE(w.state().station.RSense, 2.2f);
    }

    void portLoadWhileConnectedKeepsTheConnection() {
        SimulatedWindow s;
        TfrmMain &w = s.w();
        w.btnStartClick();
        QVERIFY(w.state().connection().online());
        QVERIFY(WriteFile(s.folder.file("port.pvt"), "[SETTINGS]\nCOM-Port=2\n"));
        Find<QCheckBox>(&w, "cbx_load_com")->setChecked(true);
        s.dialogs.fileNames << s.folder.file("port.pvt");
        s.dialogs.answers << true;
        w.frameSettings()->Button2Click();
        QVERIFY(Find<QRadioButton>(&w, "rad_com2")->isChecked());
        QVERIFY(w.state().connection().online());
        QVERIFY(w.port().isOpen());
        QVERIFY(!Find<QPushButton>(&w, "btnStart")->isEnabled());
    }
};

QTEST_MAIN(TestStationBackup)
#include "tst_stationbackup.moc"
