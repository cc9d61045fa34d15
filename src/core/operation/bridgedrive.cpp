#include "core/operation/bridgedrive.h"

#include "comm/messages.h"
#include "comm/sharedstate.h"

BridgeDrive::BridgeDrive(SharedState &state, QObject *parent) : QObject(parent), m_state(state) {
    m_limit.setSingleShot(true);
    connect(&m_limit, &QTimer::timeout, this, [this] {
        if (m_phase == Phase::Watching) {
            Close(Outcome::TimedOut, false);
        }
    });
}

bool BridgeDrive::ShorterIsBoardLeft(int position, int target, int count) {
    if (count <= 0) {
        return false;
    }
    const int left = ((position - target) % count + count) % count;
    const int right = ((target - position) % count + count) % count;
    return left < right;
}

void BridgeDrive::Start(const Request &request, int timeLimitMs) {
    m_request = request;
    m_phase = Phase::AwaitingReport;
    m_outcome = Outcome::Sent;
    m_statusSeen = 0;
    m_errorsSeen = 0;
    m_position = -1;
    m_limit.setInterval(timeLimitMs);
}

void BridgeDrive::Check() {
    switch (m_phase) {
    case Phase::AwaitingReport: {
        if (m_state.connection().silent()) {
            End(Outcome::NoReport);
            return;
        }
        if (!m_state.Heard(InfoTable::Status) || !m_state.Heard(InfoTable::Positions)) {
            return;
        }
        const InfoTable &table = m_state.infoTable();
        if (table.data2(InfoTable::Positions) < m_state.PositionCount) {
            m_position = table.data2(InfoTable::Positions);
        }
        // The tab's drive buttons work only while the board reports the bridge standing.
        if (m_request.target && (table.data2(InfoTable::Status) & Msg::StatusTurning)) {
            End(Outcome::Turning);
            return;
        }
        Send();
        m_phase = Phase::Sending;
        return;
    }
    case Phase::Sending:
        if (!m_state.sendQueue.isEmpty()) {
            return;
        }
        if (!m_request.wait) {
            End(Outcome::Sent);
            return;
        }
        // From here on a report is a new one.
        for (int index : {InfoTable::Status, InfoTable::Positions, InfoTable::Error}) {
            m_state.infoTable().clearLetter(index);
        }
        m_phase = Phase::Watching;
        m_limit.start();
        return;
    case Phase::Watching:
        Watch();
        return;
    case Phase::Closing:
        if (m_state.sendQueue.isEmpty()) {
            End(m_outcome);
        }
        return;
    case Phase::Ended:
        return;
    }
}

void BridgeDrive::Send() {
    SendQueue &queue = m_state.sendQueue;
    const InfoTable &table = m_state.infoTable();
    if (m_request.stop) {
        SendStop();
    }
    if (m_request.target) {
        const int target = *m_request.target;
        const bool reverse = m_state.station.ReverseCounting;
        bool boardLeft = false;
        switch (m_request.direction) {
        case Direction::Shorter:
            boardLeft = ShorterIsBoardLeft(m_position < 0 ? target : m_position, target,
                                           m_state.PositionCount);
            break;
        case Direction::Left:
        case Direction::Right:
            // With reversed counting the board's left is the picture's right, as on the tab.
            boardLeft = (m_request.direction == Direction::Left) != reverse;
            break;
        }
        m_sentLeft = boardLeft != reverse;
        if (table.data1(InfoTable::Status) & Msg::StatusGo) {
            // Go is still on from the last drive: off first, so that go below is a change.
            queue.QueueMessage(Msg::FunctionGroup1, 0, Msg::BitGo);
        }
        queue.QueueKeyCode(target);
        queue.QueueMessage(Msg::FunctionGroup1, boardLeft ? Msg::BitDirection : 0,
                           Msg::BitDirection);
        queue.QueueMessage(Msg::FunctionGroup1, Msg::BitGo, Msg::BitGo);
    }
    if (m_request.light) {
        queue.QueueMessage(Msg::FunctionGroup1, *m_request.light ? Msg::BitLight : 0,
                           Msg::BitLight);
    }
}

bool BridgeDrive::SendStop() {
    // A stop must reach the board whatever else is waiting in the queue.
    m_state.sendQueue.QueueUrgentMessage(Msg::FunctionGroup1, 0, Msg::BitGo);
    return true;
}

void BridgeDrive::Watch() {
    InfoTable &table = m_state.infoTable();
    if (m_state.Heard(InfoTable::Positions)) {
        if (table.data2(InfoTable::Positions) < m_state.PositionCount) {
            m_position = table.data2(InfoTable::Positions);
        }
        table.clearLetter(InfoTable::Positions);
    }
    if (m_state.Heard(InfoTable::Error)) {
        ++m_errorsSeen;
        const int bridgeErrors = table.data2(InfoTable::Error);
        table.clearLetter(InfoTable::Error);
        if (m_errorsSeen >= 2 && m_request.target &&
            (bridgeErrors & (JammedAtStart | JammedWhileTurning))) {
            Close(Outcome::Blocked, true);
            return;
        }
    }
    if (!m_state.Heard(InfoTable::Status)) {
        return;
    }
    ++m_statusSeen;
    const int d1 = table.data1(InfoTable::Status);
    const int d2 = table.data2(InfoTable::Status);
    table.clearLetter(InfoTable::Status);
    if (m_statusSeen < 2) {
        return;
    }
    const bool standing = !(d2 & Msg::StatusTurning);
    bool done = true;
    if (m_request.target) {
        done = standing && m_position == *m_request.target;
    } else if (m_request.stop) {
        done = standing;
    }
    if (m_request.light) {
        done = done && bool(d1 & Msg::StatusLight) == *m_request.light;
    }
    if (done) {
        // As the tab withdraws go once the bridge stands after a drive.
        Close(Outcome::Done, m_request.target.has_value());
    }
}

void BridgeDrive::Close(Outcome outcome, bool withdrawGo) {
    m_limit.stop();
    m_outcome = outcome;
    if (withdrawGo) {
        m_state.sendQueue.QueueMessage(Msg::FunctionGroup1, 0, Msg::BitGo);
    }
    m_phase = Phase::Closing;
    if (m_state.sendQueue.isEmpty()) {
        End(outcome);
    }
}

void BridgeDrive::End(Outcome outcome) {
    m_limit.stop();
    m_outcome = outcome;
    m_phase = Phase::Ended;
    emit finished(outcome);
}
