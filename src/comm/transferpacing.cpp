#include "comm/transferpacing.h"

#include <QLocale>

QString TransferPacing::SecondsText(qint64 ms) {
    // German numbers unless the interface is English.
    const QLocale locale =
        QLocale().language() == QLocale::English ? QLocale() : QLocale(QLocale::German);
    return locale.toString(double(ms) / 1000.0, 'f', 1);
}
