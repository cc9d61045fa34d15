#include "comm/numbertext.h"

#include <QCoreApplication>

QLocale InterfaceLocale() {
    return QLocale().language() == QLocale::English ? QLocale() : QLocale(QLocale::German);
}

QString CellsText(qsizetype n) {
    return n == 1 ? QCoreApplication::translate("Cells", "1 Zelle")
                  : QCoreApplication::translate("Cells", "%1 Zellen").arg(n);
}

QString CellsOfText(qsizetype done, qsizetype total) {
    return total == 1
               ? QCoreApplication::translate("Cells", "%1 von 1 Zelle").arg(done)
               : QCoreApplication::translate("Cells", "%1 von %2 Zellen").arg(done).arg(total);
}
