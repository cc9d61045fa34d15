#include "tframedefinition.h"

#include "sharedstate.h"

TFrameDefinition::TFrameDefinition(SharedState &state, Dialogs &dialogs, QWidget *parent)
    : QWidget(parent), m_state(state), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("TFrameDefinition"));
}

void TFrameDefinition::ShowDefinition() {}

void TFrameDefinition::DrawTurntable() {}

void TFrameDefinition::UpdateDefinitionButtons() {}

bool TFrameDefinition::HasUnwrittenChanges() const {
    return false;
}
