#pragma once

#include <QWidget>

class Dialogs;
class SharedState;
class QCheckBox;
class QLabel;

// The operation tab "Betrieb": drives the bridge by hand and shows its live state.
class TFrameBedienung : public QWidget {
    Q_OBJECT
public:
    TFrameBedienung(SharedState &state, Dialogs &dialogs, QWidget *parent = nullptr);

    // Refreshes called by the main window's 200 ms tick and after settings were read.
    void ShowPositions();
    void ShowStatus();
    // Follows the main window's online state.
    void UpdateOperationButtons();
    // The pit board's own target is shown only at the Debug level and in the default form.
    void SetExternalTargetVisible(bool visible);

private:
    SharedState &m_state;
    Dialogs &m_dialogs;
    QLabel *pnl_SollPosition_ext = nullptr;
    QCheckBox *cbx_zeige_sollpos_extern = nullptr;
};
