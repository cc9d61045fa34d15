#include "core/session/connectiontexts.h"
#include "core/settings/language.h"
#include "core/settings/windowplacement.h"
#include "fixtures/catalogue.h"
#include "fixtures/layoutcheck.h"
#include "fixtures/simulatedwindow.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>

// The English interface: the catalogue is complete and keeps every placeholder, and the window in
// English shows no German anywhere, on any tab, in its boxes or its status line.
class TestEnglish : public QObject {
    Q_OBJECT

    QList<TestCatalogue::Message> m_messages;

    // German that a text shows: a source text whose English differs, or a German letter or word.
    QString germanIn(const QString &text) const {
        static const QHash<QString, QString> german =
            TestCatalogue::GermanOnly(TestCatalogue::Read(QStringLiteral(PIVOTA_TS_FILE)));
        static const QRegularExpression words(
            QStringLiteral("[äöüÄÖÜß]|\\b(und|oder|nicht|der|die|das|mit|von|ist|wird|lesen|"
                           "schreiben|Platine|Bühne|Grube|Adresse|Einstellung|Fehler)\\b"),
            QRegularExpression::CaseInsensitiveOption);
        // Names of railway systems stay as they are.
        const QString checked = QString(text).remove(QStringLiteral("Märklin"));
        if (german.contains(text)) {
            return german.value(text);
        }
        const auto match = words.match(checked);
        return match.hasMatch() ? match.captured() : QString();
    }

    void verifyEnglish(const QList<TestCatalogue::Shown> &shown) {
        QStringList german;
        for (const auto &s : shown) {
            const QString hint = germanIn(s.text);
            if (!hint.isEmpty()) {
                german.append(QStringLiteral("%1: \"%2\" (%3)").arg(s.where, s.text, hint));
            }
        }
        QVERIFY2(german.isEmpty(), qPrintable(german.join(QLatin1Char('\n'))));
    }

private slots:
    void initTestCase() {
        m_messages = TestCatalogue::Read(QStringLiteral(PIVOTA_TS_FILE));
        QVERIFY(m_messages.size() > 100);
        QVERIFY(InstallTranslations(*QCoreApplication::instance(), Language::English,
                                    {QStringLiteral(PIVOTA_TRANSLATIONS_DIR)}));
    }

    void catalogueCompleteWithItsPlaceholders() {
        static const QRegularExpression placeholder(QStringLiteral("%L?\\d"));
        const auto placeholders = [](const QString &text) {
            QStringList found;
            for (auto it = placeholder.globalMatch(text); it.hasNext();) {
                found.append(it.next().captured().remove(QLatin1Char('L')));
            }
            found.sort();
            return found;
        };
        QStringList faults;
        for (const auto &m : m_messages) {
            if (!m.finished || m.translation.isEmpty()) {
                faults.append(QStringLiteral("%1: no English for \"%2\"").arg(m.context, m.source));
            } else if (placeholders(m.source) != placeholders(m.translation)) {
                faults.append(QStringLiteral("%1: \"%2\" -> \"%3\" changes its placeholders")
                                  .arg(m.context, m.source, m.translation));
            } else if (m.source.endsWith(QLatin1Char('\n')) !=
                       m.translation.endsWith(QLatin1Char('\n'))) {
                faults.append(QStringLiteral("%1: \"%2\" -> \"%3\" changes its line end")
                                  .arg(m.context, m.source, m.translation));
            }
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }

    void noGermanOnAnyTab() {
        // The Debug level shows all six tabs.
        TestWindow window(QByteArray("[SETTINGS]\nBenutzer=Debug\n"));
        verifyEnglish(TestCatalogue::Texts(&window.w()));
    }

    void noGermanOnlineInTheStatusLineAndBoxes() {
        SimulatedWindow window({}, QByteArray("Benutzer=Debug\n"));
        TfrmMain &w = window.w();
        w.show();
        QTest::mouseClick(w.findChild<QPushButton *>(QStringLiteral("btnStart")), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(w.state().connection().online(), 10000);
        // A read of the addresses: its button offers the stop while it runs, then its status
        // line and the rows' marks are shown.
        auto *read = w.findChild<QPushButton *>(QStringLiteral("btn_read_adr"));
        QVERIFY(read);
        const QString caption = read->text();
        QTest::mouseClick(read, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(read->text() != caption, 5000);
        verifyEnglish(TestCatalogue::Texts(&w));
        QTRY_COMPARE_WITH_TIMEOUT(read->text(), caption, 120000);
        verifyEnglish(TestCatalogue::Texts(&w));
        QStringList boxes;
        for (const auto &call : window.dialogs.calls) {
            boxes.append(call.caption + QLatin1Char(' ') + call.text);
        }
        QList<TestCatalogue::Shown> shown;
        for (const QString &box : boxes) {
            shown.append({QStringLiteral("box"), box});
        }
        verifyEnglish(shown);
    }

    void everyEnglishTextFitsAtTheNormalSize() {
        TestWindow window(QByteArray("[SETTINGS]\nBenutzer=Debug\n[Window]\nLeft=20\nTop=20\n"));
        TfrmMain &w = window.w();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QApplication::processEvents();
        QCOMPARE(w.size(), WindowPlacement::ControlsMinimum);
        QStringList faults = LayoutCheck::TextsThatDoNotFit(&w);
        auto *status = w.findChild<QLabel *>(QStringLiteral("StatusPanel0"));
        QVERIFY(status);
        for (const QString &line :
             {ConnectionTexts::Stopped(), TfrmMain::SilentText(), TfrmMain::VersionStatus(),
              TfrmMain::ReconnectedText(), ConnectionTexts::Opened(QStringLiteral("COM9")),
              ConnectionTexts::NoPort(QStringLiteral("COM9"))}) {
            status->setText(line);
            QApplication::processEvents();
            LayoutCheck::CheckText(faults, QStringLiteral("status bar"), status);
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    }

    void qtOwnTextsFollow() {
        // Qt's German catalogue is not installed with the English interface.
        QDialogButtonBox english(QDialogButtonBox::Cancel);
        QCOMPARE(english.button(QDialogButtonBox::Cancel)->text().remove(u'&'),
                 QStringLiteral("Cancel"));
    }
};

QTEST_MAIN(TestEnglish)
#include "tst_english.moc"
