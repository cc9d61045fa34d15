#pragma once

#include "comm/portscan.h"
#include "core/configuration/configfile.h"
#include "core/session/session.h"
#include "core/settings/settingsfile.h"
#include "gui/common/tabframe.h"
#include "platform/portenumerator.h"

#include <QPalette>
#include <array>
#include <functional>
#include <memory>

class BackupPanel;
class Dialogs;
class Link;
class PortWatcher;
class IniFile;
class SettingsStore;
class Session;
class SharedState;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class SendLogModel;
class SendLogView;
class QPushButton;
class QRadioButton;

// The settings tab "Einstellungen": the port and its mapping to a device of this machine, the baud
// rate and the user level for the next start, the manual send, configuration files that save a
// whole station and load chosen parts back, the send log and the info dump, and the port dumps.
class TFrameSettings : public TabFrame {
    Q_OBJECT
public:
    // current: the settings as a configuration file or a backup stores them now, from the window
    // that owns the tab, the one that knows its size and place.
    TFrameSettings(Session &session, Dialogs &dialogs, SettingsStore &store,
                   std::function<ProgramSettings()> current, QWidget *parent = nullptr);
    ~TFrameSettings() override;

    void OnlineChanged() override;

    // Checks the buttons that the settings name, shows how transfers are paced, and tells the
    // choices (connectionChosen, levelChosen).
    void ShowSettings(const ProgramSettings &settings) override;
    // What the user level shows of this tab: the memos, and the baud and send groups.
    void ShowLevel(const LevelView &view) override;
    // The memos reach down to 140 pixels above the window's outer bottom edge.
    void FitWindowHeight(int outerHeight) override;
    // Lists the devices found now and what Com1..Com9 mean. The devices are first read when the
    // list is first shown or asked for, never at the start: reading them takes a while.
    void RefreshPortList();
    // Whether the list of devices has been read at all.
    bool portsListed() const { return m_portsListed; }
    // "COM-Port suchen" probes the ports one after the other while the window goes on.
    PortScan &portScan() { return m_scan; }

    // The status line of a click under "Darstellung": the level is for the next start.
    static QString LevelAtNextStart(const QString &caption) {
        return tr("Darstellung „%1“ gilt ab dem nächsten Start.").arg(caption);
    }

    // Follows devices coming and going while the port list is shown.
    PortWatcher &portWatcher() { return *m_watcher; }

    // The send log: one line per byte taken from the transmit queue, and one per manual send.
    void AppendSendLog(uint8_t byte);
    void ClearSendLog();
    QStringList sendLogLines() const;
    // The info dump at a marker of the board.
    void ShowDump(const QStringList &lines);
    // A configuration file given to the program (opened from the file manager): each part that
    // it holds is offered as "laden" offers it, and a file that cannot be loaded is refused in a
    // box.
    void OfferFile(const QString &path);

signals:
    // A line for the status bar.
    void statusMessage(const QString &text);
    // What the user chose to connect to: a port, baud or the box "automatisch wieder verbinden"
    // clicked, or the settings shown.
    void connectionChosen(const ConnectionSettings &settings);
    // The user level stored for the next start.
    void levelChosen(const QString &level);
    // A configuration file was loaded into the mirrors and station data: the tabs show it and
    // mark what it changed in the parts taken.
    void configurationLoaded(const QList<ConfigFile::Content> &taken);

public slots:
    void btnCheckClick();
    void rad_comClick();
    // Maps the checked COM number to the device chosen in the list, in the settings file at once.
    void btn_port_assignClick();
    void btnSendenClick();
    void Button1Click();
    void Button2Click();
    // The station sheet of what the program holds: "drucken ..." through the print preview,
    // "als PDF ..." into a file.
    void btn_druckenClick();
    void btn_pdfClick();
    void btn_DCBClick();
    void btn_hComReceiveClick();
    void btn_comstatClick();
    void cbx_feste_taktungClick();
    void cbx_schreiben_pruefenClick();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void BuildForm();
    void BuildPortGroups();
    void BuildChoiceGroups();
    void BuildFileGroups();
    void BuildLogs();
    // The choices as the buttons hold them: the port 1..9 (0: none checked), the baud rate (0:
    // none checked, the driver's rate stays) and the user level stored for the next start.
    int checkedPort() const;
    int checkedBaud() const;
    QString checkedLevel() const;
    void TellConnection();
    void UpdateWatcher();
    // The session's devices come from another enumerator: a list shown already is read again.
    void OnPortEnumeratorChanged();
    void OnPortsChanged(const QList<FoundPort> &ports);
    void ShowPorts(const QList<FoundPort> &ports);
    void ShowPortMap();
    void AddMemo1(const QString &line);
    void OnPortProbed(int n, PortScan::Result result);
    void OnPortScanFinished(const QStringList &found);
    void ReportSaveFailure(const QString &text);
    // The sheet's title asked for, the settings file's name offered; nullopt when cancelled.
    std::optional<QString> AskSheetTitle();
    // "laden": the file read and checked (false, with the reason said, when it cannot be used),
    // then each part offered that the user agrees to; the parts taken.
    void FailLoad(const QString &text);
    // Loads what the user agrees to of the parts chosen; chosenByUser: the boxes chose them, and
    // a part the file lacks is said.
    void LoadConfiguration(const QString &path, const QList<ConfigFile::Content> &chosen,
                           bool chosenByUser);
    bool ReadConfiguration(const QString &path, IniFile &ini);
    QList<ConfigFile::Content> TakeContents(const IniFile &ini,
                                            const QList<ConfigFile::Content> &offered);

    Session &m_session;
    SharedState &m_state;
    Dialogs &m_dialogs;
    Link &m_link;
    SettingsStore &m_store;
    std::function<ProgramSettings()> m_currentSettings;
    std::unique_ptr<PortWatcher> m_watcher;
    PortScan m_scan;
    bool m_portsListed = false;
    bool m_shown = false;

    QGroupBox *GroupBoxCom = nullptr;
    std::array<QRadioButton *, 10> rad_com{}; // 1..9
    QPushButton *btnCheck = nullptr;
    QGroupBox *GroupBoxPorts = nullptr;
    std::array<QLabel *, 10> lbl_port{}; // 1..9: what each COM number means
    QComboBox *ComboBox_ports = nullptr;
    QPushButton *btn_port_assign = nullptr;
    QCheckBox *cbx_auto_verbinden = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    QRadioButton *rad_2400 = nullptr;
    QRadioButton *rad_9600 = nullptr;
    QRadioButton *rad_19200 = nullptr;
    QGroupBox *GroupBox2 = nullptr;
    QLineEdit *Edit1 = nullptr;
    QPushButton *btnSenden = nullptr;
    QGroupBox *GroupBox3 = nullptr;
    QRadioButton *rad_fahren = nullptr;
    QRadioButton *rad_justage = nullptr;
    QRadioButton *rad_debug = nullptr;
    QGroupBox *GroupBox4 = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *btn_drucken = nullptr;
    QPushButton *btn_pdf = nullptr;
    QGroupBox *GroupBox5 = nullptr;
    QLabel *lbl_settings_file = nullptr;      // the settings file in use
    std::array<QCheckBox *, 4> m_loadBoxes{}; // cbx_load_com, _gleisdef, _para, _adr
    QPushButton *Button2 = nullptr;
    QGroupBox *GroupBoxTransfer = nullptr;
    QCheckBox *cbx_feste_taktung = nullptr;
    QCheckBox *cbx_schreiben_pruefen = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    SendLogModel *m_sendLog = nullptr;
    SendLogView *Memo2 = nullptr;
    QPushButton *btn_comstat = nullptr;
    QPushButton *btn_DCB = nullptr;
    QPushButton *btn_hComReceive = nullptr;
    BackupPanel *m_backup = nullptr; // "Sicherung der Steuerung"
};
