#include "settingsstore.h"

#include "inifile.h"
#include "inikeys.h"
#include "portmap.h"
#include "sharedstate.h"

#include <QCoreApplication>

bool EditIniFile(const QString &path, const std::function<void(IniFile &)> &change,
                 QString *error) {
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
    const bool ok = ini.load(m_path, error);
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
    QByteArray file;
    const QByteArray now = WouldWrite(settings, state, &file);
    return now != m_atStart && now != file;
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
