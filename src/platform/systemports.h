#pragma once

#include <QString>

// What the system calls its serial ports, for the nine COM numbers of the settings tab.

// The device that COM<number> (1..9) means when the settings file maps it to nothing: on Windows
// the port of that name; on Linux COM1..COM4 are the built-in ports /dev/ttyS0..3 and COM5..COM9
// the USB serial adapters /dev/ttyUSB0..4, so that the default COM5 is the first adapter.
QString DefaultPortDevice(int number);

// How the system tells of ports coming and going: through notifications on its device folders
// (Linux), or not at all, so that the list has to be read again now and then (Windows).
bool PortsChangeNotified();

// The interval at which the port list is read again where the system does not tell.
inline constexpr int PortPollMs = 1000;
