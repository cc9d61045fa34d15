#pragma once

#include <QString>
#include <QUrl>
#include <array>

// The user manual built into the program: one HTML file per language, with the pictures of the
// window's tabs beside it, in the resources under :/manual/<language>/ (docs/manual/).
namespace Manual {

// The sections about the six tabs, in the order of the pages: operation, definition, parameter,
// diagnosis, EEPROM, settings. The manual of every language has them under these anchors, and each
// tab's picture is the anchor's name with ".png" (tools/manual/manualshots.cpp draws them).
inline constexpr std::array<const char *, 6> TabSections = {
    "betrieb", "gleis-definition", "parameter", "diagnose", "eeprom", "einstellungen"};

// The manual that goes with the interface's language: "de", or "en" when the English texts are
// installed.
QString LanguageCode();

// The manual of that language in the resources, at section (its top without one).
QUrl Url(const QString &languageCode, const QString &section = QString());

} // namespace Manual
