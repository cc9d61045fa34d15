#pragma once

#include "core/configuration/configfile.h"

#include <QList>
#include <QWidget>

struct LevelView;
struct ProgramSettings;

// What the main window asks of every tab: it keeps the tabs in one list and calls these, never a
// tab's own functions by name.
class TabFrame : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    // The connection went up or down (the shared state's Online says which): the tab enables its
    // own controls.
    virtual void OnlineChanged() = 0;
    // Every 200 ms, after the boards' answers went into the mirrors: the tab shows what changed.
    virtual void HousekeepingTick() {}
    // The settings file was read: the tab shows the new data.
    virtual void Reload() {}
    // A configuration file was loaded: the tab shows the new data and marks what the parts
    // taken changed against what it showed (to be written to the board).
    virtual void ConfigurationLoaded(const QList<ConfigFile::Content> &taken) {
        (void)taken;
        Reload();
    }
    // Something changed on the PC that is not yet written to a board.
    virtual bool HasUnwrittenChanges() const { return false; }
    // The settings file was read: the tab shows what it keeps of it (before Reload).
    virtual void ShowSettings(const ProgramSettings &) {}
    // What the user level shows of the tab.
    virtual void ShowLevel(const LevelView &) {}
    // The window's outer height changed: a tab that reaches down to the window's bottom follows.
    virtual void FitWindowHeight(int) {}
};
