#pragma once

#include "comm/addresscodes.h"
#include "comm/pacedtransfer.h"
#include "comm/sharedstate.h"

#include <QList>
#include <QString>
#include <array>

// The 28 address rows of the definition tab without their widgets: the address and output of each
// row, its data state, the position numbers of the position rows, their storage in the pit board's
// mirror and the paced transfer of their cells to and from the pit board. One Tick() is one tick of
// the tab's transfer timer.
class AddressRows : public UnwrittenSource {
public:
    static constexpr int Rows = AddressCodes::Rows;
    static constexpr int PositionRows = AddressCodes::PositionRows;
    static constexpr int FirstPositionRow = AddressCodes::FirstPositionRow;
    static constexpr int NoPosition = 255;
    static constexpr int ReadCellsPerRow = 4;
    static constexpr int ReadIntervalMs = 300;
    static constexpr int WriteIntervalMs = 500;
    static constexpr int SkipIntervalMs = 50;
    static constexpr int IdleIntervalMs = 500;
    static constexpr int PresetCount = 6;

    // Data state of a row, shown by its status panel.
    enum State : int {
        NotVerified = 0, // loaded from disk, not confirmed by the board
        Verified = 1,    // all three DCC cells came from the board
        Requested = 2,   // read requests queued
        Changed = 3,     // changed on the PC, not yet written
        Sent = 4,        // written to the pit board
        Failed = 5,      // written, but not read back as written: to be written again
    };
    // Rows that a write sends, and that a refresh from the mirror leaves alone.
    static bool ToBeWritten(int state) { return state == Changed || state == Failed; }

    // An address the encoding refused, with the message for the user.
    struct Problem {
        int row;
        QString message;
    };

    enum class EditResult { Empty, Invalid, Accepted };

    explicit AddressRows(SharedState &state);
    ~AddressRows();
    AddressRows(const AddressRows &) = delete;
    AddressRows &operator=(const AddressRows &) = delete;

    std::array<int, Rows> RowAddress{};
    std::array<bool, Rows> RowGreen{};
    std::array<int, Rows> RowState{};
    std::array<int, PositionRows> PositionNumber{};

    int TransferRow() const { return m_transfer.position(); }
    int TransferStep = 0;
    bool ReadMode() const { return m_transfer.active() && m_transfer.mode() == Mode::Read; }
    bool WriteMode() const { return m_transfer.active() && m_transfer.mode() == Mode::Write; }
    PacedTransfer &transfer() { return m_transfer; }
    // What the timer and the progress bar show after a tick. A transfer paced by the answers runs
    // on its engine's timer: the tab's timer then only follows the mirror.
    int Interval() const {
        return m_transfer.active() && !m_transfer.byAnswer() ? m_transfer.interval()
                                                             : IdleIntervalMs;
    }
    int Progress = 0;
    int ProgressMax = Rows * ReadCellsPerRow;

    // Editing. Each marks the row as changed, except a text that is no address at all (Invalid):
    // it changes nothing, and the edit goes back to its last valid text. An empty edit, or a sign
    // alone on the way to a number, keeps the address (Empty).
    EditResult EditAddress(int row, const QString &text);
    void ToggleGreen(int row);
    // The presets of the combo box, index 0..5; any other index changes nothing.
    void ApplyPreset(int index);
    static QString PresetText(int index);
    // The question a preset asks before it throws rows away; empty for those that ask nothing.
    static QString PresetQuestion(int index);
    // Back to what the mirror holds: the PC's changes are dropped.
    void Undo();

    // Rows whose position lies beyond the positions of the turntable serve no position: their
    // label is hidden and their address cleared.
    void ApplyPositionLimits();
    bool PositionLabelVisible(int j) const;
    // "P:3"; "P:?" while the position of the row is not known: neither read from the board, nor
    // set on the PC, nor stored (a mirror whose position cells all hold 0 or 255 has never had
    // any numbers).
    QString PositionLabel(int j) const;
    bool PositionKnown(int j) const;

    // The most digits an address edit takes: every address of either format fits.
    static constexpr int AddressDigits = 4;
    // The row as the user knows it: "Licht", "Step", "Turn", "DIR", or its position label.
    QString RowName(int row) const;
    // The name of a function row 0..3: "Licht", "Step", "Turn", "DIR".
    static QString FunctionRowName(int row);
    // Empty, or what is wrong with the row's address: it lies beyond the formats in use.
    QString RangeProblem(int row) const;
    // Why an address lies beyond the formats in use, without the row's name; empty when it does
    // not.
    static QString RangeReason(int address, bool motorola);

    bool HasUnwrittenChanges() const;

    // The mirror of the pit board.
    void ClearAddressReceivedFlags();
    // Encodes every row into its cells. A format whose range the address leaves keeps its cells.
    QList<Problem> StoreAddressesInImage();
    void StorePositionNumbersInImage();
    // Takes rows from the mirror. Rows changed on the PC keep their values and mark, unless a
    // configuration file was just loaded into the mirror (loaded: what it changed is marked to be
    // written) or force is set (undo).
    void ReadAddressesFromImage(bool force = false, bool loaded = false);
    void ReadPositionNumbersFromImage(bool force = false, bool loaded = false);
    // Both reads, and then the rows that the settings file kept as not yet written (with the
    // values the PC held for them).
    void ReadFromImage(bool force = false, bool loaded = false);
    // Whether the mirror changed since the rows last took it.
    bool ImageChanged() const;

    // A click on "Adressen einlesen" or "schreiben": starts a transfer, paced as the transfer
    // settings say, or ends the running one (at fixed pacing at the next tick; paced by the
    // answers at once, its rows showing what came).
    //
    // At fixed pacing the tab's timer ticks it (Tick). Paced by the answers every cell is read
    // twice and every written cell read back; a read leaves the rows whose cells did not all come
    // back unmarked; a written row turns verified when every cell came back as written, failed
    // otherwise. The engine runs it on its own timer and tells of it by its signals.
    bool Running() const { return m_transfer.running(); }
    QList<Problem> StartRead();
    QList<Problem> StartWrite();
    struct TickResult {
        bool ended = false;     // the transfer ended in this tick
        bool refreshed = false; // rows were taken from the mirror
    };
    // One tick of the tab's transfer timer: the next step of a transfer at fixed pacing, and the
    // rows taken from a changed mirror.
    TickResult Tick();

    // The tab calls this when the engine of a transfer paced by the answers has progressed.
    void FollowProgress() { Progress = m_transfer.progress(); }
    // The tab calls this when a transfer paced by the answers has ended.
    void FinishByAnswer();

private:
    using Mode = PacedTransfer::Mode;
    static PacedTransfer::Intervals FixedIntervals();
    void Stop(Mode clicked);
    QList<Problem> StartReadFixed();
    QList<Problem> StartWriteFixed();
    QList<Problem> StartReadByAnswer();
    QList<Problem> StartWriteByAnswer();
    // Cells of a row that a write skips: bit 0 the DCC cells, bit 1 the Motorola cells.
    static constexpr int SkipDcc = 1;
    static constexpr int SkipMotorola = 2;

    void MarkChanged(int row);
    // The rows still to be written, for the settings file; and what it brought back.
    void AddUnwritten(UnwrittenChanges &changes) const override;
    void TakeUnwrittenFromFile();
    void SetRow(int row, int address, bool green);
    void SetPositionNumber(int j, int number, bool compare);
    // The first step from `from` on that the write of a row sends; -1 when none is left.
    int NextWriteStep(int row, int from) const;
    PacedTransfer::Step ReadStep(int row);
    PacedTransfer::Step WriteStep(int row);
    // The rows' own stores into the mirror are no news for the rows.
    void StoredOwnCells(uint64_t revisionBefore);

    // Position numbers set on the PC (presets, the settings file's unwritten rows, a load).
    std::array<bool, PositionRows> m_positionSet{};
    bool m_positionsStored = false; // some position cell of the mirror holds a number
    // Rows of the transfer paced by the answers: those with a cell that failed.
    std::array<bool, Rows> m_failedRows{};
    std::array<bool, Rows> m_writtenRows{};
    // The rows of the running write whose address the format in use refused: they keep their
    // mark and are named after the transfer's report line ("P:11 nicht geschrieben: ...").
    QList<Problem> m_refused;
    void NoteRefusedRows();
    void ReportRefusedRows();

    SharedState &m_state;
    PacedTransfer m_transfer;
    uint64_t m_imageSeen = 0; // the mirror's revision the rows last took
    // A row whose values are not (all) in the mirror: it stays changed after its cells were sent.
    std::array<bool, Rows> m_unstored{};
    std::array<int, Rows> m_skip{};
    bool m_writeMotorola = true;
    int m_cellsPerRow = ReadCellsPerRow;
};
