#pragma once

#include <QWidget>

class Dialogs;
class SharedState;

// The track definition tab "Gleis-Definition / Adressen".
class TFrameDefinition : public QWidget {
    Q_OBJECT
public:
    TFrameDefinition(SharedState &state, Dialogs &dialogs, QWidget *parent = nullptr);

    // Refreshes after settings or a configuration file were read.
    void ShowDefinition();
    void DrawTurntable();
    // Follows the main window's online state.
    void UpdateDefinitionButtons();

    // True while rows changed on the PC have not been written to the board.
    bool HasUnwrittenChanges() const;

private:
    SharedState &m_state;
    Dialogs &m_dialogs;
};
