#include "comm/sharedstate.h"

#include "comm/messages.h"

#include <algorithm>
#include <cmath>

#include <QElapsedTimer>

void StationData::SetDefaults() {
    for (int i = 0; i <= MaxPositions; ++i) {
        PositionUsed[static_cast<size_t>(i)] = true;
        PositionName[static_cast<size_t>(i)] = i == 0 ? QString() : QString::number(i);
    }
    ZeroOffset = 0;
    ReverseCounting = true;
    ShowSwitchLine = true;
    UseMotorola = true;
    RSense = DefaultRSense;
}

bool StationData::IsUsableRSense(float ohm) {
    return std::isfinite(ohm) && ohm > 0.0f;
}

SharedState::SharedState() {
    clock = [] {
        static const QElapsedTimer started = [] {
            QElapsedTimer t;
            t.start();
            return t;
        }();
        return started.elapsed();
    };
}

Receiver::Result SharedState::Receive(const QByteArray &bytes) {
    Receiver::Result result = receiver.Feed(bytes);
    const qint64 t = now();
    // The answer the line waits for frees it at once; its value counts once the stream behind it
    // has confirmed it.
    for (const Receiver::Answer &a : result.arrived) {
        if (line.NoteArrived(a.board, a.cell)) {
            line.current()->owner->OnArrived(a.board, a.cell);
        }
    }
    for (const Receiver::Answer &a : result.believed) {
        if (!answers.Accept(a.board, a.cell, t)) {
            continue;
        }
        const bool taken = std::any_of(m_clients.begin(), m_clients.end(), [&](LineClient *client) {
            return client->OnBelieved(a.board, a.cell, a.value);
        });
        if (!taken) {
            image(a.board).Apply(a.cell, a.value);
        }
    }
    for (const Receiver::Answer &a : result.discarded) {
        for (LineClient *client : m_clients) {
            client->OnDiscarded(a.board, a.cell);
        }
    }
    return result;
}

void SharedState::NoteSent(const Framing::Asks &asks, bool onWire) {
    const qint64 t = now();
    if (onWire) {
        answers.NoteOnWire(asks, t);
    }
    const bool waited = line.busy() && line.current()->onWireAt < 0 && !line.current()->drained;
    line.NoteSent(asks, onWire, t);
    if (waited && (line.current()->onWireAt >= 0 || line.current()->drained)) {
        line.current()->owner->Wake(); // its time-out starts now
    }
}

void SharedState::TakePositions() {
    if (!Online) {
        return;
    }
    const InfoTable &table = infoTable();
    // A damaged report can name a position the turntable does not have (0xFF is "none yet").
    if (table.data1(InfoTable::Positions) < PositionCount) {
        DigitalTarget = table.data1(InfoTable::Positions);
    }
    if (table.data2(InfoTable::Positions) < PositionCount) {
        ActualPosition = table.data2(InfoTable::Positions);
    }
}

bool SharedState::Heard(int index) const {
    static constexpr uint8_t Letters[InfoTable::Entries] = {0,
                                                            Msg::LetterStatus,
                                                            Msg::LetterError,
                                                            Msg::LetterPositions,
                                                            Msg::LetterMeasure,
                                                            Msg::LetterPitCell,
                                                            Msg::LetterBridgeCell,
                                                            0};
    return Online && receiver.table().letter(index) == Letters[static_cast<size_t>(index & 7)];
}

std::optional<SharedState::TransferReport> SharedState::TakeTransferReport() {
    std::optional<TransferReport> report;
    if (m_status) {
        report = TransferReport{*m_status, QString()};
        m_status.reset();
    }
    // A transfer that ended meanwhile says more than an edit's line.
    for (LineClient *client : m_clients) {
        if (std::optional<TransferReport> r = client->TakeReport()) {
            report = std::move(r);
        }
    }
    return report;
}

void SharedState::FreeLine(LineClient *owner) {
    if (!line.heldBy(owner)) {
        return;
    }
    line.Release(owner);
    for (LineClient *client : m_clients) {
        if (client != owner) {
            client->Wake();
        }
    }
}

void SharedState::InterruptTransfers() {
    for (LineClient *client : m_clients) {
        client->OnInterrupted();
    }
}

void SharedState::RegisterClient(LineClient *client) {
    m_clients.push_back(client);
}

void SharedState::SetUnwrittenSource(const void *owner, UnwrittenSource source) {
    auto &sources = m_unwrittenSources;
    sources.erase(std::remove_if(sources.begin(), sources.end(),
                                 [owner](const auto &s) { return s.first == owner; }),
                  sources.end());
    if (source) {
        sources.emplace_back(owner, std::move(source));
    }
}

UnwrittenChanges SharedState::CollectUnwritten() const {
    UnwrittenChanges changes;
    for (const auto &source : m_unwrittenSources) {
        source.second(changes);
    }
    return changes;
}

void SharedState::UnregisterClient(LineClient *client) {
    line.Release(client);
    m_clients.erase(std::remove(m_clients.begin(), m_clients.end(), client), m_clients.end());
}
