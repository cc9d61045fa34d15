#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QCoreApplication;

// The language of the user interface. The program's texts are written in German; English comes
// from the program's translation catalogue.
enum class Language { German, English };

// "de" or "en" (any case, surrounding blanks ignored); nothing for any other text.
std::optional<Language> ParseLanguage(const QString &code);
QString LanguageCode(Language language);

// The language to use: the command line's --lang first, then the settings key "Sprache", then the
// system's locale. An empty choice means "not chosen" and passes on to the next; a locale counts
// as English when its language is English ("en", "en_GB", "en-US.UTF-8"); every other locale,
// "C" and "POSIX" among them, keeps German.
Language ChooseLanguage(const QString &option, const QString &settingsKey,
                        const QStringList &localeNames);

// The system's locale as ChooseLanguage takes it: the user's interface languages, or "C" for
// the C and POSIX locales.
QStringList SystemLocaleNames();

// The settings file's "Sprache", read before the window exists; empty when the file or the key
// is missing or the file cannot be read.
QString LanguageFromSettings(const QString &settingsPath);

// Where the program's catalogue is looked for: "translations" beside the program (the build
// tree), then the installed data folder (../share/pivota/translations from the program).
QStringList TranslationFolders(const QString &programFolder);

// Installs the translators for language: for English the program's catalogue "pivota_en.qm" from
// the first of folders that has it; for German Qt's own German texts (standard buttons, context
// menus, port errors) from Qt's translation folder or beside the program. Qt's own texts are
// English without a catalogue. False when a needed catalogue was not found (the interface then
// stays in the program's German).
bool InstallTranslations(QCoreApplication &app, Language language, const QStringList &folders);
