#pragma once

#include <QLocale>
#include <QString>

// Numbers in the sentences the program says, in the interface's language: English where the
// interface is English (the program makes that the default locale), German otherwise, also in a
// C or POSIX locale. Displays whose format is fixed (a parameter's value label, the diagnosis
// panels) keep their decimal point.
QLocale InterfaceLocale();

// "1 Zelle", "2 Zellen": a count of EEPROM cells as a sentence names it.
QString CellsText(qsizetype n);
// "3 von 256 Zellen", "0 von 1 Zelle".
QString CellsOfText(qsizetype done, qsizetype total);
