#include "platform/console.h"

#include <io.h>
#include <windows.h>

namespace {
// A console takes the escapes of a Unix terminal once asked to (Windows 10 and later); an older
// one would print them, so there they are left out.
bool TakesEscapes(HANDLE console) {
    DWORD mode = 0;
    if (!::GetConsoleMode(console, &mode)) {
        return false;
    }
    if (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) {
        return true;
    }
    return ::SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}
} // namespace

int ConsoleColumns(std::FILE *stream) {
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (handle == INVALID_HANDLE_VALUE || !::GetConsoleScreenBufferInfo(handle, &info)) {
        return 0;
    }
    const int columns = info.srWindow.Right - info.srWindow.Left + 1;
    return columns >= 2 ? columns - 1 : ConsoleLineWidth;
}

bool StandardErrorShown() {
    // A window program (pivota.exe) started from Explorer or a link has no standard error at all;
    // one started with its output redirected has a file or a pipe there.
    const HANDLE handle = ::GetStdHandle(STD_ERROR_HANDLE);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           ::GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

void WriteText(std::FILE *stream, const QString &text) {
    std::fflush(stream); // what the C library holds goes first
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || !::GetConsoleMode(handle, &mode)) {
        std::fputs(text.toLocal8Bit().constData(), stream);
        std::fflush(stream);
        return;
    }
    QString shown = WrapLines(text, ConsoleColumns(stream));
    if (!TakesEscapes(handle)) {
        shown.remove(QLatin1String(ClearToLineEnd));
    }
    const auto *chars = reinterpret_cast<const wchar_t *>(shown.utf16());
    qsizetype left = shown.size();
    while (left > 0) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<qsizetype>(left, 16 * 1024));
        if (!::WriteConsoleW(handle, chars, chunk, &written, nullptr) || written == 0) {
            return;
        }
        chars += written;
        left -= written;
    }
}
