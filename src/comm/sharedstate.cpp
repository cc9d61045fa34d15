#include "comm/sharedstate.h"

#include "comm/messages.h"

#include <algorithm>

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
        const bool taken = std::any_of(clients().begin(), clients().end(), [&](LineClient *client) {
            return client->OnBelieved(a.board, a.cell, a.value);
        });
        if (!taken) {
            image(a.board).Apply(a.cell, a.value);
        }
    }
    for (const Receiver::Answer &a : result.discarded) {
        for (LineClient *client : clients()) {
            client->OnDiscarded(a.board, a.cell);
        }
    }
    return result;
}

void SharedState::TakePositions() {
    if (!connection().online()) {
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
    return connection().online() &&
           receiver.table().letter(index) == Letters[static_cast<size_t>(index & 7)];
}

void SharedState::AddUnwrittenSource(const UnwrittenSource *source) {
    m_unwrittenSources.push_back(source);
}

void SharedState::RemoveUnwrittenSource(const UnwrittenSource *source) {
    std::erase(m_unwrittenSources, source);
}

UnwrittenChanges SharedState::CollectUnwritten() const {
    UnwrittenChanges changes;
    for (const UnwrittenSource *source : m_unwrittenSources) {
        source->AddUnwritten(changes);
    }
    return changes;
}
