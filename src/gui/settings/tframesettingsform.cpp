// The settings tab's form: the port and its mapping, the baud rate, the user level and the manual
// send, the groups that save and load configuration files, how transfers are paced, the send log
// and the info dump, and the port dumps. Most of it is a table of controls.

#include "gui/settings/tframesettings.h"

#include "core/configuration/configfile.h"
#include "core/settings/settingsstore.h"
#include "gui/common/formtable.h"
#include "gui/common/named.h"
#include "gui/settings/backuppanel.h"
#include "gui/settings/sendlogmodel.h"
#include "gui/settings/sendlogview.h"
#include "platform/settingslocation.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {
constexpr const char *Context = "TFrameSettings"; // the tab's texts are translated in it
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;
constexpr int SendLogMaxLines = 20000; // the send log grows by one line per byte
constexpr int Memo1MaxLines = 1000;    // each port scan adds nine lines
constexpr const char *LoadBoxNames[4] = {"cbx_load_com", "cbx_load_gleisdef", "cbx_load_para",
                                         "cbx_load_adr"};
// Calls then when the button becomes checked, by a click or by the settings shown; its unchecking
// says nothing, since another button of its group is checked at the same time.
template <typename Then> void WhenChecked(QRadioButton *rad, QObject *context, Then then) {
    QObject::connect(rad, &QRadioButton::toggled, context, [then](bool on) {
        if (on) {
            then();
        }
    });
}
} // namespace

void TFrameSettings::BuildForm() {
    BuildPortGroups();
    BuildChoiceGroups();
    BuildFileGroups();
    BuildLogs();
    m_backup = new BackupPanel(m_state, m_dialogs, m_currentSettings, this);
    connect(m_backup, &BackupPanel::statusMessage, this, &TFrameSettings::statusMessage);
}

void TFrameSettings::BuildPortGroups() {
    using namespace FormTable;
    // clang-format off
    BuildControls(this, Context, {
        {Kind::GroupBox, "GroupBoxCom", {10, 10, 130, 260}, QT_TR_NOOP("COM-Port"), nullptr,
         Into(GroupBoxCom)},
        {Kind::GroupBox, "GroupBoxPorts", {10, 300, 310, 232}, QT_TR_NOOP("Port-Zuordnung"),
         nullptr, Into(GroupBoxPorts)},
    });
    // clang-format on
    for (int n = 1; n <= 9; ++n) {
        auto *rad = new QRadioButton(tr("Com%1").arg(n), GroupBoxCom);
        rad->setObjectName(QStringLiteral("rad_com%1").arg(n));
        rad->setGeometry(10, 20 + (n - 1) * 22, 100, 20);
        connect(rad, &QRadioButton::clicked, this, &TFrameSettings::rad_comClick);
        WhenChecked(rad, this, [this] { TellConnection(); });
        rad_com[static_cast<size_t>(n)] = rad;
        // What each COM number means, and a way to map one to a device of this machine.
        auto *label = new QLabel(GroupBoxPorts);
        label->setObjectName(QStringLiteral("lbl_port%1").arg(n));
        label->setGeometry(10, 20 + (n - 1) * 16, 290, 16);
        lbl_port[static_cast<size_t>(n)] = label;
    }
    // clang-format off
    BuildControls(GroupBoxCom, Context, {
        {Kind::Button, "btnCheck", {8, 222, 114, ButtonHeight}, QT_TR_NOOP("COM-Port suchen"),
         QT_TR_NOOP("Suche nach COM-Ports"), Into(btnCheck)},
    });
    ComboBox_ports = Named(new QComboBox(GroupBoxPorts), "ComboBox_ports");
    ComboBox_ports->setGeometry(10, 170, 290, 24);
    ComboBox_ports->setToolTip(tr("Geräte dieses Rechners"));
    BuildControls(GroupBoxPorts, Context, {
        {Kind::Button, "btn_port_assign", {10, 200, 90, ButtonHeight}, QT_TR_NOOP("zuordnen"),
         QT_TR_NOOP("ordnet das gewählte Gerät dem markierten COM-Port zu"),
         Into(btn_port_assign)},
        {Kind::CheckBox, "cbx_auto_verbinden", {104, 202, 204, 20},
         QT_TR_NOOP("automatisch wieder verbinden"),
         QT_TR_NOOP("öffnet den Port wieder, sobald der abgezogene USB-Adapter wieder "
                    "eingesteckt ist"),
         Into(cbx_auto_verbinden)},
    });
    // clang-format on
    cbx_auto_verbinden->setChecked(true);
    connect(btnCheck, &QPushButton::clicked, this, &TFrameSettings::btnCheckClick);
    connect(btn_port_assign, &QPushButton::clicked, this, &TFrameSettings::btn_port_assignClick);
    connect(cbx_auto_verbinden, &QCheckBox::toggled, this, &TFrameSettings::TellConnection);
}

void TFrameSettings::BuildChoiceGroups() {
    using namespace FormTable;
    // clang-format off
    BuildControls(this, Context, {
        {Kind::GroupBox, "GroupBox1", {150, 10, 170, 95}, QT_TR_NOOP("Baud Rate"), nullptr,
         Into(GroupBox1)},
        {Kind::GroupBox, "GroupBox3", {150, 110, 170, 95}, QT_TR_NOOP("Darstellung"),
         QT_TR_NOOP("Änderung erst nach RESET aktiv"), Into(GroupBox3)},
        {Kind::GroupBox, "GroupBox2", {150, 210, 170, 85}, QT_TR_NOOP("Senden"), nullptr,
         Into(GroupBox2)},
    });
    BuildControls(GroupBox1, Context, {
        {Kind::RadioButton, "rad_2400", {10, 20, 140, 20}, "2400", QT_TR_NOOP("Baud-Rate 2400"),
         Into(rad_2400)},
        {Kind::RadioButton, "rad_9600", {10, 42, 140, 20}, "9600", QT_TR_NOOP("Baud-Rate 9600"),
         Into(rad_9600)},
        {Kind::RadioButton, "rad_19200", {10, 64, 140, 20}, "19200",
         QT_TR_NOOP("Baud-Rate 19200"), Into(rad_19200)},
    });
    BuildControls(GroupBox3, Context, {
        {Kind::RadioButton, "rad_fahren", {10, 20, 150, 20}, QT_TR_NOOP("Betrieb"), nullptr,
         Into(rad_fahren)},
        {Kind::RadioButton, "rad_justage", {10, 42, 150, 20}, QT_TR_NOOP("Einstellen + Justage"),
         nullptr, Into(rad_justage)},
        {Kind::RadioButton, "rad_debug", {10, 64, 150, 20}, "Debug", nullptr, Into(rad_debug)},
    });
    BuildControls(GroupBox2, Context, {
        {Kind::LineEdit, "Edit1", {10, 22, 150, 24}, nullptr,
         QT_TR_NOOP("Zeichen, die beim Druck auf SENDEN über die RS232 geschickt werden"),
         Into(Edit1)},
        {Kind::Button, "btnSenden", {10, 52, ButtonWidth, ButtonHeight}, QT_TR_NOOP("Senden"),
         nullptr, Into(btnSenden)},
    });
    // clang-format on
    rad_19200->setChecked(true);
    GroupBox1->setEnabled(false);
    GroupBox1->setVisible(false);
    rad_justage->setChecked(true);
    GroupBox2->setVisible(false);
    for (QRadioButton *rad : {rad_2400, rad_9600, rad_19200}) {
        WhenChecked(rad, this, [this] { TellConnection(); });
    }
    for (QRadioButton *rad : {rad_fahren, rad_justage, rad_debug}) {
        WhenChecked(rad, this, [this] { emit levelChosen(checkedLevel()); });
        // The tabs follow the level at the next start only: a click says so where the user looks.
        connect(rad, &QRadioButton::clicked, this,
                [this, rad] { emit statusMessage(LevelAtNextStart(rad->text())); });
    }
    connect(btnSenden, &QPushButton::clicked, this, &TFrameSettings::btnSendenClick);
}

void TFrameSettings::BuildFileGroups() {
    using namespace FormTable;
    // clang-format off
    BuildControls(this, Context, {
        {Kind::GroupBox, "GroupBox4", {330, 10, 230, 112}, QT_TR_NOOP("Einstellungen speichern"),
         nullptr, Into(GroupBox4)},
        {Kind::GroupBox, "GroupBox5", {330, 130, 230, 250}, QT_TR_NOOP("Einstellungen laden"),
         nullptr, Into(GroupBox5)},
        // How the tabs' transfers go: paced by the boards' answers and read back, or as first
        // built.
        {Kind::GroupBox, "GroupBoxTransfer", {330, 390, 230, 72}, QT_TR_NOOP("Übertragung"),
         nullptr, Into(GroupBoxTransfer)},
    });
    // clang-format on
    // The settings file in use: beside the program, in the user's folder, or the one named on
    // the command line. A long path keeps its start and its file name; the tool tip holds it all.
    lbl_settings_file = Named(new QLabel(this), "lbl_settings_file");
    lbl_settings_file->setGeometry(330, 470, 230, 34);
    lbl_settings_file->setTextInteractionFlags(Qt::TextSelectableByMouse);
    const QString path = ShownPath(m_store.path());
    lbl_settings_file->setText(
        tr("Einstellungsdatei:") + QLatin1Char('\n') +
        lbl_settings_file->fontMetrics().elidedText(path, Qt::ElideMiddle, 230));
    lbl_settings_file->setToolTip(path);
    // clang-format off
    BuildControls(GroupBox4, Context, {
        {Kind::Label, "", {10, 22, 212, 16}, QT_TR_NOOP("hier können alle Einstellungen"),
         nullptr, {}},
        {Kind::Label, "", {10, 38, 212, 16}, QT_TR_NOOP("(Parameter, Adressen, Positionen"),
         nullptr, {}},
        {Kind::Label, "", {10, 54, 212, 16}, QT_TR_NOOP("usw.) gespeichert werden."),
         nullptr, {}},
        {Kind::Button, "Button1", {10, 78, 90, ButtonHeight}, QT_TR_NOOP("speichern"), nullptr,
         Into(Button1)},
    });
    // The station sheet under the settings file's name: the same data on paper.
    BuildControls(this, Context, {
        {Kind::Label, "", {330, 516, 91, 16}, QT_TR_NOOP("Stationsblatt:"), nullptr, {}},
        {Kind::Button, "btn_drucken", {423, 512, 68, ButtonHeight}, QT_TR_NOOP("drucken ..."),
         QT_TR_NOOP("Stationsblatt drucken: Positionen, Adressen und alle Parameter"),
         Into(btn_drucken)},
        {Kind::Button, "btn_pdf", {492, 512, 68, ButtonHeight}, QT_TR_NOOP("als PDF ..."),
         QT_TR_NOOP("Stationsblatt als PDF-Datei speichern"), Into(btn_pdf)},
    });
    BuildControls(GroupBox5, Context, {
        {Kind::Label, "", {10, 22, 212, 16}, QT_TR_NOOP("gespeicherte Parameter-Dateien"),
         nullptr, {}},
        {Kind::Label, "", {10, 38, 212, 16}, QT_TR_NOOP("können hier eingelesen werden."),
         nullptr, {}},
        {Kind::Label, "", {10, 54, 212, 16}, QT_TR_NOOP("Dabei werden nur die gewählten"),
         nullptr, {}},
        {Kind::Label, "", {10, 70, 212, 16}, QT_TR_NOOP("Daten übernommen."),
         nullptr, {}},
        {Kind::Label, "", {10, 94, 212, 16}, QT_TR_NOOP("folgende Daten übernehmen:"),
         nullptr, {}},
    });
    // clang-format on
    for (size_t i = 0; i < ConfigFile::Contents.size(); ++i) {
        const ConfigFile::Content part = ConfigFile::Contents[i];
        auto *box = Named(new QCheckBox(ConfigFile::Caption(part), GroupBox5),
                          QLatin1String(LoadBoxNames[i]));
        box->setToolTip(ConfigFile::Hint(part));
        box->setGeometry(10, 114 + 22 * static_cast<int>(i), 190, 20);
        m_loadBoxes[i] = box;
    }
    // clang-format off
    BuildControls(GroupBox5, Context, {
        {Kind::Button, "Button2", {10, 212, 90, ButtonHeight}, QT_TR_NOOP("laden"), nullptr,
         Into(Button2)},
    });
    BuildControls(GroupBoxTransfer, Context, {
        {Kind::CheckBox, "cbx_feste_taktung", {10, 20, 210, 20},
         QT_TR_NOOP("feste Taktung (wie bisher)"),
         QT_TR_NOOP("eine Anfrage je Takt der Seite (300 ms lesen, 500 ms schreiben), ohne "
                    "Wiederholung und ohne Prüfen, für eine Platine, die das braucht"),
         Into(cbx_feste_taktung)},
        {Kind::CheckBox, "cbx_schreiben_pruefen", {10, 44, 210, 20},
         QT_TR_NOOP("Schreiben prüfen"),
         QT_TR_NOOP("jede geschriebene Zelle wird zurückgelesen und mit dem Geschriebenen "
                    "verglichen"),
         Into(cbx_schreiben_pruefen)},
    });
    // clang-format on
    connect(Button1, &QPushButton::clicked, this, &TFrameSettings::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFrameSettings::Button2Click);
    connect(btn_drucken, &QPushButton::clicked, this, &TFrameSettings::btn_druckenClick);
    connect(btn_pdf, &QPushButton::clicked, this, &TFrameSettings::btn_pdfClick);
    connect(cbx_feste_taktung, &QCheckBox::clicked, this, &TFrameSettings::cbx_feste_taktungClick);
    connect(cbx_schreiben_pruefen, &QCheckBox::clicked, this,
            &TFrameSettings::cbx_schreiben_pruefenClick);
}

void TFrameSettings::BuildLogs() {
    // The send log shows its lines through a model: one per byte, made only for the rows in view.
    m_sendLog = new SendLogModel(SendLogMaxLines, this);
    Memo2 = Named(new SendLogView(*m_sendLog, this), "Memo2");
    Memo2->resize(180, 300);
    Memo1 = Named(new QPlainTextEdit(this), "Memo1");
    Memo1->setReadOnly(true);
    Memo1->setMaximumBlockCount(Memo1MaxLines);
    Memo1->resize(190, 300);
    Memo1->setPlainText(tr("Sendeprotokoll Empfang \nvon Grube"));

    // clang-format off
    FormTable::BuildControls(this, Context, {
        {FormTable::Kind::Button, "btn_comstat", {150, 300, 90, ButtonHeight}, "COMSTAT",
         nullptr, FormTable::Into(btn_comstat)},
        {FormTable::Kind::Button, "btn_DCB", {150, 330, 90, ButtonHeight}, "DCB", nullptr,
         FormTable::Into(btn_DCB)},
        {FormTable::Kind::Button, "btn_hComReceive", {150, 360, 90, ButtonHeight}, "hComReceive",
         nullptr, FormTable::Into(btn_hComReceive)},
    });
    // clang-format on
    for (QPushButton *b : {btn_comstat, btn_DCB, btn_hComReceive}) {
        b->setVisible(false);
    }
    connect(btn_comstat, &QPushButton::clicked, this, &TFrameSettings::btn_comstatClick);
    connect(btn_DCB, &QPushButton::clicked, this, &TFrameSettings::btn_DCBClick);
    connect(btn_hComReceive, &QPushButton::clicked, this, &TFrameSettings::btn_hComReceiveClick);
}
