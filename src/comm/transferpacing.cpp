#include "comm/transferpacing.h"

#include "comm/numbertext.h"

QString TransferPacing::SecondsText(qint64 ms) {
    return InterfaceLocale().toString(double(ms) / 1000.0, 'f', 1);
}
