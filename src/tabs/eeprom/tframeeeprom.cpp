#include "tframeeeprom.h"

#include "sharedstate.h"

TFrameEEprom::TFrameEEprom(SharedState &state, Dialogs &dialogs, QWidget *parent)
    : QWidget(parent), m_state(state), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("TFrameEEprom"));
}

void TFrameEEprom::UpdateEEpromButtons() {}
