#include "tfrmmain.h"

#include "benchprobe.h"
#include "colors.h"
#include "configfile.h"
#include "dialogs.h"
#include "inifile.h"
#include "inikeys.h"
#include "named.h"
#include "serialportdevice.h"
#include "simport.h"
#include "tframebedienung.h"
#include "tframedefinition.h"
#include "tframediagnose.h"
#include "tframeeeprom.h"
#include "tframeparameter.h"
#include "windowplacement.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
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
#include <QTimer>
#include <QVBoxLayout>

namespace {
const QString OpenErrorCaption = QStringLiteral("Fehler COM-Port Öffnen - OpenComm");
const QString OpenErrorText = QStringLiteral(
    "Das Öffnen des COM-Ports wurde abgebrochen.\nProblem mit RS232 Schnittstelle, COM-Port "
    "nicht vorhanden!\n\nBitte unter EINSTELLUNGEN einem freien COM-Port wählen");
const QString ReceiveErrorCaption = QStringLiteral("Fehler Datenempfang - ReceiveData");
const QString ReceiveErrorText =
    QStringLiteral("Der Datenempfang wurde abgebrochen, ein Empfang von Daten war nicht "
                   "möglich.\nProblem mit RS232 Schnittstelle!");
const QString SendErrorCaption = QStringLiteral("Fehler Daten Senden - SendData");
const QString SendErrorText =
    QStringLiteral("Das Senden der Daten wurde abgebrochen, ein Senden von Daten war nicht "
                   "möglich.\nProblem mit RS232 Schnittstelle!");
const QString StartErrorText = QStringLiteral("Fehler beim Öffnen des COM-Portes ");
const QString StoppedText = QStringLiteral("Kommunikation mit Gruben-Platine gestoppt");
const QString ReceiveFailedText = QStringLiteral("Fehler beim Daten-Empfang ");
QString HandlerFailedText(const char *handler) {
    return QStringLiteral("Fehler bei der Funktion %1 ").arg(QLatin1String(handler));
}

constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;
constexpr int FillBarMax = 100;
constexpr int SendLogMaxLines = 20000; // the send log grows by one line per byte
constexpr int MinWindowWidth = 300;    // a stored size below this is taken for a broken file
constexpr int MinWindowHeight = 200;
constexpr int DefaultWindowWidth = 1000;
constexpr int DefaultWindowHeight = 670;

QString NoPortText(const QString &name) {
    const int n = PortMap::NumberOfName(name);
    return n ? QStringLiteral("kein COM%1-Port").arg(n) : QStringLiteral("kein COM-Port");
}

QLabel *AddLabel(QWidget *parent, const QString &text, int x, int y, int w = 212) {
    auto *label = new QLabel(text, parent);
    label->setGeometry(x, y, w, 16);
    return label;
}

} // namespace

TfrmMain::TfrmMain(const QString &settingsPath, Dialogs &dialogs, QWidget *parent)
    : QMainWindow(parent), m_settingsPath(settingsPath), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("frmMain"));
    BuildForm();

    m_state.sendQueue.onClearLog = [this] { Memo2->clear(); };
    m_enumerator = std::make_unique<SystemPortEnumerator>();
    // The transmit tick runs only while bytes wait: a queued byte wakes it, the tick that sends
    // the last byte puts it to sleep again.
    m_state.sendQueue.onQueued = [this] { WakeSendTick(); };
    connect(&m_port, &ComPort::lineLost, this, &TfrmMain::OnLineLost);
    // A port mapped to "simulator" talks to the built-in controller simulator.
    m_port.setDeviceFactory([](const QString &target) -> std::unique_ptr<PortDevice> {
        if (target == PortMap::Simulator) {
            return std::make_unique<SimulatorPortDevice>(SimulatorPortDevice::Shared());
        }
        return std::make_unique<SerialPortDevice>(target);
    });

    // 1-2: receive state, read size, quiet open.
    m_settings.userLevel.clear();
    m_settings.readSize = ProgramSettings::DefaultReadSize;
    QuietOpen = false;
    // 3
    setWindowTitle(Caption);
    StatusPanel0->setText(VersionStatus);
    move(50, 50);
    // 4-5: mirrors, positions, queue and flags keep the start values of SharedState.
    // 6
    ReadProgIni();
    RefreshPortList();
    // 7
    FormResize();
    // 8
    SetOnline(false);
    Timer_Receive->stop();
    // 9
    m_state.infoTable().Reset();
    // 10
    ApplyUserLevel();
    PageControl1->setCurrentIndex(0);
    m_settingsAtStart = WouldWrite();
    BenchProbe::InstallIfAsked(*this); // measurements for bench/run.sh, only when asked
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::BuildForm() {
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    setCentralWidget(central);

    PageControl1 = Named(new QTabWidget(central), "PageControl1");
    const QStringList captions = {
        QStringLiteral("Betrieb"),   QStringLiteral("Gleis-Definition / Adressen"),
        QStringLiteral("Parameter"), QStringLiteral("Diagnose"),
        QStringLiteral("EEprom"),    QStringLiteral("Einstellungen")};
    for (int i = 0; i < 6; ++i) {
        auto *page = new QWidget;
        page->setObjectName(QStringLiteral("TabSheet%1").arg(i + 1));
        TabSheet[static_cast<size_t>(i)] = page;
        PageControl1->addTab(page, captions.at(i));
    }
    auto placeFrame = [this](int index, QWidget *frame) {
        auto *layout = new QVBoxLayout(TabSheet[static_cast<size_t>(index)]);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(frame);
    };
    m_bedienung = new TFrameBedienung(m_state, m_dialogs);
    m_definition = new TFrameDefinition(m_state, m_dialogs);
    m_parameter = new TFrameParameter(m_state, m_dialogs);
    m_diagnose = new TFrameDiagnose(m_state, m_dialogs);
    m_eeprom = new TFrameEEprom(m_state, m_dialogs);
    placeFrame(0, m_bedienung);
    placeFrame(1, m_definition);
    placeFrame(2, m_parameter);
    placeFrame(3, m_diagnose);
    placeFrame(4, m_eeprom);
    BuildSettingsTab(TabSheet[5]);

    ProgressBar2 = Named(new QProgressBar(central), "ProgressBar2");
    ProgressBar2->setRange(0, FillBarMax);
    ProgressBar2->setValue(0);
    ProgressBar2->setTextVisible(false);
    ProgressBar2->setToolTip(QStringLiteral("Eingangs-Puffer Belegung"));
    SetFillBar(0);

    btnStart = Named(new QPushButton(QStringLiteral("Start"), central), "btnStart");
    btnStart->setToolTip(QStringLiteral("Startet RS232 Kommunikation"));
    btnStop = Named(new QPushButton(QStringLiteral("Stop"), central), "btnStop");
    btnStop->setToolTip(QStringLiteral("Beendet RS232 Komminikation"));
    btnClose = Named(new QPushButton(QStringLiteral("Ende"), central), "btnClose");
    btnClose->setToolTip(QStringLiteral("Ende des Programms"));
    for (QPushButton *b : {btnStart, btnStop, btnClose}) {
        b->resize(ButtonWidth, ButtonHeight);
    }
    connect(btnStart, &QPushButton::clicked, this, &TfrmMain::btnStartClick);
    connect(btnStop, &QPushButton::clicked, this, &TfrmMain::btnStopClick);
    connect(btnClose, &QPushButton::clicked, this, &TfrmMain::btnCloseClick);

    StatusBar1 = Named(new QStatusBar(central), "StatusBar1");
    StatusBar1->setSizeGripEnabled(false);
    StatusPanel0 = Named(new QLabel(StatusBar1), "StatusPanel0");
    StatusPanel0->setFixedWidth(250);
    StatusPanel1 = Named(new QLabel(StatusBar1), "StatusPanel1");
    StatusPanel1->setFixedWidth(50);
    StatusBar1->addWidget(StatusPanel0);
    StatusBar1->addWidget(StatusPanel1);

    Timer_Receive = Named(new QTimer(this), "Timer_Receive");
    Timer_Receive->setInterval(10);
    Timer_Senden = Named(new QTimer(this), "Timer_Senden");
    Timer_Senden->setInterval(20);
    Timer2 = Named(new QTimer(this), "Timer2");
    Timer2->setInterval(200);
    connect(Timer_Receive, &QTimer::timeout, this, &TfrmMain::Timer_ReceiveTimer);
    connect(Timer_Senden, &QTimer::timeout, this, &TfrmMain::Timer_SendenTimer);
    connect(Timer2, &QTimer::timeout, this, &TfrmMain::Timer2Timer);
    Timer2->start();
}

void TfrmMain::BuildSettingsTab(QWidget *page) {
    GroupBoxCom = Named(new QGroupBox(QStringLiteral("COM-Port"), page), "GroupBoxCom");
    GroupBoxCom->setGeometry(10, 10, 130, 260);
    for (int n = 1; n <= 9; ++n) {
        auto *rad = new QRadioButton(QStringLiteral("Com%1").arg(n), GroupBoxCom);
        rad->setObjectName(QStringLiteral("rad_com%1").arg(n));
        rad->setGeometry(10, 20 + (n - 1) * 22, 100, 20);
        connect(rad, &QRadioButton::clicked, this, &TfrmMain::rad_comClick);
        rad_com[static_cast<size_t>(n)] = rad;
    }
    btnCheck = Named(new QPushButton(QStringLiteral("COM-Port suchen"), GroupBoxCom), "btnCheck");
    btnCheck->setToolTip(QStringLiteral("Suche nach COM-Ports"));
    btnCheck->setGeometry(8, 222, 114, ButtonHeight);
    connect(btnCheck, &QPushButton::clicked, this, &TfrmMain::btnCheckClick);

    // What each COM number means, and a way to map one to a device of this machine.
    GroupBoxPorts = Named(new QGroupBox(QStringLiteral("Port-Zuordnung"), page), "GroupBoxPorts");
    GroupBoxPorts->setGeometry(10, 300, 310, 232);
    for (int n = 1; n <= 9; ++n) {
        auto *label = new QLabel(GroupBoxPorts);
        label->setObjectName(QStringLiteral("lbl_port%1").arg(n));
        label->setGeometry(10, 20 + (n - 1) * 16, 290, 16);
        lbl_port[static_cast<size_t>(n)] = label;
    }
    ComboBox_ports = Named(new QComboBox(GroupBoxPorts), "ComboBox_ports");
    ComboBox_ports->setGeometry(10, 170, 290, 24);
    ComboBox_ports->setToolTip(QStringLiteral("Geräte dieses Rechners"));
    btn_port_assign =
        Named(new QPushButton(QStringLiteral("zuordnen"), GroupBoxPorts), "btn_port_assign");
    btn_port_assign->setGeometry(10, 200, 90, ButtonHeight);
    btn_port_assign->setToolTip(
        QStringLiteral("ordnet das gewählte Gerät dem markierten COM-Port zu"));
    connect(btn_port_assign, &QPushButton::clicked, this, &TfrmMain::btn_port_assignClick);

    GroupBox1 = Named(new QGroupBox(QStringLiteral("Baud Rate"), page), "GroupBox1");
    GroupBox1->setGeometry(150, 10, 170, 95);
    rad_2400 = Named(new QRadioButton(QStringLiteral("2400"), GroupBox1), "rad_2400");
    rad_2400->setToolTip(QStringLiteral("Baud-Rate 2400"));
    rad_9600 = Named(new QRadioButton(QStringLiteral("9600"), GroupBox1), "rad_9600");
    rad_9600->setToolTip(QStringLiteral("Baud-Rate 9600"));
    rad_19200 = Named(new QRadioButton(QStringLiteral("19200"), GroupBox1), "rad_19200");
    rad_19200->setToolTip(QStringLiteral("Baud-Rate 19200"));
    rad_2400->setGeometry(10, 20, 140, 20);
    rad_9600->setGeometry(10, 42, 140, 20);
    rad_19200->setGeometry(10, 64, 140, 20);
    rad_19200->setChecked(true);
    GroupBox1->setEnabled(false);
    GroupBox1->setVisible(false);

    GroupBox3 = Named(new QGroupBox(QStringLiteral("Darstellung"), page), "GroupBox3");
    GroupBox3->setToolTip(QStringLiteral("Änderung erst nach RESET aktiv"));
    GroupBox3->setGeometry(150, 110, 170, 95);
    rad_fahren = Named(new QRadioButton(QStringLiteral("Betrieb"), GroupBox3), "rad_fahren");
    rad_justage =
        Named(new QRadioButton(QStringLiteral("Einstellen + Justage"), GroupBox3), "rad_justage");
    rad_debug = Named(new QRadioButton(QStringLiteral("Debug"), GroupBox3), "rad_debug");
    rad_fahren->setGeometry(10, 20, 150, 20);
    rad_justage->setGeometry(10, 42, 150, 20);
    rad_debug->setGeometry(10, 64, 150, 20);
    rad_justage->setChecked(true);

    GroupBox2 = Named(new QGroupBox(QStringLiteral("Senden"), page), "GroupBox2");
    GroupBox2->setGeometry(150, 210, 170, 85);
    Edit1 = Named(new QLineEdit(GroupBox2), "Edit1");
    Edit1->setToolTip(
        QStringLiteral("Zeichen, die beim Druck auf SENDEN über die RS232 geschickt werden"));
    Edit1->setGeometry(10, 22, 150, 24);
    btnSenden = Named(new QPushButton(QStringLiteral("Senden"), GroupBox2), "btnSenden");
    btnSenden->setGeometry(10, 52, ButtonWidth, ButtonHeight);
    connect(btnSenden, &QPushButton::clicked, this, &TfrmMain::btnSendenClick);
    GroupBox2->setVisible(false);

    GroupBox4 = Named(new QGroupBox(QStringLiteral("Einstellungen speichern"), page), "GroupBox4");
    GroupBox4->setGeometry(330, 10, 230, 112);
    AddLabel(GroupBox4, QStringLiteral("hier können alle Einstellungen"), 10, 22);
    AddLabel(GroupBox4, QStringLiteral("(Parameter, Adressen, Positionen"), 10, 38);
    AddLabel(GroupBox4, QStringLiteral("usw.) gespeichert werden."), 10, 54);
    Button1 = Named(new QPushButton(QStringLiteral("speichern"), GroupBox4), "Button1");
    Button1->setGeometry(10, 78, 90, ButtonHeight);
    connect(Button1, &QPushButton::clicked, this, &TfrmMain::Button1Click);

    GroupBox5 = Named(new QGroupBox(QStringLiteral("Einstellungen laden"), page), "GroupBox5");
    GroupBox5->setGeometry(330, 130, 230, 250);
    AddLabel(GroupBox5, QStringLiteral("gespeicherte Parameter-Dateien"), 10, 22);
    AddLabel(GroupBox5, QStringLiteral("können hier eingelesen werden."), 10, 38);
    AddLabel(GroupBox5, QStringLiteral("Dabei werden nur die gewählten"), 10, 54);
    AddLabel(GroupBox5, QStringLiteral("Daten übernommen."), 10, 70);
    AddLabel(GroupBox5, QStringLiteral("folgende Daten übernehmen:"), 10, 94);
    auto addLoadBox = [this](const char *name, const QString &caption, const QString &hint, int y) {
        auto *box = Named(new QCheckBox(caption, GroupBox5), name);
        box->setToolTip(hint);
        box->setGeometry(10, y, 190, 20);
        return box;
    };
    cbx_load_com = addLoadBox("cbx_load_com", QStringLiteral("Com-Port Einstellungen"),
                              QStringLiteral("COM-Port"), 114);
    cbx_load_gleisdef = addLoadBox("cbx_load_gleisdef", QStringLiteral("Gleis-Definition"),
                                   QStringLiteral("Lage der Zufahrs-Gleise"), 136);
    cbx_load_para =
        addLoadBox("cbx_load_para", QStringLiteral("Parameter"),
                   QStringLiteral("Zeiten, Regel-Parameter, Geschwindigkeiten usw."), 158);
    cbx_load_adr = addLoadBox("cbx_load_adr", QStringLiteral("Adressen"),
                              QStringLiteral("Digital-Adressen"), 180);
    Button2 = Named(new QPushButton(QStringLiteral("laden"), GroupBox5), "Button2");
    Button2->setGeometry(10, 212, 90, ButtonHeight);
    connect(Button2, &QPushButton::clicked, this, &TfrmMain::Button2Click);

    Memo2 = Named(new QPlainTextEdit(page), "Memo2");
    Memo2->setReadOnly(true);
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo2->setMaximumBlockCount(SendLogMaxLines);
    Memo2->resize(180, 300);
    Memo1 = Named(new QPlainTextEdit(page), "Memo1");
    Memo1->setReadOnly(true);
    Memo1->resize(190, 300);
    Memo1->setPlainText(QStringLiteral("Sendeprotokoll Empfang \nvon Grube"));

    btn_comstat = Named(new QPushButton(QStringLiteral("COMSTAT"), page), "btn_comstat");
    btn_DCB = Named(new QPushButton(QStringLiteral("DCB"), page), "btn_DCB");
    btn_hComReceive =
        Named(new QPushButton(QStringLiteral("hComReceive"), page), "btn_hComReceive");
    int y = 300;
    for (QPushButton *b : {btn_comstat, btn_DCB, btn_hComReceive}) {
        b->setGeometry(150, y, 90, ButtonHeight);
        b->setVisible(false);
        y += 30;
    }
    connect(btn_comstat, &QPushButton::clicked, this, &TfrmMain::btn_comstatClick);
    connect(btn_DCB, &QPushButton::clicked, this, &TfrmMain::btn_DCBClick);
    connect(btn_hComReceive, &QPushButton::clicked, this, &TfrmMain::btn_hComReceiveClick);
}

QString TfrmMain::statusText() const {
    return StatusPanel0->text();
}

// ---------------------------------------------------------------------------------------------
// Settings file

void TfrmMain::ReadProgIni() {
    IniFile ini;
    QString error;
    // A missing file gives every key its default. So does one that cannot be read, but the user
    // is told at once, and "Ende" will not overwrite it.
    if (!ini.load(m_settingsPath, &error)) {
        m_dialogs.showError(QApplication::applicationName(),
                            QStringLiteral("Die Einstellungsdatei kann nicht gelesen werden; es "
                                           "gelten die Vorgabewerte. Beim Beenden wird sie nicht "
                                           "überschrieben.\n%1")
                                .arg(error));
    }
    ReadProgramSettings(ini, m_settings, m_state);
    ReadPortMap(ini, m_port.portMap());
    // The tabs were built before the mirrors were read: let them show what was read.
    m_state.PitChangedForEeprom = true;
    m_state.PitChangedForDefinition = true;
    m_state.BridgeChangedForEeprom = true;

    if (m_settings.comPort >= PortMap::FirstPort && m_settings.comPort <= PortMap::LastPort) {
        rad_com[static_cast<size_t>(m_settings.comPort)]->setChecked(true);
    }
    Timer_Receive->setInterval(m_settings.intervalReceive);
    Timer_Senden->setInterval(m_settings.intervalSenden);
    if (m_settings.checkedLevel == Ini::LevelDebug) {
        rad_debug->setChecked(true);
    } else if (m_settings.checkedLevel == Ini::LevelFahren) {
        rad_fahren->setChecked(true);
    } else {
        rad_justage->setChecked(true);
    }
    switch (m_settings.baud) {
    case 9600:
        rad_9600->setChecked(true);
        break;
    case 2400:
        rad_2400->setChecked(true);
        break;
    default:
        rad_19200->setChecked(true);
        break;
    }
    PlaceWindow();
    RefreshTabs();
}

void TfrmMain::PlaceWindow() {
    int w = m_settings.width;
    int h = m_settings.height;
    if (w < MinWindowWidth || h < MinWindowHeight) {
        w = DefaultWindowWidth;
        h = DefaultWindowHeight;
    }
    // A stored size beyond the screen (a damaged file holds 2147483647) would overflow the
    // placement arithmetic and ask for a picture of gigabytes.
    // The screen it lands on is chosen below; no screen is larger than the largest one.
    const QScreen *primary = QGuiApplication::primaryScreen();
    QSize largest(MinWindowWidth, MinWindowHeight);
    for (const QScreen *screen : QGuiApplication::screens()) {
        largest = largest.expandedTo(screen->availableGeometry().size());
    }
    w = std::min(w, largest.width());
    h = std::min(h, largest.height());
    constexpr int FarAway = 1 << 20; // keeps left + width within an int
    const QPoint stored(std::clamp(m_settings.left, -FarAway, FarAway),
                        std::clamp(m_settings.top, -FarAway, FarAway));
    const QSize size = QSize(w, h).expandedTo(WindowPlacement::ControlsMinimum);
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens()) {
        screens.append(screen->availableGeometry());
    }
    // A window stored wholly or partly off the screens comes back wholly onto the nearest one.
    const QRect placed = WindowPlacement::Fit(QRect(stored, size), screens);
    const QScreen *screen = QGuiApplication::screenAt(placed.center());
    if (!screen) {
        screen = primary;
    }
    setMinimumSize(WindowPlacement::MinimumSize(screen ? screen->availableGeometry() : QRect()));
    // The stored size is the outer size, frame included, as the Windows version keeps it. The
    // frame is known only once the window manager has framed the window.
    m_pendingOuterSize = placed.size();
    AdoptOuterSize();
    move(placed.topLeft());
}

void TfrmMain::AdoptOuterSize() {
    if (!m_pendingOuterSize.isValid()) {
        return;
    }
    const QSize margins = frameGeometry().size() - size();
    resize(m_pendingOuterSize - margins);
    if (!margins.isNull()) {
        m_pendingOuterSize = QSize(); // done; without a frame it stays pending until one comes
    }
}

QSize TfrmMain::outerSize() const {
    return frameGeometry().size();
}

void TfrmMain::RefreshTabs() {
    m_bedienung->ShowPositions();
    m_bedienung->ShowStatus();
    m_definition->ShowDefinition();
    m_definition->DrawTurntable();
    m_parameter->HideParameterRows();
    m_parameter->ShowParameters();
    m_diagnose->LoadDirectDriveValues();
    m_diagnose->RefreshDiagnosis();
}

ProgramSettings TfrmMain::CurrentSettings() const {
    ProgramSettings s = m_settings;
    s.comPort = CheckedPort();
    s.baud = CheckedBaud();
    if (s.baud == 0) {
        s.baud = 19200;
    }
    s.checkedLevel = rad_debug->isChecked()    ? Ini::LevelDebug
                     : rad_fahren->isChecked() ? Ini::LevelFahren
                                               : Ini::LevelJustage;
    s.intervalReceive = Timer_Receive->interval();
    s.intervalSenden = Timer_Senden->interval();
    s.width = outerSize().width();
    s.height = outerSize().height();
    s.top = y();
    s.left = x();
    return s;
}

void TfrmMain::CollectSettings() {
    m_settings = CurrentSettings();
}

QByteArray TfrmMain::WouldWrite(QByteArray *fileNow) const {
    ProgramSettings s = CurrentSettings();
    // Where the window manager puts the window, and whether the user moved it, is not worth a
    // question: the place is compared as it was read.
    s.width = m_settings.width;
    s.height = m_settings.height;
    s.top = m_settings.top;
    s.left = m_settings.left;
    IniFile ini;
    ini.load(m_settingsPath);
    if (fileNow) {
        *fileNow = ini.toBytes();
    }
    WriteProgramSettings(ini, s, m_state);
    return ini.toBytes();
}

bool TfrmMain::SettingsChanged() const {
    QByteArray file;
    const QByteArray now = WouldWrite(&file);
    // Unchanged since the start (even where the file lacks keys, as at the first start), or
    // already in the file: nothing would be lost.
    return now != m_settingsAtStart && now != file;
}

void TfrmMain::closeEvent(QCloseEvent *event) {
    // A motor the program started must not run on once the window is gone.
    const auto closeNow = [this, event] {
        EndDirectDriveOnWire();
        QMainWindow::closeEvent(event);
    };
    if (m_closingWithEnde) {
        closeNow();
        return;
    }
    const bool settings = SettingsChanged();
    const bool rows = m_definition->HasUnwrittenChanges() || m_parameter->HasUnwrittenChanges();
    if (!settings && !rows) {
        closeNow();
        return;
    }
    QStringList lines;
    if (settings) {
        lines << QStringLiteral("Die Einstellungen wurden geändert und noch nicht gespeichert.");
    }
    if (rows) {
        lines << QStringLiteral("Geänderte Adressen oder Parameter wurden noch nicht zur "
                                "Platine übertragen.");
    }
    lines << QString() << QStringLiteral("Einstellungen speichern und das Programm beenden?");
    switch (m_dialogs.askYesNoCancel(lines.join(u'\n'))) {
    case Dialogs::Choice::Yes:
        if (!WriteProgIni()) {
            event->ignore(); // the box said why; nothing is lost
            return;
        }
        closeNow();
        return;
    case Dialogs::Choice::No:
        closeNow();
        return;
    case Dialogs::Choice::Cancel:
        event->ignore();
        return;
    }
}

bool TfrmMain::WriteProgIni() {
    CollectSettings();
    IniFile ini;
    QString error;
    bool ok = ini.load(m_settingsPath, &error);
    if (ok) {
        WriteProgramSettings(ini, m_settings, m_state);
        ok = ini.save(m_settingsPath, &error);
    }
    if (!ok) {
        m_dialogs.showError(QApplication::applicationName(),
                            QStringLiteral("Die Einstellungen konnten nicht gespeichert "
                                           "werden.\n%1")
                                .arg(error));
    }
    return ok;
}

// ---------------------------------------------------------------------------------------------
// Configuration files

void TfrmMain::Button1Click() {
    const QString path = m_dialogs.askSaveFileName(ConfigFile::Filter, ConfigFile::DefaultSuffix);
    if (path.isEmpty()) {
        return;
    }
    IniFile ini;
    QString error;
    // An existing file's other sections and keys stay; one that cannot be read is not replaced
    // by what little this program would write into it.
    bool ok = ini.load(path, &error);
    if (ok) {
        WriteProgramSettings(ini, CurrentSettings(), m_state, SettingsScope::Configuration);
        ok = ini.save(path, &error);
    }
    if (!ok) {
        m_dialogs.showError(QApplication::applicationName(),
                            QStringLiteral("Die Einstellungen konnten nicht gespeichert "
                                           "werden.\n%1")
                                .arg(error));
    }
}

void TfrmMain::Button2Click() {
    ConfigFile::Choice choice;
    choice.port = cbx_load_com->isChecked();
    choice.trackDefinition = cbx_load_gleisdef->isChecked();
    choice.parameters = cbx_load_para->isChecked();
    choice.addresses = cbx_load_adr->isChecked();
    if (!choice.any()) {
        m_dialogs.showMessage(QStringLiteral("Keine Daten zum Laden ausgewählt!"));
        return;
    }
    const QString path = m_dialogs.askOpenFileName(ConfigFile::Filter, ConfigFile::DefaultSuffix);
    if (path.isEmpty()) {
        return;
    }
    IniFile ini;
    QString error;
    if (!ini.load(path, &error)) {
        m_dialogs.showError(QApplication::applicationName(),
                            QStringLiteral("Die Datei kann nicht geladen werden.\n%1").arg(error));
        return;
    }
    // Defaults from a file that holds none of the chosen data would overwrite the user's own.
    const QStringList missing = ConfigFile::MissingParts(ini, choice);
    if (missing.size() == int(choice.port) + int(choice.trackDefinition) + int(choice.parameters) +
                              int(choice.addresses)) {
        m_dialogs.showError(QApplication::applicationName(),
                            QStringLiteral("%1 ist keine Konfigurationsdatei mit den gewählten "
                                           "Daten (%2). Es wurde nichts geladen.")
                                .arg(path, missing.join(QStringLiteral(", "))));
        return;
    }
    if (!missing.isEmpty()) {
        m_dialogs.showMessage(QStringLiteral("Die Datei enthält keine Daten für: %1.\nDiese werden "
                                             "nicht geladen.")
                                  .arg(missing.join(QStringLiteral(", "))));
    }
    const auto wanted = [&missing](bool chosen, const char *caption) {
        return chosen && !missing.contains(QLatin1String(caption));
    };

    if (wanted(choice.port, "Com-Port Einstellungen") &&
        m_dialogs.askYesNo(
            QStringLiteral("COM-Port Werte laden? Aktuelle Werte werden überschrieben!"))) {
        // Only the button for the next Start: an open connection stays as it is.
        const int port = ini.readInt(Ini::Settings, Ini::ComPort, 5);
        if (port >= PortMap::FirstPort && port <= PortMap::LastPort) {
            rad_com[static_cast<size_t>(port)]->setChecked(true);
        }
    }
    ConfigFile::LoadRSense(ini, m_state);
    if (wanted(choice.trackDefinition, "Gleis-Definition") &&
        m_dialogs.askYesNo(
            QStringLiteral("Gleis-Definitionen laden? Aktuelle Werte werden überschrieben!"))) {
        ConfigFile::LoadTrackDefinition(ini, m_state);
    }
    if (wanted(choice.parameters, "Parameter") &&
        m_dialogs.askYesNo(
            QStringLiteral("Parameter laden? Aktuelle Werte werden überschrieben!"))) {
        ConfigFile::LoadParameters(ini, m_state);
    }
    if (wanted(choice.addresses, "Adressen") &&
        m_dialogs.askYesNo(
            QStringLiteral("Adressen laden? Aktuelle Werte werden überschrieben!"))) {
        ConfigFile::LoadAddresses(ini, m_state);
    }
    // The tabs mark what the load changed while they see the flags.
    RefreshTabs();
    m_state.ParametersLoaded = false;
    m_state.AddressesLoaded = false;
}

// ---------------------------------------------------------------------------------------------
// User level and layout

void TfrmMain::ApplyUserLevel() {
    const QString &level = m_settings.userLevel;
    bool memos = true;
    bool extras = true;
    bool baudAndSend = false;
    std::array<bool, 6> tabs = {true, true, true, true, true, true};
    if (level == Ini::LevelDebug) {
        baudAndSend = true;
    } else if (level == Ini::LevelJustage) {
        tabs[4] = false;
        memos = extras = false;
    } else if (level == Ini::LevelFahren) {
        tabs = {true, false, false, false, false, true};
        memos = extras = false;
    } else {
        return; // any other text keeps the form as it is
    }
    for (int i = 0; i < 6; ++i) {
        PageControl1->setTabVisible(i, tabs[static_cast<size_t>(i)]);
    }
    Memo1->setVisible(memos);
    Memo2->setVisible(memos);
    GroupBox1->setVisible(baudAndSend); // shown at Debug, but stays disabled
    GroupBox2->setVisible(baudAndSend);
    m_bedienung->SetExternalTargetVisible(extras);
}

void TfrmMain::resizeEvent(QResizeEvent *event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TfrmMain::moveEvent(QMoveEvent *event) {
    QMainWindow::moveEvent(event);
    // The first move after the window manager framed the window tells the frame's size.
    if (m_pendingOuterSize.isValid() && frameGeometry().size() != size()) {
        AdoptOuterSize();
    }
}

void TfrmMain::FormResize() {
    // The layout counts from the outer size, as the Windows version does; the status bar sits at
    // the bottom of the inner area whatever the frame.
    const int h = outerSize().height();
    const int w = outerSize().width();
    PageControl1->setGeometry(0, 0, w, h - 100);
    const int closeLeft = w - btnClose->width() - 14;
    const int stopLeft = closeLeft - btnStop->width() - 10;
    const int startLeft = stopLeft - btnClose->width() - 10;
    btnClose->move(closeLeft, h - 88);
    btnStop->move(stopLeft, h - 88);
    btnStart->move(startLeft, h - 88);
    ProgressBar2->setGeometry(10, h - 80, startLeft - 20, 17);
    StatusBar1->setGeometry(0, std::min(h - 44, height() - 20), width(), 20);

    const int memoTop = GroupBoxCom->y();
    const int memoHeight = std::max(0, h - memoTop - 140);
    Memo2->setGeometry(GroupBox4->x() + GroupBox4->width() + 20, memoTop, Memo2->width(),
                       memoHeight);
    Memo1->setGeometry(Memo2->x() + Memo2->width() + 20, memoTop, Memo1->width(), memoHeight);
}

// ---------------------------------------------------------------------------------------------
// Connection

int TfrmMain::CheckedPort() const {
    for (int n = 1; n <= 9; ++n) {
        if (rad_com[static_cast<size_t>(n)]->isChecked()) {
            return n;
        }
    }
    return 0;
}

int TfrmMain::CheckedBaud() const {
    if (rad_9600->isChecked()) {
        return 9600;
    }
    if (rad_19200->isChecked()) {
        return 19200;
    }
    if (rad_2400->isChecked()) {
        return 2400;
    }
    return 0; // the driver's rate stays
}

bool TfrmMain::OpenPort(const QString &name) {
    QString reason;
    PortOpened = m_port.OpenPort(name, &reason);
    if (!PortOpened && !QuietOpen) {
        m_dialogs.showError(OpenErrorCaption, OpenErrorText + QStringLiteral("\n\n") + reason);
    }
    return PortOpened;
}

bool TfrmMain::ProbePort(const QString &name) {
    QString reason;
    PortOpened = m_port.Probe(name, &reason);
    if (!PortOpened && !QuietOpen) {
        m_dialogs.showError(OpenErrorCaption, OpenErrorText + QStringLiteral("\n\n") + reason);
    }
    return PortOpened;
}

void TfrmMain::ReportPortError(const QString &call, const QString &reason) {
    Timer_Receive->stop();
    m_dialogs.showError(call, reason);
}

void TfrmMain::EndConnection() {
    m_port.Close();
    m_manualPending.clear();
    StatusPanel0->setText(StoppedText);
    Timer_Receive->stop();
}

void TfrmMain::LineFailed(const QString &caption, const QString &text, const QString &reason) {
    if (!m_state.Online && !Timer_Receive->isActive() && !m_port.isOpen()) {
        return; // this loss was reported already
    }
    btnStart->setEnabled(true);
    btnStop->setEnabled(false);
    Timer_Receive->stop();
    // Offline before the box: the box waits for the user while the timers keep running, and
    // no further byte may go to a dead line meanwhile.
    SetOnline(false);
    EndConnection();
    btnStart->setFocus();
    m_dialogs.showError(caption, reason.isEmpty() ? text : text + QStringLiteral("\n\n") + reason);
}

void TfrmMain::OnLineLost(const QString &reason) {
    LineFailed(ReceiveErrorCaption, ReceiveErrorText, reason);
}

qint64 TfrmMain::ReadPort(char *data, qint64 maxBytes) {
    QString reason;
    const qint64 n = m_port.ReadPort(data, maxBytes, &reason);
    if (n < 0) {
        LineFailed(ReceiveErrorCaption, ReceiveErrorText, reason);
        return 0;
    }
    return n;
}

qint64 TfrmMain::WritePort(const char *data, qint64 count) {
    QString reason;
    const qint64 n = m_port.WritePort(data, count, &reason);
    if (n < 0) {
        LineFailed(SendErrorCaption, SendErrorText, reason);
        return 0;
    }
    return n;
}

void TfrmMain::btnStartClick() {
    bool probed = false;
    Guarded(StartErrorText, [&] {
        const int n = CheckedPort();
        const QString name = n ? PortMap::PortName(n) : PortName;
        if (!ProbePort(name)) {
            StatusPanel0->setText(NoPortText(name));
            return;
        }
        StatusPanel0->setText(QStringLiteral("%1 geöffnet").arg(name));
        PortName = name;
        probed = true;
    });
    if (!probed) {
        return;
    }
    if (!OpenPort(PortName)) {
        // Taken between the probe and the open: stay offline rather than pretend a link.
        StatusPanel0->setText(NoPortText(PortName));
        return;
    }
    QString reason;
    if (!m_port.ConfigurePort(CheckedBaud(), &reason)) {
        ReportPortError(QStringLiteral("SetCommState"), reason);
    }
    m_port.SetPortTimeouts();
    // Reports of an earlier connection are no news of this one: the panels stay unknown until
    // the board reports, and the board gets its time to say something.
    m_state.infoTable().Reset();
    m_state.LinkSilent = false;
    m_link.Start(m_state.now());
    SetOnline(true);
    btnStop->setFocus();
    Timer_Receive->start();
}

void TfrmMain::btnStopClick() {
    EndDirectDriveOnWire();
    SetOnline(false);
    btnStart->setFocus();
}

void TfrmMain::SetOnline(bool connected) {
    m_state.Online = connected;
    if (!connected) {
        m_link.Stop();
        m_state.LinkSilent = false;
    }
    btnStart->setEnabled(!connected);
    btnSenden->setEnabled(connected);
    btnStop->setEnabled(connected);
    GroupBoxCom->setEnabled(!connected);
    for (int n = 1; n <= 9; ++n) {
        rad_com[static_cast<size_t>(n)]->setEnabled(!connected);
    }
    rad_2400->setEnabled(!connected);
    rad_9600->setEnabled(!connected);
    rad_19200->setEnabled(!connected);
    btnCheck->setEnabled(!connected);
    btn_port_assign->setEnabled(!connected);
    m_bedienung->UpdateOperationButtons();
    m_diagnose->UpdateDiagnosisButtons();
    m_parameter->UpdateParameterButtons();
    m_definition->UpdateDefinitionButtons();
    m_eeprom->UpdateEEpromButtons();
}

void TfrmMain::rad_comClick() {
    btnStart->setEnabled(true);
    btnStop->setEnabled(false);
}

void TfrmMain::EndDirectDriveOnWire() {
    // A motor the program started must not run on after the program let go of the line: the stop
    // goes out now, because once offline the transmit tick only drains the queue into the log.
    if (!m_diagnose->EndDirectDrive(true)) {
        return;
    }
    // Without waiting: what a full line does not take now stays queued, as with every byte.
    while (m_state.Online && m_port.isOpen() && !m_state.sendQueue.isEmpty()) {
        const qsizetype before = m_state.sendQueue.length() + m_manualPending.size();
        Timer_SendenTimer();
        if (m_state.sendQueue.length() + m_manualPending.size() >= before) {
            break;
        }
    }
}

void TfrmMain::btnCloseClick() {
    EndDirectDriveOnWire();
    if (WriteProgIni()) {
        m_closingWithEnde = true;
        if (!close()) {
            m_closingWithEnde = false;
        }
    }
}

void TfrmMain::btnSendenClick() {
    const QString text = Edit1->text();
    const QByteArray bytes = text.toLatin1();
    qint64 written = 0;
    if (m_state.Online) {
        if (m_manualPending.isEmpty()) {
            written = WritePort(bytes.constData(), bytes.size());
        }
        // What the line cannot take now follows with the next transmit ticks, in order.
        if (m_state.Online) {
            m_manualPending.append(bytes.mid(static_cast<qsizetype>(written)));
            WakeSendTick();
        }
    }
    Memo2->appendPlainText(QStringLiteral("gesendet:'%1' (%2)").arg(text).arg(written));
}

void TfrmMain::AddMemo1(const QString &line) {
    Memo1->appendPlainText(line);
}

void TfrmMain::Guarded(const QString &warning, const std::function<void()> &handler) {
    try {
        handler();
    } catch (const std::exception &) {
        m_dialogs.showWarning(warning);
        SetOnline(false);
        Timer_Receive->stop();
        btnStart->setFocus();
    }
}

void TfrmMain::btnCheckClick() {
    QuietOpen = true;
    QStringList found;
    for (int n = 1; n <= 9; ++n) {
        const bool present = ProbePort(PortMap::PortName(n));
        AddMemo1(present ? QStringLiteral("COM%1 OK").arg(n)
                         : QStringLiteral("kein COM%1-Port").arg(n));
        rad_com[static_cast<size_t>(n)]->setEnabled(present);
        if (present) {
            found << PortMap::PortName(n);
        }
    }
    QuietOpen = false;
    // The memo is hidden at most user levels: the result goes to the status bar as well, and the
    // list of devices is read again.
    StatusPanel0->setText(
        found.isEmpty() ? QStringLiteral("kein COM-Port gefunden")
                        : QStringLiteral("gefunden: %1").arg(found.join(QStringLiteral(", "))));
    RefreshPortList();
}

void TfrmMain::setPortEnumerator(std::unique_ptr<PortEnumerator> enumerator) {
    m_enumerator = std::move(enumerator);
    RefreshPortList();
}

void TfrmMain::RefreshPortList() {
    const QString chosen = ComboBox_ports->currentData().toString();
    ComboBox_ports->clear();
    const QList<FoundPort> ports = m_enumerator ? m_enumerator->Ports() : QList<FoundPort>();
    for (const FoundPort &p : ports) {
        ComboBox_ports->addItem(p.displayText(), p.target);
        ComboBox_ports->setItemData(ComboBox_ports->count() - 1,
                                    p.target == p.location
                                        ? p.target
                                        : QStringLiteral("%1\n(%2)").arg(p.target, p.location),
                                    Qt::ToolTipRole);
    }
    ComboBox_ports->addItem(QStringLiteral("eingebauter Simulator"), PortMap::Simulator);
    ComboBox_ports->addItem(QStringLiteral("Vorgabe (kein Eintrag)"), QString());
    const int again = ComboBox_ports->findData(chosen);
    ComboBox_ports->setCurrentIndex(again >= 0 && !chosen.isEmpty() ? again : 0);
    ShowPortMap();
}

void TfrmMain::ShowPortMap() {
    const PortMap &map = m_port.portMap();
    for (int n = 1; n <= 9; ++n) {
        QLabel *label = lbl_port[static_cast<size_t>(n)];
        const QString target = map.target(n);
        const QString text = map.hasEntry(n)
                                 ? QStringLiteral("Com%1: %2").arg(n).arg(target)
                                 : QStringLiteral("Com%1: %2 (Vorgabe)").arg(n).arg(target);
        // A by-id name is long; the end of it names the adapter.
        label->setText(label->fontMetrics().elidedText(text, Qt::ElideMiddle, label->width()));
        label->setToolTip(text);
    }
}

bool TfrmMain::WritePortEntry(int number, const QString &target) {
    // At once and through the same file code as "Ende": the mapping is a decision about this
    // machine, not a setting of the session, and every other key of the file stays as it is.
    IniFile ini;
    QString error;
    bool ok = ini.load(m_settingsPath, &error);
    if (ok) {
        ini.writeString(Ini::Ports, PortMap::PortName(number), target);
        ok = ini.save(m_settingsPath, &error);
    }
    if (!ok) {
        m_dialogs.showError(QApplication::applicationName(),
                            QStringLiteral("Die Port-Zuordnung konnte nicht gespeichert "
                                           "werden.\n%1")
                                .arg(error));
    }
    return ok;
}

void TfrmMain::btn_port_assignClick() {
    const int n = CheckedPort();
    if (n == 0) {
        StatusPanel0->setText(QStringLiteral("zuerst einen COM-Port wählen"));
        return;
    }
    if (ComboBox_ports->currentIndex() < 0) {
        return;
    }
    const QString target = ComboBox_ports->currentData().toString();
    if (!WritePortEntry(n, target)) {
        return;
    }
    m_port.portMap().setEntry(n, target);
    // A port that the last scan did not find may be the one just chosen.
    rad_com[static_cast<size_t>(n)]->setEnabled(!m_state.Online);
    ShowPortMap();
    StatusPanel0->setText(QStringLiteral("COM%1 = %2").arg(n).arg(m_port.portMap().target(n)));
}

void TfrmMain::btn_DCBClick() {
    Guarded(HandlerFailedText("btn_DCBClick"), [this] { DumpDcb(); });
}

void TfrmMain::DumpDcb() {
    PortDcb dcb;
    QString reason;
    if (!m_port.ReadDcb(&dcb, &reason)) {
        ReportPortError(QStringLiteral("GetCommState"), reason);
        return;
    }
    AddMemo1(QStringLiteral("baud rate: %1").arg(dcb.baudRate));
    AddMemo1(QStringLiteral("parity: %1").arg(dcb.parity));
    AddMemo1(QStringLiteral("CTS output flow control: %1").arg(dcb.ctsOutFlow));
    AddMemo1(QStringLiteral("DSR output flow control: %1").arg(dcb.dsrOutFlow));
    AddMemo1(QStringLiteral("DTR flow control type: %1").arg(dcb.dtrControl));
    AddMemo1(QStringLiteral("DSR sensitivity: %1").arg(dcb.dsrSensitivity));
    AddMemo1(QStringLiteral("RTS flow control: %1").arg(dcb.rtsControl));
}

void TfrmMain::btn_hComReceiveClick() {
    Guarded(HandlerFailedText("btn_hComReceiveClick"), [this] {
        const PortProperties p = m_port.Properties();
        AddMemo1(QStringLiteral("max Tx bufsize, in bytes: %1").arg(p.maxTxQueue));
        AddMemo1(QStringLiteral("max Rx bufsize, in bytes: %1").arg(p.maxRxQueue));
        AddMemo1(QStringLiteral("Tx buffer size, in bytes: %1").arg(p.txQueue));
        AddMemo1(QStringLiteral("Rx buffer size, in bytes: %1").arg(p.rxQueue));
    });
}

void TfrmMain::btn_comstatClick() {
    Guarded(HandlerFailedText("btn_comstatClick"), [this] {
        AddMemo1(QStringLiteral("cbInQue: %1").arg(m_port.QueryPortStatus()));
        AddMemo1(QStringLiteral("cbInQue: %1").arg(m_port.QueryPortStatus()));
    });
}

// ---------------------------------------------------------------------------------------------
// Timers

void TfrmMain::WakeSendTick() {
    if ((!m_state.sendQueue.isEmpty() || !m_manualPending.isEmpty()) && !Timer_Senden->isActive()) {
        Timer_Senden->start();
    }
}

void TfrmMain::Timer_SendenTimer() {
    SendOneByte();
    // Nothing left to send: no more ticks until something is queued (WakeSendTick).
    if (m_state.sendQueue.isEmpty() && m_manualPending.isEmpty()) {
        Timer_Senden->stop();
    }
}

void TfrmMain::SendOneByte() {
    if (m_state.Online && !m_manualPending.isEmpty()) {
        // The rest of a manual send that the line could not take at once goes first.
        const qint64 n = WritePort(m_manualPending.constData(), m_manualPending.size());
        m_manualPending.remove(0, static_cast<qsizetype>(n));
        if (!m_manualPending.isEmpty()) {
            return;
        }
    }
    if (m_state.sendQueue.isEmpty()) {
        return;
    }
    const char byte = static_cast<char>(m_state.sendQueue.at(0));
    const bool onWire = m_state.Online;
    if (onWire && WritePort(&byte, 1) == 0 && m_state.Online) {
        return; // the line's buffer is full: the byte stays first in the queue for the next tick
    }
    Memo2->appendPlainText(SendLogLine(static_cast<uint8_t>(byte)));
    m_state.sendQueue.TakeNext();
    m_state.answers.NoteSent(static_cast<uint8_t>(byte), onWire && m_state.Online, m_state.now());
}

void TfrmMain::SetFillBar(qint64 waiting) {
    const int position = static_cast<int>(std::min<qint64>(waiting, ProgressBar2->maximum()));
    ProgressBar2->setValue(position);
    const QColor colour =
        position > 0.8 * ProgressBar2->maximum() ? Colors::FillBarFull : Colors::FillBarNormal;
    if (colour != m_fillColor) {
        m_fillColor = colour;
        QPalette palette = ProgressBar2->palette();
        palette.setColor(QPalette::Highlight, colour);
        ProgressBar2->setPalette(palette);
    }
}

void TfrmMain::Timer_ReceiveTimer() {
    Guarded(ReceiveFailedText, [this] { ReceiveTick(); });
}

void TfrmMain::ReceiveTick() {
    m_settings.readSize = std::clamp(m_settings.readSize, 1, ProgramSettings::MaxReadSize);
    QByteArray received;
    qint64 n = 0;
    // Drain what waits, in reads of the read size: a read that filled the whole read size may
    // have left more behind. Reading only once a tick would cap the intake below the line's rate
    // and let the input back up without end. A tick takes at most about the read buffer's 4000
    // bytes, some hundred times what a serial line brings in a tick, so that a device that never
    // runs dry cannot hold the window; what is left shows on the fill bar.
    do {
        n = ReadPort(m_readBuffer.data(), m_settings.readSize);
        received.append(m_readBuffer.data(), n);
    } while (n == m_settings.readSize && received.size() < ProgramSettings::MaxReadSize &&
             m_port.isOpen());

    SetFillBar(m_port.QueryPortStatus());

    if (!received.isEmpty()) {
        const Receiver::Result result = m_state.receiver.Feed(received);
        if (result.dumped) {
            QStringList lines = result.dumpLines;
            if (m_state.answers.dropped() > 0) {
                lines << QStringLiteral("verworfen (nicht angefragt): %1")
                             .arg(m_state.answers.dropped());
            }
            Memo1->setPlainText(lines.join(u'\n'));
        }
    }
    if (!received.isEmpty()) {
        m_link.NoteBytes(m_state.now());
    }
    CheckLinkHealth();
    if (!btnStop->isEnabled() && (m_port.isOpen() || Timer_Receive->isActive())) {
        EndConnection();
    }
}

void TfrmMain::CheckLinkHealth() {
    switch (m_link.Check(m_state.now())) {
    case LinkHealth::Change::WentSilent:
        m_state.LinkSilent = true;
        m_textBeforeSilence = StatusPanel0->text();
        StatusPanel0->setText(SilentText);
        break;
    case LinkHealth::Change::CameBack:
        m_state.LinkSilent = false;
        if (StatusPanel0->text() == SilentText) {
            StatusPanel0->setText(m_textBeforeSilence);
        }
        break;
    case LinkHealth::Change::None:
        break;
    }
}

void TfrmMain::Timer2Timer() {
    if (m_state.ApplyBoardValues()) {
        m_parameter->ShowParameters();
    }
    const QString report = m_state.TakeTransferReport();
    if (!report.isEmpty()) {
        StatusPanel0->setText(report);
    }
    // The tabs' own timers sleep while they have nothing to do; a changed mirror gives them work.
    m_eeprom->WakeTimer3();
    m_definition->WakeTimer5();
    if (m_state.Online) {
        m_state.TakePositions();
    }
    m_bedienung->ShowPositions();
    m_bedienung->ShowStatus();
    m_diagnose->RefreshDiagnosis();
}
