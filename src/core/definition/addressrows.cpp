#include "core/definition/addressrows.h"

#include "comm/messages.h"
#include "comm/sharedstate.h"

#include <QCoreApplication>
#include <QStringList>
#include <algorithm>

using AddressCodes::CellBase;

namespace {
constexpr int DccSteps = 3;     // steps 0..2 send the DCC cells
constexpr int PositionStep = 3; // step 3 sends the position cell
constexpr int LastStep = 6;     // steps 4..6 send the Motorola cells
constexpr int WriteCellsWithMotorola = 7;
constexpr int WriteCellsDccOnly = 4;

size_t at(int i) {
    return static_cast<size_t>(i);
}
} // namespace

AddressRows::AddressRows(SharedState &state) : m_state(state), m_transfer(state) {
    RowGreen.fill(true);
    m_state.AddUnwrittenSource(this);
}

AddressRows::~AddressRows() {
    m_state.RemoveUnwrittenSource(this);
}

void AddressRows::AddUnwritten(UnwrittenChanges &changes) const {
    for (int k = 0; k < Rows; ++k) {
        if (ToBeWritten(RowState[at(k)])) {
            const int position =
                k >= FirstPositionRow ? PositionNumber[at(k - FirstPositionRow)] : -1;
            changes.addressRows.push_back({k, RowAddress[at(k)], RowGreen[at(k)], position});
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Position rows

void AddressRows::ApplyPositionLimits() {
    for (int j = 0; j < PositionRows; ++j) {
        if (!PositionLabelVisible(j)) {
            RowAddress[at(j + FirstPositionRow)] = 0;
        }
    }
}

bool AddressRows::PositionLabelVisible(int j) const {
    return PositionNumber[at(j)] + 1 <= m_state.PositionCount;
}

QString AddressRows::PositionLabel(int j) const {
    if (!PositionKnown(j)) {
        return QStringLiteral("P:?");
    }
    return QStringLiteral("P:%1").arg(PositionNumber[at(j)] + 1);
}

bool AddressRows::PositionKnown(int j) const {
    const int cell = AddressCodes::StepCell(j + FirstPositionRow, PositionStep);
    return m_positionSet[at(j)] || m_positionsStored || m_state.pit.answerCount(cell) > 0;
}

QString AddressRows::FunctionRowName(int row) {
    static const std::array<const char *, FirstPositionRow> functions = {"Licht", "Step", "Turn",
                                                                         "DIR"};
    return QString::fromLatin1(functions[at(row)]);
}

QString AddressRows::RowName(int row) const {
    if (row < FirstPositionRow) {
        return FunctionRowName(row);
    }
    const int j = row - FirstPositionRow;
    return PositionLabelVisible(j) && PositionKnown(j)
               ? PositionLabel(j)
               : QCoreApplication::translate("AddressRows", "Positionszeile %1").arg(j + 1);
}

QString AddressRows::RangeReason(int address, bool motorola) {
    const int limit = motorola ? AddressCodes::MaxMotorola : AddressCodes::MaxDcc;
    if (address >= 0 && address <= limit) {
        return QString();
    }
    return motorola ? QCoreApplication::translate(
                          "AddressRows",
                          "Adresse %1 liegt außerhalb von 0 bis %2 (Motorola bis %2, DCC bis %3)")
                          .arg(address)
                          .arg(limit)
                          .arg(AddressCodes::MaxDcc)
                    : QCoreApplication::translate("AddressRows",
                                                  "Adresse %1 liegt außerhalb von 0 bis %2 (DCC)")
                          .arg(address)
                          .arg(limit);
}

QString AddressRows::RangeProblem(int row) const {
    const QString reason = RangeReason(RowAddress[at(row)], m_state.station.UseMotorola);
    return reason.isEmpty() ? reason : QStringLiteral("%1: %2").arg(RowName(row), reason);
}

bool AddressRows::HasUnwrittenChanges() const {
    for (int s : RowState) {
        if (ToBeWritten(s)) {
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// The mirror

void AddressRows::ClearAddressReceivedFlags() {
    for (int k = 0; k < Rows; ++k) {
        for (int step = 0; step < DccSteps; ++step) {
            m_state.pit.setReceived(AddressCodes::StepCell(k, step), false);
        }
    }
}

void AddressRows::StoredOwnCells(uint64_t revisionBefore) {
    if (m_imageSeen == revisionBefore) {
        m_imageSeen = m_state.pit.revision();
    }
}

bool AddressRows::ImageChanged() const {
    return m_state.pit.revision() != m_imageSeen;
}

QList<AddressRows::Problem> AddressRows::StoreAddressesInImage() {
    const uint64_t before = m_state.pit.revision();
    ClearAddressReceivedFlags();
    QList<Problem> problems;
    const bool motorola = m_state.station.UseMotorola;
    for (int k = 0; k < Rows; ++k) {
        const int address = RowAddress[at(k)];
        const bool green = RowGreen[at(k)];
        int skip = 0;
        QString message;
        const AddressCodes::Encoded dcc = AddressCodes::EncodeDcc(address, green);
        if (dcc.ok()) {
            for (int i = 0; i < 3; ++i) {
                m_state.pit.setValue(AddressCodes::StepCell(k, i), (*dcc.code)[at(i)]);
            }
        } else {
            skip |= SkipDcc;
            message = dcc.error;
        }
        if (motorola) {
            const AddressCodes::Encoded mm = AddressCodes::EncodeMotorola(address, green);
            if (mm.ok()) {
                for (int i = 0; i < 3; ++i) {
                    m_state.pit.setValue(AddressCodes::StepCell(k, 4 + i), (*mm.code)[at(i)]);
                }
            } else {
                skip |= SkipMotorola;
                if (message.isEmpty()) {
                    message = mm.error; // one message per row: the DCC one says enough
                }
            }
        }
        m_skip[at(k)] = skip;
        m_unstored[at(k)] = skip != 0;
        if (!message.isEmpty()) {
            problems.append({k, message});
        }
    }
    StoredOwnCells(before);
    return problems;
}

void AddressRows::StorePositionNumbersInImage() {
    const uint64_t before = m_state.pit.revision();
    ClearAddressReceivedFlags();
    for (int j = 0; j < PositionRows; ++j) {
        m_state.pit.setValue(AddressCodes::StepCell(j + FirstPositionRow, PositionStep),
                             PositionNumber[at(j)] & 0xFF);
    }
    StoredOwnCells(before);
}

void AddressRows::ReadAddressesFromImage(bool force, bool loaded) {
    for (int k = 0; k < Rows; ++k) {
        int &state = RowState[at(k)];
        if (ToBeWritten(state)) {
            if (!force && !loaded) {
                continue; // a change not yet written is never overwritten by a refresh
            }
            if (force) {
                state = NotVerified;
            }
        }
        const int base = CellBase(k);
        const int r = AddressCodes::DecodeDcc(m_state.pit, base);
        const int address = r < 0 ? -r : r;
        const bool green = r >= 0;
        const bool loadChanged =
            loaded && (address != RowAddress[at(k)] || green != RowGreen[at(k)]);
        RowAddress[at(k)] = address;
        RowGreen[at(k)] = green;
        m_unstored[at(k)] = false;
        if (loadChanged) {
            // What the file brought differs from the board: it must be written, whatever an
            // earlier read left in the received flags.
            state = Changed;
            continue;
        }
        if (m_state.pit.received(base) && m_state.pit.received(base + AddressCodes::CellStride) &&
            m_state.pit.received(base + 2 * AddressCodes::CellStride)) {
            state = Verified;
        }
    }
}

void AddressRows::ReadPositionNumbersFromImage(bool force, bool loaded) {
    for (int j = 0; j < PositionRows; ++j) {
        const int k = j + FirstPositionRow;
        if (ToBeWritten(RowState[at(k)]) && !force && !loaded) {
            continue;
        }
        const int value = m_state.pit.value(AddressCodes::StepCell(k, PositionStep));
        if (loaded && value != PositionNumber[at(j)]) {
            RowState[at(k)] = Changed;
        }
        if (loaded) {
            m_positionSet[at(j)] = true;
        }
        PositionNumber[at(j)] = value;
    }
    m_positionsStored = false;
    for (int j = 0; j < PositionRows; ++j) {
        const int cell = AddressCodes::StepCell(j + FirstPositionRow, PositionStep);
        const int value = m_state.pit.value(cell);
        m_positionsStored = m_positionsStored || (value != 0 && value != NoPosition);
    }
    ApplyPositionLimits();
}

void AddressRows::ReadFromImage(bool force, bool loaded) {
    ReadAddressesFromImage(force, loaded);
    ReadPositionNumbersFromImage(force, loaded);
    TakeUnwrittenFromFile();
}

// ---------------------------------------------------------------------------------------------
// Transfers

QList<AddressRows::Problem> AddressRows::StartRead() {
    if (Running()) {
        Stop(Mode::Read);
        return {};
    }
    return m_state.transferSettings.byAnswer() ? StartReadByAnswer() : StartReadFixed();
}

QList<AddressRows::Problem> AddressRows::StartWrite() {
    if (Running()) {
        Stop(Mode::Write);
        return {};
    }
    // Writes are paced by the answers only when they are read back: a write has no answer.
    return m_state.transferSettings.verifying() ? StartWriteByAnswer() : StartWriteFixed();
}

void AddressRows::Stop(Mode clicked) {
    const bool byAnswer = m_transfer.byAnswer();
    m_transfer.Toggle(PacedTransfer::Plan::Fixed(clicked, Rows, FixedIntervals(), nullptr));
    if (byAnswer) {
        FinishByAnswer(); // stopped at once: what was read stays
    } else {
        Progress = 0; // ends at the next tick
    }
}

PacedTransfer::Intervals AddressRows::FixedIntervals() {
    return {ReadIntervalMs, WriteIntervalMs, SkipIntervalMs};
}

QList<AddressRows::Problem> AddressRows::StartReadFixed() {
    ProgressMax = Rows * ReadCellsPerRow;
    Progress = 0;
    StorePositionNumbersInImage();
    const QList<Problem> problems = StoreAddressesInImage();
    RowState.fill(NotVerified);
    TransferStep = 0;
    m_transfer.Start(PacedTransfer::Plan::Fixed(Mode::Read, Rows, FixedIntervals(),
                                                [this](int row) { return ReadStep(row); }));
    return problems;
}

QList<AddressRows::Problem> AddressRows::StartWriteFixed() {
    Progress = 0;
    m_writeMotorola = m_state.station.UseMotorola;
    m_cellsPerRow = m_writeMotorola ? WriteCellsWithMotorola : WriteCellsDccOnly;
    ProgressMax = Rows * m_cellsPerRow;
    StorePositionNumbersInImage();
    const QList<Problem> problems = StoreAddressesInImage();
    NoteRefusedRows();
    TransferStep = 0;
    m_transfer.Start(PacedTransfer::Plan::Fixed(Mode::Write, Rows, FixedIntervals(),
                                                [this](int row) { return WriteStep(row); }));
    return problems;
}

int AddressRows::NextWriteStep(int row, int from) const {
    // A row whose address a format in use refused sends none of its cells: half a row written
    // would give the board a DCC address the user never saw confirmed beside an old Motorola one.
    if (m_skip[at(row)] != 0) {
        return -1;
    }
    for (int step = from; step <= LastStep; ++step) {
        const bool dcc = step < DccSteps;
        const bool motorola = step > PositionStep;
        if (dcc && (m_skip[at(row)] & SkipDcc)) {
            continue;
        }
        if (motorola && (!m_writeMotorola || (m_skip[at(row)] & SkipMotorola))) {
            continue;
        }
        return step;
    }
    return -1;
}

PacedTransfer::Step AddressRows::ReadStep(int row) {
    PacedTransfer::Step step;
    step.kind = PacedTransfer::Step::Kind::Read;
    step.cell = AddressCodes::StepCell(row, TransferStep);
    Progress = ReadCellsPerRow * row + TransferStep;
    step.last = TransferStep == PositionStep;
    if (step.last) {
        TransferStep = 0;
        RowState[at(row)] = Requested;
    } else {
        ++TransferStep;
    }
    return step;
}

PacedTransfer::Step AddressRows::WriteStep(int row) {
    PacedTransfer::Step step;
    // The position cell is always sent, so a changed row has at least that step unless its
    // address was refused.
    const int cellStep = ToBeWritten(RowState[at(row)]) ? NextWriteStep(row, TransferStep) : -1;
    if (cellStep < 0) {
        TransferStep = 0;
        return step; // skipped quickly
    }
    Progress = m_cellsPerRow * row + std::min(cellStep, m_cellsPerRow - 1);
    step.kind = PacedTransfer::Step::Kind::Write;
    step.cell = AddressCodes::StepCell(row, cellStep);
    step.value = m_state.pit.value(step.cell);
    const int next = NextWriteStep(row, cellStep + 1);
    step.last = next < 0;
    if (step.last) {
        RowState[at(row)] = m_unstored[at(row)] ? Changed : Sent;
        TransferStep = 0;
    } else {
        TransferStep = next;
    }
    return step;
}

QList<AddressRows::Problem> AddressRows::StartReadByAnswer() {
    ProgressMax = Rows * ReadCellsPerRow;
    Progress = 0;
    StorePositionNumbersInImage();
    const QList<Problem> problems = StoreAddressesInImage();
    RowState.fill(NotVerified);
    m_failedRows.fill(false);
    using Request = PacedTransfer::Request;
    std::vector<Request> requests;
    for (int row = 0; row < Rows; ++row) {
        for (int step = 0; step <= PositionStep; ++step) {
            requests.push_back(
                {Request::Kind::Read, Board::Grube, AddressCodes::StepCell(row, step), 0, row});
        }
    }
    PacedTransfer::OwnerHooks hooks;
    hooks.ownerSent = [this](const Request &r) {
        if (RowState[at(r.tag)] == NotVerified) {
            RowState[at(r.tag)] = Requested;
        }
    };
    hooks.ownerDone = [this](const Request &r, PacedTransfer::Outcome outcome, int) {
        if (outcome != PacedTransfer::Outcome::Confirmed) {
            m_failedRows[at(r.tag)] = true;
        }
    };
    m_transfer.Start(PacedTransfer::Plan::ByAnswer(Mode::Read, std::move(requests), hooks));
    return problems;
}

QList<AddressRows::Problem> AddressRows::StartWriteByAnswer() {
    Progress = 0;
    m_writeMotorola = m_state.station.UseMotorola;
    m_cellsPerRow = m_writeMotorola ? WriteCellsWithMotorola : WriteCellsDccOnly;
    StorePositionNumbersInImage();
    const QList<Problem> problems = StoreAddressesInImage();
    NoteRefusedRows();
    m_failedRows.fill(false);
    m_writtenRows.fill(false);
    using Request = PacedTransfer::Request;
    std::vector<Request> requests;
    for (int row = 0; row < Rows; ++row) {
        if (!ToBeWritten(RowState[at(row)])) {
            continue;
        }
        m_writtenRows[at(row)] = true;
        for (int step = NextWriteStep(row, 0); step >= 0; step = NextWriteStep(row, step + 1)) {
            const int cell = AddressCodes::StepCell(row, step);
            requests.push_back(
                {Request::Kind::Write, Board::Grube, cell, m_state.pit.value(cell), row});
        }
    }
    ProgressMax = std::max<int>(1, static_cast<int>(requests.size()));
    PacedTransfer::OwnerHooks hooks;
    // A row whose address the format in use refused stays changed while its other cells go out,
    // so that following the mirror meanwhile does not take it for written.
    hooks.ownerSent = [this](const Request &r) {
        RowState[at(r.tag)] = m_unstored[at(r.tag)] ? Changed : Sent;
    };
    hooks.ownerDone = [this](const Request &r, PacedTransfer::Outcome outcome, int) {
        if (outcome != PacedTransfer::Outcome::Verified) {
            m_failedRows[at(r.tag)] = true;
        }
    };
    m_transfer.Start(PacedTransfer::Plan::ByAnswer(Mode::Write, std::move(requests), hooks));
    return problems;
}

void AddressRows::FinishByAnswer() {
    const bool wrote = m_transfer.mode() == Mode::Write;
    ReadFromImage();
    m_imageSeen = m_state.pit.revision();
    for (int row = 0; row < Rows; ++row) {
        if (wrote && m_writtenRows[at(row)]) {
            // A row's values not all in the mirror (an address out of range) stay changed.
            RowState[at(row)] = m_unstored[at(row)]     ? Changed
                                : m_failedRows[at(row)] ? Failed
                                                        : Verified;
        } else if (!wrote && m_failedRows[at(row)]) {
            RowState[at(row)] = NotVerified; // nothing of this row is believed
        }
    }
    if (wrote) {
        ReportRefusedRows();
    }
    Progress = 0;
}

void AddressRows::NoteRefusedRows() {
    m_refused.clear();
    for (int row = 0; row < Rows; ++row) {
        if (!ToBeWritten(RowState[at(row)]) || m_skip[at(row)] == 0) {
            continue;
        }
        m_refused.append(
            {row, QCoreApplication::translate("AddressRows", "%1 nicht geschrieben: %2")
                      .arg(RowName(row), RangeReason(RowAddress[at(row)], m_writeMotorola))});
    }
}

void AddressRows::ReportRefusedRows() {
    if (m_refused.isEmpty()) {
        return;
    }
    // The status line names the first few; the details name every one.
    constexpr qsizetype NamedOnTheLine = 3;
    QStringList line;
    QStringList details;
    for (const Problem &p : m_refused) {
        if (line.size() < NamedOnTheLine) {
            line << p.message;
        }
        details << p.message;
    }
    if (m_refused.size() > NamedOnTheLine) {
        line << QStringLiteral("…");
    }
    m_transfer.AmendReport(QStringLiteral("; ") + line.join(QStringLiteral("; ")),
                           details.join(u'\n'));
    m_refused.clear();
}

AddressRows::TickResult AddressRows::Tick() {
    TickResult result;
    if (m_transfer.active() && !m_transfer.byAnswer()) {
        const bool writing = m_transfer.mode() == Mode::Write;
        result.ended = m_transfer.Tick().ended;
        if (result.ended) {
            Progress = 0;
            if (writing) {
                ReportRefusedRows();
            }
        }
    }
    if (ImageChanged()) {
        ReadFromImage();
        m_imageSeen = m_state.pit.revision();
        result.refreshed = true;
    }
    return result;
}
