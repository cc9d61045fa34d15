#include "core/settings/settingsfile.h"

#include "comm/portmap.h"
#include "comm/sharedstate.h"
#include "core/settings/inifile.h"
#include "core/settings/inikeys.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace {
constexpr int DefaultBaud = 9600;
constexpr int DefaultTop = 10;
constexpr int DefaultLeft = 10;
constexpr int PositionsBelowOne = 10;

bool IsBaud(int baud) {
    return baud == 9600 || baud == 19200 || baud == 2400;
}

int PositionFromFile(int value) {
    // A stored position above 48 becomes 0; so does a negative one, which no picture can show.
    return value > StationData::MaxPositions || value < 0 ? 0 : value;
}

int LimitedInterval(int value, int fallback = ProgramSettings::DefaultInterval) {
    if (value < 1) {
        return fallback; // 0 or below would stall the window
    }
    return std::min(value, ProgramSettings::MaxInterval);
}
} // namespace

namespace {
// The changes not yet written (see Ini::ZuSchreiben). Items that cannot be read are left out.
std::vector<int> ReadCellList(const IniFile &ini, const QString &section) {
    std::vector<int> cells;
    const QStringList items =
        ini.readString(section, Ini::ZuSchreiben, QString()).split(u',', Qt::SkipEmptyParts);
    for (const QString &item : items) {
        bool ok = false;
        const int cell = item.trimmed().toInt(&ok);
        if (ok && cell >= 0 && cell < BoardImage::Cells) {
            cells.push_back(cell);
        }
    }
    return cells;
}

QString CellList(const std::vector<int> &cells) {
    QStringList items;
    for (int cell : cells) {
        items << QString::number(cell);
    }
    return items.join(u',');
}

std::vector<UnwrittenChanges::AddressRow> ReadAddressRowList(const IniFile &ini) {
    std::vector<UnwrittenChanges::AddressRow> rows;
    const QStringList items =
        ini.readString(Ini::Adressen, Ini::ZuSchreiben, QString()).split(u',', Qt::SkipEmptyParts);
    for (const QString &item : items) {
        const QStringList parts = item.trimmed().split(u':');
        if (parts.size() != 4) {
            continue;
        }
        std::array<int, 4> v{};
        bool ok = true;
        for (size_t i = 0; i < v.size() && ok; ++i) {
            v[i] = parts[static_cast<qsizetype>(i)].toInt(&ok);
        }
        if (ok) {
            rows.push_back({v[0], v[1], v[2] != 0, v[3]});
        }
    }
    return rows;
}

QString AddressRowList(const std::vector<UnwrittenChanges::AddressRow> &rows) {
    QStringList items;
    for (const UnwrittenChanges::AddressRow &r : rows) {
        items << QStringLiteral("%1:%2:%3:%4")
                     .arg(r.row)
                     .arg(r.address)
                     .arg(r.green ? 1 : 0)
                     .arg(r.position);
    }
    return items.join(u',');
}
} // namespace

void ReadProgramSettings(const IniFile &ini, ProgramSettings &s, SharedState &state) {
    const int port = ini.readInt(Ini::Settings, Ini::ComPort, ProgramSettings::DefaultComPort);
    if (port >= PortMap::FirstPort && port <= PortMap::LastPort) {
        s.comPort = port;
    }
    const int readSize =
        ini.readInt(Ini::Settings, Ini::BufferSize, ProgramSettings::DefaultReadSize);
    s.readSize = readSize < 1 ? ProgramSettings::DefaultReadSize
                              : std::min(readSize, ProgramSettings::MaxReadSize);
    s.intervalReceive = LimitedInterval(
        ini.readInt(Ini::Settings, Ini::IntervalReceive, ProgramSettings::DefaultInterval));
    s.intervalSenden = LimitedInterval(
        ini.readInt(Ini::Settings, Ini::IntervalSenden, ProgramSettings::DefaultInterval));
    s.userLevel = ini.readString(Ini::Settings, Ini::Benutzer, Ini::LevelDefault);
    if (s.userLevel == Ini::LevelDebug || s.userLevel == Ini::LevelJustage ||
        s.userLevel == Ini::LevelFahren) {
        s.checkedLevel = s.userLevel;
    }
    const int baud = ini.readInt(Ini::Settings, Ini::Baud, DefaultBaud);
    if (IsBaud(baud)) {
        s.baud = baud;
    }
    TransferSettings &t = state.transferSettings;
    t.fixedPacing = ini.readBool(Ini::Settings, Ini::FesteTaktung, false);
    t.verifyWrites = ini.readBool(Ini::Settings, Ini::SchreibenPruefen, true);
    s.autoReconnect = ini.readBool(Ini::Settings, Ini::AutoVerbinden, true);
    t.answerTimeoutMs = LimitedInterval(
        ini.readInt(Ini::Settings, Ini::AntwortTimeout, TransferSettings::DefaultAnswerTimeoutMs),
        TransferSettings::DefaultAnswerTimeoutMs);

    s.width = ini.readInt(Ini::Window, Ini::Width, ProgramSettings::DefaultWidth);
    s.height = ini.readInt(Ini::Window, Ini::Height, ProgramSettings::DefaultHeight);
    s.top = ini.readInt(Ini::Window, Ini::Top, DefaultTop);
    s.left = ini.readInt(Ini::Window, Ini::Left, DefaultLeft);

    state.ActualPosition = PositionFromFile(ini.readInt(Ini::Buehne, Ini::IstPosition, 0));
    state.TargetPosition = PositionFromFile(ini.readInt(Ini::Buehne, Ini::SollPosition, 0));
    const int count = ini.readInt(Ini::Buehne, Ini::AnzahlPositionen, StationData::MaxPositions);
    state.PositionCount =
        count < 1 ? PositionsBelowOne : std::min(count, StationData::MaxPositions);
    // Positions count from 0: one at or beyond the count is no position of this turntable.
    if (state.ActualPosition >= state.PositionCount) {
        state.ActualPosition = 0;
    }
    if (state.TargetPosition >= state.PositionCount) {
        state.TargetPosition = 0;
    }
    state.station.RSense = ini.readFloat(Ini::Buehne, Ini::RSense, StationData::DefaultRSense);
    if (!StationData::IsUsableRSense(state.station.RSense)) {
        state.station.RSense = StationData::DefaultRSense; // no current can be computed with it
    }
    s.showExternalTarget = ini.readBool(Ini::Buehne, Ini::Extern, s.showExternalTarget);
    state.ShowExternalTarget = s.showExternalTarget;

    ReadStationData(ini, state.station);
    ReadPitCells(ini, state.pit, 0, BoardImage::Cells - 1);
    ReadBridgeCells(ini, state.bridge, 0, BoardImage::Cells - 1);
    state.unwrittenFromFile.pitCells = ReadCellList(ini, Ini::EeGrube);
    state.unwrittenFromFile.bridgeCells = ReadCellList(ini, Ini::EeBuhne);
    state.unwrittenFromFile.addressRows = ReadAddressRowList(ini);
}

void ReadStationData(const IniFile &ini, StationData &st) {
    for (int i = 1; i <= StationData::MaxPositions; ++i) {
        st.PositionUsed[static_cast<size_t>(i)] =
            ini.readBool(Ini::Use, Ini::PositionUseKey(i), true);
    }
    for (int i = 1; i <= StationData::MaxPositions; ++i) {
        st.PositionName[static_cast<size_t>(i)] =
            ini.readString(Ini::Name, Ini::PositionNameKey(i), QString::number(i));
    }
    st.ZeroOffset = ini.readInt(Ini::Grube, Ini::Offset, 0);
    st.ReverseCounting = ini.readBool(Ini::Grube, Ini::Reverse, true);
    st.ShowSwitchLine = ini.readBool(Ini::Grube, Ini::ShowSwitchline, true);
    st.UseMotorola = ini.readBool(Ini::Grube, Ini::UseMM, true);
}

namespace {
void ReadCells(const IniFile &ini, BoardImage &image, const QString &section, QString (*key)(int),
               int first, int last) {
    for (int i = first; i <= last; ++i) {
        // A value that is no byte is a damaged entry: the cell's default, not some low byte.
        const int value = ini.readInt(section, key(i), image.defaultValue(i));
        image.setValue(i, value >= 0 && value <= 0xFF ? value : image.defaultValue(i));
    }
}

void WriteCells(IniFile &ini, const BoardImage &image, const QString &section,
                QString (*key)(int)) {
    for (int i = 0; i < BoardImage::Cells; ++i) {
        ini.writeInt(section, key(i), image.value(i));
    }
}
} // namespace

void ReadPitCells(const IniFile &ini, BoardImage &pit, int first, int last) {
    ReadCells(ini, pit, Ini::EeGrube, Ini::PitCellKey, first, last);
}

void ReadBridgeCells(const IniFile &ini, BoardImage &bridge, int first, int last) {
    ReadCells(ini, bridge, Ini::EeBuhne, Ini::BridgeCellKey, first, last);
}

void WriteProgramSettings(IniFile &ini, const ProgramSettings &s, const SharedState &state,
                          SettingsScope scope) {
    ini.writeInt(Ini::Settings, Ini::ComPort, s.comPort);
    // How this PC reads the line is no part of a station's configuration.
    if (scope == SettingsScope::SettingsFile) {
        ini.writeInt(Ini::Settings, Ini::ComBufferSize, s.readSize);
        ini.writeInt(Ini::Settings, Ini::IntervalReceive, s.intervalReceive);
        ini.writeInt(Ini::Settings, Ini::IntervalSenden, s.intervalSenden);
    }
    ini.writeString(Ini::Settings, Ini::Benutzer, s.checkedLevel);
    ini.writeInt(Ini::Settings, Ini::Baud, s.baud);
    if (scope == SettingsScope::SettingsFile) {
        const TransferSettings &t = state.transferSettings;
        ini.writeBool(Ini::Settings, Ini::FesteTaktung, t.fixedPacing);
        ini.writeBool(Ini::Settings, Ini::SchreibenPruefen, t.verifyWrites);
        ini.writeBool(Ini::Settings, Ini::AutoVerbinden, s.autoReconnect);
        ini.writeInt(Ini::Settings, Ini::AntwortTimeout, t.answerTimeoutMs);
    }

    ini.writeInt(Ini::Window, Ini::Width, s.width);
    ini.writeInt(Ini::Window, Ini::Height, s.height);
    ini.writeInt(Ini::Window, Ini::Top, s.top);
    ini.writeInt(Ini::Window, Ini::Left, s.left);

    ini.writeInt(Ini::Buehne, Ini::IstPosition, state.ActualPosition);
    ini.writeInt(Ini::Buehne, Ini::SollPosition, state.TargetPosition);
    ini.writeInt(Ini::Buehne, Ini::AnzahlPositionen, state.PositionCount);
    ini.writeFloat(Ini::Buehne, Ini::RSense, state.station.RSense);
    ini.writeBool(Ini::Buehne, Ini::Extern, state.ShowExternalTarget);

    WriteStationData(ini, state.station);
    WriteCells(ini, state.pit, Ini::EeGrube, Ini::PitCellKey);
    WriteCells(ini, state.bridge, Ini::EeBuhne, Ini::BridgeCellKey);
    if (scope == SettingsScope::SettingsFile) {
        // What is not yet on the boards keeps its mark across a restart.
        const UnwrittenChanges unwritten = state.CollectUnwritten();
        ini.writeString(Ini::EeGrube, Ini::ZuSchreiben, CellList(unwritten.pitCells));
        ini.writeString(Ini::EeBuhne, Ini::ZuSchreiben, CellList(unwritten.bridgeCells));
        ini.writeString(Ini::Adressen, Ini::ZuSchreiben, AddressRowList(unwritten.addressRows));
    }
}

void WriteStationData(IniFile &ini, const StationData &st) {
    for (int i = 1; i <= StationData::MaxPositions; ++i) {
        ini.writeBool(Ini::Use, Ini::PositionUseKey(i), st.PositionUsed[static_cast<size_t>(i)]);
    }
    for (int i = 1; i <= StationData::MaxPositions; ++i) {
        ini.writeString(Ini::Name, Ini::PositionNameKey(i),
                        st.PositionName[static_cast<size_t>(i)]);
    }
    ini.writeInt(Ini::Grube, Ini::Offset, st.ZeroOffset);
    ini.writeBool(Ini::Grube, Ini::Reverse, st.ReverseCounting);
    ini.writeBool(Ini::Grube, Ini::ShowSwitchline, st.ShowSwitchLine);
    ini.writeBool(Ini::Grube, Ini::UseMM, st.UseMotorola);
}

void ReadPortMap(const IniFile &ini, PortMap &map) {
    map.clear();
    for (int n = PortMap::FirstPort; n <= PortMap::LastPort; ++n) {
        const QString target = ini.readString(Ini::Ports, PortMap::PortName(n), QString());
        if (!target.trimmed().isEmpty()) {
            map.setEntry(n, target);
        }
    }
}

QString SettingsPathFor(const QString &programPath) {
    const QFileInfo info(programPath);
    const QString suffix = info.suffix();
    if (suffix.isEmpty()) {
        return programPath + QStringLiteral(".ini");
    }
    return programPath.left(programPath.size() - suffix.size()) + QStringLiteral("ini");
}

QString DefaultSettingsPath(const QString &programPath, const QString &userConfigFolder,
                            const std::function<bool(const QString &)> &isWritable) {
    const QString beside = SettingsPathFor(programPath);
    if (isWritable(QFileInfo(beside).absolutePath())) {
        return beside;
    }
    return QDir(userConfigFolder).filePath(QStringLiteral("pivota.ini"));
}
