#include "core/backup/backupjob.h"
#include <QCoreApplication>

#include "comm/numbertext.h"
#include "comm/sharedstate.h"
#include "platform/filenames.h"
#include "platform/filesafety.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace {
// Made when said, not at start-up: the interface's language is chosen after that.
QString NoAnswerText() {
    return QCoreApplication::translate(
        "BackupJob", "Die Steuerung antwortet nicht: Verbindung und Stromversorgung prüfen.");
}
} // namespace

BackupJob::BackupJob(SharedState &state, QObject *parent)
    : QObject(parent), m_state(state), m_run(state) {
    connect(&m_run, &BackupRun::progressed, this, &BackupJob::progressed);
    connect(&m_run, &BackupRun::finished, this, &BackupJob::OnRunFinished);
}

bool BackupJob::Prepare(Action action, const QString &path) {
    if (m_run.running()) {
        return false;
    }
    m_prepared = false;
    m_action = action;
    // The file the system will really write or read, so that the lines name that one.
    m_path = FileNames::Cleaned(path);
    m_lines.clear();
    m_details.clear();
    m_differences.clear();
    m_unknown = 0;
    m_firmware = 0;
    m_unconfirmedInFile = 0;
    m_file = Backup::FileContents();
    m_plan.clear();
    const QString nothingSent = QCoreApplication::translate("BackupJob", "Nichts wurde gesendet.");
    // A name that names a device or no file at all is told before the boards are read for a
    // minute, not after; and reading such a "file" could wait on a device.
    if (const QString problem = FileNames::Problem(m_path); !problem.isEmpty()) {
        m_lines << problem << nothingSent;
        return End(Result::FileError, false);
    }
    if (action == Action::Backup) {
        const QString folder = QFileInfo(m_path).absolutePath();
        QString error;
        if (!FileSafety::IsFolderWritable(folder)) {
            m_lines << QCoreApplication::translate(
                           "BackupJob", "In den Ordner %1 kann nicht geschrieben werden.")
                           .arg(QDir::toNativeSeparators(folder))
                    << nothingSent;
            return End(Result::FileError, false);
        }
        if (!FileSafety::CanReplace(m_path, &error)) {
            m_lines << QCoreApplication::translate("BackupJob",
                                                   "Die Sicherung kann dort nicht stehen: %1")
                           .arg(error)
                    << nothingSent;
            return End(Result::FileError, false);
        }
    } else {
        QString error;
        if (!Backup::ReadFile(m_path, &m_file, &error)) {
            m_lines << error << nothingSent;
            return End(Result::FileError, false);
        }
    }
    m_prepared = true;
    return true;
}

bool BackupJob::Start() {
    if (!m_prepared || m_run.running()) {
        return false;
    }
    m_prepared = false;
    if (m_action == Action::Backup) {
        m_run.StartReadAll();
    } else {
        m_run.StartCompare(m_file.image);
    }
    return true;
}

void BackupJob::Abort() {
    if (m_awaitingAnswer) {
        Answer(false);
        return;
    }
    m_run.Abort();
}

void BackupJob::Answer(bool yes) {
    if (!m_awaitingAnswer) {
        return;
    }
    m_awaitingAnswer = false;
    if (!yes) {
        m_lines << QCoreApplication::translate(
            "BackupJob", "Nicht wiederhergestellt: nichts wurde geschrieben.");
        End(Result::Differences, true);
        return;
    }
    m_run.StartWrite(m_plan);
    emit progressed();
}

QString BackupJob::ProgressText() const {
    return (m_run.writing() ? QCoreApplication::translate("BackupJob", "schreibt %1")
                            : QCoreApplication::translate("BackupJob", "liest %1"))
        .arg(m_run.ProgressText());
}

bool BackupJob::End(Result result, bool emitted) {
    m_result = result;
    if (emitted) {
        emit finished(result);
    }
    return false;
}

bool BackupJob::NothingAnswered() const {
    const Backup::Image &found = m_run.found();
    for (Board board : {Board::Grube, Board::Buehne}) {
        for (const Backup::Cell &cell : found.of(board)) {
            if (cell.state == Backup::Cell::State::Value ||
                cell.state == Backup::Cell::State::Unconfirmed) {
                return false;
            }
        }
    }
    return true;
}

void BackupJob::OnRunFinished(BackupRun::End end) {
    if (end == BackupRun::End::Stopped) {
        const bool backup = m_action == Action::Backup;
        // Only a write that went out makes the restore incomplete.
        const bool writing = m_run.writing() && m_run.writesSent() > 0;
        m_lines << (backup ? QCoreApplication::translate("BackupJob",
                                                         "Abgebrochen: keine Datei geschrieben.")
                    : writing
                        ? QCoreApplication::translate(
                              "BackupJob", "Abgebrochen: das Wiederherstellen ist unvollständig, "
                                           "ein Teil der Zellen wurde geschrieben.")
                        : QCoreApplication::translate("BackupJob",
                                                      "Abgebrochen: nichts wurde geschrieben."));
        End(Result::Stopped, true);
        return;
    }
    if (end == BackupRun::End::Interrupted || end == BackupRun::End::Silent) {
        m_lines << (end == BackupRun::End::Silent
                        ? NoAnswerText()
                        : QCoreApplication::translate("BackupJob", "Die Verbindung ging verloren."))
                << (m_action == Action::Backup
                        ? QCoreApplication::translate("BackupJob", "Keine Datei geschrieben.")
                        : m_run.reportLine());
        End(Result::LineFailed, true);
        return;
    }
    if (m_run.writing()) {
        FinishRestore();
        return;
    }
    if (NothingAnswered()) {
        m_lines << NoAnswerText()
                << (m_action == Action::Backup
                        ? QCoreApplication::translate("BackupJob", "Keine Datei geschrieben.")
                        : QCoreApplication::translate("BackupJob", "Nichts wurde geschrieben."));
        End(Result::LineFailed, true);
        return;
    }
    if (m_action == Action::Backup) {
        FinishBackup();
    } else {
        FinishCompare();
    }
}

void BackupJob::FinishBackup() {
    const Backup::Image &image = m_run.found();
    QString error;
    const ProgramSettings s = settings ? settings() : ProgramSettings();
    const Backup::Stamp stamp{QDateTime::currentDateTime(),
                              version.isEmpty() ? QStringLiteral("unbekannt") : version};
    if (!Backup::SaveBackup(m_path, s, m_state, image, stamp, &error)) {
        m_lines << QCoreApplication::translate("BackupJob",
                                               "Die Sicherung konnte nicht geschrieben werden: %1")
                       .arg(error);
        End(Result::FileError, true);
        return;
    }
    m_lines << Backup::BackupLines(m_path, image);
    const bool all =
        image.Known(Board::Grube) == Backup::Cells && image.Known(Board::Buehne) == Backup::Cells;
    End(all ? Result::Equal : Result::Differences, true);
}

void BackupJob::FinishCompare() {
    const bool restore = m_action == Action::Restore;
    m_differences = Backup::Compare(m_file.image, m_run.found());
    const auto unconfirmed = Backup::UnconfirmedInFile(m_file.image);
    m_unconfirmedInFile = static_cast<int>(unconfirmed.size());
    for (const Backup::ResultLine &line :
         Backup::DifferenceLines(m_differences, m_file.image, m_run.found())) {
        if (!line.detail.isEmpty()) {
            m_details.insert(static_cast<int>(m_lines.size()), line.detail);
        }
        m_lines << line.text;
    }
    // Before the count per board that closes the list.
    for (const auto &[board, cell] : unconfirmed) {
        m_lines << Backup::UnconfirmedInFileLine(board, cell, restore);
    }
    for (const Backup::Unreadable &cell : m_file.unreadable) {
        m_lines << Backup::UnreadableInFileLine(cell, restore);
    }
    m_lines << Backup::CountLine(m_differences);
    if (!restore) {
        End(m_differences.empty() && m_unconfirmedInFile == 0 && m_file.unreadable.empty()
                ? Result::Equal
                : Result::Differences,
            true);
        return;
    }
    const std::vector<Backup::Write> plan = Backup::RestorePlan(m_differences);
    m_unknown = Backup::UnknownOnBoard(m_differences);
    m_firmware = Backup::FirmwareDifferences(m_differences);
    if (m_unknown > 0) {
        m_lines << (m_unknown == 1
                        ? QCoreApplication::translate(
                              "BackupJob", "1 Zelle ohne sichere Antwort der Steuerung wird nicht "
                                           "geschrieben.")
                        : QCoreApplication::translate(
                              "BackupJob", "%1 Zellen ohne sichere Antwort der Steuerung werden "
                                           "nicht geschrieben.")
                              .arg(m_unknown));
    }
    if (plan.empty()) {
        // The firmware version is the board's own: a difference there is listed, not restored,
        // and the controller still differs from the file.
        m_lines << (m_unknown > 0 || m_unconfirmedInFile > 0 || !m_file.unreadable.empty()
                        ? QCoreApplication::translate("BackupJob", "Nichts zu schreiben.")
                    : m_firmware > 0
                        ? Backup::FirmwareDiffersLine(m_firmware)
                        : QCoreApplication::translate(
                              "BackupJob", "Nichts zu schreiben: die Steuerung entspricht der "
                                           "Datei."));
        End(AllRestored() ? Result::Equal : Result::Differences, true);
        return;
    }
    m_plan = plan;
    m_awaitingAnswer = true;
    if (!ownerAsk) {
        Answer(false);
        return;
    }
    // The last thing done here: the owner may answer before it returns.
    ownerAsk(Backup::RestoreQuestion(plan, m_firmware, m_file.backup, m_file.unreadable));
}

bool BackupJob::AllRestored() const {
    return m_unknown == 0 && m_firmware == 0 && m_unconfirmedInFile == 0 &&
           m_file.unreadable.empty();
}

void BackupJob::FinishRestore() {
    const std::vector<Backup::Failure> &failures = m_run.failures();
    for (const Backup::Failure &f : failures) {
        m_lines << Backup::FailureLine(f);
    }
    const int written = m_run.total() - static_cast<int>(failures.size());
    const auto unconfirmed = std::count_if(failures.begin(), failures.end(), [](const auto &f) {
        return f.onBoard.state == Backup::Cell::State::Unconfirmed;
    });
    m_lines << (failures.empty()
                    ? QCoreApplication::translate("BackupJob",
                                                  "Wiederhergestellt: %1 geschrieben und geprüft.")
                          .arg(CellsText(written))
                : unconfirmed > 0
                    ? QCoreApplication::translate(
                          "BackupJob", "Wiederhergestellt: %1 geschrieben und geprüft, %2 "
                                       "nicht geschrieben, %3 nicht bestätigt.")
                          .arg(CellsText(written))
                          .arg(qsizetype(failures.size()) - unconfirmed)
                          .arg(unconfirmed)
                    : QCoreApplication::translate(
                          "BackupJob",
                          "Wiederhergestellt: %1 geschrieben und geprüft, %2 nicht geschrieben.")
                          .arg(CellsText(written))
                          .arg(failures.size()));
    if (m_firmware > 0) {
        m_lines << QCoreApplication::translate(
                       "BackupJob", "Die Firmware-Version der Steuerung weicht von der Datei ab "
                                    "(%1; sie wird nie geschrieben).")
                       .arg(CellsText(m_firmware));
    }
    End(failures.empty() && AllRestored() ? Result::Equal : Result::Differences, true);
}
