#pragma once

#include <QString>
#include <cstdio>

// Text for the console: the help, the usage, the progress line and the results of the command
// line. Written whole and flushed at once, so that a progress line stands before the program goes
// on. On a Windows console the text goes in as UTF-16 (the console's code page would garble the
// German letters otherwise), and the escape that clears the rest of a progress line is understood
// there as on a Unix terminal; to a file or a pipe it is written in the system's 8-bit encoding.
// On a console or terminal long lines are broken at blanks (WrapLines) to its width.
void WriteText(std::FILE *stream, const QString &text);

// The escape sequence that clears a terminal's line from the cursor to its end.
inline constexpr char ClearToLineEnd[] = "\033[K";

// The width of the lines the program writes where it does not know the console's: an 80-column
// console, its last column left free (a character there moves the cursor on by itself, and the
// line end after it would leave an empty line).
inline constexpr int ConsoleLineWidth = 79;

// The columns a line written to stream may take: those of its console or terminal, less the
// last one; 0 when stream goes to a file or a pipe, where lines stay as they are.
int ConsoleColumns(std::FILE *stream);

// text with every line longer than width broken at blanks, so that a console shows whole words:
// a continued line starts below the text that follows the line's last gap of two or more blanks
// (the column of a table, "--port GERÄT     Gerätepfad ..."), or else at the line's own indent.
// A word longer than a line is broken where the line ends. Lines with a carriage return (the
// progress line that overwrites itself) stay whole.
QString WrapLines(const QString &text, int width = ConsoleLineWidth);

// Whether text written to standard error reaches anybody: false for a window program started
// without a console or a redirection (Windows), where it is lost; it then goes into a box.
bool StandardErrorShown();
