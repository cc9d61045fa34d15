#include "core/configuration/configfile.h"

#include "comm/boardmirrors.h"
#include "comm/stationstate.h"

#include "comm/portmap.h"
#include "comm/sharedstate.h"
#include "core/settings/inifile.h"
#include "core/settings/inikeys.h"
#include "core/settings/settingsfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace ConfigFile {

namespace {
bool HasSection(const IniFile &ini, const QString &section) {
    const QStringList sections = ini.sections();
    return std::any_of(sections.begin(), sections.end(), [&](const QString &s) {
        return s.compare(section, Qt::CaseInsensitive) == 0;
    });
}

bool TakesAddress(bool pitBoard, int cell) {
    return pitBoard && IsAddressCell(cell);
}

// Reads the cells of one board that the test accepts, each with its default when missing. A cell
// whose text is no value keeps what the PC holds: a default in its place would be a value the
// file never held, and a write from the tab would send it.
void LoadCells(const IniFile &ini, BoardMirrors &mirrors, bool pitBoard, bool (*take)(bool, int)) {
    BoardImage &image = pitBoard ? mirrors.pit : mirrors.bridge;
    for (int cell = 0; cell < BoardImage::Cells; ++cell) {
        if (!take(pitBoard, cell) ||
            ReadCell(ini, pitBoard, cell).kind == CellEntry::Kind::Unreadable) {
            continue;
        }
        if (pitBoard) {
            ReadPitCells(ini, image, cell, cell);
        } else {
            ReadBridgeCells(ini, image, cell, cell);
        }
        image.setReceived(cell, false);
    }
}
} // namespace

QString Filter() {
    return QCoreApplication::translate("ConfigFile", "PVT (*.pvt);;TXT (*.txt);;Alle Dateien (*)");
}

QString Caption(Content part) {
    switch (part) {
    case Content::Port:
        return QCoreApplication::translate("ConfigFile", "Com-Port Einstellungen");
    case Content::TrackDefinition:
        return QCoreApplication::translate("ConfigFile", "Gleis-Definition");
    case Content::Parameters:
        return QCoreApplication::translate("ConfigFile", "Parameter");
    case Content::Addresses:
        return QCoreApplication::translate("ConfigFile", "Adressen");
    }
    return QString();
}

QString Hint(Content part) {
    switch (part) {
    case Content::Port:
        return QCoreApplication::translate("ConfigFile", "COM-Port");
    case Content::TrackDefinition:
        return QCoreApplication::translate("ConfigFile", "Lage der Zufahrs-Gleise");
    case Content::Parameters:
        return QCoreApplication::translate("ConfigFile",
                                           "Zeiten, Regel-Parameter, Geschwindigkeiten usw.");
    case Content::Addresses:
        return QCoreApplication::translate("ConfigFile", "Digital-Adressen");
    }
    return QString();
}

QString Question(Content part) {
    switch (part) {
    case Content::Port:
        return QCoreApplication::translate(
            "ConfigFile", "COM-Port Werte laden? Aktuelle Werte werden überschrieben!");
    case Content::TrackDefinition:
        return QCoreApplication::translate(
            "ConfigFile", "Gleis-Definitionen laden? Aktuelle Werte werden überschrieben!");
    case Content::Parameters:
        return QCoreApplication::translate("ConfigFile",
                                           "Parameter laden? Aktuelle Werte werden überschrieben!");
    case Content::Addresses:
        return QCoreApplication::translate("ConfigFile",
                                           "Adressen laden? Aktuelle Werte werden überschrieben!");
    }
    return QString();
}

QList<Content> MissingContents(const IniFile &ini, const QList<Content> &chosen) {
    QList<Content> missing;
    for (Content part : chosen) {
        bool present = false;
        switch (part) {
        case Content::Port:
            present = HasSection(ini, Ini::Settings);
            break;
        case Content::TrackDefinition:
            present = HasSection(ini, Ini::Use) || HasSection(ini, Ini::Name) ||
                      HasSection(ini, Ini::Grube);
            break;
        case Content::Parameters:
            present = HasSection(ini, Ini::EeGrube) || HasSection(ini, Ini::EeBuhne);
            break;
        case Content::Addresses:
            present = HasSection(ini, Ini::EeGrube);
            break;
        }
        if (!present) {
            missing << part;
        }
    }
    return missing;
}

QStringList Captions(const QList<Content> &parts) {
    QStringList captions;
    for (Content part : parts) {
        captions << Caption(part);
    }
    return captions;
}

QString ConflictText(const IniFile &ini, const QStringList &sections) {
    constexpr int Named = 5;
    QStringList twice;
    for (const QString &section : sections) {
        for (const QString &key : ini.conflictingKeys(section)) {
            twice << QStringLiteral("[%1] %2").arg(section, key);
        }
    }
    if (twice.isEmpty()) {
        return QString();
    }
    QString keys = QStringList(twice.mid(0, Named)).join(QStringLiteral(", "));
    if (twice.size() > Named) {
        keys += QStringLiteral(" …");
    }
    return QCoreApplication::translate("ConfigFile",
                                       "Die Datei enthält Werte mehrfach mit verschiedenem Inhalt "
                                       "(%1): welcher gilt, ist nicht zu sagen.")
        .arg(keys);
}

QString NotAFileText(const QString &path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return QCoreApplication::translate("ConfigFile",
                                           "Die Datei %1 gibt es nicht. Es wurde nichts geladen.")
            .arg(QDir::toNativeSeparators(path));
    }
    if (info.isDir()) {
        return QCoreApplication::translate(
                   "ConfigFile", "%1 ist ein Ordner, keine Datei. Es wurde nichts geladen.")
            .arg(QDir::toNativeSeparators(path));
    }
    return QString();
}

int PortOf(const IniFile &ini) {
    const int port = ini.readInt(Ini::Settings, Ini::ComPort, ProgramSettings::DefaultComPort);
    return port >= PortMap::FirstPort && port <= PortMap::LastPort ? port : 0;
}

bool IsParameterCell(bool pitBoard, int cell) {
    return pitBoard ? cell >= 48 && cell <= 51 : cell >= 1 && cell <= 47;
}

bool IsAddressCell(int cell) {
    return (cell >= 4 && cell <= 15) || (cell >= 20 && cell <= 31) || (cell >= 36 && cell <= 47) ||
           (cell >= 56 && cell <= 239);
}

CellEntry ReadCell(const IniFile &ini, bool pitBoard, int cell) {
    const QString &section = pitBoard ? Ini::EeGrube : Ini::EeBuhne;
    const QString key = pitBoard ? Ini::PitCellKey(cell) : Ini::BridgeCellKey(cell);
    CellEntry entry;
    if (!ini.hasKey(section, key)) {
        return entry;
    }
    entry.text = ini.readString(section, key, QString());
    const QString trimmed = entry.text.trimmed();
    bool ok = false;
    const int value = trimmed.toInt(&ok, 10);
    if (ok && value >= 0 && value <= 0xFF) {
        entry.kind = CellEntry::Kind::Value;
        entry.value = value;
    } else if (trimmed.compare(UnconfirmedText, Qt::CaseInsensitive) == 0) {
        entry.kind = CellEntry::Kind::Unconfirmed;
    } else {
        entry.kind = CellEntry::Kind::Unreadable;
    }
    return entry;
}

QList<UnreadableCell> UnreadableCells(const IniFile &ini, const QList<Content> &parts) {
    QList<UnreadableCell> cells;
    for (const bool pitBoard : {true, false}) {
        for (int cell = 0; cell < BoardImage::Cells; ++cell) {
            const bool loaded =
                (parts.contains(Content::Parameters) && IsParameterCell(pitBoard, cell)) ||
                (parts.contains(Content::Addresses) && TakesAddress(pitBoard, cell));
            if (!loaded) {
                continue;
            }
            const CellEntry entry = ReadCell(ini, pitBoard, cell);
            if (entry.kind == CellEntry::Kind::Unreadable) {
                cells.append({pitBoard, cell, entry.text});
            }
        }
    }
    return cells;
}

void LoadTrackDefinition(const IniFile &ini, StationState &state) {
    ReadStationData(ini, state.station);
    state.StationChanged(); // the operation picture follows at once
}

void LoadParameters(const IniFile &ini, BoardMirrors &mirrors) {
    LoadCells(ini, mirrors, true, IsParameterCell);
    LoadCells(ini, mirrors, false, IsParameterCell);
}

void LoadAddresses(const IniFile &ini, BoardMirrors &mirrors) {
    LoadCells(ini, mirrors, true, TakesAddress);
}

void LoadRSense(const IniFile &ini, StationState &state) {
    if (!ini.hasKey(Ini::Buehne, Ini::RSense)) {
        return; // an older file without it leaves the user's value alone
    }
    const float ohm = ini.readFloat(Ini::Buehne, Ini::RSense, state.station.RSense);
    if (StationData::IsUsableRSense(ohm)) {
        state.station.RSense = ohm;
    }
}

} // namespace ConfigFile
