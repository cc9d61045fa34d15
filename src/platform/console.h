#pragma once

#include <QString>
#include <cstdio>

// Text for the console: the help, the usage, the progress line and the results of the command
// line. Written whole and flushed at once, so that a progress line stands before the program goes
// on. On a Windows console the text goes in as UTF-16 (the console's code page would garble the
// German letters otherwise), and the escape that clears the rest of a progress line is understood
// there as on a Unix terminal; to a file or a pipe it is written in the system's 8-bit encoding.
void WriteText(std::FILE *stream, const QString &text);

// The escape sequence that clears a terminal's line from the cursor to its end.
inline constexpr char ClearToLineEnd[] = "\033[K";
