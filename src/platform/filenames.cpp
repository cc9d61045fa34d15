#include "platform/filenames.h"

#include <QCoreApplication>
#include <QDir>

namespace FileNames {

namespace {
// Where the last part of the path begins: after the last separator (Windows takes both slashes)
// or a drive's colon.
qsizetype LastPartAt(const QString &path, System system) {
    qsizetype at = path.lastIndexOf(u'/') + 1;
    if (system == System::Windows) {
        at = std::max(at, path.lastIndexOf(u'\\') + 1);
        if (at == 0 && path.size() >= 2 && path.at(1) == u':' && path.at(0).isLetter()) {
            at = 2; // "C:name"
        }
    }
    return at;
}

QString LastPart(const QString &path, System system) {
    return path.mid(LastPartAt(path, system));
}

bool IsDeviceStem(const QString &stem) {
    static const QStringList Plain = {QStringLiteral("CON"),    QStringLiteral("PRN"),
                                      QStringLiteral("AUX"),    QStringLiteral("NUL"),
                                      QStringLiteral("CONIN$"), QStringLiteral("CONOUT$")};
    const QString upper = stem.toUpper();
    if (Plain.contains(upper)) {
        return true;
    }
    // COM1..COM9 and LPT1..LPT9, the superscript digits too (Windows counts them as digits).
    if (upper.size() == 4 && (upper.startsWith(u"COM") || upper.startsWith(u"LPT"))) {
        const QChar digit = upper.at(3);
        return (digit >= u'1' && digit <= u'9') || digit == QChar(0x00B9) ||
               digit == QChar(0x00B2) || digit == QChar(0x00B3);
    }
    return false;
}

QString Shown(const QString &path) {
    return QDir::toNativeSeparators(path);
}
} // namespace

QString Cleaned(const QString &path, System system) {
    if (system != System::Windows) {
        return path;
    }
    const qsizetype at = LastPartAt(path, system);
    qsizetype end = path.size();
    while (end > at && (path.at(end - 1) == u'.' || path.at(end - 1) == u' ')) {
        --end;
    }
    return path.left(end);
}

bool IsDeviceName(const QString &path, System system) {
    if (system != System::Windows) {
        return false;
    }
    const QString name = LastPart(Cleaned(path, system), system);
    // The device's name is what stands before the first dot, blanks at its end left out.
    QString stem = name.section(u'.', 0, 0);
    while (stem.endsWith(u' ')) {
        stem.chop(1);
    }
    return IsDeviceStem(stem);
}

QString Problem(const QString &path, System system) {
    if (system != System::Windows) {
        return QString();
    }
    const QString name = LastPart(Cleaned(path, system), system);
    if (name.isEmpty() && !LastPart(path, system).isEmpty()) {
        return QCoreApplication::translate(
                   "FileNames", "%1: Ein Dateiname nur aus Punkten und Leerzeichen ist unter "
                                "Windows nicht möglich.")
            .arg(Shown(path));
    }
    if (IsDeviceName(path, system)) {
        return QCoreApplication::translate(
                   "FileNames", "%1: „%2“ ist unter Windows der Name eines Geräts und kann "
                                "keine Datei benennen.")
            .arg(Shown(path), name.section(u'.', 0, 0).trimmed());
    }
    for (const QChar c : name) {
        if (c.unicode() < 32 || QStringView(u"<>:\"|?*").contains(c)) {
            const QString shown =
                c.unicode() < 32 ? QStringLiteral("\\x%1").arg(int(c.unicode()), 2, 16, QChar(u'0'))
                                 : QString(c);
            return QCoreApplication::translate(
                       "FileNames", "%1: Windows erlaubt das Zeichen „%2“ in Dateinamen nicht.")
                .arg(Shown(path), shown);
        }
    }
    return QString();
}

QString SavedName(const QString &chosen, const QString &suffix, System system) {
    if (system != System::Windows || chosen.isEmpty()) {
        return chosen;
    }
    QString name = chosen;
    const QString appended = u'.' + suffix;
    if (!suffix.isEmpty() && name.endsWith(appended, Qt::CaseInsensitive)) {
        // The dialog added the suffix to a name the system would have cut first.
        const QString typed = name.chopped(appended.size());
        if (typed.endsWith(u'.') || typed.endsWith(u' ')) {
            name = typed;
        }
    }
    const QString cleaned = Cleaned(name, system);
    if (cleaned == chosen) {
        return chosen;
    }
    if (!suffix.isEmpty() && !LastPart(cleaned, system).contains(u'.')) {
        return cleaned + appended; // "Anlage." is "Anlage", which gets the suffix as any name
    }
    return cleaned;
}

} // namespace FileNames
