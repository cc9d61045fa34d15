// The main window's form: its pages with the six tabs, Start, Stop and Ende, the fill bar, the
// status bar and the timers, and what connects them to the link and to the settings tab.

#include "gui/window/tfrmmain.h"

#include "core/session/connectiontexts.h"
#include "core/settings/windowplacement.h"
#include "gui/common/elidinglabel.h"
#include "gui/common/named.h"
#include "gui/definition/tframedefinition.h"
#include "gui/diagnosis/tframediagnose.h"
#include "gui/eeprom/tframeeeprom.h"
#include "gui/operation/tframebedienung.h"
#include "gui/parameter/tframeparameter.h"
#include "gui/settings/tframesettings.h"
#include "net/networkports.h"
#include "sim/simport.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;
constexpr int FillBarMax = 100;
// Below the pages, counted up from the client area's bottom edge: the fill bar, the buttons and
// the status bar.
constexpr int BelowPages = 100;
constexpr int ButtonsUp = 88;
constexpr int FillBarUp = 80;
constexpr int FillBarHeight = 17;
constexpr int StatusBarUp = 44;
constexpr int StatusBarHeight = 20;
} // namespace

void TfrmMain::BuildForm(HiddenTabs hiddenTabs) {
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    setCentralWidget(central);
    // Made after the central widget, so that the tabs go before the session they hold on to.
    m_session = new Session(this);
    // The window's ports include the built-in simulator (demo mode, "simulator" in [Ports]).
    m_session->setDeviceFactory(WithNetworkPorts(DevicesWithSimulator()));

    PageControl1 = Named(new QTabWidget(central), "PageControl1");
    m_bedienung = new TFrameBedienung(state(), m_dialogs);
    m_tabs[0] = m_bedienung;
    if (hiddenTabs == HiddenTabs::AtOnce) {
        BuildHiddenTabs();
    }
    m_settingsTab =
        new TFrameSettings(*m_session, m_dialogs, m_store, [this] { return CurrentSettings(); });
    m_tabs[5] = m_settingsTab;
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
        // A page smaller than its tab's designed size scrolls, so that its controls keep their
        // places instead of sliding over each other. At the designed size and above, the tab
        // fills the page and no scroll bar shows.
        auto *scroll = Named(new QScrollArea(page), QStringLiteral("ScrollBox%1").arg(i + 1));
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setWidgetResizable(true);
        scroll->viewport()->setAutoFillBackground(false);
        layout->addWidget(scroll);
        if (m_tabs[i]) {
            PlaceTab(i);
        }
    }

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
    StatusPanel0 = Named(new ElidingLabel(StatusBar1), "StatusPanel0");
    // Panel 0 is at least 250 wide and takes what the status bar has to spare; a line longer
    // than that (a transfer's report naming its cells) ends in "…", whole in the tool tip.
    StatusPanel0->setMinimumWidth(250);
    StatusPanel1 = Named(new QLabel(StatusBar1), "StatusPanel1");
    StatusPanel1->setFixedWidth(50);
    StatusBar1->addWidget(StatusPanel0, 1);
    StatusBar1->addWidget(StatusPanel1);
}

void TfrmMain::ConnectSettingsTab() {
    connect(m_settingsTab, &TFrameSettings::statusMessage, this,
            [this](const QString &text) { StatusPanel0->setText(text); });
    connect(m_settingsTab, &TFrameSettings::connectionChosen, m_session, &Session::Choose);
    // The level takes effect at the next start: it is what the settings file will keep.
    connect(m_settingsTab, &TFrameSettings::levelChosen, this,
            [this](const QString &level) { m_settings.checkedLevel = level; });
    connect(m_settingsTab, &TFrameSettings::configurationLoaded, this,
            [this](const QList<ConfigFile::Content> &taken) {
                for (TabFrame *tab : m_tabs) {
                    if (tab) {
                        tab->ConfigurationLoaded(taken);
                    }
                }
            });
}

void TfrmMain::FormResize() {
    // The layout counts from the client area, whatever frame the window manager adds.
    const int h = height();
    const int w = width();
    PageControl1->setGeometry(0, 0, w, h - BelowPages);
    const int closeLeft = w - btnClose->width() - 14;
    const int stopLeft = closeLeft - btnStop->width() - 10;
    const int startLeft = stopLeft - btnClose->width() - 10;
    btnClose->move(closeLeft, h - ButtonsUp);
    btnStop->move(stopLeft, h - ButtonsUp);
    btnStart->move(startLeft, h - ButtonsUp);
    ProgressBar2->setGeometry(10, h - FillBarUp, startLeft - 20, FillBarHeight);
    StatusBar1->setGeometry(0, h - StatusBarUp, w, StatusBarHeight);
    // The tabs keep their designed height in a smaller window (they scroll), and the settings
    // tab's memos with it.
    for (TabFrame *tab : m_tabs) {
        if (tab) {
            tab->FitWindowHeight(std::max(h, WindowPlacement::ControlsMinimum.height()));
        }
    }
    KeepTabsAtDesignedSize();
}

void TfrmMain::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    KeepTabsAtDesignedSize();
    if (!m_firstFrameShown) {
        StatusBar1->installEventFilter(this); // sees the first frame complete
    }
}

void TfrmMain::KeepTabsAtDesignedSize() {
    const auto *stack =
        PageControl1->findChild<QStackedWidget *>(QString(), Qt::FindDirectChildrenOnly);
    if (!stack || !PageControl1->isVisible()) {
        return; // laid out only once shown
    }
    // The tab bar and the pane's frame around the pages.
    const QSize chrome = PageControl1->size() - stack->size();
    const QSize normal = WindowPlacement::ControlsMinimum - QSize(0, BelowPages);
    const QSize designed = (normal - chrome).expandedTo(QSize(0, 0));
    for (TabFrame *tab : m_tabs) {
        if (tab) {
            tab->setMinimumSize(designed);
        }
    }
}

void TfrmMain::BuildHiddenTabs() {
    if (m_definition) {
        return;
    }
    m_definition = new TFrameDefinition(state(), m_dialogs);
    m_parameter = new TFrameParameter(state(), m_dialogs);
    m_diagnose = new TFrameDiagnose(state(), m_dialogs);
    m_eeprom = new TFrameEEprom(state(), m_dialogs);
    m_tabs[1] = m_definition;
    m_tabs[2] = m_parameter;
    m_tabs[3] = m_diagnose;
    m_tabs[4] = m_eeprom;
    if (TabSheet[1]) {
        for (size_t i = 1; i <= 4; ++i) {
            PlaceTab(i);
        }
    }
}

void TfrmMain::PlaceTab(size_t i) {
    auto *scroll = TabSheet[i]->findChild<QScrollArea *>();
    const bool filled = m_tabs[i]->autoFillBackground();
    scroll->setWidget(m_tabs[i]);
    m_tabs[i]->setAutoFillBackground(filled); // the page looks as it did without scrolling
}

void TfrmMain::BuildHiddenTabsNow() {
    if (m_definition) {
        return;
    }
    BuildHiddenTabs();
    // What the start-up did for the other tabs: show the settings, follow the offline state.
    for (size_t i = 1; i <= 4; ++i) {
        m_tabs[i]->Reload();
    }
    for (size_t i : {size_t(3), size_t(2), size_t(1), size_t(4)}) { // as SetOnline orders them
        m_tabs[i]->OnlineChanged();
    }
    KeepTabsAtDesignedSize();
    m_store.NoteStart(SettingsToCompare(), state());
}

bool TfrmMain::eventFilter(QObject *watched, QEvent *event) {
    // The first frame is complete once the status bar, drawn last, has painted: what it did not
    // need follows in the next turn of the event loop.
    if (watched == StatusBar1 && event->type() == QEvent::Paint && !m_firstFrameShown) {
        StatusBar1->removeEventFilter(this);
        m_firstFrameShown = true;
        QTimer::singleShot(0, this, [this] {
            // The frame is drawn but may still wait in the connection to the display, which is
            // sent only when the event loop next sleeps: send it now, so that the user sees the
            // window before the other tabs are built, not after.
            QGuiApplication::sync();
            BuildHiddenTabsNow();
            emit firstFrameShown();
        });
    }
    return QMainWindow::eventFilter(watched, event);
}
