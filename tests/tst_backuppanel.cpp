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

#include "comm/addresscodes.h"

#include <QDate>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTextCursor>

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
    explicit Window(const SimOptions &options = FastBoards())
        : SimulatedWindow(options, FastLines) {
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

    // The line lost halfway: the bar says the run was interrupted, not done.
    void lostLineLeavesTheBarInterrupted() {
        Window t;
        t.w().btnStartClick();
        QVERIFY(RunUntil([&] { return t.button("btn_backup")->isEnabled(); }, 20000));
        t.dialogs.fileNames << t.folder.file(QStringLiteral("lost.pvt"));
        t.button("btn_backup")->click();
        // The simulator hangs up once the backup is under way, however slow the machine.
        QVERIFY(RunUntil([&] { return t.panel->job().progress() >= 20; }, 20000));
        t.sim->options().hangUpAfterMs = int(t.sim->now()) + 1;
        QVERIFY(t.Finish());
        QCOMPARE(t.panel->job().result(), BackupJob::Result::LineFailed);
        QCOMPARE(Find<QProgressBar>(t.panel, "ProgressBarBackup")->format(),
                 QStringLiteral("unterbrochen"));
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
        // The save dialog offers a name with the day's date.
        QCOMPARE(t.dialogs.calls.last().kind, QStringLiteral("save"));
        QCOMPARE(
            t.dialogs.calls.last().caption,
            QStringLiteral("Sicherung_%1.pvt").arg(QDate::currentDate().toString(Qt::ISODate)));
        QVERIFY(t.Finish());
        QVERIFY(RunUntil([&] { return !eeprom->sweeps().bridge.running(); }, 60000));
        QVERIFY2(ReadFile(path).startsWith("; Sicherung der Drehscheiben-Steuerung"),
                 ReadFile(path).left(200).constData());
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
        t.w()
            .findChild<QLabel *>("StatusPanel0")
            ->setText(QStringLiteral("Nichts wurde gesendet."));
        t.button("btn_compare")->click();
        // While it runs the status bar says so, not what an earlier run ended with.
        QCOMPARE(t.w().statusText(), BackupPanel::RunningText(BackupJob::Action::Compare, file));
        QVERIFY(t.Finish());
        QStringList lines = t.results().split(u'\n');
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines[0].startsWith(QStringLiteral("Grube 1 (0x01) Firmware-Version")));
        QCOMPARE(lines[3], QStringLiteral("Grube: 2 Unterschiede, Bühne: 1 Unterschied"));
        QCOMPARE(int(t.sim->bridgeCell(1)), 126); // compare writes nothing
        // The mirror took what was read (the tabs consume the received flags, not the count).
        QVERIFY(t.w().state().bridge.answerCount(1) > 0);
        QCOMPARE(int(t.w().state().bridge.value(1)), 126);

        // Declined: nothing written. The list of what would be written stands before the
        // question, whose default is no.
        t.dialogs.fileNames << file;
        t.dialogs.answers << false;
        QString listAtQuestion;
        t.dialogs.whileOpen = [&](const ScriptedDialogs::Call &box) {
            if (box.kind == QStringLiteral("yesno")) {
                listAtQuestion = t.results();
            }
        };
        t.button("btn_restore")->click();
        QVERIFY(t.Finish());
        QCOMPARE(t.dialogs.count(QStringLiteral("yesno")), 1);
        QCOMPARE(t.dialogs.calls.last().caption, QStringLiteral("Nein"));
        QVERIFY2(listAtQuestion.contains(QStringLiteral("Grube: 2 Unterschiede, Bühne: 1")),
                 qPrintable(listAtQuestion));
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

    void resultsReadableScrolledToTheEndAndOnTheStatusBar_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("1000 x 670") << QSize(1000, 670);
        QTest::newRow("1920 x 1080") << QSize(1920, 1080);
    }
    void resultsReadableScrolledToTheEndAndOnTheStatusBar() {
        QFETCH(QSize, size);
        Window t;
        t.w().resize(size);
        auto *pages = Find<QTabWidget>(&t.w(), "PageControl1");
        for (int i = 0; i < pages->count(); ++i) {
            if (pages->widget(i)->isAncestorOf(t.panel)) {
                pages->setCurrentIndex(i);
            }
        }
        t.w().show();
        QVERIFY(QTest::qWaitForWindowExposed(&t.w()));
        t.w().btnStartClick();
        // Twenty parameters of the bridge board and the DCC code of the row of position 3.
        QByteArray bytes = "[EE_BUHNE]\n";
        for (int cell = 1; cell <= 20; ++cell) {
            bytes += QByteArray("data_") + QByteArray::number(cell) +
                     "_buhne=" + QByteArray::number((t.sim->bridgeCell(cell) + 1) & 0xFF) + '\n';
        }
        bytes += "[EE_GRUBE]\n";
        const AddressCodes::Code code = AddressCodes::Dcc(250, true);
        for (int i = 0; i < 3; ++i) {
            bytes += QByteArray("data_") + QByteArray::number(AddressCodes::StepCell(6, i)) +
                     "_grube=" + QByteArray::number(code[size_t(i)]) + '\n';
        }
        bytes +=
            QByteArray("data_") + QByteArray::number(AddressCodes::StepCell(6, 3)) + "_grube=2\n";
        const QString file = t.folder.file(QStringLiteral("many.pvt"));
        QVERIFY(WriteFile(file, bytes));
        t.dialogs.fileNames << file;
        t.button("btn_compare")->click();
        QVERIFY(t.Finish());
        QCoreApplication::processEvents();

        auto *memo = Find<QPlainTextEdit>(t.panel, "Memo_backup");
        const QStringList lines = t.results().split(u'\n');
        QVERIFY2(lines.size() >= 22, qPrintable(t.results()));
        QVERIFY2(lines.last().startsWith(QStringLiteral("Grube: ")) &&
                     lines.last().endsWith(QStringLiteral(", Bühne: 20 Unterschiede")),
                 qPrintable(lines.last()));
        // No line runs out of the list: none is cut off, none needs a scroll to the side.
        QVERIFY(!memo->horizontalScrollBar()->isVisible());
        // The closing line in view.
        QTextCursor end = memo->textCursor();
        end.movePosition(QTextCursor::End);
        QVERIFY2(memo->viewport()->rect().contains(memo->cursorRect(end)),
                 qPrintable(QStringLiteral("%1 %2")
                                .arg(memo->cursorRect(end).y())
                                .arg(memo->viewport()->height())));
        QCOMPARE(Find<QLabel>(&t.w(), "StatusPanel0")->text(), lines.last());
        // The address row by the tab's name, its cells in the line's tool tip.
        const qsizetype row = lines.indexOf(
            QRegularExpression(QStringLiteral("^P:3 DCC-Adresse: Datei 250, Steuerung \\d+$")));
        QVERIFY2(row >= 0, qPrintable(t.results()));
        QVERIFY2(t.panel->lineToolTip(int(row)).contains(QStringLiteral("Adresszeile 7, DCC-Byte")),
                 qPrintable(t.panel->lineToolTip(int(row))));
        QVERIFY(t.panel->lineToolTip(int(lines.size() - 1)).isEmpty());
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
