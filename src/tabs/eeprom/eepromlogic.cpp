#include "eepromlogic.h"

#include "boardimage.h"
#include "hexbyte.h"
#include "messages.h"
#include "sendqueue.h"

namespace Eeprom {

QString DumpText(const BoardImage &image) {
    QString text;
    text.reserve(16 * 60);
    for (int r = 0; r < 16; ++r) {
        if (r > 0) {
            text += QStringLiteral("\r\n");
        }
        text += QStringLiteral("0x") + HexByteText(r * 16) + QStringLiteral(": ");
        for (int j = 0; j < 16; ++j) {
            text += HexByteText(image.value(r * 16 + j));
            if (j == 7) {
                text += QStringLiteral(" | ");
            } else if (j % 2 == 1) {
                text += QLatin1Char(' ');
            }
        }
    }
    return text;
}

QString NormalizeHexEdit(const QString &text) {
    if (text.size() > 2) {
        return text.left(2);
    }
    if (text.size() < 2) {
        return QStringLiteral("0") + text;
    }
    return text;
}

void Sweeps::Toggle(int &index) {
    index = Running(index) ? Stopped : 0;
}

Sweeps::Progress Sweeps::Tick(SendQueue &queue) {
    Progress progress;
    if (Running(PitReadIndex) && queue.length() < 2) {
        queue.QueueValue(Msg::ReadPitCell, PitReadIndex);
        ++PitReadIndex;
        progress.pit = PitReadIndex;
    }
    if (Running(BridgeReadIndex) && queue.length() < 2) {
        queue.QueueValue(Msg::ReadBridgeCell, BridgeReadIndex);
        ++BridgeReadIndex;
        progress.bridge = BridgeReadIndex;
    }
    return progress;
}

} // namespace Eeprom
