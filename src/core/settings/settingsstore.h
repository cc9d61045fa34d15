#pragma once

#include "core/settings/settingsfile.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

class IniFile;
class PortMap;
class SharedState;

// Loads the INI file at path, lets change edit it and saves it: the one way every INI file of the
// program is written, so that its other sections, keys and comments always survive. A file that
// cannot be read is not replaced by what little the change would write into it.
bool EditIniFile(const QString &path, const std::function<void(IniFile &)> &change, QString *error);

// The program's settings file: read once at the start, written at "Ende", and asked in between
// whether closing would lose anything.
class SettingsStore {
public:
    explicit SettingsStore(QString path) : m_path(std::move(path)) {}

    const QString &path() const { return m_path; }

    // Every key into settings, state and the port map. A missing file gives the defaults; one
    // that cannot be read gives them too, and false with the reason.
    bool Read(ProgramSettings &settings, SharedState &state, PortMap &ports, QString *error) const;
    // The file's text as a save of these settings would write it; fileNow gets the file as it is.
    QByteArray WouldWrite(const ProgramSettings &settings, const SharedState &state,
                          QByteArray *fileNow = nullptr) const;
    // What a save would have written right after the settings were read.
    void NoteStart(const ProgramSettings &settings, const SharedState &state);
    // Whether closing without saving would lose settings: they differ from the file and changed
    // since the start (even where the file lacks keys, as at the first start, nothing is lost
    // while nothing changed). Before the start is noted nothing has changed.
    bool ChangedSinceStart(const ProgramSettings &settings, const SharedState &state) const;
    bool Save(const ProgramSettings &settings, const SharedState &state, QString *error) const;
    // The device that "COMn" means on this machine, written at once: the mapping is a decision
    // about this machine, not a setting of the session.
    bool WritePortEntry(int number, const QString &target, QString *error) const;

    // What the user is told when the file cannot be read at the start, or not written.
    static QString UnreadableText(const QString &error);
    static QString NotSavedText(const QString &error);

    // A station's configuration file: the settings but those of how this PC reads the line.
    static bool SaveConfiguration(const QString &path, const ProgramSettings &settings,
                                  const SharedState &state, QString *error);

private:
    QString m_path;
    std::optional<QByteArray> m_atStart;
};
