#include "platform/console.h"

#include <sys/ioctl.h>
#include <unistd.h>

int ConsoleColumns(std::FILE *stream) {
    const int fd = ::fileno(stream);
    if (::isatty(fd) == 0) {
        return 0;
    }
    winsize size{};
    if (::ioctl(fd, TIOCGWINSZ, &size) != 0 || size.ws_col < 2) {
        return ConsoleLineWidth; // a terminal that does not say: as wide as the usual one
    }
    return size.ws_col - 1;
}

bool StandardErrorShown() {
    return true; // a program without a terminal still has its standard error somewhere
}

void WriteText(std::FILE *stream, const QString &text) {
    const int columns = ConsoleColumns(stream);
    const QString shown = columns > 0 ? WrapLines(text, columns) : text;
    std::fputs(shown.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}
