#include "sharedstate.h"

#include "messages.h"
#include "pacedtransfer.h"

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

bool SharedState::ApplyBoardValues() {
    InfoTable &table = infoTable();
    const qint64 t = now();
    if (table.letter(InfoTable::PitCell) == Msg::LetterPitCell) {
        const int cell = table.data1(InfoTable::PitCell);
        if (answers.Accept(AnswerFilter::Board::Grube, cell, t)) {
            pit.Apply(cell, table.data2(InfoTable::PitCell));
        }
        table.clearLetter(InfoTable::PitCell);
    }
    bool bridgeApplied = false;
    if (table.letter(InfoTable::BridgeCell) == Msg::LetterBridgeCell) {
        const int cell = table.data1(InfoTable::BridgeCell);
        if (answers.Accept(AnswerFilter::Board::Buehne, cell, t)) {
            bridge.Apply(cell, table.data2(InfoTable::BridgeCell));
            bridgeApplied = true;
        }
        table.clearLetter(InfoTable::BridgeCell);
    }
    return bridgeApplied;
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

QString SharedState::TakeTransferReport() {
    QString report;
    const qint64 t = now();
    for (PacedTransfer *transfer : m_transfers) {
        const QString line = transfer->tally().Poll(t);
        if (!line.isEmpty()) {
            report = line;
        }
    }
    return report;
}

void SharedState::RegisterTransfer(PacedTransfer *transfer) {
    m_transfers.push_back(transfer);
}

void SharedState::UnregisterTransfer(PacedTransfer *transfer) {
    m_transfers.erase(std::remove(m_transfers.begin(), m_transfers.end(), transfer),
                      m_transfers.end());
}
