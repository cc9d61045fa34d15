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

void WriteText(std::FILE *stream, const QString &text) {
    std::fflush(stream); // what the C library holds goes first
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || !::GetConsoleMode(handle, &mode)) {
        std::fputs(text.toLocal8Bit().constData(), stream);
        std::fflush(stream);
        return;
    }
    QString shown = text;
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
