#include "gui/window/programicon.h"

#include <array>

QIcon ProgramIcon() {
    constexpr std::array Sizes = {16, 24, 32, 48, 64, 128, 256};
    QIcon icon;
    for (const int size : Sizes) {
        icon.addFile(QStringLiteral(":/icons/pivota-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}
