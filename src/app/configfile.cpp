#include "configfile.h"

#include "diagnosislogic.h"
#include "inifile.h"
#include "inikeys.h"
#include "settingsfile.h"
#include "sharedstate.h"

namespace ConfigFile {

namespace {
bool HasSection(const IniFile &ini, const QString &section) {
    const QStringList sections = ini.sections();
    return std::any_of(sections.begin(), sections.end(), [&](const QString &s) {
        return s.compare(section, Qt::CaseInsensitive) == 0;
    });
}

// Reads the cells of one board that the test accepts, each with its default when missing.
void LoadCells(const IniFile &ini, SharedState &state, bool pitBoard, bool (*take)(bool, int)) {
    BoardImage &image = pitBoard ? state.pit : state.bridge;
    for (int cell = 0; cell < BoardImage::Cells; ++cell) {
        if (!take(pitBoard, cell)) {
            continue;
        }
        if (pitBoard) {
            ReadPitCells(ini, state, cell, cell);
        } else {
            ReadBridgeCells(ini, state, cell, cell);
        }
        image.setReceived(cell, false);
    }
}
} // namespace

QStringList MissingParts(const IniFile &ini, const Choice &choice) {
    QStringList missing;
    if (choice.port && !HasSection(ini, Ini::Settings)) {
        missing << QStringLiteral("Com-Port Einstellungen");
    }
    if (choice.trackDefinition && !HasSection(ini, Ini::Use) && !HasSection(ini, Ini::Name) &&
        !HasSection(ini, Ini::Grube)) {
        missing << QStringLiteral("Gleis-Definition");
    }
    if (choice.parameters && !HasSection(ini, Ini::EeGrube) && !HasSection(ini, Ini::EeBuhne)) {
        missing << QStringLiteral("Parameter");
    }
    if (choice.addresses && !HasSection(ini, Ini::EeGrube)) {
        missing << QStringLiteral("Adressen");
    }
    return missing;
}

bool IsParameterCell(bool pitBoard, int cell) {
    return pitBoard ? cell >= 48 && cell <= 51 : cell >= 1 && cell <= 47;
}

bool IsAddressCell(int cell) {
    return (cell >= 4 && cell <= 15) || (cell >= 20 && cell <= 31) || (cell >= 36 && cell <= 47) ||
           (cell >= 56 && cell <= 239);
}

void LoadTrackDefinition(const IniFile &ini, SharedState &state) {
    ReadStationData(ini, state);
    state.RedrawRequest = true; // the operation picture follows at once
}

void LoadParameters(const IniFile &ini, SharedState &state) {
    state.ParametersLoaded = true;
    LoadCells(ini, state, true, IsParameterCell);
    LoadCells(ini, state, false, IsParameterCell);
    state.PitChangedForEeprom = true;
    state.BridgeChangedForEeprom = true;
}

void LoadAddresses(const IniFile &ini, SharedState &state) {
    state.AddressesLoaded = true;
    LoadCells(ini, state, true, [](bool, int cell) { return IsAddressCell(cell); });
    state.PitChangedForEeprom = true;
    state.PitChangedForDefinition = true;
}

void LoadRSense(const IniFile &ini, SharedState &state) {
    if (!ini.hasKey(Ini::Buehne, Ini::RSense)) {
        return; // an older file without it leaves the user's value alone
    }
    const float ohm = ini.readFloat(Ini::Buehne, Ini::RSense, state.station.RSense);
    if (Diagnosis::IsUsableRSense(ohm)) {
        state.station.RSense = ohm;
    }
}

} // namespace ConfigFile
