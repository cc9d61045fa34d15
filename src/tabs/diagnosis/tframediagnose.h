#pragma once

#include <QWidget>

class Dialogs;
class SharedState;

// The diagnosis tab "Diagnose".
class TFrameDiagnose : public QWidget {
    Q_OBJECT
public:
    TFrameDiagnose(SharedState &state, Dialogs &dialogs, QWidget *parent = nullptr);

    // Refreshes after settings or a configuration file were read; RefreshDiagnosis also on every
    // 200 ms tick.
    void LoadDirectDriveValues();
    void RefreshDiagnosis();
    // Follows the main window's online state.
    void UpdateDiagnosisButtons();

private:
    SharedState &m_state;
    Dialogs &m_dialogs;
};
