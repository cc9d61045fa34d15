#include "core/settings/language.h"

#include "core/settings/inifile.h"
#include "core/settings/inikeys.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTranslator>

std::optional<Language> ParseLanguage(const QString &code) {
    const QString c = code.trimmed().toLower();
    if (c == QLatin1String("de")) {
        return Language::German;
    }
    if (c == QLatin1String("en")) {
        return Language::English;
    }
    return std::nullopt;
}

QString LanguageCode(Language language) {
    return language == Language::English ? QStringLiteral("en") : QStringLiteral("de");
}

namespace {
bool IsEnglishLocale(const QString &name) {
    // "en", "en_GB", "en-US", "en_US.UTF-8", "en@euro": the language is what comes before the
    // first separator.
    const qsizetype end = name.indexOf(QRegularExpression(QStringLiteral("[_.@-]")));
    return name.left(end < 0 ? name.size() : end)
               .compare(QLatin1String("en"), Qt::CaseInsensitive) == 0;
}
} // namespace

Language ChooseLanguage(const QString &option, const QString &settingsKey,
                        const QStringList &localeNames) {
    for (const QString &chosen : {option, settingsKey}) {
        if (const auto language = ParseLanguage(chosen)) {
            return *language;
        }
    }
    // The first locale name decides; the system lists the user's preferred one first.
    if (!localeNames.isEmpty() && IsEnglishLocale(localeNames.constFirst())) {
        return Language::English;
    }
    return Language::German;
}

QStringList SystemLocaleNames() {
    const QLocale system = QLocale::system();
    // In the C locale the C library ignores LANGUAGE; so does the program.
    if (system.language() == QLocale::C) {
        return {QStringLiteral("C")};
    }
    return system.uiLanguages();
}

QString LanguageFromSettings(const QString &settingsPath) {
    IniFile ini;
    if (!ini.load(settingsPath)) {
        return {};
    }
    return ini.readString(Ini::Settings, Ini::Sprache, QString()).trimmed();
}

QStringList TranslationFolders(const QString &programFolder) {
    const QDir dir(programFolder);
    return {dir.filePath(QStringLiteral("translations")),
            QDir::cleanPath(dir.filePath(QStringLiteral("../share/pivota/translations")))};
}

namespace {
bool Install(QCoreApplication &app, const QLocale &locale, const QString &catalogue,
             const QStringList &folders) {
    for (const QString &folder : folders) {
        auto *translator = new QTranslator(&app);
        if (translator->load(locale, catalogue, QStringLiteral("_"), folder)) {
            QCoreApplication::installTranslator(translator);
            return true;
        }
        delete translator;
    }
    return false;
}
} // namespace

bool InstallTranslations(QCoreApplication &app, Language language, const QStringList &folders) {
    if (language == Language::English) {
        return Install(app, QLocale(QLocale::English, QLocale::UnitedKingdom),
                       QStringLiteral("pivota"), folders);
    }
    const QLocale german(QLocale::German, QLocale::Germany);
    QStringList qtFolders = {QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    qtFolders += folders;
    const bool base = Install(app, german, QStringLiteral("qtbase"), qtFolders);
    Install(app, german, QStringLiteral("qtserialport"), qtFolders);
    return base;
}
