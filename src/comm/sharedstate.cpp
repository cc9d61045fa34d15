#include "sharedstate.h"

#include "messages.h"

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
    RSense = 15.0f;
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
            PitChangedForEeprom = true;
            PitChangedForDefinition = true;
        }
        table.clearLetter(InfoTable::PitCell);
    }
    bool bridgeApplied = false;
    if (table.letter(InfoTable::BridgeCell) == Msg::LetterBridgeCell) {
        const int cell = table.data1(InfoTable::BridgeCell);
        if (answers.Accept(AnswerFilter::Board::Buehne, cell, t)) {
            bridge.Apply(cell, table.data2(InfoTable::BridgeCell));
            BridgeChangedForEeprom = true;
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
    for (TransferTally *tally :
         {&addressTally, &parameterTally, &pitSweepTally, &bridgeSweepTally}) {
        const QString line = tally->Poll(t);
        if (!line.isEmpty()) {
            report = line;
        }
    }
    return report;
}
