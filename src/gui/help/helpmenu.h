#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class Dialogs;
class HelpWindow;
class QAction;
class QTabWidget;
class QWidget;

// Help for the main window: a small "Hilfe" button in the corner of the tab bar, whose menu opens
// the manual ("Handbuch", also F1) or the box about the program ("Über Pivota"). F1 opens the
// manual at the section of the tab in front. Nothing of the window's own controls moves: the
// button takes room the tab bar leaves free.
class HelpMenu : public QObject {
    Q_OBJECT
public:
    // settingsPath is the settings file in use, which the about box names.
    HelpMenu(QWidget &window, QTabWidget &tabs, Dialogs &dialogs, const QString &settingsPath);

    // The lines of the about box: version and day of the build, Qt, the licence and the settings
    // file.
    static QString AboutText(const QString &settingsPath);

public slots:
    void ShowManual();
    void ShowAbout();

private:
    QWidget &m_window;
    QTabWidget &m_tabs;
    Dialogs &m_dialogs;
    QString m_settingsPath;
    QPointer<HelpWindow> m_helpWindow;
};
