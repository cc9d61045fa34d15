#include "tframeparameter.h"

#include "sharedstate.h"

TFrameParameter::TFrameParameter(SharedState &state, Dialogs &dialogs, QWidget *parent)
    : QWidget(parent), m_state(state), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("TFrameParameter"));
}

void TFrameParameter::HideParameterRows() {}

void TFrameParameter::ShowParameters() {}

void TFrameParameter::UpdateParameterButtons() {}

bool TFrameParameter::HasUnwrittenChanges() const {
    return false;
}
