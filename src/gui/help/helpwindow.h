#pragma once

#include <QWidget>

class QPushButton;
class QTextBrowser;

// The user manual in a window of its own beside the main window, not modal: the manual of the
// interface's language from the program's resources, shown by Qt's text browser (no web engine,
// nothing fetched from outside), with its contents, back and forward.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);

    // Shows the window in front with the manual at section (an anchor of Manual), or at its top.
    void ShowSection(const QString &section = QString());

    QTextBrowser *browser() const { return m_browser; }

private:
    QTextBrowser *m_browser = nullptr;
    QPushButton *btnInhalt = nullptr;
    QPushButton *btnZurueck = nullptr;
    QPushButton *btnVor = nullptr;
};
