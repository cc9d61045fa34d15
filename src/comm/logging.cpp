#include "comm/logging.h"

// Only warnings are on by default: a normal run prints nothing.
Q_LOGGING_CATEGORY(lcLink, "pivota.link", QtWarningMsg)
Q_LOGGING_CATEGORY(lcLinkBytes, "pivota.link.bytes", QtWarningMsg)
Q_LOGGING_CATEGORY(lcTransfer, "pivota.transfer", QtWarningMsg)
