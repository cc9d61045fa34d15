#pragma once

#include "core/backup/backupplan.h"
#include "core/backup/backuprun.h"
#include "core/settings/settingsfile.h"

#include <QHash>
#include <QObject>
#include <QStringList>
#include <functional>

class SharedState;

// A whole backup, compare or restore as the settings tab and the command line run it: the file
// checked first, the boards read, the file written or the differences listed, the question asked
// before a restore writes, the differing cells written and read back, and the result list.
class BackupJob : public QObject {
    Q_OBJECT
public:
    enum class Action { Backup, Compare, Restore };
    enum class Result {
        Equal,       // all done: every cell confirmed, written or equal
        Differences, // differences found, or cells not confirmed or not written
        FileError,   // the file was refused, or could not be written
        LineFailed,  // the line went away, or the boards did not answer at all
        Stopped,     // stopped by the user; a backup wrote nothing
    };

    explicit BackupJob(SharedState &state, QObject *parent = nullptr);

    // The settings a backup file holds besides the cells (as "speichern" writes them).
    std::function<ProgramSettings()> settings;
    // The owner's hook, asked once before a restore writes: it shows the question and gives the
    // user's word with Answer(), at once or later; the run waits meanwhile and the line goes on.
    // Without it nothing is written.
    std::function<void(const QString &question)> ownerAsk;
    // The program version a backup records.
    QString version;

    // Checks what the run needs before the line is used: for a backup that the file can be
    // written there, for a compare or restore the file itself, read once. False when it is
    // refused: result() and lines() say why.
    bool Prepare(Action action, const QString &path);
    // Starts what Prepare checked; false when it ends at once (nothing prepared, or a run going),
    // and finished() is not emitted.
    bool Start();
    // Both in one.
    bool Start(Action action, const QString &path) { return Prepare(action, path) && Start(); }
    // The answer to the restore question: yes writes, no leaves the boards as they are.
    void Answer(bool yes);
    bool awaitingAnswer() const { return m_awaitingAnswer; }
    // Stops the run; a restore question not yet answered counts as no.
    void Abort();
    bool running() const { return m_run.running() || m_awaitingAnswer; }
    Action action() const { return m_action; }

    int progress() const { return m_run.progress(); }
    int total() const { return m_run.total(); }
    // "liest 37 von 512 Zellen, noch 12 s", "schreibt 3 von 10 Zellen, ...".
    QString ProgressText() const;

    Result result() const { return m_result; }
    // The result list: differences, cells not confirmed or not written, and the closing lines.
    const QStringList &lines() const { return m_lines; }
    // The cells behind a line of lines() in detail; empty where the line names its cell itself.
    QString detail(int line) const { return m_details.value(line); }
    // The differences of the last compare (also of a restore's compare).
    const std::vector<Backup::Difference> &differences() const { return m_differences; }
    // The file compared with (compare and restore).
    const Backup::Image &fileCells() const { return m_file.image; }
    // What the boards held when last read: a backup's cells, or those a compare read.
    const Backup::Image &boardCells() const { return m_run.found(); }
    // The cells a restore writes once the user says yes, and those it then could not write.
    const std::vector<Backup::Write> &plan() const { return m_plan; }
    const std::vector<Backup::Failure> &failures() const { return m_run.failures(); }
    // Whether the restore's writes began.
    bool wrote() const { return m_run.writing(); }

signals:
    void progressed();
    void finished(BackupJob::Result result);

private:
    void OnRunFinished(BackupRun::End end);
    void FinishBackup();
    void FinishCompare();
    void FinishRestore();
    // Ends with this result: false for Start's caller, finished() when running.
    bool End(Result result, bool emitted);
    bool NothingAnswered() const;
    // Nothing a restore left out: no cell unknown on the board, no firmware difference, no cell
    // the file holds as unconfirmed or as a text that is no value.
    bool AllRestored() const;

    SharedState &m_state;
    BackupRun m_run;
    Action m_action = Action::Backup;
    bool m_prepared = false;
    QString m_path;
    Backup::FileContents m_file;
    std::vector<Backup::Difference> m_differences;
    int m_unknown = 0;  // differences whose value on the board is not known: not written
    int m_firmware = 0; // differences in the firmware version, which is never written
    int m_unconfirmedInFile =
        0; // cells the file holds as unconfirmed: neither compared nor written
    Result m_result = Result::Equal;
    QStringList m_lines;
    QHash<int, QString> m_details;     // by line of m_lines
    std::vector<Backup::Write> m_plan; // what a restore writes once the user says yes
    bool m_awaitingAnswer = false;
};
