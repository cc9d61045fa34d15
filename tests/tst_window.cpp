// The main window as a desktop window: where it opens, how small it may get, sharp pictures on
// scaled screens, and what closing it other than with "Ende" does. Runs on three offscreen
// screens: 1920 x 1080 at scale 1, 1440 x 900 at scale 2 to its right, 1280 x 800 at scale 1.5
// below it.

#include "core/settings/windowplacement.h"
#include "fixtures/scripteddialogs.h"
#include "fixtures/settingsfolder.h"
#include "fixtures/testutil.h"
#include "fixtures/widgettestutil.h"
#include "gui/common/elidinglabel.h"
#include "gui/common/turntablepicture.h"
#include "gui/operation/tframebedienung.h"
#include "gui/window/programicon.h"
#include "gui/window/tfrmmain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QtMath>
#include <memory>

using namespace TestUtil;

namespace {
const QMargins Deco = WindowPlacement::Decoration;

QRect Outer(const QRect &client) {
    return QRect(client.topLeft(),
                 client.size() + QSize(Deco.left() + Deco.right(), Deco.top() + Deco.bottom()));
}

QScreen *ScreenNamed(const QString &name) {
    for (QScreen *s : QGuiApplication::screens()) {
        if (s->name() == name) {
            return s;
        }
    }
    qFatal("no screen %s", qPrintable(name));
}
} // namespace

class TestWindow : public QObject {
    Q_OBJECT
private:
    SettingsFolder m_folder;
    QString path() const { return m_folder.path(); }
    std::unique_ptr<TfrmMain> Open(ScriptedDialogs &dialogs, const QByteArray &settings = {}) {
        m_folder.remove();
        if (!settings.isEmpty()) {
            m_folder.write(settings);
        }
        auto w = std::make_unique<TfrmMain>(path(), dialogs);
        w->show();
        return w;
    }

private slots:
    void initTestCase() { QCOMPARE(QGuiApplication::screens().size(), 3); }

    // ------------------------------------------------------------------------------------------
    // Closing

    void closingWithNothingChangedClosesAtOnce() {
        ScriptedDialogs dialogs;
        // First start without a file: nothing the user did would be lost.
        auto w = Open(dialogs);
        QVERIFY(!w->SettingsChanged());
        QVERIFY(w->close());
        QVERIFY(!QFile::exists(path()));

        // A file that "Ende" wrote; the user only moves and resizes the window.
        w = Open(dialogs);
        w->btnCloseClick();
        const QByteArray written = ReadFile(path());
        w = std::make_unique<TfrmMain>(path(), dialogs);
        w->show();
        w->move(w->pos() + QPoint(30, 20));
        w->resize(w->size() + QSize(40, 10));
        QVERIFY(w->close());
        QCOMPARE(ReadFile(path()), written);
        QVERIFY(dialogs.calls.isEmpty());

        // A partial file (as the demo's): unchanged since the start, so no question either.
        w = Open(dialogs, "[SETTINGS]\nCOM-Port=5\n\n[Ports]\nCOM5=simulator\n");
        QVERIFY(w->close());
        QVERIFY(dialogs.calls.isEmpty());
    }

    void changedSettingsAskThreeWays() {
        const QByteArray file = "[SETTINGS]\nBenutzer=Fahren\n";
        struct Case {
            Dialogs::Choice choice;
            bool closes;
            bool written;
        };
        const QList<Case> cases = {{Dialogs::Choice::Cancel, false, false},
                                   {Dialogs::Choice::No, true, false},
                                   {Dialogs::Choice::Yes, true, true}};
        for (const Case &c : cases) {
            ScriptedDialogs dialogs;
            auto w = Open(dialogs, file);
            Find<QRadioButton>(w.get(), "rad_debug")->setChecked(true);
            QVERIFY(w->SettingsChanged());
            dialogs.choices = {c.choice};
            QCOMPARE(w->close(), c.closes);
            QCOMPARE(w->isVisible(), !c.closes);
            QCOMPARE(dialogs.count("yesnocancel"), 1);
            QVERIFY(dialogs.calls.first().text.contains(
                QStringLiteral("Die Einstellungen wurden geändert")));
            const QByteArray now = ReadFile(path());
            QCOMPARE(now.contains("Benutzer=Debug"), c.written);
            if (!c.written) {
                QCOMPARE(now, file);
            }
        }
    }

    void changedBackOrSavedAlreadyDoesNotAsk() {
        ScriptedDialogs dialogs;
        auto w = Open(dialogs, "[SETTINGS]\nCOM-Port=3\n");
        Find<QRadioButton>(w.get(), "rad_com7")->setChecked(true);
        QVERIFY(w->SettingsChanged());
        Find<QRadioButton>(w.get(), "rad_com3")->setChecked(true);
        QVERIFY(!w->SettingsChanged());

        // What the file holds already (another start saved the same) is not lost either.
        Find<QRadioButton>(w.get(), "rad_com7")->setChecked(true);
        {
            ScriptedDialogs other;
            TfrmMain second(path(), other);
            Find<QRadioButton>(&second, "rad_com7")->setChecked(true);
            second.btnCloseClick();
        }
        QVERIFY(!w->SettingsChanged());
        QVERIFY(w->close());
        QVERIFY(dialogs.calls.isEmpty());
    }

    void positionsAndMirrorCountAsSettings() {
        ScriptedDialogs dialogs;
        auto w = Open(dialogs);
        w->state().ActualPosition = 17;
        QVERIFY(w->SettingsChanged());
        w->state().ActualPosition = 0;
        QVERIFY(!w->SettingsChanged());
        w->state().station.PositionName[4] = QStringLiteral("Lokschuppen");
        QVERIFY(w->SettingsChanged());
        dialogs.choices = {Dialogs::Choice::Yes};
        QVERIFY(w->close());
        QVERIFY(ReadFile(path()).contains("Position_4_name=Lokschuppen"));
    }

    void yesThatCannotWriteStays() {
        ScriptedDialogs dialogs;
        TfrmMain w(m_folder.file(QStringLiteral("no-such-folder/pivota.ini")), dialogs);
        w.show();
        Find<QRadioButton>(&w, "rad_fahren")->setChecked(true);
        dialogs.choices = {Dialogs::Choice::Yes};
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());
        QCOMPARE(dialogs.count("yesnocancel"), 1);
        QCOMPARE(dialogs.count("error"), 1);
    }

    void endeNeverAsks() {
        ScriptedDialogs dialogs;
        auto w = Open(dialogs);
        Find<QRadioButton>(w.get(), "rad_debug")->setChecked(true);
        QTest::mouseClick(Find<QPushButton>(w.get(), "btnClose"), Qt::LeftButton);
        QVERIFY(!w->isVisible());
        QVERIFY(dialogs.calls.isEmpty());
        QVERIFY(ReadFile(path()).contains("Benutzer=Debug"));
    }

    void aSeamThatDoesNotAskKeepsTheWindow() {
        // Dialogs that know no three-way question answer "Abbrechen": nothing is lost.
        struct Quiet : ScriptedDialogs {
            Choice askYesNoCancel(const QString &text) override {
                return Dialogs::askYesNoCancel(text);
            }
        } dialogs;
        auto w = Open(dialogs);
        Find<QRadioButton>(w.get(), "rad_debug")->setChecked(true);
        QVERIFY(!w->close());
        QVERIFY(w->isVisible());
    }

    // The settings tab names the file in use as the system writes paths, whole in its tool tip
    // and shortened in the middle where it is long (a temporary folder's path may be either).
    void settingsTabNamesTheSettingsFile() {
        ScriptedDialogs dialogs;
        const QString deep =
            m_folder.file(QString(QStringLiteral("a-rather-long-folder-name/")).repeated(6) +
                          QStringLiteral("layout.ini"));
        for (const QString &file : {path(), deep}) {
            TfrmMain w(file, dialogs);
            const QLabel *label = Find<QLabel>(&w, "lbl_settings_file");
            QCOMPARE(label->toolTip(),
                     QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath()));
            const QStringList lines = label->text().split(u'\n');
            QCOMPARE(lines.size(), 2);
            QCOMPARE(lines[0], QStringLiteral("Einstellungsdatei:"));
            QVERIFY2(lines[1].endsWith(QFileInfo(file).fileName()), qPrintable(lines[1]));
            QVERIFY(label->fontMetrics().horizontalAdvance(lines[1]) <= label->width());
            const bool fits =
                label->fontMetrics().horizontalAdvance(label->toolTip()) <= label->width();
            // Whole where it fits, else shortened with an ellipsis; the deep one never fits.
            QCOMPARE(lines[1] == label->toolTip(), fits);
            QCOMPARE(lines[1].contains(QChar(0x2026)), !fits);
            QVERIFY(file != deep || !fits);
        }
    }

    // A closing line longer than the status bar ends in "…" inside it, and the window keeps its
    // size; the tool tip holds the whole line before the details.
    void longStatusLineIsShortenedNotCut() {
        ScriptedDialogs dialogs;
        auto w = Open(dialogs, "[Window]\nLeft=10\nTop=10\nWidth=1000\nHeight=670\n");
        const QSize size = w->size();
        auto *panel = qobject_cast<ElidingLabel *>(Find<QLabel>(w.get(), "StatusPanel0"));
        QVERIFY(panel);
        const QString line = QStringLiteral("4 Zellen in 3,1 s geschrieben und geprüft; ") +
                             QStringLiteral("P:11 nicht geschrieben: Adresse 999 liegt außerhalb "
                                            "von 0 bis 320 (Motorola bis 320, DCC bis 2044); ")
                                 .repeated(3);
        panel->setText(line);
        panel->setToolTip(QStringLiteral("details"));
        QApplication::processEvents();
        QCOMPARE(w->size(), size);
        QVERIFY(w->rect().contains(QRect(panel->mapTo(w.get(), QPoint(0, 0)), panel->size())));
        QVERIFY(panel->elided());
        QVERIFY(panel->shownText().endsWith(QChar(0x2026)));
        QVERIFY(panel->fontMetrics().horizontalAdvance(panel->shownText()) <= panel->width());
        QCOMPARE(w->statusText(), line);
    }

    // ------------------------------------------------------------------------------------------
    // Size and place

    void minimumSizeKeepsEveryControlReachable() {
        ScriptedDialogs dialogs;
        auto w = Open(dialogs, "[SETTINGS]\nBenutzer=Debug\n");
        QCOMPARE(w->minimumSize(), WindowPlacement::ControlsMinimum);
        w->resize(400, 300);
        QCOMPARE(w->size(), WindowPlacement::ControlsMinimum);
        w->FormResize();
        QApplication::processEvents();

        const QRect client = w->rect();
        for (const char *name : {"btnStart", "btnStop", "btnClose", "StatusBar1", "ProgressBar2"}) {
            QWidget *c = Find<QWidget>(w.get(), name);
            QVERIFY2(client.contains(QRect(c->mapTo(w.get(), QPoint(0, 0)), c->size())), name);
        }
        auto *pages = Find<QTabWidget>(w.get(), "PageControl1");
        for (int i = 0; i < pages->count(); ++i) {
            pages->setCurrentIndex(i);
            QApplication::processEvents();
            QWidget *page = pages->widget(i);
            for (QWidget *c : page->findChildren<QWidget *>()) {
                if (!c->isVisibleTo(page) || c->isWindow()) {
                    continue;
                }
                const QRect r(c->mapTo(page, QPoint(0, 0)), c->size());
                QVERIFY2(page->rect().contains(r),
                         qPrintable(QStringLiteral("%1 on tab %2 at %3,%4 %5x%6 outside %7x%8")
                                        .arg(c->objectName(), pages->tabText(i))
                                        .arg(r.x())
                                        .arg(r.y())
                                        .arg(r.width())
                                        .arg(r.height())
                                        .arg(page->width())
                                        .arg(page->height())));
            }
        }
    }

    void minimumSizeOnASmallScreen() {
        QCOMPARE(WindowPlacement::MinimumSize(QRect(0, 0, 1024, 600)),
                 QSize(1000, 600 - Deco.top() - Deco.bottom()));
        QCOMPARE(WindowPlacement::MinimumSize(QRect(0, 0, 1920, 1080)),
                 WindowPlacement::ControlsMinimum);
    }

    void fitOntoScreens() {
        const QRect left(0, 0, 1920, 1080);
        const QRect right(1920, 0, 1440, 900);
        const QList<QRect> screens = {left, right};
        // Wholly on a screen: stays, also on the second one.
        QCOMPARE(WindowPlacement::Fit(QRect(10, 10, 1000, 670), screens), QRect(10, 10, 1000, 670));
        QCOMPARE(WindowPlacement::Fit(QRect(2000, 100, 1000, 670), screens),
                 QRect(2000, 100, 1000, 670));
        // Partly off the right edge of the second screen: pulled back onto it.
        QRect r = WindowPlacement::Fit(QRect(3000, 100, 1000, 670), screens);
        QVERIFY(right.contains(Outer(r)));
        QCOMPARE(r.size(), QSize(1000, 670));
        QCOMPARE(Outer(r).right(), right.right());
        // Across both screens: onto the one that shows most of it.
        r = WindowPlacement::Fit(QRect(1700, 100, 1000, 670), screens);
        QVERIFY(right.contains(Outer(r)));
        r = WindowPlacement::Fit(QRect(1000, 100, 1000, 670), screens);
        QVERIFY(left.contains(Outer(r)));
        // Off every screen: onto the nearest one, wholly.
        r = WindowPlacement::Fit(QRect(5000, 5000, 1000, 670), screens);
        QVERIFY(right.contains(Outer(r)));
        r = WindowPlacement::Fit(QRect(-20000, -20000, 1000, 670), screens);
        QVERIFY(left.contains(Outer(r)));
        QCOMPARE(r.topLeft(), QPoint(0, 0));
        // Larger than the screen: shrunk to it.
        r = WindowPlacement::Fit(QRect(2000, 0, 1600, 1000), screens);
        QVERIFY(right.contains(Outer(r)));
        QCOMPARE(Outer(r).size(), right.size());
        // A screen left of the primary one (negative coordinates) is a screen like any other.
        const QRect west(-1280, 0, 1280, 1024);
        QCOMPARE(WindowPlacement::Fit(QRect(-1200, 50, 1000, 670), {left, west}),
                 QRect(-1200, 50, 1000, 670));
        // Without screens nothing is known: keep what was stored.
        QCOMPARE(WindowPlacement::Fit(QRect(5, 6, 7, 8), {}), QRect(5, 6, 7, 8));
    }

    void storedPlacePartlyOffComesBackWhole() {
        ScriptedDialogs dialogs;
        const QRect screen = ScreenNamed(QStringLiteral("Plain"))->availableGeometry();
        auto w = Open(dialogs, "[Window]\nLeft=1700\nTop=900\nWidth=1100\nHeight=700\n");
        QCOMPARE(w->size(), QSize(1100, 700)); // the stored size is the client area's
        QVERIFY(screen.contains(Outer(QRect(w->pos(), w->size()))));
        // Off every screen: onto the nearest one.
        w = Open(dialogs, "[Window]\nLeft=9000\nTop=100\nWidth=1000\nHeight=670\n");
        const QRect doubleScreen = ScreenNamed(QStringLiteral("Double"))->availableGeometry();
        QVERIFY(doubleScreen.contains(Outer(QRect(w->pos(), w->size()))));
    }

    // The icon comes with the program, in every size a window manager or task bar asks for,
    // and is the turntable picture, not an empty square.
    void iconIsBuiltIn() {
        const QIcon icon = ProgramIcon();
        for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
            const QImage image = icon.pixmap(QSize(size, size), 1.0).toImage();
            QCOMPARE(image.size(), QSize(size, size));
            QCOMPARE(image.pixelColor(size / 2, size / 2).alpha(), 255); // the bridge's pivot
            QCOMPARE(image.pixelColor(0, 0).alpha(), 0);                 // the rounded corner
        }
    }

    // ------------------------------------------------------------------------------------------
    // Sharp pictures

    void turntablePictureUsesTheScreensPixels_data() {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QByteArray>("place");
        QTest::addColumn<qreal>("ratio");
        QTest::newRow("1x") << QStringLiteral("Plain") << QByteArray("Left=20\nTop=20\n") << 1.0;
        QTest::newRow("2x") << QStringLiteral("Double") << QByteArray("Left=1940\nTop=20\n") << 2.0;
        QTest::newRow("1.5x") << QStringLiteral("OneAndAHalf") << QByteArray("Left=20\nTop=1100\n")
                              << 1.5;
    }

    void turntablePictureUsesTheScreensPixels() {
        QFETCH(QString, screen);
        QFETCH(QByteArray, place);
        QFETCH(qreal, ratio);
        ScriptedDialogs dialogs;
        auto w = Open(dialogs, "[Window]\n" + place);
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QCOMPARE(w->screen()->name(), screen);
        TurntablePicture *picture = w->frameBedienung()->picture();
        QCOMPARE(picture->devicePixelRatioF(), ratio);
        w->frameBedienung()->DrawTurntable();
        const QImage &image = picture->image();
        QCOMPARE(image.devicePixelRatio(), ratio);
        QVERIFY(image.width() >= qRound(picture->width() * ratio));
        QVERIFY(image.height() >= qRound(picture->height() * ratio));

        // A one-unit line covers as many pixels across as the screen's scale.
        QImage &canvas = picture->canvas();
        {
            QPainter p(&canvas);
            p.fillRect(QRect(0, 0, 40, 40), Qt::white);
            p.setPen(QPen(Qt::black, 1));
            p.drawLine(QPoint(10, 5), QPoint(10, 35));
        }
        int black = 0;
        const int row = qRound(20 * ratio);
        for (int x = 0; x < qRound(40 * ratio); ++x) {
            black += qGray(canvas.pixel(x, row)) < 128 ? 1 : 0;
        }
        QVERIFY2(black >= int(ratio) && black <= qCeil(ratio), qPrintable(QString::number(black)));
    }

    void pictureFollowsAMoveToAnotherScale() {
        ScriptedDialogs dialogs;
        auto w = Open(dialogs, "[Window]\nLeft=20\nTop=20\n");
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        TurntablePicture *picture = w->frameBedienung()->picture();
        QCOMPARE(picture->image().devicePixelRatio(), 1.0);
        const int draws = w->frameBedienung()->drawCount();
        w->move(1940, 20);
        QTRY_COMPARE_WITH_TIMEOUT(w->screen()->name(), QStringLiteral("Double"), 5000);
        w->update();
        QTRY_COMPARE_WITH_TIMEOUT(picture->image().devicePixelRatio(), 2.0, 5000);
        QVERIFY(w->frameBedienung()->drawCount() > draws);
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
