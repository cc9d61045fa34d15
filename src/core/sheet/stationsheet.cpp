#include "core/sheet/stationsheet.h"

#include "comm/addresscodes.h"
#include "comm/sharedstate.h"
#include "core/backup/backupplan.h"
#include "core/definition/addressrows.h"
#include "core/parameter/parametercatalogue.h"
#include "core/scripting/filediff.h"
#include "core/scripting/settingnames.h"
#include "core/settings/inifile.h"
#include "core/settings/settingsfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace StationSheet {

namespace {
using Scripting::Kind;
using Scripting::Reading;
using Scripting::Setting;
using Scripting::Value;

size_t at(int i) {
    return static_cast<size_t>(i);
}

QString ReadingOf(const Setting &s, const Reading &r) {
    return Scripting::ReadingText(s, r, true);
}

// The value a setting has on a board fresh from the factory.
Value DefaultOf(const Setting &s) {
    Value v;
    if (s.kind == Kind::Parameter) {
        v.number = Parameter::Rows()[at(s.index)].defaultValue;
    } else {
        const Parameter::OptionGroup &group = Parameter::Groups()[at(s.index / Parameter::Bits)];
        v.flag = (group.defaultValue >> (s.index % Parameter::Bits)) & 1;
    }
    return v;
}

Board BoardOf(const Setting &s, const Backup::Image &cells) {
    return Scripting::CellsOf(s, cells).front().first;
}

QString UnitValueText(const Setting &s, const Value &v) {
    const std::optional<double> x = Scripting::UnitValue(s, v);
    return x ? QStringLiteral("%1 %2").arg(QLocale().toString(*x, 'g', 6), Scripting::Unit(s))
             : QString();
}

AddressLine AddressOf(const Setting &s, const Backup::Image &cells, const QString &name,
                      int position) {
    const Reading r = Scripting::Read(s, cells, StationData());
    AddressLine line;
    line.name = name;
    if (position > 0) {
        line.positions = QString::number(position);
    }
    if (r.state != Reading::State::Confirmed || !r.value) {
        line.address = ReadingOf(s, r);
        return line;
    }
    const Value &v = *r.value;
    line.format = v.motorola ? QCoreApplication::translate("StationSheet", "DCC + Motorola")
                             : QCoreApplication::translate("StationSheet", "DCC");
    line.address = v.address == 0 ? QCoreApplication::translate("StationSheet", "keine")
                                  : QString::number(v.address);
    if (v.address != 0) {
        line.output = v.green ? QCoreApplication::translate("StationSheet", "grün")
                              : QCoreApplication::translate("StationSheet", "rot");
    }
    return line;
}

std::vector<AddressLine> Addresses(const Backup::Image &cells, int positionCount) {
    std::vector<AddressLine> lines;
    for (const Setting &s : Scripting::Named()) {
        if (s.kind == Kind::AddressRow) {
            lines.push_back(AddressOf(s, cells, AddressRows::FunctionRowName(s.index), 0));
        }
    }
    for (int n = 1; n <= AddressCodes::PositionRows; ++n) {
        const std::optional<Setting> s =
            Scripting::Find(QStringLiteral("zeile:%1").arg(n), nullptr);
        const int row = AddressCodes::FirstPositionRow + n - 1;
        const Backup::Cell &pos = cells.pit[at(AddressCodes::StepCell(row, 3))];
        if (pos.known() && pos.value >= positionCount) {
            continue; // a row beyond the turntable's positions serves none (255: none at all)
        }
        const bool known = pos.known();
        lines.push_back(AddressOf(
            *s, cells, known ? QStringLiteral("P:%1").arg(pos.value + 1) : Scripting::Title(*s),
            known ? pos.value + 1 : 0));
    }
    return lines;
}

std::vector<ParameterLine> Parameters(const Backup::Image &cells, QString *pitFirmware,
                                      QString *bridgeFirmware) {
    std::vector<ParameterLine> lines;
    for (const Setting &s : Scripting::Named()) {
        if (s.kind == Kind::AddressRow) {
            continue;
        }
        const Reading r = Scripting::Read(s, cells, StationData());
        if (s.kind == Kind::Version) {
            QString &firmware = BoardOf(s, cells) == Board::Grube ? *pitFirmware : *bridgeFirmware;
            firmware = ReadingOf(s, r);
            continue;
        }
        ParameterLine line;
        line.board = Backup::BoardName(BoardOf(s, cells));
        line.name = Scripting::Title(s);
        line.value = ReadingOf(s, r);
        const Value standard = DefaultOf(s);
        line.defaultValue = Scripting::ShownText(s, standard);
        if (r.state == Reading::State::Confirmed && r.value) {
            line.unitValue = UnitValueText(s, *r.value);
            line.differs = s.kind == Kind::Option ? r.value->flag != standard.flag
                                                  : r.value->number != standard.number;
        }
        lines.push_back(line);
    }
    return lines;
}

QStringList Doubtful(const Backup::Image &cells) {
    QStringList named;
    for (Board board : {Board::Grube, Board::Buehne}) {
        for (int cell = 0; cell < Backup::Cells; ++cell) {
            const Backup::Cell &c = cells.of(board)[at(cell)];
            if (c.state != Backup::Cell::State::Unconfirmed &&
                c.state != Backup::Cell::State::Unreadable &&
                c.state != Backup::Cell::State::NoAnswer) {
                continue;
            }
            Setting s;
            s.kind = Kind::Cell;
            s.board = board;
            s.cell = cell;
            named << QStringLiteral("%1: %2").arg(Scripting::Title(s), Backup::ValueText(c));
        }
    }
    return named;
}
} // namespace

QString SourceText(const Origin &origin) {
    if (origin.path.isEmpty()) {
        return QCoreApplication::translate("StationSheet", "von der Steuerung gelesen");
    }
    const QString path = QDir::toNativeSeparators(origin.path);
    if (origin.backup) {
        return QCoreApplication::translate("StationSheet", "Sicherung %1 vom %2, Prüfsumme stimmt")
            .arg(path, origin.backupTime);
    }
    return QCoreApplication::translate("StationSheet", "Datei %1 (ohne Prüfsumme)").arg(path);
}

Content Build(const Backup::Image &cells, const StationData &station, int positionCount,
              const Origin &origin, const QString &title, const QDateTime &time,
              const QString &programVersion) {
    Content c;
    c.title = title;
    c.time = time;
    c.programVersion = programVersion;
    c.station = station;
    c.positionCount = positionCount;
    for (int i = 1; i <= std::min(positionCount, StationData::MaxPositions); ++i) {
        if (station.PositionUsed[at(i)]) {
            c.positions.push_back({i, station.PositionName[at(i)]});
        }
    }
    c.addresses = Addresses(cells, positionCount);
    c.parameters = Parameters(cells, &c.pitFirmware, &c.bridgeFirmware);
    c.doubtful = Doubtful(cells);
    c.source = SourceText(origin);
    return c;
}

namespace {
// The cells as compare and restore read them, the station as "laden" takes it.
bool FromIni(const IniFile &ini, Origin origin, const QString &title, const QDateTime &time,
             const QString &programVersion, Content *content, QString *error) {
    Backup::FileContents read;
    if (!Backup::CheckFile(ini, &read, error)) {
        return false;
    }
    SharedState state;
    ProgramSettings settings;
    ReadProgramSettings(ini, settings, state);
    StationData station;
    ReadStationData(ini, station);
    origin.backup = read.backup;
    origin.backupTime = read.time;
    *content = Build(read.image, station, state.PositionCount, origin, title, time, programVersion);
    return true;
}
} // namespace

bool FromFile(const QString &path, const QString &title, const QDateTime &time,
              const QString &programVersion, Content *content, QString *error) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    // Read and refused as compare and restore do.
    if (!Backup::ReadFile(absolute, nullptr, error)) {
        return false;
    }
    IniFile ini;
    ini.load(absolute, nullptr);
    return FromIni(ini, {absolute, false, {}},
                   title.isEmpty() ? QFileInfo(path).completeBaseName() : title, time,
                   programVersion, content, error);
}

Content FromProgram(const ProgramSettings &settings, const SharedState &state, const QString &title,
                    const QDateTime &time, const QString &programVersion) {
    // What "speichern" would write now.
    IniFile ini;
    WriteProgramSettings(ini, settings, state, SettingsScope::Configuration);
    Content content;
    QString error;
    FromIni(ini, {}, title, time, programVersion, &content, &error);
    content.source = QCoreApplication::translate(
        "StationSheet", "Stand im Programm (von der Steuerung gelesen, geladen oder eingegeben)");
    return content;
}

} // namespace StationSheet
