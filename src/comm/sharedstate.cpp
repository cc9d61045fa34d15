#include "sharedstate.h"

#include "messages.h"

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

SharedState::SharedState() = default;

bool SharedState::ApplyBoardValues() {
    InfoTable &table = infoTable();
    if (table.letter(InfoTable::PitCell) == Msg::LetterPitCell) {
        pit.Apply(table.data1(InfoTable::PitCell), table.data2(InfoTable::PitCell));
        PitChangedForEeprom = true;
        PitChangedForDefinition = true;
        table.clearLetter(InfoTable::PitCell);
    }
    bool bridgeApplied = false;
    if (table.letter(InfoTable::BridgeCell) == Msg::LetterBridgeCell) {
        bridge.Apply(table.data1(InfoTable::BridgeCell), table.data2(InfoTable::BridgeCell));
        BridgeChangedForEeprom = true;
        table.clearLetter(InfoTable::BridgeCell);
        bridgeApplied = true;
    }
    return bridgeApplied;
}

void SharedState::TakePositions() {
    if (!Online) {
        return;
    }
    const InfoTable &table = infoTable();
    if (table.data1(InfoTable::Positions) != 0xFF) {
        DigitalTarget = table.data1(InfoTable::Positions);
    }
    if (table.data2(InfoTable::Positions) != 0xFF) {
        ActualPosition = table.data2(InfoTable::Positions);
    }
}
