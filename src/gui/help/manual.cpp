#include "gui/help/manual.h"

#include <QCoreApplication>

namespace Manual {

QString LanguageCode() {
    // The catalogue of the interface's language says which manual belongs to it, so that the
    // manual follows the texts the window shows whatever chose them (--lang, the settings, the
    // system).
    //: The folder of the user manual in this language: "en" for the English one.
    const QString code = QCoreApplication::translate("Manual", "de");
    return code == QLatin1String("en") ? code : QStringLiteral("de");
}

QUrl Url(const QString &languageCode, const QString &section) {
    QUrl url(QStringLiteral("qrc:/manual/%1/index.html").arg(languageCode));
    if (!section.isEmpty()) {
        url.setFragment(section);
    }
    return url;
}

} // namespace Manual
