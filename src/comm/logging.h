#pragma once

#include <QLoggingCategory>

// What the program can tell about its traffic when asked: off unless switched on with
// QT_LOGGING_RULES (for example "pivota.link=true") or the --log option.
Q_DECLARE_LOGGING_CATEGORY(lcLink) // pivota.link: ports opened, closed, lost; the board's silence
Q_DECLARE_LOGGING_CATEGORY(lcLinkBytes) // pivota.link.bytes: every byte on the line, both ways
Q_DECLARE_LOGGING_CATEGORY(lcTransfer) // pivota.transfer: transfers of the tabs, request by request
