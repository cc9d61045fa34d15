#pragma once

#include "comm/sharedstate.h"
#include "core/parameter/parametercatalogue.h"

#include <QString>
#include <array>
#include <cstdint>

namespace Parameter {

// The state of one value as the tab shows it by colour.
enum class Mark {
    White,  // not confirmed by a board (loaded from disk)
    Blue,   // a read request has been sent
    Sent,   // written to the board, not yet read back
    Green,  // received from the board
    Yellow, // changed on the PC and not yet written
    Red,    // written, but the board did not give it back as written: still to be written
};
// Marks of values that a write sends.
constexpr bool ToBeWritten(Mark mark) {
    return mark == Mark::Yellow || mark == Mark::Red;
}

// The parameter tab without widgets: the texts of the row edits, the ticks of the option bits,
// the colour marks and the value labels, kept in step with the board mirrors. The tab's widgets
// show this state and forward the user's actions to it.
class ParameterModel : public UnwrittenSource {
public:
    explicit ParameterModel(SharedState &state);
    ~ParameterModel();
    ParameterModel(const ParameterModel &) = delete;
    ParameterModel &operator=(const ParameterModel &) = delete;

    SharedState &state() { return m_state; }

    // Transfer entries in use: 0 after Hide, 31 after Show.
    int entryCount() const { return m_entryCount; }

    const QString &text(int row) const { return m_rows[idx(row)].text; }
    const QString &valueLabel(int row) const { return m_rows[idx(row)].label; }
    Mark rowMark(int row) const { return m_rows[idx(row)].mark; }
    Mark bitMark(int group, int bit) const { return m_bitMarks[idx(group)][idx(bit)]; }
    bool ticked(int group, int bit) const { return (m_bytes[idx(group)] >> bit) & 1; }

    // True while a row or an option bit is changed on the PC and not yet written.
    bool HasUnwrittenChanges() const;

    void Hide() { m_entryCount = 0; }

    // Takes every value from the mirrors: consumes the received flags (green), marks yellow what
    // a configuration file just loaded (loaded) changed and what the settings file kept as not yet
    // written, and sets the texts and ticks.
    // Without takeAnswers the received flags are left to the transfer or tab that asked: only
    // the values and the marks of the PC are taken (a mirror changed elsewhere).
    void Show(bool takeAnswers = true, bool loaded = false);

    enum class EditResult {
        Nothing, // nothing stored (empty text, a sign, a value still below the minimum, ...)
        Stored,  // value stored in the mirror, row marked yellow
        Warn,    // the text is no number: the user is told, and the text is back at its last
                 // valid state
    };
    struct EditOutcome {
        EditResult result = EditResult::Nothing;
        bool textReplaced = false; // text() now differs from what was typed
        QString status;            // a line for the status bar: what the edit did, if worth telling
    };
    // A keystroke in row's edit: values above the maximum are clamped at once, values below the
    // minimum only when editing ends. A text that is no number is not taken: text() keeps the last
    // valid one. An emptied edit is not to be written: it is not marked so until a number is
    // typed again.
    EditOutcome Typed(int row, const QString &text);
    // Enter or leaving the edit. An edit left empty takes back the value and mark the row had
    // before the edit began.
    EditOutcome EditingFinished(int row);

    // A click on an option bit's check box.
    void Clicked(int group, int bit, bool tickedNow);

    // "Vorgabe-Werte ": every row and bit that differs from the catalogue's default takes it and
    // turns yellow. Returns -1, or the row whose text is no number (rows before it are done).
    int ApplyDefaults();

    // "markiere alle Gelb": every row except the versions and every option bit.
    void MarkAll();

    // Marks of the transfers: a row entry's edit, or all eight bits of an option group entry.
    void MarkEntry(int entry, Mark mark);
    // A write sends a row entry when its edit is yellow and an option group when any bit is.
    bool EntryChanged(int entry) const;
    // The marks of an entry (a row's one, or the eight of an option group), to be put back when
    // its request is never answered.
    using EntryMarks = std::array<Mark, Bits>;
    EntryMarks MarksOf(int entry) const;
    void RestoreMarks(int entry, const EntryMarks &marks);

private:
    struct Row {
        QString text;
        QString label;
        Mark mark = Mark::White;
        bool pending = false; // empty, a sign or a value below the minimum, not yet stored
        // The edit in progress, and the row as it was before it began.
        bool editing = false;
        int valueBefore = 0;
        Mark markBefore = Mark::White;
    };

    static size_t idx(int i) { return static_cast<size_t>(i); }
    // The cells still to be written, for the settings file; and what it brought back.
    void AddUnwritten(UnwrittenChanges &changes) const override;
    void TakeUnwrittenFromFile();
    void Store(int row, int value);
    void BeginEdit(int row);
    void EndEdit(int row) { m_rows[idx(row)].editing = false; }
    // Back to the row's value and mark from before the edit.
    void Restore(int row);
    QString ShownText(int row) const;

    SharedState &m_state;
    int m_entryCount = 0;
    std::array<Row, RowCount> m_rows{};
    std::array<std::array<Mark, Bits>, GroupSlots> m_bitMarks{};
    std::array<uint8_t, GroupSlots> m_bytes{}; // the option bytes as the check boxes show them
    std::array<bool, GroupSlots> m_bytesShown{};
};

} // namespace Parameter
