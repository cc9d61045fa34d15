#include "comm/logging.h"

// Off by default, warnings too: every failure reaches the user in the program's own words (a box,
// a line of the command line), and a normal run prints nothing of its own on standard error.
Q_LOGGING_CATEGORY(lcLink, "pivota.link", QtCriticalMsg)
Q_LOGGING_CATEGORY(lcLinkBytes, "pivota.link.bytes", QtCriticalMsg)
Q_LOGGING_CATEGORY(lcTransfer, "pivota.transfer", QtCriticalMsg)
