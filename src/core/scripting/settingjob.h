#pragma once

#include "comm/stationstate.h"
#include "core/backup/backupplan.h"
#include "core/backup/backuprun.h"
#include "core/scripting/settingnames.h"

#include <QObject>
#include <QStringList>
#include <optional>
#include <vector>

class SharedState;

// The command line's get and set of named settings, and set from a configuration file, on the
// engine of the backups (BackupRun): the cells a setting stands on are read first (a row found by
// its position after the position cells), every cell believed only when two answers agree; set
// then writes only what differs (everything with force), each cell read back. The station data
// (positions in use and their names) lives in the settings file, which set writes and reads back.
class SettingJob : public QObject {
    Q_OBJECT
public:
    enum class Result {
        Done,       // everything read and confirmed, or written and verified, or equal
        Incomplete, // cells left unconfirmed or not written
        Refused,    // nothing written: a value the controller cannot take (no such row), or a file
        LineFailed, // the line went away, or the boards did not answer at all
        Stopped,    // stopped by Abort
    };

    // One setting of a get or a set.
    struct Item {
        Scripting::Setting setting;
        std::optional<Scripting::Value> wanted; // set only
        // What the boards or the settings file held before anything was written.
        Scripting::Reading before;
        enum class Outcome {
            Read,       // get
            Unchanged,  // it held the value already
            Written,    // written and read back as written
            Failed,     // written, but not (all) read back as written
            NotWritten, // the run ended before, or a problem kept everything back
        };
        Outcome outcome = Outcome::Read;
        std::vector<Backup::Write> writes;     // the cells written
        std::vector<Backup::Failure> failures; // the cells not read back as written
        QString problem;
    };

    explicit SettingJob(SharedState &state, QObject *parent = nullptr);

    // The settings file that holds the station data: set writes it there.
    void setSettingsFile(const QString &path) { m_settingsFile = path; }

    // Reads the settings; false while a run goes.
    bool StartGet(const std::vector<Scripting::Setting> &settings);
    // Reads, then writes each item's wanted value.
    bool StartSet(const std::vector<Item> &items, bool force);
    // Writes the cells of a file held as values where the boards differ (all of them with force),
    // and the station data, when given, into the settings file.
    bool StartFromFile(const Backup::Image &cells, const std::optional<StationData> &station,
                       bool force);
    // Stops the line's part at once.
    void Abort();
    bool running() const { return m_run.running() || m_pending; }

    // Whether a setting needs the controller at all.
    static bool NeedsLine(const std::vector<Scripting::Setting> &settings);

    const std::vector<Item> &items() const { return m_items; }
    Result result() const { return m_result; }
    // What is to be said besides the items: why the run failed or what it left out.
    const QStringList &lines() const { return m_lines; }
    // From a file: the differences found and their lines, the cells written and those that failed.
    const std::vector<Backup::Difference> &differences() const { return m_differences; }
    const std::vector<Backup::ResultLine> &differenceLines() const { return m_differenceLines; }
    const std::vector<Backup::Write> &written() const { return m_written; }
    const std::vector<Backup::Failure> &failures() const { return m_run.failures(); }
    // From a file: what became of the station data ("Gleis-Definition").
    enum class StationOutcome { NotAsked, Unchanged, Written, Failed };
    StationOutcome stationOutcome() const { return m_stationOutcome; }

    int progress() const { return m_run.progress(); }
    int total() const { return m_run.total(); }
    QString ProgressText() const;

signals:
    void progressed();
    void finished(SettingJob::Result result);

private:
    enum class Mode { Get, Set, FromFile };
    enum class Phase { Reading, Writing };
    void Begin();
    void ReadNext();
    void OnRunFinished(BackupRun::End end);
    void FinishReading();
    void PlanAndWrite();
    void FinishWriting();
    void FinishFromFileReading();
    void WriteStation();
    void End(Result result);
    void Merge(const Backup::Image &found);
    bool NothingAnswered() const;

    SharedState &m_state;
    BackupRun m_run;
    Mode m_mode = Mode::Get;
    Phase m_phase = Phase::Reading;
    bool m_force = false;
    bool m_pending = false; // started, not yet ended
    QString m_settingsFile;
    std::vector<Item> m_items;
    Backup::Image m_cells; // what the reads found, over all rounds
    Backup::Image m_file;  // from a file: its cells
    std::optional<StationData> m_station;
    StationOutcome m_stationOutcome = StationOutcome::NotAsked;
    std::vector<Backup::Difference> m_differences;
    std::vector<Backup::ResultLine> m_differenceLines;
    std::vector<Backup::Write> m_written;
    QStringList m_lines;
    Result m_result = Result::Done;
};
