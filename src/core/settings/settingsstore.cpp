#include "core/settings/settingsstore.h"

#include "comm/portmap.h"
#include "comm/sharedstate.h"
#include "core/settings/inifile.h"
#include "core/settings/inikeys.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
// A folder where the file should be: the system's own text ("Is a directory") would not say so.
bool IsFolder(const QString &path, QString *error) {
    if (!QFileInfo(path).isDir()) {
        return false;
    }
    if (error) {
        *error = QCoreApplication::translate("SettingsStore", "%1 ist ein Ordner, keine Datei.")
                     .arg(QDir::toNativeSeparators(path));
    }
    return true;
}
} // namespace

bool EditIniFile(const QString &path, const std::function<void(IniFile &)> &change,
                 QString *error) {
    if (IsFolder(path, error)) {
        return false;
    }
    IniFile ini;
    if (!ini.load(path, error)) {
        return false;
    }
    change(ini);
    return ini.save(path, error);
}

bool SettingsStore::Read(ProgramSettings &settings, SharedState &state, PortMap &ports,
                         QString *error) const {
    IniFile ini;
    const bool ok = !IsFolder(m_path, error) && ini.load(m_path, error);
    ReadProgramSettings(ini, settings, state);
    ReadPortMap(ini, ports);
    return ok;
}

QByteArray SettingsStore::WouldWrite(const ProgramSettings &settings, const SharedState &state,
                                     QByteArray *fileNow) const {
    IniFile ini;
    ini.load(m_path);
    if (fileNow) {
        *fileNow = ini.toBytes();
    }
    WriteProgramSettings(ini, settings, state);
    return ini.toBytes();
}

void SettingsStore::NoteStart(const ProgramSettings &settings, const SharedState &state) {
    m_atStart = WouldWrite(settings, state);
}

bool SettingsStore::ChangedSinceStart(const ProgramSettings &settings,
                                      const SharedState &state) const {
    if (!m_atStart) {
        return false;
    }
    QByteArray file;
    const QByteArray now = WouldWrite(settings, state, &file);
    return now != *m_atStart && now != file;
}

bool SettingsStore::Save(const ProgramSettings &settings, const SharedState &state,
                         QString *error) const {
    return EditIniFile(
        m_path, [&](IniFile &ini) { WriteProgramSettings(ini, settings, state); }, error);
}

bool SettingsStore::WritePortEntry(int number, const QString &target, QString *error) const {
    return EditIniFile(
        m_path,
        [&](IniFile &ini) { ini.writeString(Ini::Ports, PortMap::PortName(number), target); },
        error);
}

bool SettingsStore::SaveConfiguration(const QString &path, const ProgramSettings &settings,
                                      const SharedState &state, QString *error) {
    return EditIniFile(
        path,
        [&](IniFile &ini) {
            WriteProgramSettings(ini, settings, state, SettingsScope::Configuration);
        },
        error);
}

QString SettingsStore::UnreadableText(const QString &error) {
    return QCoreApplication::translate(
               "SettingsStore", "Die Einstellungsdatei kann nicht gelesen werden; es gelten die "
                                "Vorgabewerte. Beim Beenden wird sie nicht überschrieben.\n%1")
        .arg(error);
}

QString SettingsStore::NotSavedText(const QString &error) {
    return QCoreApplication::translate("SettingsStore",
                                       "Die Einstellungen konnten nicht gespeichert werden.\n%1")
        .arg(error);
}
