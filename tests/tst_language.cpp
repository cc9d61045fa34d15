#include "core/settings/language.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// Which language the interface takes from the command line, the settings file and the locale,
// and where its catalogue is found.
class TestLanguage : public QObject {
    Q_OBJECT

private slots:
    void codes() {
        QCOMPARE(ParseLanguage(QStringLiteral("de")), Language::German);
        QCOMPARE(ParseLanguage(QStringLiteral(" EN ")), Language::English);
        for (const char *wrong : {"", "english", "fr", "e"}) {
            QVERIFY2(!ParseLanguage(QString::fromLatin1(wrong)).has_value(), wrong);
        }
        for (Language l : {Language::German, Language::English}) {
            QCOMPARE(ParseLanguage(LanguageCode(l)), l);
        }
    }

    void choice_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("locales");
        QTest::addColumn<bool>("english");
        const QStringList en = {QStringLiteral("en_GB")};
        const QStringList de = {QStringLiteral("de_DE")};
        QTest::newRow("nothing chosen, C locale") << ""
                                                  << "" << QStringList{"C"} << false;
        QTest::newRow("POSIX locale") << ""
                                      << "" << QStringList{"POSIX"} << false;
        QTest::newRow("no locale at all") << ""
                                          << "" << QStringList{} << false;
        QTest::newRow("English locale") << ""
                                        << "" << en << true;
        QTest::newRow("English with encoding") << ""
                                               << "" << QStringList{"en_US.UTF-8"} << true;
        QTest::newRow("English, dash form") << ""
                                            << "" << QStringList{"en-US"} << true;
        QTest::newRow("bare en") << ""
                                 << "" << QStringList{"en"} << true;
        QTest::newRow("other language stays German") << ""
                                                     << "" << QStringList{"fr_FR"} << false;
        QTest::newRow("a language starting with en is not English")
            << ""
            << "" << QStringList{"eng_XX"} << false;
        QTest::newRow("first preferred locale decides")
            << ""
            << "" << QStringList{"de_DE", "en_GB"} << false;
        QTest::newRow("key over locale") << ""
                                         << "de" << en << false;
        QTest::newRow("key en on German system") << ""
                                                 << "en" << de << true;
        QTest::newRow("option over key") << "de"
                                         << "en" << en << false;
        QTest::newRow("option en") << "en"
                                   << "de" << de << true;
        QTest::newRow("unknown key follows the locale") << ""
                                                        << "xx" << en << true;
        QTest::newRow("empty key follows the locale") << ""
                                                      << " " << en << true;
    }
    void choice() {
        QFETCH(QString, option);
        QFETCH(QString, key);
        QFETCH(QStringList, locales);
        QFETCH(bool, english);
        QCOMPARE(ChooseLanguage(option, key, locales) == Language::English, english);
    }

    void keyFromSettingsFile() {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("pivota.ini"));
        QCOMPARE(LanguageFromSettings(path), QString()); // no file yet

        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[SETTINGS]\r\nCOM-Port=2\r\nSprache= en \r\n");
        file.close();
        QCOMPARE(LanguageFromSettings(path), QStringLiteral("en"));

        // A folder where the file should be reads as no choice, not as an error.
        QCOMPARE(LanguageFromSettings(folder.path()), QString());
    }

    void foldersBesideTheProgramFirst() {
        const QStringList folders = TranslationFolders(QStringLiteral("/opt/pivota/bin"));
        QCOMPARE(folders, QStringList({QStringLiteral("/opt/pivota/bin/translations"),
                                       QStringLiteral("/opt/pivota/share/pivota/translations")}));
    }

    void englishCatalogueFoundAndMissing() {
        // The build's catalogue: found in its folder, not in an empty one.
        QVERIFY(InstallTranslations(*QCoreApplication::instance(), Language::English,
                                    {QStringLiteral(PIVOTA_TRANSLATIONS_DIR)}));
        QTemporaryDir empty;
        QVERIFY(
            !InstallTranslations(*QCoreApplication::instance(), Language::English, {empty.path()}));
    }
};

QTEST_GUILESS_MAIN(TestLanguage)
#include "tst_language.moc"
