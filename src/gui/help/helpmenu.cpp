#include "gui/help/helpmenu.h"

#include "gui/common/dialogs.h"
#include "gui/common/named.h"
#include "gui/help/helpwindow.h"
#include "gui/help/manual.h"
#include "platform/settingslocation.h"
#include "programversion.h"

#include <QAction>
#include <QDate>
#include <QHBoxLayout>
#include <QLocale>
#include <QMenu>
#include <QTabWidget>
#include <QToolButton>
#include <QWidget>

namespace {
constexpr int CornerMargin = 4;
} // namespace

HelpMenu::HelpMenu(QWidget &window, QTabWidget &tabs, Dialogs &dialogs, const QString &settingsPath)
    : QObject(&window), m_window(window), m_tabs(tabs), m_dialogs(dialogs),
      m_settingsPath(settingsPath) {
    setObjectName(QStringLiteral("HelpMenu"));
    auto *manual = Named(new QAction(tr("Handbuch"), &window), "actHandbuch");
    manual->setShortcut(QKeySequence(Qt::Key_F1));
    // F1 works wherever the focus is in the window, on every tab.
    manual->setShortcutContext(Qt::WindowShortcut);
    window.addAction(manual);
    auto *about = Named(new QAction(tr("Über Pivota"), &window), "actUeber");
    connect(manual, &QAction::triggered, this, &HelpMenu::ShowManual);
    connect(about, &QAction::triggered, this, &HelpMenu::ShowAbout);

    auto *button = Named(new QToolButton, "btnHilfe");
    button->setText(tr("Hilfe"));
    button->setToolTip(tr("Handbuch (F1) und Angaben zum Programm"));
    button->setAutoRaise(true);
    button->setPopupMode(QToolButton::InstantPopup);
    auto *menu = new QMenu(button);
    menu->addAction(manual);
    menu->addAction(about);
    button->setMenu(menu);
    // A little room to the window's edge, as the tabs have on the other side.
    auto *corner = new QWidget(&tabs);
    auto *layout = new QHBoxLayout(corner);
    layout->setContentsMargins(0, 0, CornerMargin, 0);
    layout->addWidget(button);
    tabs.setCornerWidget(corner, Qt::TopRightCorner);
}

void HelpMenu::ShowManual() {
    if (!m_helpWindow) {
        m_helpWindow = new HelpWindow(&m_window);
    }
    const int tab = m_tabs.currentIndex();
    m_helpWindow->ShowSection(tab >= 0 && tab < int(Manual::TabSections.size())
                                  ? QString::fromLatin1(Manual::TabSections[size_t(tab)])
                                  : QString());
}

void HelpMenu::ShowAbout() {
    m_dialogs.showAbout(tr("Über Pivota"), AboutText(m_settingsPath));
}

QString HelpMenu::AboutText(const QString &settingsPath) {
    const QDate built = QDate::fromString(QLatin1String(ProgramVersion::BuildDate), Qt::ISODate);
    QStringList lines;
    lines << tr("Pivota %1").arg(QLatin1String(ProgramVersion::Number))
          << tr("Einrichten, Bedienen und Diagnose einer Drehscheiben-Steuerung") << QString()
          << tr("Erstellt am %1 mit Qt %2, läuft mit Qt %3")
                 .arg(QLocale().toString(built, QLocale::ShortFormat),
                      QLatin1String(QT_VERSION_STR), QLatin1String(qVersion()))
          << QString()
          // As the package's copyright file states it.
          << tr("Copyright 2026 Pivota maintainers")
          << tr("Für Pivota wurde bisher keine Lizenz erteilt: alle Rechte vorbehalten.")
          << tr("Enthält SimpleIni von Brodie Thiesfield (Expat-Lizenz).") << QString()
          << tr("Einstellungsdatei: %1").arg(ShownPath(settingsPath));
    return lines.join(QLatin1Char('\n'));
}
