#include "core/parameter/parametermodel.h"
#include <QCoreApplication>

#include "comm/sharedstate.h"

#include <algorithm>

namespace Parameter {

namespace {
bool BitShown(const OptionGroup &group, int bit) {
    return group.labels[static_cast<size_t>(bit)][0] != '\0';
}
} // namespace

ParameterModel::ParameterModel(SharedState &state) : m_state(state) {
    for (auto &marks : m_bitMarks) {
        marks.fill(Mark::White);
    }
    m_state.AddUnwrittenSource(this);
}

ParameterModel::~ParameterModel() {
    m_state.RemoveUnwrittenSource(this);
}

void ParameterModel::AddUnwritten(UnwrittenChanges &changes) const {
    for (int entry = 0; entry < EntryCount; ++entry) {
        if (EntryChanged(entry)) {
            const int ref = EntryCell(entry);
            (IsPit(ref) ? changes.pitCells : changes.bridgeCells).push_back(CellOf(ref));
        }
    }
}

void ParameterModel::TakeUnwrittenFromFile() {
    UnwrittenChanges &file = m_state.unwrittenFromFile;
    if (file.pitCells.empty() && file.bridgeCells.empty()) {
        return;
    }
    const auto kept = [&file](int ref) {
        const std::vector<int> &cells = IsPit(ref) ? file.pitCells : file.bridgeCells;
        return std::find(cells.begin(), cells.end(), CellOf(ref)) != cells.end();
    };
    for (int entry = 0; entry < EntryCount; ++entry) {
        if (kept(EntryCell(entry)) && !(entry < RowCount && IsVersionRow(entry))) {
            MarkEntry(entry, Mark::Yellow);
        }
    }
    file.pitCells.clear();
    file.bridgeCells.clear();
}

bool ParameterModel::HasUnwrittenChanges() const {
    for (const Row &row : m_rows) {
        if (ToBeWritten(row.mark)) {
            return true;
        }
    }
    // Only the groups that a write sends count; the unused slots can be marked but never written.
    for (int g = 0; g < GroupCount; ++g) {
        if (EntryChanged(RowCount + g)) {
            return true;
        }
    }
    return false;
}

QString ParameterModel::ShownText(int row) const {
    const ParameterRow &r = Rows()[idx(row)];
    const BoardImage &image = ImageOf(m_state, r.cell);
    const int value = image.value(CellOf(r.cell));
    if (row == PitVersionRow || row == BridgeVersionRow) {
        const int minorCell = CellOf(Rows()[idx(row + 1)].cell);
        return VersionText(value, image.value(minorCell), !IsPit(r.cell));
    }
    return QString::number(value);
}

void ParameterModel::Show(bool takeAnswers, bool loaded) {
    m_entryCount = EntryCount;
    const bool loading = loaded;
    for (int k = 0; k < RowCount; ++k) {
        const ParameterRow &r = Rows()[idx(k)];
        Row &row = m_rows[idx(k)];
        BoardImage &image = ImageOf(m_state, r.cell);
        const int cell = CellOf(r.cell);
        const int value = image.value(cell);
        const bool received = takeAnswers && image.received(cell);
        if (takeAnswers) {
            image.setReceived(cell, false);
        }
        const bool differs = row.text != QString::number(value);

        // A value the user is still typing (below the minimum, or a lone sign) is not taken back
        // by an unrelated refresh; an answer from the board or a file load replaces it.
        const bool keepTyped = row.pending && !received && !loading;
        if (!keepTyped) {
            row.text = ShownText(k);
            row.pending = false;
            row.label = ValueLabel(r, value);
        }
        if (received || loading) {
            row.editing = false; // the board or a file replaced what the edit began with
        }
        if (received) {
            row.mark = Mark::Green;
        }
        if (loading && differs && !IsVersionRow(k)) {
            row.mark = Mark::Yellow;
        }
    }
    for (int g = 0; g < GroupCount; ++g) {
        const OptionGroup &group = Groups()[idx(g)];
        BoardImage &image = ImageOf(m_state, group.cell);
        const int cell = CellOf(group.cell);
        const uint8_t value = image.value(cell);
        const bool received = takeAnswers && image.received(cell);
        if (takeAnswers) {
            image.setReceived(cell, false);
        }
        auto &marks = m_bitMarks[idx(g)];
        if (received) {
            for (int b = 0; b < Bits; ++b) {
                if (BitShown(group, b)) {
                    marks[idx(b)] = Mark::Green;
                }
            }
        }
        // A loaded option byte must reach the board with the next write like a loaded row: the
        // whole group is marked, since a write sends the whole byte.
        if (loading && m_bytesShown[idx(g)] && m_bytes[idx(g)] != value) {
            marks.fill(Mark::Yellow);
        }
        m_bytes[idx(g)] = value;
        m_bytesShown[idx(g)] = true;
    }
    TakeUnwrittenFromFile();
}

void ParameterModel::Store(int row, int value) {
    const ParameterRow &r = Rows()[idx(row)];
    Row &state = m_rows[idx(row)];
    state.label = ValueLabel(r, value);
    state.mark = Mark::Yellow;
    state.pending = false;
    ImageOf(m_state, r.cell).setValue(CellOf(r.cell), value & 0xFF);
}

void ParameterModel::BeginEdit(int row) {
    Row &state = m_rows[idx(row)];
    if (state.editing) {
        return;
    }
    const ParameterRow &r = Rows()[idx(row)];
    state.editing = true;
    state.valueBefore = ImageOf(m_state, r.cell).value(CellOf(r.cell));
    state.markBefore = state.mark;
}

void ParameterModel::Restore(int row) {
    const ParameterRow &r = Rows()[idx(row)];
    Row &state = m_rows[idx(row)];
    BoardImage &image = ImageOf(m_state, r.cell);
    if (image.value(CellOf(r.cell)) != state.valueBefore) {
        image.setValue(CellOf(r.cell), state.valueBefore);
    }
    state.label = ValueLabel(r, state.valueBefore);
    state.mark = state.markBefore;
}

ParameterModel::EditOutcome ParameterModel::Typed(int row, const QString &text) {
    if (row < 0 || row >= std::min(m_entryCount, RowCount) || IsVersionRow(row)) {
        return {};
    }
    const ParameterRow &r = Rows()[idx(row)];
    const QString name = Parameter::Text(r.name);
    Row &state = m_rows[idx(row)];
    BeginEdit(row);
    const TypedText typed = ParseTyped(text);
    if (typed.kind == TypedText::Invalid) {
        // The edit goes back to its last valid text; nothing is stored.
        return {EditResult::Warn, true, {}};
    }
    state.text = text;
    switch (typed.kind) {
    case TypedText::Empty:
        // No value: the row writes nothing, whatever the keystrokes before stored. Leaving the
        // edit empty brings back the value from before it (EditingFinished).
        state.pending = true;
        state.mark = ToBeWritten(state.markBefore) ? Mark::White : state.markBefore;
        return {
            EditResult::Nothing, false,
            QCoreApplication::translate("ParameterModel", "%1: leeres Feld, wird nicht geschrieben")
                .arg(name)};
    case TypedText::Sign:
        state.pending = true;
        return {};
    case TypedText::Invalid:
    case TypedText::Number:
        break;
    }
    if (typed.value < r.minimum) {
        // The user may still be typing the first digits of a larger number.
        state.pending = true;
        return {};
    }
    const int value = std::min(typed.value, r.maximum);
    const bool replaced = value != typed.value;
    QString status;
    if (replaced) {
        state.text = QString::number(value);
        status = QCoreApplication::translate("ParameterModel", "%1: %2 auf das Maximum %3 gesetzt")
                     .arg(name, text.trimmed())
                     .arg(r.maximum);
    }
    Store(row, value);
    return {EditResult::Stored, replaced, status};
}

ParameterModel::EditOutcome ParameterModel::EditingFinished(int row) {
    if (row < 0 || row >= std::min(m_entryCount, RowCount) || IsVersionRow(row)) {
        return {};
    }
    const ParameterRow &r = Rows()[idx(row)];
    Row &state = m_rows[idx(row)];
    if (!state.pending) {
        EndEdit(row);
        return {};
    }
    state.pending = false;
    const TypedText typed = ParseTyped(state.text);
    if (typed.kind == TypedText::Empty || typed.kind == TypedText::Sign) {
        // Left without a number: the row shows what it holds again.
        const bool empty = typed.kind == TypedText::Empty;
        if (empty) {
            Restore(row);
        }
        state.text = ShownText(row);
        EndEdit(row);
        if (!empty) {
            return {EditResult::Warn, true, {}}; // a lone sign is no number after all
        }
        return {
            EditResult::Nothing, true,
            QCoreApplication::translate("ParameterModel", "%1: Feld leer gelassen, es bleibt %2")
                .arg(Parameter::Text(r.name), state.text)};
    }
    const int value = Clamp(r, typed.value);
    QString status;
    if (value != typed.value) {
        status = QCoreApplication::translate("ParameterModel", "%1: %2 auf das Minimum %3 gesetzt")
                     .arg(Parameter::Text(r.name), state.text.trimmed())
                     .arg(value);
    }
    state.text = QString::number(value);
    Store(row, value);
    EndEdit(row);
    return {EditResult::Stored, true, status};
}

void ParameterModel::Clicked(int group, int bit, bool tickedNow) {
    if (group < 0 || group >= GroupCount || RowCount + group >= m_entryCount) {
        return;
    }
    m_bitMarks[idx(group)][idx(bit)] = Mark::Yellow;
    const int ref = Groups()[idx(group)].cell;
    BoardImage &image = ImageOf(m_state, ref);
    const int mask = 1 << bit;
    int byte = image.value(CellOf(ref));
    byte = tickedNow ? (byte | mask) : (byte & ~mask);
    image.setValue(CellOf(ref), byte);
    m_bytes[idx(group)] = static_cast<uint8_t>(tickedNow ? (m_bytes[idx(group)] | mask)
                                                         : (m_bytes[idx(group)] & ~mask));
}

int ParameterModel::ApplyDefaults() {
    for (int k = 0; k < RowCount; ++k) {
        if (IsVersionRow(k)) {
            continue;
        }
        const ParameterRow &r = Rows()[idx(k)];
        Row &row = m_rows[idx(k)];
        const TypedText present = ParseTyped(row.text);
        if (present.kind == TypedText::Invalid || present.kind == TypedText::Sign) {
            return k;
        }
        const int value = present.kind == TypedText::Empty ? 0 : present.value;
        if (value != r.defaultValue) {
            row.text = QString::number(r.defaultValue);
            row.editing = false;
            Store(k, r.defaultValue);
        }
    }
    for (int g = 0; g < GroupCount; ++g) {
        const OptionGroup &group = Groups()[idx(g)];
        for (int b = 0; b < Bits; ++b) {
            if (!BitShown(group, b)) {
                continue;
            }
            const bool wanted = (group.defaultValue >> b) & 1;
            if (wanted != ticked(g, b)) {
                Clicked(g, b, wanted);
            }
        }
    }
    return -1;
}

void ParameterModel::MarkAll() {
    for (int k = 0; k < RowCount; ++k) {
        if (!IsVersionRow(k)) {
            m_rows[idx(k)].mark = Mark::Yellow;
            m_rows[idx(k)].editing = false;
        }
    }
    for (auto &marks : m_bitMarks) {
        marks.fill(Mark::Yellow);
    }
}

void ParameterModel::MarkEntry(int entry, Mark mark) {
    if (IsGroupEntry(entry)) {
        m_bitMarks[idx(entry - RowCount)].fill(mark);
    } else {
        m_rows[idx(entry)].mark = mark;
        m_rows[idx(entry)].editing = false; // a transfer's mark is what an emptied edit returns to
    }
}

ParameterModel::EntryMarks ParameterModel::MarksOf(int entry) const {
    if (IsGroupEntry(entry)) {
        return m_bitMarks[idx(entry - RowCount)];
    }
    EntryMarks marks{};
    marks[0] = m_rows[idx(entry)].mark;
    return marks;
}

void ParameterModel::RestoreMarks(int entry, const EntryMarks &marks) {
    if (IsGroupEntry(entry)) {
        m_bitMarks[idx(entry - RowCount)] = marks;
    } else {
        m_rows[idx(entry)].mark = marks[0];
    }
}

bool ParameterModel::EntryChanged(int entry) const {
    if (!IsGroupEntry(entry)) {
        return ToBeWritten(m_rows[idx(entry)].mark);
    }
    for (Mark m : m_bitMarks[idx(entry - RowCount)]) {
        if (ToBeWritten(m)) {
            return true;
        }
    }
    return false;
}

} // namespace Parameter
