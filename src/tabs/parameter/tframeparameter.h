#pragma once

#include <QWidget>

class Dialogs;
class SharedState;

// The parameter tab "Parameter".
class TFrameParameter : public QWidget {
    Q_OBJECT
public:
    TFrameParameter(SharedState &state, Dialogs &dialogs, QWidget *parent = nullptr);

    // Refreshes after settings or a configuration file were read; ShowParameters also after
    // every received bridge cell.
    void HideParameterRows();
    void ShowParameters();
    // Follows the main window's online state.
    void UpdateParameterButtons();

    // True while rows changed on the PC have not been written to the board.
    bool HasUnwrittenChanges() const;

private:
    SharedState &m_state;
    Dialogs &m_dialogs;
};
