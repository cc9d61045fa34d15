// The user manual in the program: the German and the English manual have the same sections, every
// section the program opens and every picture the manual shows are there, F1 opens the manual at
// the section of the tab in front in the interface's language, and the about box names the
// version.

#include "core/settings/language.h"
#include "fixtures/testwindow.h"
#include "gui/help/helpwindow.h"
#include "gui/help/manual.h"
#include "platform/settingslocation.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

namespace {
struct Heading {
    int level = 0;
    QString id;
    bool operator==(const Heading &other) const { return level == other.level && id == other.id; }
};

QStringList Languages() {
    return {QStringLiteral("de"), QStringLiteral("en")};
}

QString ManualText(const QString &language) {
    QFile file(QStringLiteral(":/manual/%1/index.html").arg(language));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString AnchorOf(const QTextBlock &block) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QStringList names = it.fragment().charFormat().anchorNames();
        if (!names.isEmpty()) {
            return names.first();
        }
    }
    return QString();
}

// The headings as the program's text browser reads them, with the anchors it scrolls to.
QList<Heading> Headings(const QString &language) {
    QTextDocument document;
    document.setHtml(ManualText(language));
    QList<Heading> headings;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        if (b.blockFormat().headingLevel() > 1) {
            headings.append({b.blockFormat().headingLevel(), AnchorOf(b)});
        }
    }
    return headings;
}

QStringList Captured(const QString &text, const QString &pattern) {
    QStringList found;
    const QRegularExpression re(pattern);
    for (auto it = re.globalMatch(text); it.hasNext();) {
        found.append(it.next().captured(1));
    }
    return found;
}

// The anchor of the section whose text is at the top of the help window.
QString SectionInView(const QTextBrowser &browser) {
    for (QTextBlock b = browser.cursorForPosition(QPoint(4, 4)).block(); b.isValid();
         b = b.previous()) {
        if (b.blockFormat().headingLevel() > 0) {
            return AnchorOf(b);
        }
    }
    return QString();
}

// F1 in the main window, which takes the focus back from the help window first, as a click into
// it would; the help window is then on the screen.
HelpWindow *PressF1(TfrmMain &window) {
    window.activateWindow();
    if (!QTest::qWaitFor([&] { return QApplication::activeWindow() == &window; })) {
        return nullptr;
    }
    QTest::keyClick(&window, Qt::Key_F1);
    auto *help = window.findChild<HelpWindow *>();
    return help && QTest::qWaitForWindowExposed(help) ? help : nullptr;
}
} // namespace

class TestManual : public QObject {
    Q_OBJECT
private slots:
    void bothLanguagesHaveTheSameSections() {
        const QList<Heading> german = Headings(QStringLiteral("de"));
        const QList<Heading> english = Headings(QStringLiteral("en"));
        QVERIFY(german.size() > 20);
        for (const Heading &h : german + english) {
            QVERIFY2(!h.id.isEmpty(), "a section without an anchor");
        }
        QCOMPARE(english.size(), german.size());
        for (qsizetype i = 0; i < german.size(); ++i) {
            QVERIFY2(english.at(i) == german.at(i),
                     qPrintable(QStringLiteral("%1 in German, %2 in English")
                                    .arg(german.at(i).id, english.at(i).id)));
        }
    }

    void everySectionLinkedToIsThere() {
        for (const QString &language : Languages()) {
            QStringList ids;
            for (const Heading &h : Headings(language)) {
                ids.append(h.id);
            }
            QStringList links =
                Captured(ManualText(language), QStringLiteral("href=\"#([^\"]*)\""));
            QVERIFY(links.size() > 20);
            for (const char *section : Manual::TabSections) {
                links.append(QLatin1String(section));
            }
            for (const QString &link : links) {
                QVERIFY2(ids.contains(link), qPrintable(language + u'#' + link));
            }
        }
    }

    void everyPictureIsInTheResources() {
#if !PIVOTA_MANUAL_HAS_PICTURES
        QSKIP("this build has no pictures for the manual (a cross build without them)");
#endif
        for (const QString &language : Languages()) {
            const QStringList pictures =
                Captured(ManualText(language), QStringLiteral("<img src=\"([^\"]*)\""));
            QCOMPARE(pictures.size(), qsizetype(Manual::TabSections.size()));
            for (const QString &picture : pictures) {
                const QImage image(QStringLiteral(":/manual/%1/%2").arg(language, picture));
                QVERIFY2(!image.isNull(), qPrintable(language + u'/' + picture));
                // The whole window, not a part of it.
                QVERIFY2(image.width() >= 1000 && image.height() >= 670,
                         qPrintable(language + u'/' + picture));
            }
        }
    }

    void f1OpensTheSectionOfTheTabInFront() {
        TestWindow t;
        t.w().show();
        auto *tabs = t.w().findChild<QTabWidget *>(QStringLiteral("PageControl1"));
        QVERIFY(tabs);
        QCOMPARE(tabs->count(), int(Manual::TabSections.size()));
        for (int tab = 0; tab < tabs->count(); ++tab) {
            tabs->setCurrentIndex(tab);
            HelpWindow *help = PressF1(t.w());
            QVERIFY(help);
            QVERIFY(help->isVisible());
            QVERIFY(!help->isModal());
            QVERIFY(help->browser()->source().path().endsWith(QLatin1String("/de/index.html")));
            const QString section = QLatin1String(Manual::TabSections[size_t(tab)]);
            QVERIFY2(QTest::qWaitFor([&] { return SectionInView(*help->browser()) == section; }),
                     qPrintable(section + QStringLiteral(" expected, ") +
                                SectionInView(*help->browser()) + QStringLiteral(" shown")));
        }
    }

    void aboutBoxNamesVersionAndSettingsFile() {
        TestWindow t;
        auto *about = t.w().findChild<QAction *>(QStringLiteral("actUeber"));
        QVERIFY(about);
        about->trigger();
        QCOMPARE(t.dialogs.calls.size(), 1);
        const QString text = t.dialogs.calls.first().text;
        QVERIFY2(text.contains(QStringLiteral("Pivota %1\n").arg(QStringLiteral(PIVOTA_VERSION))),
                 qPrintable(text));
        QVERIFY2(text.contains(ShownPath(t.w().settingsPath())), qPrintable(text));
        QVERIFY2(text.contains(QLatin1String("alle Rechte vorbehalten")), qPrintable(text));
    }

    // Last: the English texts stay installed.
    void f1InEnglishOpensTheEnglishManual() {
        QVERIFY(InstallTranslations(*QCoreApplication::instance(), Language::English,
                                    {QStringLiteral(PIVOTA_TRANSLATIONS_DIR)}));
        TestWindow t;
        t.w().show();
        t.w().findChild<QTabWidget *>(QStringLiteral("PageControl1"))->setCurrentIndex(3);
        HelpWindow *help = PressF1(t.w());
        QVERIFY(help);
        QVERIFY(help->browser()->source().path().endsWith(QLatin1String("/en/index.html")));
        QCOMPARE(help->browser()->documentTitle(), QStringLiteral("Pivota – Manual"));
        QVERIFY(QTest::qWaitFor(
            [&] { return SectionInView(*help->browser()) == QLatin1String("diagnose"); }));
    }
};

QTEST_MAIN(TestManual)
#include "tst_manual.moc"
