// The main window's form: its pages with the six tabs, Start, Stop and Ende, the fill bar, the
// status bar and the timers, and what connects them to the link and to the settings tab.

#include "tfrmmain.h"

#include "connectiontexts.h"
#include "named.h"
#include "tframebedienung.h"
#include "tframedefinition.h"
#include "tframediagnose.h"
#include "tframeeeprom.h"
#include "tframeparameter.h"
#include "tframesettings.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;
constexpr int FillBarMax = 100;
} // namespace

void TfrmMain::BuildForm() {
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    setCentralWidget(central);

    PageControl1 = Named(new QTabWidget(central), "PageControl1");
    m_bedienung = new TFrameBedienung(m_state, m_dialogs);
    m_definition = new TFrameDefinition(m_state, m_dialogs);
    m_parameter = new TFrameParameter(m_state, m_dialogs);
    m_diagnose = new TFrameDiagnose(m_state, m_dialogs);
    m_eeprom = new TFrameEEprom(m_state, m_dialogs);
    m_settingsTab = new TFrameSettings(m_state, m_dialogs, m_link, m_store);
    m_tabs = {m_bedienung, m_definition, m_parameter, m_diagnose, m_eeprom, m_settingsTab};
    const QStringList captions = {tr("Betrieb"),   tr("Gleis-Definition / Adressen"),
                                  tr("Parameter"), tr("Diagnose"),
                                  tr("EEprom"),    tr("Einstellungen")};
    for (size_t i = 0; i < m_tabs.size(); ++i) {
        auto *page = new QWidget;
        page->setObjectName(QStringLiteral("TabSheet%1").arg(i + 1));
        TabSheet[i] = page;
        PageControl1->addTab(page, captions.at(static_cast<qsizetype>(i)));
        auto *layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(m_tabs[i]);
    }
    m_settingsTab->currentSettings = [this] { return CurrentSettings(); };
    connect(m_settingsTab, &TFrameSettings::statusMessage, this,
            [this](const QString &text) { StatusPanel0->setText(text); });
    connect(m_settingsTab, &TFrameSettings::portChosen, this, [this] {
        btnStart->setEnabled(true);
        btnStop->setEnabled(false);
    });
    connect(m_settingsTab, &TFrameSettings::configurationLoaded, this, &TfrmMain::ReloadTabs);

    ProgressBar2 = Named(new QProgressBar(central), "ProgressBar2");
    ProgressBar2->setRange(0, FillBarMax);
    ProgressBar2->setValue(0);
    ProgressBar2->setTextVisible(false);
    ProgressBar2->setToolTip(tr("Eingangs-Puffer Belegung"));
    SetFillBar(0);

    btnStart = Named(new QPushButton(tr("Start"), central), "btnStart");
    btnStart->setToolTip(tr("Startet RS232 Kommunikation"));
    btnStop = Named(new QPushButton(tr("Stop"), central), "btnStop");
    btnStop->setToolTip(tr("Beendet RS232 Komminikation"));
    btnClose = Named(new QPushButton(tr("Ende"), central), "btnClose");
    btnClose->setToolTip(tr("Ende des Programms"));
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

void TfrmMain::ConnectLink() {
    m_state.sendQueue.onClearLog = [this] { m_settingsTab->ClearSendLog(); };
    // The transmit tick runs only while bytes wait: a queued byte wakes it, the tick that sends
    // the last byte puts it to sleep again.
    m_state.sendQueue.onQueued = [this] { WakeSendTick(); };
    connect(&m_link, &Link::wantsToSend, this, &TfrmMain::WakeSendTick);
    // Bytes are read as soon as the port reports them, not only at the next receive tick.
    connect(&m_link, &Link::dataWaiting, this, [this] {
        if (Timer_Receive->isActive() && !m_readSoon.isActive()) {
            m_readSoon.start(0);
        }
    });
    m_firstByte.setSingleShot(true);
    m_readSoon.setSingleShot(true);
    connect(&m_firstByte, &QTimer::timeout, this, &TfrmMain::SendFirstByte);
    connect(&m_readSoon, &QTimer::timeout, this, &TfrmMain::Timer_ReceiveTimer);
    connect(&m_link, &Link::byteSent, m_settingsTab, &TFrameSettings::AppendSendLog);
    connect(&m_link, &Link::dumped, m_settingsTab, &TFrameSettings::ShowDump);
    connect(&m_link, &Link::fillLevel, this, &TfrmMain::SetFillBar);
    connect(&m_link, &Link::silenceChanged, this, &TfrmMain::OnSilenceChanged);
    connect(&m_link, &Link::failed, this, &TfrmMain::OnLinkFailed);
    connect(&m_link, &Link::stopped, this, [this] {
        StatusPanel0->setText(ConnectionTexts::Stopped());
        Timer_Receive->stop();
    });
}
