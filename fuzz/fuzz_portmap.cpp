// The port map: the [Ports] section of a settings file of any bytes read into a map that held
// other entries, and the names a user gives with --port or in the file looked up in it.
//
// Input: the file's bytes; the same bytes, cut at line ends, are also tried as port names.

#include "comm/portmap.h"
#include "core/settings/inifile.h"
#include "core/settings/inikeys.h"
#include "core/settings/settingsfile.h"
#include "fuzzcheck.h"
#include "fuzztext.h"

namespace {
void CheckName(const PortMap &map, const QString &name) {
    const int n = PortMap::NumberOfName(name);
    FUZZ_CHECK(n == 0 || (n >= PortMap::FirstPort && n <= PortMap::LastPort));
    if (n != 0) {
        // Only COM1..COM9 themselves, in any case, name a mapped port.
        FUZZ_CHECK(FuzzText::SameAscii(name, PortMap::PortName(n)));
        FUZZ_CHECK(map.targetForName(name) == map.target(n));
    } else {
        FUZZ_CHECK(map.targetForName(name) == name); // a device path, taken as it is
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    IniFile ini;
    ini.loadBytes(bytes);
    PortMap map;
    for (int n = PortMap::FirstPort; n <= PortMap::LastPort; ++n) {
        map.setEntry(n, QStringLiteral("/dev/earlier%1").arg(n)); // a map read before
    }
    ReadPortMap(ini, map);

    for (int n = PortMap::FirstPort; n <= PortMap::LastPort; ++n) {
        const QString target =
            FuzzText::Inner(ini.readString(Ini::Ports, PortMap::PortName(n), QString()));
        if (target.isEmpty()) {
            FUZZ_CHECK(!map.hasEntry(n));
            FUZZ_CHECK(map.target(n) == PortMap::DefaultTarget(n));
        } else {
            FUZZ_CHECK(map.hasEntry(n));
            const bool simulator = target.compare(PortMap::Simulator, Qt::CaseInsensitive) == 0;
            FUZZ_CHECK(map.target(n) == (simulator ? PortMap::Simulator : target));
        }
        FUZZ_CHECK(!map.target(n).isEmpty());
        FUZZ_CHECK(PortMap::NumberOfName(PortMap::PortName(n)) == n);
        FUZZ_CHECK(PortMap::NumberOfName(PortMap::PortName(n).toLower()) == n);
        FUZZ_CHECK(map.targetForName(PortMap::PortName(n)) == map.target(n));
    }
    for (const char *none : {"COM0", "COM10", "COM", "LPT1"}) {
        FUZZ_CHECK(PortMap::NumberOfName(QString::fromLatin1(none)) == 0);
    }

    // What a user may type as a port name, and the keys and values the file holds.
    for (const QByteArray &line : bytes.split('\n')) {
        CheckName(map, QString::fromUtf8(line));
    }
    for (const QString &key : ini.keys(Ini::Ports)) {
        CheckName(map, key);
        CheckName(map, ini.readString(Ini::Ports, key, QString()));
    }
    return 0;
}
