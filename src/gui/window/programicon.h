#pragma once

#include <QIcon>

// The program's icon, built into the program in the sizes a window manager and a task bar ask
// for (16 to 256 pixels), drawn from data/pivota.svg. Taken from the program itself, not looked
// up in the icon themes at every start, and the same wherever the program is installed.
QIcon ProgramIcon();
