// The configuration loader behind "laden" on the settings tab: a file of any bytes, checked for
// the parts it holds and loaded part by part over mirrors and station data that hold other
// values. Each part changes what it loads and nothing else; a file with a cell written twice with
// two values is refused naming it.
//
// Input: the file's bytes.

#include "comm/portmap.h"
#include "comm/sharedstate.h"
#include "core/configuration/configfile.h"
#include "core/settings/inifile.h"
#include "core/settings/inikeys.h"
#include "core/settings/settingsfile.h"
#include "fuzzcheck.h"
#include "fuzztext.h"

#include <QList>
#include <algorithm>
#include <climits>
#include <functional>

using ConfigFile::Content;

namespace {
struct Mirror {
    std::array<uint8_t, BoardImage::Cells> values{};
    std::array<bool, BoardImage::Cells> received{};
};

Mirror Snapshot(const BoardImage &image) {
    Mirror m;
    for (int i = 0; i < BoardImage::Cells; ++i) {
        m.values[static_cast<size_t>(i)] = image.value(i);
        m.received[static_cast<size_t>(i)] = image.received(i);
    }
    return m;
}

bool Same(const StationData &a, const StationData &b) {
    return a.PositionUsed == b.PositionUsed && a.PositionName == b.PositionName &&
           a.ZeroOffset == b.ZeroOffset && a.ReverseCounting == b.ReverseCounting &&
           a.ShowSwitchLine == b.ShowSwitchLine && a.UseMotorola == b.UseMotorola &&
           (a.RSense == b.RSense || (a.RSense != a.RSense && b.RSense != b.RSense));
}

bool HasSection(const IniFile &ini, const QString &name) {
    for (const QString &s : ini.sections()) {
        if (FuzzText::SameAscii(s, name)) {
            return true;
        }
    }
    return false;
}

// The present values the user had before loading: every cell received, none at its default.
void FillOthers(SharedState &state) {
    for (BoardImage *image : {&state.pit, &state.bridge}) {
        for (int i = 0; i < BoardImage::Cells; ++i) {
            image->setValue(i, (image->defaultValue(i) + 1 + i % 7) & 0xFF);
            image->setReceived(i, true);
        }
    }
    for (int i = 1; i <= StationData::MaxPositions; ++i) {
        state.station.PositionUsed[static_cast<size_t>(i)] = i % 3 == 0;
        state.station.PositionName[static_cast<size_t>(i)] = QStringLiteral("Gleis %1").arg(i);
    }
    state.station.ZeroOffset = -77;
    state.station.ReverseCounting = false;
    state.station.ShowSwitchLine = false;
    state.station.UseMotorola = false;
    state.station.RSense = 2.5f;
}

// A board's cells after loading the cells that take accepts: those from the file (or their
// default where the file holds no byte) and no longer received; the others as they were.
void CheckCells(const IniFile &ini, const BoardImage &image, const Mirror &before,
                const std::function<bool(int)> &take) {
    const bool pit = image.board() == Board::Grube;
    for (int i = 0; i < BoardImage::Cells; ++i) {
        const auto k = static_cast<size_t>(i);
        if (!take(i)) {
            FUZZ_CHECK(image.value(i) == before.values[k]);
            FUZZ_CHECK(image.received(i) == before.received[k]);
            continue;
        }
        const QString key = pit ? Ini::PitCellKey(i) : Ini::BridgeCellKey(i);
        const QString section = pit ? Ini::EeGrube : Ini::EeBuhne;
        const QString text = ini.readString(section, key, QString());
        const auto value = FuzzText::Byte(text);
        // A text that is neither a byte nor "unbestätigt" is no value: the cell stays as it was.
        if (ini.hasKey(section, key) && !value &&
            text.trimmed().compare(ConfigFile::UnconfirmedText, Qt::CaseInsensitive) != 0) {
            FUZZ_CHECK(image.value(i) == before.values[k]);
            FUZZ_CHECK(image.received(i) == before.received[k]);
            continue;
        }
        FUZZ_CHECK(image.value(i) == (value ? *value : image.defaultValue(i)));
        FUZZ_CHECK(!image.received(i));
    }
}

void CheckParts(const IniFile &ini) {
    const QList<Content> all(ConfigFile::Contents.begin(), ConfigFile::Contents.end());
    const QList<Content> missing = ConfigFile::MissingContents(ini, all);
    const bool settings = HasSection(ini, Ini::Settings);
    const bool track =
        HasSection(ini, Ini::Use) || HasSection(ini, Ini::Name) || HasSection(ini, Ini::Grube);
    const bool pitCells = HasSection(ini, Ini::EeGrube);
    const bool cells = pitCells || HasSection(ini, Ini::EeBuhne);
    FUZZ_CHECK(missing.contains(Content::Port) == !settings);
    FUZZ_CHECK(missing.contains(Content::TrackDefinition) == !track);
    FUZZ_CHECK(missing.contains(Content::Parameters) == !cells);
    FUZZ_CHECK(missing.contains(Content::Addresses) == !pitCells);
    // Any choice of parts: the missing ones among them, in the order chosen.
    for (unsigned mask = 0; mask < 16; ++mask) {
        QList<Content> chosen;
        QList<Content> expected;
        for (unsigned i = 0; i < 4; ++i) {
            const Content part = ConfigFile::Contents[(i + mask) % 4]; // orders differ too
            if (mask & (1u << i)) {
                chosen << part;
                if (missing.contains(part)) {
                    expected << part;
                }
            }
        }
        FUZZ_CHECK(ConfigFile::MissingContents(ini, chosen) == expected);
    }
}

// Cells written twice with two values: "laden" refuses the file and names them. A key the file
// holds once is never among them.
void CheckConflicts(const IniFile &ini, const QByteArray &bytes) {
    const bool utf16 = bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
    const QString text = DecodeUtf8OrWindows1252(bytes).toLower();
    QStringList twice;
    for (const QString &section : {Ini::EeGrube, Ini::EeBuhne}) {
        const QStringList keys = ini.keys(section);
        for (const QString &key : ini.conflictingKeys(section)) {
            FUZZ_CHECK(std::any_of(keys.begin(), keys.end(),
                                   [&](const QString &k) { return FuzzText::SameAscii(k, key); }));
            if (!utf16) {
                const QString name = key.toLower();
                const qsizetype first = text.indexOf(name);
                FUZZ_CHECK(first >= 0 && text.indexOf(name, first + 1) > first);
            }
            twice << QStringLiteral("[%1] %2").arg(section, key);
        }
    }
    const QString refusal = ConfigFile::ConflictText(ini, {Ini::EeGrube, Ini::EeBuhne});
    FUZZ_CHECK(refusal.isEmpty() == twice.isEmpty());
    if (!twice.isEmpty()) {
        FUZZ_CHECK(refusal.contains(twice.constFirst()));
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    IniFile ini;
    ini.loadBytes(bytes);
    CheckParts(ini);
    CheckConflicts(ini, bytes);

    // The port: a number 1..9 is taken, any other number is none; no number at all (or no key)
    // is the default port, as when the settings file is read.
    const int port = ConfigFile::PortOf(ini);
    const auto number =
        FuzzText::Decimal(ini.readString(Ini::Settings, Ini::ComPort, QString()), INT_MIN, INT_MAX);
    if (!number) {
        FUZZ_CHECK(port == ProgramSettings::DefaultComPort);
    } else {
        const bool inRange = *number >= PortMap::FirstPort && *number <= PortMap::LastPort;
        FUZZ_CHECK(port == (inRange ? int(*number) : 0));
    }

    SharedState state;
    FillOthers(state);
    Mirror pit = Snapshot(state.pit);
    Mirror bridge = Snapshot(state.bridge);
    StationData station = state.station;

    // Track definition: the station data only, and every picture of it drawn anew.
    const int revision = state.stationRevision();
    ConfigFile::LoadTrackDefinition(ini, state);
    FUZZ_CHECK(state.stationRevision() != revision);
    CheckCells(ini, state.pit, pit, [](int) { return false; });
    CheckCells(ini, state.bridge, bridge, [](int) { return false; });
    for (int i = 1; i <= StationData::MaxPositions; ++i) {
        const auto k = static_cast<size_t>(i);
        const auto use = FuzzText::Decimal(
            ini.readString(Ini::Use, Ini::PositionUseKey(i), QString()), INT_MIN, INT_MAX);
        FUZZ_CHECK(state.station.PositionUsed[k] == (use ? *use != 0 : true));
        FUZZ_CHECK(state.station.PositionName[k] ==
                   ini.readString(Ini::Name, Ini::PositionNameKey(i), QString::number(i)));
    }
    const auto offset =
        FuzzText::Decimal(ini.readString(Ini::Grube, Ini::Offset, QString()), INT_MIN, INT_MAX);
    FUZZ_CHECK(state.station.ZeroOffset == (offset ? int(*offset) : 0));
    FUZZ_CHECK(state.station.RSense == station.RSense); // R-Sense is loaded on its own

    // Parameters: the parameter cells of both boards.
    station = state.station;
    ConfigFile::LoadParameters(ini, state);
    CheckCells(ini, state.pit, pit, [](int i) { return ConfigFile::IsParameterCell(true, i); });
    CheckCells(ini, state.bridge, bridge,
               [](int i) { return ConfigFile::IsParameterCell(false, i); });
    FUZZ_CHECK(Same(state.station, station));

    // Addresses: the pit board's address cells, no parameter cell among them.
    pit = Snapshot(state.pit);
    bridge = Snapshot(state.bridge);
    ConfigFile::LoadAddresses(ini, state);
    CheckCells(ini, state.pit, pit, [](int i) { return ConfigFile::IsAddressCell(i); });
    CheckCells(ini, state.bridge, bridge, [](int) { return false; });
    for (int i = 0; i < BoardImage::Cells; ++i) {
        FUZZ_CHECK(!(ConfigFile::IsAddressCell(i) && ConfigFile::IsParameterCell(true, i)));
    }

    // R-Sense: only a usable value from the file replaces the present one.
    const float rsense = state.station.RSense;
    ConfigFile::LoadRSense(ini, state);
    FUZZ_CHECK(StationData::IsUsableRSense(state.station.RSense));
    if (state.station.RSense != rsense) {
        FUZZ_CHECK(ini.hasKey(Ini::Buehne, Ini::RSense));
        FUZZ_CHECK(state.station.RSense == ini.readFloat(Ini::Buehne, Ini::RSense, -1.0f));
    }
    return 0;
}
