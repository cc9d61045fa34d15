// The main window: the first start and the settings file it writes at "Ende", user levels and
// layout, settings that cannot be read, and the connection on a pseudo-terminal: start and stop,
// lost lines, the port scan, the fill bar, manual sends and the dumps.

#include "comm/sendqueue.h"
#include "core/session/connectiontexts.h"
#include "core/settings/inifile.h"
#include "fixtures/ptywindow.h"
#include "fixtures/scripteddialogs.h"
#include "fixtures/settingsfolder.h"
#include "fixtures/testutil.h"
#include "fixtures/widgettestutil.h"
#include "gui/eeprom/tframeeeprom.h"
#include "gui/parameter/tframeparameter.h"
#include "gui/settings/backuppanel.h"
#include "gui/settings/tframesettings.h"
#include "gui/window/tfrmmain.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using namespace TestUtil;
using TestIni::PortsSection;

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void firstStartWithoutSettingsFile() {
        SettingsFolder folder;
        ScriptedDialogs dialogs;
        {
            TfrmMain w(folder.path(), dialogs);
            QCOMPARE(w.windowTitle(), QStringLiteral("Pivota V0.38"));
            QCOMPARE(w.statusText(), QStringLiteral(" Pivota V0.38 vom 08. Aug. 2013"));
            QVERIFY(Find<QRadioButton>(&w, "rad_com5")->isChecked());
            QVERIFY(Find<QRadioButton>(&w, "rad_9600")->isChecked());
            QVERIFY(Find<QRadioButton>(&w, "rad_justage")->isChecked());
            QCOMPARE(w.userLevel(), QStringLiteral("Anwender"));
            QCOMPARE(w.readSize(), 8);
            QCOMPARE(Find<QTimer>(&w, "Timer_Receive")->interval(), 20);
            QCOMPARE(Find<QTimer>(&w, "Timer_Senden")->interval(), 20);
            QVERIFY(!Find<QTimer>(&w, "Timer_Receive")->isActive());
            QCOMPARE(w.size(), QSize(1000, 670));
            auto *pages = Find<QTabWidget>(&w, "PageControl1");
            QCOMPARE(pages->count(), 6);
            const QStringList captions = {"Betrieb",   "Gleis-Definition / Adressen",
                                          "Parameter", "Diagnose",
                                          "EEprom",    "Einstellungen"};
            for (int i = 0; i < 6; ++i) {
                QCOMPARE(pages->tabText(i), captions.at(i));
                QVERIFY(pages->isTabVisible(i));
            }
            QCOMPARE(pages->currentIndex(), 0);
            QVERIFY(!Find<QPlainTextEdit>(&w, "Memo1")->isHidden());
            QVERIFY(!Find<QWidget>(&w, "Memo2")->isHidden());
            QVERIFY(Find<QGroupBox>(&w, "GroupBox1")->isHidden());
            QVERIFY(Find<QGroupBox>(&w, "GroupBox2")->isHidden());
            QVERIFY(Find<QPushButton>(&w, "btn_DCB")->isHidden());
            QCOMPARE(Lines(Find<QPlainTextEdit>(&w, "Memo1")),
                     (QStringList{"Sendeprotokoll Empfang ", "von Grube"}));
            QVERIFY(Find<QPushButton>(&w, "btnStart")->isEnabled());
            QVERIFY(!Find<QPushButton>(&w, "btnStop")->isEnabled());
            QCOMPARE(w.state().bridge.value(3), uint8_t(170));
            QCOMPARE(w.state().pit.value(48), uint8_t(24));
            QCOMPARE(w.state().infoTable().letter(1), uint8_t(0xFF));

            QTest::mouseClick(Find<QPushButton>(&w, "btnClose"), Qt::LeftButton);
            QVERIFY(dialogs.calls.isEmpty());
        }
        const QString text = QString::fromUtf8(folder.read());
        QVERIFY(text.contains("Benutzer=Justage\n"));
        QVERIFY(text.contains("COM-Buffersize=8\n"));
        QVERIFY(!text.contains("\nBuffersize="));
        QVERIFY(text.contains("COM-Port=5\n"));
        QVERIFY(text.contains("Baud=9600\n"));
        QVERIFY(text.contains("data_3_buhne=170\n"));

        // The next start reads "Justage": no EEPROM tab, no memos.
        TfrmMain again(folder.path(), dialogs);
        auto *pages = Find<QTabWidget>(&again, "PageControl1");
        QVERIFY(!pages->isTabVisible(4));
        QVERIFY(pages->isTabVisible(3));
        QVERIFY(Find<QPlainTextEdit>(&again, "Memo1")->isHidden());
        QVERIFY(Find<QWidget>(&again, "Memo2")->isHidden());
        QVERIFY(Find<QWidget>(&again, "pnl_SollPosition_ext")->isHidden());
    }

    void endeWritesWhatTheNextStartReadsBack() {
        SettingsFolder folder;
        ScriptedDialogs dialogs;
        QVERIFY(folder.write("[SETTINGS]\nCOM-Port=7\nBaud=2400\nBenutzer=Debug\n"
                             "[Window]\nWidth=900\nHeight=600\nTop=30\nLeft=40\n"
                             "[Buehne]\nBuehne_IstPosition=12\nR-Sense=0.47\nextern=0\n"
                             "[Name]\nPosition_3_name=Schuppen, Gleis 3\n[Grube]\nOffset=-4\n"
                             "[EE_GRUBE]\ndata_100_grube=77\n"));
        {
            TfrmMain w(folder.path(), dialogs);
            w.btnCloseClick();
        }
        const QByteArray first = folder.read();
        {
            TfrmMain w(folder.path(), dialogs);
            QVERIFY(Find<QRadioButton>(&w, "rad_com7")->isChecked());
            QVERIFY(Find<QRadioButton>(&w, "rad_2400")->isChecked());
            QCOMPARE(w.state().ActualPosition, 12);
            QCOMPARE(w.state().station.RSense, 0.47f);
            QVERIFY(!w.state().ShowExternalTarget);
            QCOMPARE(w.state().station.PositionName[3], QStringLiteral("Schuppen, Gleis 3"));
            QCOMPARE(w.state().station.ZeroOffset, -4);
            QCOMPARE(w.state().pit.value(100), uint8_t(77));
            w.btnCloseClick();
        }
        QCOMPARE(folder.read(), first);
        QVERIFY(dialogs.calls.isEmpty());
    }

    void closingOtherwiseDoesNotWrite() {
        SettingsFolder folder;
        ScriptedDialogs dialogs;
        {
            TfrmMain w(folder.path(), dialogs);
            w.show();
            w.close();
        }
        QVERIFY(!folder.exists());
    }

    void failedWriteKeepsWindowOpen() {
        SettingsFolder folder;
        ScriptedDialogs dialogs;
        TfrmMain w(folder.file("no-such-folder/pivota.ini"), dialogs);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.btnCloseClick();
        QCOMPARE(dialogs.count("error"), 1);
        QVERIFY(w.isVisible());
    }

    // A read-only settings file is not replaced: "Ende" says so and asks before it closes without
    // saving, for the superuser (whom the system lets write it) as for anybody.
    void readOnlySettingsFileIsNotReplaced() {
        SettingsFolder folder;
        ScriptedDialogs dialogs;
        QVERIFY(folder.write("[SETTINGS]\nCOM-Port=7\n"));
        QVERIFY(QFile::setPermissions(folder.path(),
                                      QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        TfrmMain w(folder.path(), dialogs);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.btnCloseClick();
        QCOMPARE(dialogs.count("error"), 1);
        QVERIFY2(dialogs.calls.first().text.contains(QStringLiteral("schreibgeschützt")),
                 qPrintable(dialogs.calls.first().text));
        QCOMPARE(dialogs.count("yesno"), 1);
        QVERIFY(w.isVisible());
        QCOMPARE(folder.read(), QByteArray("[SETTINGS]\nCOM-Port=7\n"));
        QCOMPARE(QFile::permissions(folder.path()) &
                     (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther),
                 QFileDevice::Permissions());
    }

    void userLevels() {
        SettingsFolder folder;
        ScriptedDialogs dialogs;
        QVERIFY(folder.write("[SETTINGS]\nBenutzer=Fahren\n"));
        {
            TfrmMain w(folder.path(), dialogs);
            auto *pages = Find<QTabWidget>(&w, "PageControl1");
            const QList<bool> shown = {true, false, false, false, false, true};
            for (int i = 0; i < 6; ++i) {
                QCOMPARE(pages->isTabVisible(i), shown.at(i));
            }
            QVERIFY(Find<QRadioButton>(&w, "rad_fahren")->isChecked());
            Find<QRadioButton>(&w, "rad_debug")->click();
            // The choice takes effect only at the next start, and the status bar says so.
            QVERIFY(!pages->isTabVisible(4));
            QCOMPARE(w.statusText(),
                     QStringLiteral("Darstellung „Debug“ gilt ab dem nächsten Start."));
            w.btnCloseClick();
        }
        TfrmMain w(folder.path(), dialogs);
        auto *pages = Find<QTabWidget>(&w, "PageControl1");
        for (int i = 0; i < 6; ++i) {
            QVERIFY(pages->isTabVisible(i));
        }
        QVERIFY(!Find<QGroupBox>(&w, "GroupBox1")->isHidden());
        QVERIFY(!Find<QGroupBox>(&w, "GroupBox1")->isEnabled());
        QVERIFY(!Find<QGroupBox>(&w, "GroupBox2")->isHidden());
        QVERIFY(!Find<QPlainTextEdit>(&w, "Memo1")->isHidden());
        QVERIFY(Find<QPushButton>(&w, "btn_comstat")->isHidden());
        QVERIFY(!Find<QWidget>(&w, "cbx_zeige_sollpos_extern")->isHidden());
    }

    void layoutFollowsWindowSize() {
        SettingsFolder folder;
        ScriptedDialogs dialogs;
        TfrmMain w(folder.path(), dialogs);
        w.resize(1200, 800);
        w.FormResize();
        auto *start = Find<QPushButton>(&w, "btnStart");
        auto *stop = Find<QPushButton>(&w, "btnStop");
        auto *close = Find<QPushButton>(&w, "btnClose");
        QCOMPARE(start->y(), 712);
        QCOMPARE(stop->y(), 712);
        QCOMPARE(close->y(), 712);
        QCOMPARE(Find<QStatusBar>(&w, "StatusBar1")->y(), 756);
        QCOMPARE(Find<QStatusBar>(&w, "StatusBar1")->width(), 1200);
        QCOMPARE(close->x(), 1200 - close->width() - 14);
        QCOMPARE(stop->x(), close->x() - stop->width() - 10);
        QCOMPARE(start->x(), stop->x() - close->width() - 10);
        auto *bar = Find<QProgressBar>(&w, "ProgressBar2");
        QCOMPARE(bar->geometry().topLeft(), QPoint(10, 720));
        QCOMPARE(bar->width(), start->x() - 20);
        QCOMPARE(Find<QTabWidget>(&w, "PageControl1")->height(), 700);
        auto *memo1 = Find<QPlainTextEdit>(&w, "Memo1");
        auto *memo2 = Find<QWidget>(&w, "Memo2");
        auto *com = Find<QGroupBox>(&w, "GroupBoxCom");
        auto *save = Find<QGroupBox>(&w, "GroupBox4");
        QCOMPARE(memo1->y(), com->y());
        // Below them the group "Sicherung der Steuerung" keeps its place.
        QCOMPARE(memo1->height(), 800 - com->y() - 140 - BackupPanel::HeightBelowMemos);
        QCOMPARE(memo2->height(), memo1->height());
        QCOMPARE(memo2->x(), save->x() + save->width() + 20);
        QCOMPARE(memo1->x(), memo2->x() + memo2->width() + 20);
    }

    void windowOffEveryScreenComesBack() {
        SettingsFolder folder;
        ScriptedDialogs dialogs;
        QVERIFY(folder.write("[Window]\nLeft=-20000\nTop=-20000\nWidth=0\nHeight=-5\n"));
        TfrmMain w(folder.path(), dialogs);
        QCOMPARE(w.size(), QSize(1000, 670));
        QVERIFY(w.x() > -1000 && w.y() > -1000);
    }

    void hugeStoredWindowOpensAtScreenSize() {
        SettingsFolder folder;
        ScriptedDialogs dialogs;
        QVERIFY(folder.write("[Window]\nLeft=2147483647\nTop=2147483647\nWidth=2147483647\n"
                             "Height=2147483647\n"));
        TfrmMain w(folder.path(), dialogs);
        const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
        // As large as the screen allows, room for the frame aside, and wholly on it.
        QVERIFY(avail.contains(w.geometry()));
        QVERIFY(w.width() > avail.width() - 100 && w.height() > avail.height() - 100);
    }

    void unreadableSettingsAreReportedAndKept_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("NUL byte") << QByteArray("[SETTINGS]\nCOM-Port=3\n\0[Ports]\nCOM3=x\n", 36);
        QTest::newRow("broken UTF-16") << QByteArray("\xFF\xFE[\0S\0\x00\xDC]\0", 10);
    }
    void unreadableSettingsAreReportedAndKept() {
        SettingsFolder folder;
        QFETCH(QByteArray, bytes);
        QVERIFY(folder.write(bytes));
        ScriptedDialogs dialogs;
        TfrmMain w(folder.path(), dialogs);
        // Told at start that the defaults are in use...
        QCOMPARE(dialogs.count("error"), 1);
        QVERIFY(dialogs.calls.first().text.contains(QStringLiteral("Vorgabewerte")));
        // ...and "Ende" does not overwrite the file with them.
        w.show();
        w.btnCloseClick();
        QCOMPARE(dialogs.count("error"), 2);
        QCOMPARE(folder.read(), bytes);
    }

    void utf16SettingsAreRead() {
        SettingsFolder folder;
        const QString text = QStringLiteral(
            "[SETTINGS]\r\nCOM-Port=3\r\n[Name]\r\nPosition_2_name=Lokschuppen Süd\r\n"
            "[Ports]\r\nCOM3=/dev/ttyACM0\r\n");
        QByteArray bytes("\xFF\xFE");
        for (QChar c : text) {
            bytes.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
        }
        QVERIFY(folder.write(bytes));
        ScriptedDialogs dialogs;
        {
            TfrmMain w(folder.path(), dialogs);
            QVERIFY(dialogs.calls.isEmpty());
            QVERIFY(Find<QRadioButton>(&w, "rad_com3")->isChecked());
            QCOMPARE(w.state().station.PositionName[2], QStringLiteral("Lokschuppen Süd"));
            w.show();
            w.btnCloseClick();
        }
        // Written back as UTF-8 with everything it held.
        IniFile back;
        QVERIFY(back.load(folder.path()));
        QCOMPARE(back.readString("Name", "Position_2_name", QString()),
                 QStringLiteral("Lokschuppen Süd"));
        QCOMPARE(back.readString("Ports", "COM3", QString()), QStringLiteral("/dev/ttyACM0"));
    }

    void eepromDumpsShowStoredCellsAtStart() {
        SettingsFolder folder;
        QVERIFY(folder.write("[EE_GRUBE]\ndata_1_grube=171\n[EE_BUHNE]\ndata_0_buhne=18\n"));
        ScriptedDialogs dialogs;
        TfrmMain w(folder.path(), dialogs);
        w.frameEEprom()->Timer3Timer();
        QVERIFY(Find<QPlainTextEdit>(&w, "Memo_ee_grube")->toPlainText().startsWith("0x00: 00ab"));
        QVERIFY(Find<QPlainTextEdit>(&w, "Memo_ee_buhne")->toPlainText().startsWith("0x00: 127e"));
    }

    void failedWriteShowsTheSendBox() {
        PtyWindow t(2);
        QVERIFY(t.pty.isValid());
        TfrmMain &w = t.w();
        w.btnStartClick();
        QVERIFY(w.state().connection().online());
        w.state().sendQueue.QueueValue(0xF0, 1);
        t.pty.closeMaster(); // the far end goes away; the next byte cannot be written
        w.Timer_SendenTimer();
        QCOMPARE(t.dialogs.calls.size(), 1);
        QCOMPARE(t.dialogs.calls.first().caption, QStringLiteral("Fehler Daten Senden - SendData"));
        QVERIFY(t.dialogs.calls.first().text.startsWith(
            "Das Senden der Daten wurde abgebrochen, ein Senden von Daten war nicht möglich.\n"
            "Problem mit RS232 Schnittstelle!"));
        QVERIFY(t.dialogs.calls.first().text.contains(QStringLiteral("Gegenstelle")));
        QVERIFY(!w.state().connection().online());
        // The read side sees the same loss later: still one box, while the window's timers go on.
        QVERIFY(WaitForHousekeepingTicks(w));
        w.Timer_ReceiveTimer();
        QCOMPARE(t.dialogs.calls.size(), 1);
    }

    void floodOnASlowLineKeepsTheConnection() {
        PtyWindow t(4, "Benutzer=Debug\n");
        QVERIFY(t.pty.isValid());
        TfrmMain &w = t.w();
        w.btnStartClick();
        QString text;
        for (int i = 0; text.size() < 20000; ++i) {
            text += QStringLiteral("%1,").arg(i);
        }
        Find<QLineEdit>(&w, "Edit1")->setText(text);
        w.frameSettings()
            ->btnSendenClick(); // far more than a pseudo-terminal buffers while nobody reads
        w.state().sendQueue.QueueValue(0xF0, 0x11);
        const QString logged = w.frameSettings()->sendLogLines().last();
        const qint64 taken = logged.section(u'(', -1).chopped(1).toLongLong();
        QVERIFY2(taken < text.size(), qPrintable(logged)); // claims only what the line took
        QVERIFY(t.dialogs.calls.isEmpty());
        QVERIFY(w.state().connection().online());
        // The far end reads slowly; the rest follows in order, then the queued request.
        QByteArray got;
        const QByteArray expected = text.toLatin1() + QByteArray("\xF0\x11\x00", 3);
        QTRY_VERIFY_WITH_TIMEOUT(
            (w.Timer_SendenTimer(), got += t.pty.receive(), got.size() >= expected.size()), 30000);
        QCOMPARE(got, expected);
        QVERIFY(t.dialogs.calls.isEmpty());
        QVERIFY(w.state().connection().online());
    }

    void startStopAgainstPseudoTerminal() {
        PtyWindow t(3);
        QVERIFY(t.pty.isValid());
        TfrmMain &w = t.w();
        QTest::mouseClick(Find<QPushButton>(&w, "btnStart"), Qt::LeftButton);
        QCOMPARE(t.dialogs.calls.size(), 0);
        QCOMPARE(w.statusText(), QStringLiteral("COM3 geöffnet"));
        QVERIFY(w.state().connection().online());
        QVERIFY(w.port().isOpen());
        QVERIFY(!Find<QPushButton>(&w, "btnStart")->isEnabled());
        QVERIFY(Find<QPushButton>(&w, "btnStop")->isEnabled());
        QVERIFY(Find<QPushButton>(&w, "btnSenden")->isEnabled());
        QVERIFY(!Find<QPushButton>(&w, "btnCheck")->isEnabled());
        QVERIFY(!Find<QGroupBox>(&w, "GroupBoxCom")->isEnabled());
        for (const char *name : {"rad_com1", "rad_com3", "rad_com9", "rad_2400", "rad_19200"}) {
            QVERIFY2(!Find<QRadioButton>(&w, name)->isEnabled(), name);
        }
        QVERIFY(Find<QTimer>(&w, "Timer_Receive")->isActive());
        QVERIFY(w.state().sendQueue.isEmpty()); // Start itself sends nothing

        // A read request goes out one byte per transmit tick, logged in Memo2.
        w.state().sendQueue.QueueValue(0xF0, 0x10);
        w.frameSettings()->ClearSendLog();
        w.Timer_SendenTimer();
        w.Timer_SendenTimer();
        w.Timer_SendenTimer();
        QByteArray sent;
        QTRY_COMPARE((sent += t.pty.receive()), QByteArray("\xF0\x10\x00", 3));
        QCOMPARE(w.frameSettings()->sendLogLines().size(), 3);
        QCOMPARE(w.frameSettings()->sendLogLines().first(), QStringLiteral("'ð' $f0 b11110000"));

        // The board's answer lands in the mirror as soon as it is read and the report behind it
        // shows it in step; the port is read as soon as it reports bytes.
        QVERIFY(t.pty.send(QByteArray("XYZG\x10\x2A"
                                      "F\x00\x00",
                                      9)));
        QTRY_COMPARE(w.state().pit.value(16), uint8_t(42));
        QVERIFY(w.state().pit.received(16));
        auto *memo1 = Find<QPlainTextEdit>(&w, "Memo1");
        QCOMPARE(Lines(memo1).size(), 7);
        QCOMPARE(Lines(memo1).at(6), QStringLiteral("Info 7: ff ff ff"));

        // Stop: the next receive tick closes the port.
        QTest::mouseClick(Find<QPushButton>(&w, "btnStop"), Qt::LeftButton);
        QVERIFY(!w.state().connection().online());
        QVERIFY(w.port().isOpen());
        w.Timer_ReceiveTimer();
        QVERIFY(!w.port().isOpen());
        QCOMPARE(w.statusText(), QStringLiteral("Kommunikation mit Gruben-Platine gestoppt"));
        QVERIFY(!Find<QTimer>(&w, "Timer_Receive")->isActive());
        QVERIFY(Find<QRadioButton>(&w, "rad_com3")->isEnabled());
        QVERIFY(Find<QPushButton>(&w, "btnStart")->isEnabled());

        // Bytes queued while offline drain into the log without reaching the line.
        w.state().sendQueue.QueueValue(0xF0, 1);
        w.Timer_SendenTimer();
        QCOMPARE(w.state().sendQueue.length(), 2);
        // The window's own transmit ticks drain the rest; a byte written would be on the far end
        // at once.
        QTRY_VERIFY_WITH_TIMEOUT(w.state().sendQueue.isEmpty(), 2000);
        QVERIFY(t.pty.receive().isEmpty());
        QCOMPARE(t.dialogs.calls.size(), 0);
    }

    void dumps() {
        PtyWindow t(3, "Baud=2400\nBenutzer=Debug\n");
        QVERIFY(t.pty.isValid());
        TfrmMain &w = t.w();
        // Without an open port the line settings cannot be read.
        w.frameSettings()->btn_DCBClick();
        QCOMPARE(t.dialogs.calls.size(), 1);
        QCOMPARE(t.dialogs.calls.first().caption, QStringLiteral("GetCommState"));
        w.btnStartClick();
        QVERIFY(w.state().connection().online());
        auto *memo1 = Find<QPlainTextEdit>(&w, "Memo1");
        memo1->clear();
        w.frameSettings()->btn_DCBClick();
        w.frameSettings()->btn_hComReceiveClick();
        w.frameSettings()->btn_comstatClick();
        const QStringList lines = Lines(memo1);
        QCOMPARE(lines.size(), 7 + 4 + 2);
        QCOMPARE(lines.at(0), QStringLiteral("baud rate: 2400"));
        QCOMPARE(lines.at(1), QStringLiteral("parity: 0"));
        QVERIFY(lines.at(6).startsWith("RTS flow control: "));
        QVERIFY(lines.at(7).startsWith("max Tx bufsize, in bytes: "));
        QCOMPARE(lines.at(11), QStringLiteral("cbInQue: 0"));
        QCOMPARE(lines.at(12), QStringLiteral("cbInQue: 0"));
        QCOMPARE(t.dialogs.calls.size(), 1);
    }

    void startWithMissingPort() {
        SettingsFolder folder;
        QVERIFY(folder.write("[SETTINGS]\nCOM-Port=3\n" + PortsSection({})));
        ScriptedDialogs dialogs;
        TfrmMain w(folder.path(), dialogs);
        w.btnStartClick();
        QCOMPARE(dialogs.calls.size(), 1);
        QCOMPARE(dialogs.calls.first().kind, QStringLiteral("error"));
        QCOMPARE(dialogs.calls.first().caption,
                 QStringLiteral("Fehler COM-Port Öffnen - OpenComm"));
        QVERIFY(dialogs.calls.first().text.startsWith(
            "Das Öffnen des COM-Ports wurde abgebrochen.\nProblem mit RS232 Schnittstelle, "
            "COM-Port nicht vorhanden!\n\nBitte unter EINSTELLUNGEN einem freien COM-Port "
            "wählen"));
        QVERIFY(
            dialogs.calls.first().text.endsWith(TestIni::MissingDevice + " ist nicht vorhanden."));
        QCOMPARE(w.statusText(), QStringLiteral("kein COM3-Port"));
        QVERIFY(!w.state().connection().online());
        QVERIFY(Find<QPushButton>(&w, "btnStart")->isEnabled());
        QVERIFY(!Find<QPushButton>(&w, "btnStop")->isEnabled());
        QVERIFY(Find<QRadioButton>(&w, "rad_com3")->isEnabled());
    }

    void lostLineGivesOneBoxAndGoesOffline() {
        PtyWindow t(2);
        QVERIFY(t.pty.isValid());
        TfrmMain &w = t.w();
        w.btnStartClick();
        QVERIFY(w.state().connection().online());
        w.state().sendQueue.QueueValue(0xF0, 1);
        t.pty.closeMaster(); // the adapter is pulled
        QTRY_COMPARE(t.dialogs.calls.size(), 1);
        QCOMPARE(t.dialogs.calls.first().caption,
                 QStringLiteral("Fehler Datenempfang - ReceiveData"));
        QVERIFY(t.dialogs.calls.first().text.startsWith(
            "Der Datenempfang wurde abgebrochen, ein Empfang von Daten war nicht möglich.\n"
            "Problem mit RS232 Schnittstelle!"));
        QVERIFY(!w.state().connection().online());
        QVERIFY(!w.port().isOpen());
        // The device is awaited to come back ("automatisch wieder verbinden" is on), and the
        // status bar says so.
        QCOMPARE(w.statusText(), ConnectionTexts::WaitingFor(t.pty.device()));
        QVERIFY(!Find<QTimer>(&w, "Timer_Receive")->isActive());
        // The timers go on: nothing more is reported and the queue drains into the log.
        QVERIFY(WaitForHousekeepingTicks(w));
        w.Timer_ReceiveTimer();
        w.Timer_SendenTimer();
        QCOMPARE(t.dialogs.calls.size(), 1);
        QVERIFY(w.state().sendQueue.isEmpty());
        QVERIFY(Find<QPushButton>(&w, "btnStart")->isEnabled());
    }

    void portScan() {
        SettingsFolder folder;
        Pty pty;
        QVERIFY(pty.isValid());
        QVERIFY(folder.write(PortsSection({{2, pty.device()}})));
        ScriptedDialogs dialogs;
        TfrmMain w(folder.path(), dialogs);
        auto *memo1 = Find<QPlainTextEdit>(&w, "Memo1");
        w.frameSettings()->btnCheckClick();
        // The window goes on while the ports are probed, one after the other.
        QVERIFY(w.frameSettings()->portScan().running());
        QVERIFY(!Find<QPushButton>(&w, "btnCheck")->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!w.frameSettings()->portScan().running(), 20000);
        QVERIFY(Find<QPushButton>(&w, "btnCheck")->isEnabled());
        QVERIFY(dialogs.calls.isEmpty());
        const QStringList lines = Lines(memo1);
        QCOMPARE(lines.size(), 2 + 9); // not cleared first
        QCOMPARE(lines.at(2), QStringLiteral("kein COM1-Port"));
        QCOMPARE(lines.at(3), QStringLiteral("COM2 OK"));
        QCOMPARE(lines.at(10), QStringLiteral("kein COM9-Port"));
        for (int n = 1; n <= 9; ++n) {
            const auto *rad =
                Find<QRadioButton>(&w, qPrintable(QStringLiteral("rad_com%1").arg(n)));
            QCOMPARE(rad->isEnabled(), n == 2);
        }
        // The checked COM5 stays checked though disabled.
        QVERIFY(Find<QRadioButton>(&w, "rad_com5")->isChecked());
        // A failed open outside the scan shows its box again.
        w.btnStartClick();
        QCOMPARE(dialogs.count("error"), 1);
    }

    void fillBarAndManualSend() {
        PtyWindow t(4, "Benutzer=Debug\n");
        QVERIFY(t.pty.isValid());
        TfrmMain &w = t.w();
        w.btnStartClick();
        w.SetReadOnArrival(false); // the test ticks itself
        auto *bar = Find<QProgressBar>(&w, "ProgressBar2");

        // A tick drains what waits, up to the 4000 bytes of its read buffer.
        for (int sent = 0; sent < 4081; sent += 1000) {
            QVERIFY(t.pty.send(QByteArray(std::min(1000, 4081 - sent), 'q')));
            QTRY_COMPARE(w.port().QueryPortStatus(), qint64(std::min(sent + 1000, 4081)));
        }
        w.Timer_ReceiveTimer(); // takes 4000, leaves 81
        QCOMPARE(bar->value(), 81);
        QCOMPARE(bar->palette().color(QPalette::Highlight), QColor(255, 0, 0));
        QVERIFY(t.pty.send(QByteArray(80 - 81 + 4000 - 1, 'q'))); // 3998 more
        QTRY_COMPARE(w.port().QueryPortStatus(), qint64(81 + 3998));
        w.Timer_ReceiveTimer(); // leaves 79
        QCOMPARE(bar->value(), 79);
        QCOMPARE(bar->palette().color(QPalette::Highlight), QColor(0, 0, 128));
        w.Timer_ReceiveTimer(); // drained
        QCOMPARE(bar->value(), 0);

        Find<QLineEdit>(&w, "Edit1")->setText("abc");
        QTest::mouseClick(Find<QPushButton>(&w, "btnSenden"), Qt::LeftButton);
        QByteArray got;
        QTRY_COMPARE((got += t.pty.receive()), QByteArray("abc"));
        QCOMPARE(w.frameSettings()->sendLogLines().last(), QStringLiteral("gesendet:'abc' (3)"));
    }

    void largerReadSizeReadsUntilDrained() {
        PtyWindow t(4, "Buffersize=10\n");
        QVERIFY(t.pty.isValid());
        TfrmMain &w = t.w();
        w.btnStartClick();
        w.SetReadOnArrival(false); // the test ticks itself
        QByteArray burst("XYZ");
        for (int i = 0; i < 20; ++i) {
            burst += QByteArray("G") + char(i) + char(i + 100);
            w.state().answers.NoteRequest(AnswerFilter::Board::Grube, i, w.state().now());
        }
        burst += QByteArray("F\x00\x00", 3);
        QVERIFY(t.pty.send(burst));
        QTRY_COMPARE(w.port().QueryPortStatus(), qint64(burst.size()));
        w.Timer_ReceiveTimer(); // reads of 10 repeat until one returns fewer
        QCOMPARE(w.port().QueryPortStatus(), qint64(0));
        // Every answer of the burst lands, not only the latest one.
        for (int i = 0; i < 20; ++i) {
            QCOMPARE(w.state().pit.value(i), uint8_t(i + 100));
            QVERIFY(w.state().pit.received(i));
        }
    }
    // ---------------------------------------------------------------------------------------
    // "Ende" with rows not yet written to the board, and a settings file that cannot be written

    void endeAsksBeforeUnwrittenRowsAreLost_data() {
        QTest::addColumn<int>("choice");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("written");
        QTest::newRow("Abbrechen") << int(Dialogs::Choice::Cancel) << false << false;
        QTest::newRow("Nein") << int(Dialogs::Choice::No) << true << false;
        QTest::newRow("Ja") << int(Dialogs::Choice::Yes) << true << true;
    }
    void endeAsksBeforeUnwrittenRowsAreLost() {
        QFETCH(int, choice);
        QFETCH(bool, closes);
        QFETCH(bool, written);
        const QByteArray file = "[SETTINGS]\nBenutzer=Debug\n";
        TestWindow t(file);
        TfrmMain &w = t.w();
        w.show();
        // Nothing unwritten: "Ende" saves without a word.
        QVERIFY(!w.HasUnwrittenChanges());
        auto *edit = Find<QLineEdit>(w.frameParameter(), "edt_para_0");
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, "100");
        QVERIFY(w.HasUnwrittenChanges());

        t.dialogs.choices = {Dialogs::Choice(choice)};
        QTest::mouseClick(Find<QPushButton>(&w, "btnClose"), Qt::LeftButton);
        QCOMPARE(t.dialogs.count("yesnocancel"), 1);
        const QString question = t.dialogs.calls.first().text;
        QVERIFY(question.contains(QStringLiteral("noch nicht zur Platine übertragen")));
        // Plainly: "Ja" is no write to the board.
        QVERIFY(question.contains(
            QStringLiteral("„Ja“ speichert nur die Einstellungsdatei; zur Platine wird nichts "
                           "übertragen.")));
        QCOMPARE(w.isVisible(), !closes);
        QCOMPARE(t.folder.read() != file, written);
        QCOMPARE(t.dialogs.calls.size(), 1); // closing asked nothing more
    }

    void settingsFileThatIsAFolder() {
        SettingsFolder folder;
        QVERIFY(QDir().mkpath(folder.path()));
        {
            ScriptedDialogs dialogs;
            TfrmMain w(folder.path(), dialogs);
            QCOMPARE(dialogs.count("error"), 1); // at the start: the defaults are in use
            QVERIFY(dialogs.calls.first().text.contains(QStringLiteral("ist ein Ordner")));
            w.show();
            // Moved by the user: a place is no change worth a question, before "Ende" or after.
            w.move(w.pos() + QPoint(40, 30));
            QVERIFY(!w.SettingsChanged());
            // "Ende" says once why it cannot save, then asks whether to close without.
            dialogs.answers = {false, true};
            w.btnCloseClick();
            QCOMPARE(dialogs.count("error"), 2);
            QVERIFY(dialogs.calls.at(1).text.contains(QStringLiteral("ist ein Ordner")));
            QCOMPARE(dialogs.count("yesno"), 1);
            QVERIFY(dialogs.calls.at(2).text.contains(QStringLiteral("ohne Speichern beenden")));
            QVERIFY(w.isVisible());
            // Nothing changed, and nothing is claimed to have changed.
            QVERIFY(!w.SettingsChanged());
            w.btnCloseClick();
            QCOMPARE(dialogs.count("error"), 2); // not again
            QCOMPARE(dialogs.count("yesno"), 2);
            QVERIFY(!w.isVisible());
        }
        {
            // Closed another way: no question about changes nobody made.
            ScriptedDialogs dialogs;
            TfrmMain w(folder.path(), dialogs);
            w.show();
            w.btnCloseClick();
            QVERIFY(w.isVisible()); // "Nein": stays
            QVERIFY(w.close());
            QCOMPARE(dialogs.count("yesnocancel"), 0);
        }
        QVERIFY(QFileInfo(folder.path()).isDir());
    }

    // A save or a load on the settings tab ends with a status line of its own, never with the
    // previous transfer's; a file to load that does not exist is told as such.
    void saveAndLoadSayHowTheyEnded() {
        TestWindow t;
        TfrmMain &w = t.w();
        TFrameSettings *tab = w.frameSettings();
        auto *status = Find<QLabel>(&w, "StatusPanel0");
        const QString station = t.folder.file(QStringLiteral("station.pvt"));

        status->setText(QStringLiteral("256 Zellen in 4,1 s gelesen"));
        tab->Button1Click(); // cancelled
        QCOMPARE(w.statusText(), QStringLiteral("Speichern abgebrochen"));
        t.dialogs.fileNames = {station};
        tab->Button1Click();
        QCOMPARE(w.statusText(), QStringLiteral("Einstellungen gespeichert in station.pvt"));
        t.dialogs.fileNames = {t.folder.file(QStringLiteral("no-such-folder/x.pvt"))};
        tab->Button1Click();
        QCOMPARE(w.statusText(), QStringLiteral("Einstellungen nicht gespeichert"));
        QCOMPARE(t.dialogs.count("error"), 1);

        status->setText(QStringLiteral("256 Zellen in 4,1 s gelesen"));
        Find<QCheckBox>(&w, "cbx_load_para")->setChecked(true);
        tab->Button2Click(); // cancelled
        QCOMPARE(w.statusText(), QStringLiteral("Laden abgebrochen"));
        t.dialogs.fileNames = {station};
        t.dialogs.answers = {true};
        tab->Button2Click();
        QCOMPARE(w.statusText(), QStringLiteral("aus station.pvt übernommen: Parameter"));
        t.dialogs.fileNames = {station};
        t.dialogs.answers = {false};
        tab->Button2Click();
        QCOMPARE(w.statusText(), QStringLiteral("aus station.pvt nichts übernommen"));

        const int errors = t.dialogs.count("error");
        const QString missing = t.folder.file(QStringLiteral("gibt-es-nicht.pvt"));
        t.dialogs.fileNames = {missing};
        tab->Button2Click();
        QCOMPARE(t.dialogs.count("error"), errors + 1);
        QCOMPARE(
            t.dialogs.calls.last().text,
            QStringLiteral("Die Datei %1 gibt es nicht. Es wurde nichts geladen.").arg(missing));
        QCOMPARE(w.statusText(), QStringLiteral("nichts geladen"));
        t.dialogs.fileNames = {t.folder.file(QString())};
        tab->Button2Click();
        QVERIFY(t.dialogs.calls.last().text.contains(QStringLiteral("ist ein Ordner")));
    }

    // The send log keeps its last 20,000 lines and the debug memo its last 1000, however long the
    // program runs.
    void logsKeepTheirLastLines() {
        TestWindow t("[SETTINGS]\nBenutzer=Debug\n");
        TfrmMain &w = t.w();
        TFrameSettings *tab = w.frameSettings();
        for (int i = 0; i < 20005; ++i) {
            tab->AppendSendLog(static_cast<uint8_t>(i));
        }
        const QStringList log = tab->sendLogLines();
        QCOMPARE(log.size(), 20000);
        QCOMPARE(log.first(), SendLogLine(5));
        QCOMPARE(log.last(), SendLogLine(static_cast<uint8_t>(20004)));
        tab->ClearSendLog();
        QVERIFY(tab->sendLogLines().isEmpty());

        auto *memo1 = Find<QPlainTextEdit>(&w, "Memo1");
        tab->btnCheckClick(); // nine lines
        QTRY_VERIFY_WITH_TIMEOUT(!tab->portScan().running(), 20000);
        for (int i = 0; i < 500; ++i) {
            tab->btn_comstatClick(); // two lines each
        }
        tab->btnCheckClick();
        QTRY_VERIFY_WITH_TIMEOUT(!tab->portScan().running(), 20000);
        const QStringList lines = Lines(memo1);
        QCOMPARE(lines.size(), 1000);
        // The two lines it starts with, the first scan and most of the status lines went.
        QVERIFY(lines.first().startsWith(QStringLiteral("cbInQue: ")));
        QCOMPARE(lines.last(), QStringLiteral("kein COM9-Port"));
        QCOMPARE(lines.filter(QStringLiteral("COM1")).size(), 1);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
