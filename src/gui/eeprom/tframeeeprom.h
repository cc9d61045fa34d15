#pragma once

#include "comm/boardimage.h"
#include "core/eeprom/eepromlogic.h"
#include "gui/common/tabframe.h"

#include <memory>
#include <optional>

class Dialogs;
class SharedState;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;

// The EEPROM tab "EEprom": a technician's view of the raw cells of both boards. The upper half
// serves the pit board, the lower half the bridge board.
class TFrameEEprom : public TabFrame {
    Q_OBJECT
public:
    using Board = BoardImage::Board;

    TFrameEEprom(SharedState &state, Dialogs &dialogs, QWidget *parent = nullptr);

    void OnlineChanged() override {
        UpdateEEpromButtons();
        WakeTimer3(); // shows how far a transfer that the lost line interrupted got
        ShowSweepHint(Board::Grube);
        ShowSweepHint(Board::Buehne);
    }
    // A changed mirror wakes the tab's timer, which redraws the dumps.
    void HousekeepingTick() override { WakeTimer3(); }

    // Follows the main window's online state.
    void UpdateEEpromButtons();
    void ShowPitEEprom();
    void ShowBridgeEEprom();
    void ArrangeEEpromTab();

    const Eeprom::Sweeps &sweeps() const { return m_sweeps; }
    // "Ein Klick auf „gesamtes EEprom einlesen“ stoppt das Einlesen", shown while a sweep runs.
    static QString StopHint();

    // Timer3 runs only while a sweep runs or a dump waits to be redrawn. Starts it when one of
    // them has come up.
    void WakeTimer3();
    bool HasTimer3Work() const;

public slots:
    void btn_get_EEdataClick(Board board);
    void btn_write_EEdataClick(Board board);
    void btn_get_all_EEDataClick();
    void btn_get_all_EEData_BuhneClick();
    void btn_all_zero_gClick();
    void btn_all_zero_bClick();
    void btn_updateClick();
    void Timer3Timer();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Half {
        QLabel *caption = nullptr;
        QPlainTextEdit *memo = nullptr;
        QGroupBox *group = nullptr;
        QLineEdit *address = nullptr;
        QLineEdit *value = nullptr;
        QPushButton *write = nullptr;
        QPushButton *get = nullptr;
        QProgressBar *progress = nullptr;
        QPushButton *readAll = nullptr;
        QPushButton *zero = nullptr;
        QLabel *result = nullptr; // what a single read or write found
        std::unique_ptr<PacedTransfer> single;
    };

    void BuildHalf(Half &half, Board board);
    // A single cell read (twice) or written and read back, paced by the answers.
    void SingleByAnswer(Board board, PacedTransfer::Request request);
    void ShowSweepProgress(Board board, int progress);
    // While a sweep runs, its button and bar say that a click on the button stops it.
    void ShowSweepHint(Board board);
    Half &HalfOf(Board board) { return board == Board::Grube ? m_pit : m_bridge; }
    void StartOrStopSweep(Board board);
    // The edit's byte, or nothing (with the warning shown) when it holds no hexadecimal byte.
    std::optional<int> TakeHexEdit(QLineEdit *edit);

    SharedState &m_state;
    Dialogs &m_dialogs;
    Eeprom::Sweeps m_sweeps;
    // The mirrors' revisions that the dumps show.
    uint64_t m_pitShown = 0;
    uint64_t m_bridgeShown = 0;
    Half m_pit;
    Half m_bridge;
    QPushButton *btn_update = nullptr;
    QFrame *Bevel1 = nullptr;
    QTimer *Timer3 = nullptr;
};
