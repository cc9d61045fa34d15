// The window's pages as the user sees them: on a screen too small for the window's normal size
// every page scrolls and keeps its controls where they belong, a second start looks exactly like
// the first, and every text fits its control. Runs on three offscreen screens: a desktop of
// 1920 x 1080, a laptop of 1280 x 800 at 125 % (1024 x 640 to the program) below it and a
// 1920 x 1080 screen at 200 % (960 x 540) to its right.

#include "core/session/connectiontexts.h"
#include "core/settings/windowplacement.h"
#include "fixtures/layoutcheck.h"
#include "fixtures/scripteddialogs.h"
#include "fixtures/settingsfolder.h"
#include "fixtures/testwindow.h"
#include "fixtures/widgettestutil.h"
#include "gui/window/tfrmmain.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace TestUtil;

namespace {
// The visible controls of every page, in the order they were built, each with its place in its
// tab (or, for the window's own controls, in the window).
struct Control {
    QString name;
    QRect rect;
    bool operator==(const Control &) const = default;
};
using Layout = QList<Control>;

Layout LayoutOf(QWidget *window) {
    Layout layout;
    LayoutCheck::ForEachPage(window, [&](const QString &caption, QWidget *page) {
        QWidget *tab = LayoutCheck::TabOf(page);
        for (QWidget *c : LayoutCheck::VisibleControls(tab)) {
            layout.append({caption + u'/' + LayoutCheck::Describe(c),
                           QRect(c->mapTo(tab, QPoint()), c->size())});
        }
    });
    for (const char *name : {"btnStart", "btnStop", "btnClose", "ProgressBar2", "StatusBar1",
                             "StatusPanel0", "PageControl1"}) {
        QWidget *c = Find<QWidget>(window, name);
        layout.append({QString::fromLatin1(name), QRect(c->mapTo(window, QPoint()), c->size())});
    }
    return layout;
}

// Every widget of the window as the user meets it: where it is, whether it shows and takes
// input, and what it says.
QStringList StateOf(QWidget *window) {
    QStringList lines;
    for (const Control &c : LayoutOf(window)) {
        lines << c.name + u' ' + LayoutCheck::Describe(c.rect);
    }
    QList<QWidget *> all = window->findChildren<QWidget *>();
    QStringList states;
    for (QWidget *w : all) {
        if (w->objectName().isEmpty() || w->objectName().startsWith(u"qt_")) {
            continue;
        }
        QString text;
        if (auto *label = qobject_cast<QLabel *>(w)) {
            text = label->text();
        } else if (auto *button = qobject_cast<QAbstractButton *>(w)) {
            text = button->text() +
                   (button->isChecked() ? QStringLiteral("[x]") : QStringLiteral("[ ]"));
        } else if (auto *edit = qobject_cast<QLineEdit *>(w)) {
            text = edit->text();
        } else if (auto *memo = qobject_cast<QPlainTextEdit *>(w)) {
            text = memo->toPlainText();
        } else if (auto *combo = qobject_cast<QComboBox *>(w)) {
            text = combo->currentText();
        }
        states << QStringLiteral("%1 %2 %3 %4 %5")
                      .arg(w->objectName(),
                           w->isVisibleTo(window) ? QStringLiteral("shown")
                                                  : QStringLiteral("hidden"),
                           w->isEnabled() ? QStringLiteral("enabled") : QStringLiteral("disabled"),
                           w->palette().color(w->backgroundRole()).name(), text);
    }
    states.sort();
    return lines + states;
}

// Until the tabs' timers have shown what the start-up read (the EEPROM dumps follow their
// mirrors at the tab's next tick) and a housekeeping tick has run.
bool Settled(TfrmMain &w) {
    if (!TestUtil::WaitForHousekeepingTicks(w, 2)) {
        return false;
    }
    return QTest::qWaitFor(
        [&] {
            for (const char *name : {"Timer3", "Timer4", "Timer5"}) {
                auto *timer = w.findChild<QTimer *>(QLatin1String(name));
                if (timer && timer->isActive()) {
                    return false;
                }
            }
            return true;
        },
        5000);
}

QString FirstDifference(const Layout &a, const Layout &b) {
    for (qsizetype i = 0; i < std::min(a.size(), b.size()); ++i) {
        if (!(a[i] == b[i])) {
            return QStringLiteral("%1 at %2, then %3 at %4")
                .arg(a[i].name, LayoutCheck::Describe(a[i].rect), b[i].name,
                     LayoutCheck::Describe(b[i].rect));
        }
    }
    return QStringLiteral("%1 controls, then %2").arg(a.size()).arg(b.size());
}
} // namespace

class TestLayout : public QObject {
    Q_OBJECT
private:
    SettingsFolder m_folder;
    ScriptedDialogs m_dialogs;

    std::unique_ptr<TfrmMain> Open(const QByteArray &settings) {
        m_folder.remove();
        if (!settings.isEmpty()) {
            m_folder.write(settings);
        }
        return Start();
    }
    std::unique_ptr<TfrmMain> Start() {
        auto w = std::make_unique<TfrmMain>(m_folder.path(), m_dialogs);
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get())) {
            qFatal("window not shown");
        }
        QApplication::processEvents();
        return w;
    }

private slots:
    void initTestCase() { QCOMPARE(QGuiApplication::screens().size(), 3); }

    // ------------------------------------------------------------------------------------------
    // Pages that do not fit their window scroll

    void smallWindowScrollsAndKeepsTheDesign_data() {
        QTest::addColumn<QByteArray>("place");
        QTest::newRow("1280 x 800 at 125 %") << QByteArray("Left=20\nTop=1100\n");
        QTest::newRow("1920 x 1080 at 200 %") << QByteArray("Left=1940\nTop=20\n");
    }

    void smallWindowScrollsAndKeepsTheDesign() {
        QFETCH(QByteArray, place);
        // The design: every page at the window's normal size, on a screen large enough.
        auto normal = Open("[SETTINGS]\nBenutzer=Debug\n[Window]\nLeft=20\nTop=20\n");
        QCOMPARE(normal->size(), WindowPlacement::ControlsMinimum);
        const Layout designed = LayoutOf(normal.get());
        const QStringList designedOverlaps = LayoutCheck::OverlappingSiblings(normal.get());
        QCOMPARE(LayoutCheck::UnreachableControls(normal.get()), QStringList());
        for (QScrollArea *scroll : normal->findChildren<QScrollArea *>()) {
            // At the normal size nothing scrolls: the page looks as designed.
            QCOMPARE(scroll->verticalScrollBar()->maximum(), 0);
            QCOMPARE(scroll->horizontalScrollBar()->maximum(), 0);
        }
        normal.reset();

        auto small = Open("[SETTINGS]\nBenutzer=Debug\n[Window]\n" + place);
        QVERIFY2(small->width() < WindowPlacement::ControlsMinimum.width() ||
                     small->height() < WindowPlacement::ControlsMinimum.height(),
                 qPrintable(LayoutCheck::Describe(small->geometry())));
        QCOMPARE(LayoutCheck::UnreachableControls(small.get()), QStringList());
        // No control slides over another, and every page keeps its designed places.
        for (const QString &overlap : LayoutCheck::OverlappingSiblings(small.get())) {
            QVERIFY2(designedOverlaps.contains(overlap), qPrintable(overlap));
        }
        const Layout shrunk = LayoutOf(small.get());
        const qsizetype pageControls = designed.size() - 7; // the window's own seven follow
        QVERIFY2(shrunk.mid(0, pageControls) == designed.mid(0, pageControls),
                 qPrintable(FirstDifference(designed, shrunk)));
        // The window's own buttons and bars stay inside the small window.
        for (const char *name : {"btnStart", "btnStop", "btnClose", "ProgressBar2", "StatusBar1"}) {
            QWidget *c = Find<QWidget>(small.get(), name);
            QVERIFY2(small->rect().contains(QRect(c->mapTo(small.get(), QPoint()), c->size())),
                     name);
        }
    }

    // The designed places themselves: nothing overlaps except the position buttons lying on
    // their turntable picture.
    void designedPagesOverlapOnlyOnThePictures() {
        auto w = Open("[SETTINGS]\nBenutzer=Debug\n[Window]\nLeft=20\nTop=20\n");
        for (const QString &overlap : LayoutCheck::OverlappingSiblings(w.get())) {
            QVERIFY2(overlap.contains(u"tt_Image1"), qPrintable(overlap));
        }
    }

    // ------------------------------------------------------------------------------------------
    // Every start looks the same

    void secondStartLooksLikeTheFirst_data() {
        QTest::addColumn<QByteArray>("settings");
        QTest::newRow("no window keys") << QByteArray("[SETTINGS]\nBenutzer=Justage\n");
        QTest::newRow("a larger window") << QByteArray(
            "[SETTINGS]\nBenutzer=Debug\n[Window]\nLeft=40\nTop=30\nWidth=1200\nHeight=800\n");
    }

    void secondStartLooksLikeTheFirst() {
        QFETCH(QByteArray, settings);
        auto first = Open(settings);
        const QRect firstPlace(first->pos(), first->size());
        const Layout firstLayout = LayoutOf(first.get());
        first->btnCloseClick();
        QVERIFY(!first->isVisible());
        first.reset();

        // The stored size is the client area's, the place the frame's top left.
        const QString ini = QString::fromUtf8(m_folder.read());
        QVERIFY2(ini.contains(QStringLiteral("Width=%1").arg(firstPlace.width())), qPrintable(ini));
        QVERIFY2(ini.contains(QStringLiteral("Height=%1").arg(firstPlace.height())),
                 qPrintable(ini));

        auto second = Start();
        QCOMPARE(QRect(second->pos(), second->size()), firstPlace);
        const Layout secondLayout = LayoutOf(second.get());
        QVERIFY2(secondLayout == firstLayout,
                 qPrintable(FirstDifference(firstLayout, secondLayout)));
        // The row below the pages counts from the client area: the status bar ends inside it.
        auto *status = Find<QWidget>(second.get(), "StatusBar1");
        QVERIFY(status->geometry().bottom() < second->height());
        second->btnCloseClick();
        auto third = Start();
        QCOMPARE(LayoutOf(third.get()), firstLayout);
    }

    // ------------------------------------------------------------------------------------------
    // The program's start builds the tabs not shown first after the first frame

    void tabsBuiltAfterTheFirstFrameLookTheSame() {
        const QByteArray settings = "[SETTINGS]\nBenutzer=Debug\n[Window]\nLeft=20\nTop=20\n";
        auto eager = Open(settings);
        QVERIFY(eager->hiddenTabsBuilt());
        QVERIFY(Settled(*eager));
        const QStringList expected = StateOf(eager.get());
        eager.reset();

        m_folder.remove();
        m_folder.write(settings);
        auto later = std::make_unique<TfrmMain>(m_folder.path(), m_dialogs,
                                                TfrmMain::HiddenTabs::AfterFirstFrame);
        QVERIFY(!later->hiddenTabsBuilt());
        QVERIFY(later->frameDefinition() == nullptr);
        QVERIFY(!later->SettingsChanged()); // not even shown yet: nothing can have changed
        // The window icon waits for the same moment: it is set once, with the tabs built.
        int frames = 0;
        bool builtAtSignal = false;
        connect(later.get(), &TfrmMain::firstFrameShown, this, [&] {
            ++frames;
            builtAtSignal = later->hiddenTabsBuilt();
        });
        later->show();
        QVERIFY(QTest::qWaitForWindowExposed(later.get()));
        QTRY_VERIFY(later->hiddenTabsBuilt());
        QTRY_COMPARE(frames, 1);
        QVERIFY(builtAtSignal);
        QVERIFY(Settled(*later));
        const QStringList built = StateOf(later.get());
        for (qsizetype i = 0; i < std::min(expected.size(), built.size()); ++i) {
            QCOMPARE(built.at(i), expected.at(i));
        }
        QCOMPARE(built.size(), expected.size());
        // Nothing counts as changed: closing asks nothing.
        QVERIFY(!later->SettingsChanged());
        QVERIFY(later->close());
        QCOMPARE(m_dialogs.calls.size(), 0);
        // The start was noted: a change made now counts.
        later->state().station.ZeroOffset += 1;
        QVERIFY(later->SettingsChanged());
        later->state().station.ZeroOffset -= 1;
        QVERIFY(!later->SettingsChanged());
        later->show(); // shown again: no second first frame
        QVERIFY(QTest::qWaitForWindowExposed(later.get()));
        QApplication::processEvents();
        QCOMPARE(frames, 1);
    }

    // ------------------------------------------------------------------------------------------
    // Texts fit

    void everyTextFitsAtTheNormalSize() {
        auto w = Open("[SETTINGS]\nBenutzer=Debug\n[Window]\nLeft=20\nTop=20\n");
        QCOMPARE(w->size(), WindowPlacement::ControlsMinimum);
        QStringList faults = LayoutCheck::TextsThatDoNotFit(w.get());
        // The status bar's longest lines.
        auto *status = Find<QLabel>(w.get(), "StatusPanel0");
        for (const QString &line :
             {ConnectionTexts::Stopped(), TfrmMain::SilentText(), TfrmMain::VersionStatus(),
              ConnectionTexts::Opened(QStringLiteral("COM9")),
              ConnectionTexts::NoPort(QStringLiteral("COM9"))}) {
            status->setText(line);
            QApplication::processEvents();
            LayoutCheck::CheckText(faults, QStringLiteral("status bar"), status);
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    }
};

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
