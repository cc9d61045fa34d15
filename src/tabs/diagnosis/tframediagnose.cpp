#include "tframediagnose.h"

#include "sharedstate.h"

TFrameDiagnose::TFrameDiagnose(SharedState &state, Dialogs &dialogs, QWidget *parent)
    : QWidget(parent), m_state(state), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("TFrameDiagnose"));
}

void TFrameDiagnose::LoadDirectDriveValues() {}

void TFrameDiagnose::RefreshDiagnosis() {}

void TFrameDiagnose::UpdateDiagnosisButtons() {}
