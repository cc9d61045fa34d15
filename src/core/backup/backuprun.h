#pragma once

#include "comm/pacedtransfer.h"
#include "core/backup/backupplan.h"

#include <QObject>
#include <memory>
#include <vector>

class SharedState;

// One read or write of many cells of both boards for a backup, a compare or a restore, paced by
// the boards' answers whatever the settings say: every cell read twice (three times on a noisy
// line) and believed only when as many answers in a row agree, every written cell read back as
// often, what failed asked again. Its engine runs on its own timer beside the tabs' transfers; the
// line is shared through the request line as theirs is. What it reads lands in the mirrors as after
// any read.
class BackupRun : public QObject {
    Q_OBJECT
public:
    enum class End {
        Complete,
        Stopped,     // by Abort
        Interrupted, // the line went away
        Silent,      // the pit board has said nothing for a while (see LinkHealth)
    };

    explicit BackupRun(SharedState &state, QObject *parent = nullptr);
    ~BackupRun() override;

    // Reads the cells; false while a run is going.
    bool StartRead(const std::vector<std::pair<Board, int>> &cells);
    // Reads the cells the file holds as values, each confirmed as any read confirms it: an answer
    // that equals the file's value counts no more than another.
    bool StartCompare(const Backup::Image &file);
    // Every cell of both boards.
    bool StartReadAll();
    // Writes the cells and reads each back.
    bool StartWrite(const std::vector<Backup::Write> &writes);
    // Stops at once; what was read so far stays in the mirrors.
    void Abort();

    // From the start until finished() is emitted: a transfer cut by a lost line is no longer
    // active but is announced only at its engine's next turn, and until then the run has no
    // result that anybody could read.
    bool running() const { return !m_ended; }
    bool writing() const { return m_writing; }
    // Writes of the last write run that went to the line.
    int writesSent() const { return m_writesSent; }
    // Cells through of all (a cell read once counts half), and "37 von 512 Zellen, noch 12 s".
    int progress() const { return m_transfer.progress(); }
    int total() const { return m_transfer.total(); }
    QString ProgressText() const { return m_transfer.ProgressText(); }

    // What the last read found: a value for each cell confirmed, unconfirmed or no answer for the
    // others, absent for cells not asked.
    const Backup::Image &found() const { return m_found; }
    // The cells the last write could not write.
    const std::vector<Backup::Failure> &failures() const { return m_failures; }
    // The engine's closing line ("512 Zellen in 70,2 s gelesen, ...").
    const QString &reportLine() const { return m_reportLine; }

signals:
    // A cell came through or a request went out: time to show the progress.
    void progressed();
    // The run has ended (once per start).
    void finished(BackupRun::End end);

private:
    bool Start(PacedTransfer::Mode mode, std::vector<PacedTransfer::Request> requests);
    void OnTransferFinished(PacedTransfer::Ending ending);
    void Done(const PacedTransfer::Request &request, PacedTransfer::Outcome outcome, int value);
    void Finish(End end);

    PacedTransfer m_transfer;
    Backup::Image m_found;
    std::vector<Backup::Failure> m_failures;
    QString m_reportLine;
    bool m_writing = false;
    int m_writesSent = 0;
    bool m_ended = true;
};
