#pragma once

#include <QWidget>

class Dialogs;
class SharedState;

// The EEPROM tab "EEprom": single cells and dumps of both boards.
class TFrameEEprom : public QWidget {
    Q_OBJECT
public:
    TFrameEEprom(SharedState &state, Dialogs &dialogs, QWidget *parent = nullptr);

    // Follows the main window's online state.
    void UpdateEEpromButtons();

private:
    SharedState &m_state;
    Dialogs &m_dialogs;
};
