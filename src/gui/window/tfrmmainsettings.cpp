// The main window and its settings file: read at the start, written by "Ende", and what closing
// the window asks so that nothing is lost unasked.

#include "gui/window/tfrmmain.h"

#include "core/session/connectiontexts.h"
#include "core/settings/settingsstore.h"
#include "gui/common/dialogs.h"
#include "gui/common/tabframe.h"
#include "gui/settings/tframesettings.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>

using namespace ConnectionTexts;

// ---------------------------------------------------------------------------------------------
// Settings file

void TfrmMain::ReadProgIni() {
    QString error;
    // A missing file gives every key its default. So does one that cannot be read, but the user
    // is told at once, and "Ende" will not overwrite it.
    if (!m_store.Read(m_settings, state(), port().portMap(), &error)) {
        m_dialogs.showError(QApplication::applicationName(), SettingsStore::UnreadableText(error));
    }
    for (TabFrame *tab : m_tabs) {
        if (tab) { // the settings tab tells the choices it shows
            tab->ShowSettings(m_settings);
        }
    }
    m_session->setTiming(
        {m_settings.intervalSenden, m_settings.intervalReceive, m_settings.readSize});
    PlaceWindow();
    ReloadTabs();
}

bool TfrmMain::WriteProgIni() {
    const ProgramSettings settings = CurrentSettings();
    QString error;
    if (!m_store.Save(settings, state(), &error)) {
        // Said once; the settings kept are those read, so that nothing looks changed that was not.
        if (!m_saveFailureReported) {
            m_saveFailureReported = true;
            m_dialogs.showError(QApplication::applicationName(),
                                SettingsStore::NotSavedText(error));
        }
        return false;
    }
    m_saveFailureReported = false;
    m_settings = settings;
    return true;
}

bool TfrmMain::SavedOrMayBeLost() {
    return WriteProgIni() ||
           m_dialogs.askYesNo(CloseWithoutSavingQuestion(QDir::toNativeSeparators(settingsPath())));
}

ProgramSettings TfrmMain::CurrentSettings() const {
    // The choice and the line's pace as the session holds them; the level as the settings tab
    // chose it.
    ProgramSettings s = m_settings;
    const ConnectionSettings &chosen = m_session->settings();
    s.comPort = chosen.comNumber;
    s.baud = chosen.baud == 0 ? ProgramSettings().baud : chosen.baud;
    s.autoReconnect = chosen.autoReconnect;
    s.intervalReceive = m_session->timing().receiveMs;
    s.intervalSenden = m_session->timing().byteIntervalMs;
    s.readSize = m_session->timing().readSize;
    // The client size and the frame's top left of the normal (not maximized) window: what
    // PlaceWindow gives back at the next start, so that it looks as it did.
    const QRect normal = NormalGeometry();
    s.width = normal.width();
    s.height = normal.height();
    s.top = normal.y();
    s.left = normal.x();
    return s;
}

ProgramSettings TfrmMain::SettingsToCompare() const {
    ProgramSettings s = CurrentSettings();
    // Where the window manager puts the window, and whether the user moved it, is not worth a
    // question: the place is compared as it was read.
    s.width = m_settings.width;
    s.height = m_settings.height;
    s.top = m_settings.top;
    s.left = m_settings.left;
    return s;
}

bool TfrmMain::SettingsChanged() const {
    return m_store.ChangedSinceStart(SettingsToCompare(), state());
}

void TfrmMain::ReloadTabs() {
    for (TabFrame *tab : m_tabs) {
        if (tab) { // the tabs not shown first are built after the first frame
            tab->Reload();
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Closing

bool TfrmMain::HasUnwrittenChanges() const {
    return std::any_of(m_tabs.begin(), m_tabs.end(),
                       [](const TabFrame *tab) { return tab && tab->HasUnwrittenChanges(); });
}

void TfrmMain::btnCloseClick() {
    m_session->EndDirectDrive();
    // "Ende" saves the settings file; rows not yet written to the board would be lost unasked.
    if (HasUnwrittenChanges()) {
        switch (m_dialogs.askYesNoCancel(CloseQuestion(SettingsChanged(), true))) {
        case Dialogs::Choice::Yes:
            if (!SavedOrMayBeLost()) {
                return;
            }
            break;
        case Dialogs::Choice::No:
            break;
        case Dialogs::Choice::Cancel:
            return;
        }
    } else if (!SavedOrMayBeLost()) {
        return;
    }
    m_closingWithEnde = true;
    if (!close()) {
        m_closingWithEnde = false;
    }
}

void TfrmMain::closeEvent(QCloseEvent *event) {
    // A motor the program started must not run on once the window is gone.
    const auto closeNow = [this, event] {
        m_session->EndDirectDrive();
        m_session->StopWaiting();
        QMainWindow::closeEvent(event);
    };
    if (m_closingWithEnde) {
        closeNow();
        return;
    }
    const QString question = CloseQuestion(SettingsChanged(), HasUnwrittenChanges());
    if (question.isEmpty()) {
        closeNow();
        return;
    }
    switch (m_dialogs.askYesNoCancel(question)) {
    case Dialogs::Choice::Yes:
        if (!SavedOrMayBeLost()) {
            event->ignore(); // nothing is lost
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
