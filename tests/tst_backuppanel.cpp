// The group "Sicherung der Steuerung" on the settings tab, in the window against a simulated
// controller: its buttons follow the connection, a backup runs beside an EEPROM sweep and writes
// its file, "Abbruch" stops a backup with no file written, compare lists the differences,
// restore asks once and writes them, and a damaged file is refused with a box.

#include "core/backup/backupfile.h"
#include "fixtures/rununtil.h"
#include "fixtures/simulatedwindow.h"
#include "fixtures/widgettestutil.h"
#include "gui/eeprom/tframeeeprom.h"
#include "gui/settings/backuppanel.h"
#include "gui/settings/tframesettings.h"

#include <QProgressBar>
#include <QPushButton>
#include <QTest>

using namespace TestUtil;

namespace {
SimOptions FastBoards() {
    SimOptions options;
    options.pitDelayMs = 1;
    options.bridgeDelayMs = 3;
    return options;
}

const QByteArray FastLines = "Interval_Senden=1\nInterval_Receive=1\nAntwort_Timeout=80\n";

struct Window : SimulatedWindow {
    Window() : SimulatedWindow(FastBoards(), FastLines) {
        panel = w().frameSettings()->findChild<BackupPanel *>();
    }
    QPushButton *button(const char *name) { return Find<QPushButton>(panel, name); }
    QString results() { return Find<QPlainTextEdit>(panel, "Memo_backup")->toPlainText(); }
    bool Finish(int timeoutMs = 60000) {
        return RunUntil([this] { return !panel->job().running(); }, timeoutMs);
    }
    BackupPanel *panel = nullptr;
};
} // namespace

class TestBackupPanel : public QObject {
    Q_OBJECT
private slots:
    void buttonsFollowTheConnection() {
        Window t;
        QVERIFY(t.panel);
        QCOMPARE(t.panel->title(), QStringLiteral("Sicherung der Steuerung"));
        for (const char *name : {"btn_backup", "btn_compare", "btn_restore", "btn_backup_abort"}) {
            QVERIFY2(!t.button(name)->isEnabled(), name);
        }
        QCOMPARE(t.button("btn_backup")->text(), QStringLiteral("Steuerung sichern ..."));
        QCOMPARE(t.button("btn_compare")->text(), QStringLiteral("Mit Steuerung vergleichen ..."));
        QCOMPARE(t.button("btn_restore")->text(), QStringLiteral("Wiederherstellen ..."));
        QCOMPARE(t.button("btn_backup_abort")->text(), QStringLiteral("Abbruch"));
        t.w().btnStartClick();
        QVERIFY(t.button("btn_backup")->isEnabled());
        QVERIFY(!t.button("btn_backup_abort")->isEnabled());
        t.w().btnStopClick();
        QVERIFY(!t.button("btn_backup")->isEnabled());
    }

    void abortStopsABackupWithNoFileWritten() {
        Window t;
        t.w().btnStartClick();
        const QString path = t.folder.file(QStringLiteral("stopped.pvt"));
        t.dialogs.fileNames << path;
        t.button("btn_backup")->click();
        QCOMPARE(t.dialogs.count(QStringLiteral("save")), 1);
        QVERIFY(t.panel->job().running());
        QVERIFY(!t.button("btn_compare")->isEnabled()); // no second run fights for the line
        QVERIFY(t.button("btn_backup_abort")->isEnabled());
        auto *bar = Find<QProgressBar>(t.panel, "ProgressBarBackup");
        QVERIFY(RunUntil([&] { return t.panel->job().progress() >= 20; }, 20000));
        QCOMPARE(bar->maximum(), 512);
        QVERIFY(bar->value() > 0);
        QVERIFY2(bar->format().contains(QStringLiteral("von 512 Zellen")),
                 qPrintable(bar->format()));

        t.button("btn_backup_abort")->click();
        QVERIFY(!t.panel->job().running());
        QCOMPARE(t.results(), QStringLiteral("Abgebrochen: keine Datei geschrieben."));
        QCOMPARE(bar->format(), QStringLiteral("abgebrochen"));
        QVERIFY(t.button("btn_backup")->isEnabled());
        QVERIFY(!RunUntil([&] { return QFile::exists(path); }, 500));
        // What was read so far is in the mirror.
        QVERIFY(t.w().state().pit.answerCount(0) > 0);
    }

    void backupBesideAnEepromSweep() {
        Window t;
        t.w().btnStartClick();
        const QString path = t.folder.file(QStringLiteral("backup.pvt"));
        t.dialogs.fileNames << path;
        t.button("btn_backup")->click();
        // The EEPROM tab reads the bridge board at the same time: both share the one line.
        TFrameEEprom *eeprom = t.w().frameEEprom();
        Find<QPushButton>(eeprom, "btn_get_all_EEData2")->click();
        QVERIFY(eeprom->sweeps().bridge.running());
        QVERIFY(t.Finish());
        QVERIFY(RunUntil([&] { return !eeprom->sweeps().bridge.running(); }, 60000));
        QVERIFY2(t.results().contains(QStringLiteral("Grube 256 von 256 Zellen, Bühne 256 von "
                                                     "256 Zellen bestätigt")),
                 qPrintable(t.results()));
        Backup::FileContents contents;
        QString error;
        QVERIFY2(Backup::ReadFile(path, &contents, &error), qPrintable(error));
        for (int cell = 0; cell < 256; ++cell) {
            QCOMPARE(int(contents.image.pit[size_t(cell)].value), int(t.sim->pitCell(cell)));
            QCOMPARE(int(contents.image.bridge[size_t(cell)].value), int(t.sim->bridgeCell(cell)));
        }
        QCOMPARE(t.panel->job().result(), BackupJob::Result::Equal);
    }

    void compareAndRestore() {
        Window t;
        t.w().btnStartClick();
        const QString file = t.folder.file(QStringLiteral("part.pvt"));
        QVERIFY(WriteFile(file, "[EE_GRUBE]\ndata_48_grube=20\ndata_1_grube=9\n"
                                "[EE_BUHNE]\ndata_1_buhne=100\ndata_2_buhne=126\n"));
        t.dialogs.fileNames << file;
        t.button("btn_compare")->click();
        QVERIFY(t.Finish());
        QStringList lines = t.results().split(u'\n');
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines[0].startsWith(QStringLiteral("Grube 1 (0x01) Firmware-Version")));
        QCOMPARE(lines[3], QStringLiteral("Grube: 2 Unterschiede, Bühne: 1 Unterschied"));
        QCOMPARE(int(t.sim->bridgeCell(1)), 126); // compare writes nothing
        // The mirror took what was read (the tabs consume the received flags, not the count).
        QVERIFY(t.w().state().bridge.answerCount(1) > 0);
        QCOMPARE(int(t.w().state().bridge.value(1)), 126);

        // Declined: nothing written.
        t.dialogs.fileNames << file;
        t.dialogs.answers << false;
        t.button("btn_restore")->click();
        QVERIFY(t.Finish());
        QCOMPARE(t.dialogs.count(QStringLiteral("yesno")), 1);
        QVERIFY(t.dialogs.calls.last().text.contains(
            QStringLiteral("1 Zelle der Grube und 1 Zelle der Bühne")));
        QCOMPARE(int(t.sim->bridgeCell(1)), 126);

        t.dialogs.fileNames << file;
        t.dialogs.answers << true;
        t.button("btn_restore")->click();
        QVERIFY(t.Finish());
        // The firmware version is never written, and the closing line says it still differs.
        QVERIFY2(t.results().contains(QStringLiteral("Wiederhergestellt: 2 Zellen geschrieben und "
                                                     "geprüft.\nDie Firmware-Version der Steuerung "
                                                     "weicht von der Datei ab")),
                 qPrintable(t.results()));
        QCOMPARE(int(t.sim->bridgeCell(1)), 100);
        QCOMPARE(int(t.sim->pitCell(48)), 20);
        QCOMPARE(int(t.sim->pitCell(1)), 4); // the firmware version stays
        QCOMPARE(int(t.w().state().bridge.value(1)), 100);
    }

    void damagedFileIsRefusedWithABox() {
        Window t;
        t.w().btnStartClick();
        Backup::Image image;
        image.bridge[1] = Backup::Cell::Of(100);
        const QString file = t.folder.file(QStringLiteral("damaged.pvt"));
        QVERIFY(Backup::SaveBackup(file, ProgramSettings(), t.w().state(), image,
                                   {QDateTime::currentDateTime(), "0.38"}, nullptr));
        QByteArray bytes = ReadFile(file);
        QVERIFY(bytes.contains("data_1_buhne=100"));
        bytes.replace("data_1_buhne=100", "data_1_buhne=101");
        QVERIFY(WriteFile(file, bytes));
        t.dialogs.fileNames << file;
        t.button("btn_restore")->click();
        QVERIFY(!t.panel->job().running());
        QCOMPARE(t.dialogs.count(QStringLiteral("error")), 1);
        QVERIFY(t.dialogs.calls.last().text.contains(QStringLiteral("Prüfsumme")));
        QVERIFY(t.results().contains(QStringLiteral("Nichts wurde gesendet.")));
        QCOMPARE(t.dialogs.count(QStringLiteral("yesno")), 0);
        QCOMPARE(int(t.sim->bridgeCell(1)), 126);
    }
};

QTEST_MAIN(TestBackupPanel)
#include "tst_backuppanel.moc"
