#include "core/backup/backuprun.h"

#include "comm/sharedstate.h"

BackupRun::BackupRun(SharedState &state, QObject *parent) : QObject(parent), m_transfer(state) {
    // A board that says nothing at all would cost every cell all its time-outs: minutes.
    m_transfer.setEndsWhenSilent(true);
    connect(&m_transfer, &PacedTransfer::progressed, this, &BackupRun::progressed);
    connect(&m_transfer, &PacedTransfer::finished, this, &BackupRun::OnTransferFinished);
}

BackupRun::~BackupRun() = default;

bool BackupRun::StartReadAll() {
    std::vector<std::pair<Board, int>> cells;
    for (Board board : {Board::Grube, Board::Buehne}) {
        for (int cell = 0; cell < Backup::Cells; ++cell) {
            cells.emplace_back(board, cell);
        }
    }
    return StartRead(cells);
}

bool BackupRun::StartRead(const std::vector<std::pair<Board, int>> &cells) {
    std::vector<PacedTransfer::Request> requests;
    for (const auto &[board, cell] : cells) {
        requests.push_back({PacedTransfer::Request::Kind::Read, board, cell, 0, cell});
    }
    m_writing = false;
    return Start(PacedTransfer::Mode::Read, std::move(requests));
}

bool BackupRun::StartCompare(const Backup::Image &file) {
    // An answer that equals the file's value is no proof that the board holds it: a bit flipped
    // on the line can make a value one bit away look like it. Each cell is read as a backup reads
    // it.
    return StartRead(Backup::CellsToRead(file));
}

bool BackupRun::StartWrite(const std::vector<Backup::Write> &writes) {
    std::vector<PacedTransfer::Request> requests;
    for (const Backup::Write &w : writes) {
        requests.push_back({PacedTransfer::Request::Kind::Write, w.board, w.cell, w.value, w.cell});
    }
    m_writing = true;
    return Start(PacedTransfer::Mode::Write, std::move(requests));
}

bool BackupRun::Start(PacedTransfer::Mode mode, std::vector<PacedTransfer::Request> requests) {
    if (running() || m_transfer.active()) {
        return false;
    }
    if (!m_writing) {
        m_found = Backup::Image();
    }
    m_failures.clear();
    m_reportLine.clear();
    PacedTransfer::OwnerHooks hooks;
    hooks.ownerDone = [this](const PacedTransfer::Request &r, PacedTransfer::Outcome outcome,
                             int value) { Done(r, outcome, value); };
    m_writesSent = 0;
    hooks.ownerSent = [this](const PacedTransfer::Request &r) {
        if (r.kind == PacedTransfer::Request::Kind::Write) {
            ++m_writesSent;
        }
    };
    if (!m_transfer.Start(PacedTransfer::Plan::ByAnswer(mode, std::move(requests), hooks))) {
        return false;
    }
    m_ended = false;
    return true;
}

void BackupRun::Done(const PacedTransfer::Request &r, PacedTransfer::Outcome outcome, int value) {
    using Outcome = PacedTransfer::Outcome;
    using State = Backup::Cell::State;
    Backup::Cell cell;
    switch (outcome) {
    case Outcome::Confirmed:
    case Outcome::Verified:
        cell = Backup::Cell::Of(value);
        break;
    case Outcome::Mismatch:
        // Written, but two read-backs agreed on another value: that is what the board holds.
        cell = value >= 0 ? Backup::Cell::Of(value) : Backup::Cell{State::NoAnswer, 0};
        break;
    case Outcome::Unconfirmed:
        cell = Backup::Cell{State::Unconfirmed, 0};
        break;
    case Outcome::NoAnswer:
        cell = Backup::Cell{State::NoAnswer, 0};
        break;
    }
    if (r.kind == PacedTransfer::Request::Kind::Write) {
        if (outcome != Outcome::Verified) {
            // A single read-back that never found a second like it proves nothing.
            if (outcome != Outcome::Mismatch) {
                cell = Backup::Cell{
                    outcome == Outcome::NoAnswer ? State::NoAnswer : State::Unconfirmed, 0};
            }
            m_failures.push_back({{r.board, r.cell, r.value}, cell});
        }
    } else {
        m_found.of(r.board)[static_cast<size_t>(r.cell)] = cell;
    }
    emit progressed();
}

void BackupRun::Abort() {
    if (!running()) {
        return;
    }
    if (m_transfer.active()) {
        m_transfer.Abort();
    }
    Finish(End::Stopped);
}

void BackupRun::OnTransferFinished(PacedTransfer::Ending ending) {
    switch (ending) {
    case PacedTransfer::Ending::Complete:
        Finish(End::Complete);
        break;
    case PacedTransfer::Ending::Interrupted: // the line went away (the engine's report says so)
        Finish(End::Interrupted);
        break;
    case PacedTransfer::Ending::Silent:
        Finish(End::Silent);
        break;
    }
}

void BackupRun::Finish(End end) {
    if (m_ended) {
        return;
    }
    m_ended = true;
    if (const std::optional<PacedTransfer::Report> report = m_transfer.TakeReport()) {
        m_reportLine = report->line;
    }
    emit finished(end);
}
