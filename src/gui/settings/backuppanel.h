#pragma once

#include "core/backup/backupjob.h"

#include <QGroupBox>
#include <functional>

class Dialogs;
class SharedState;
class QDate;
class QGridLayout;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

// The group "Sicherung der Steuerung" of the settings tab: backs up every cell of both boards into
// a configuration file, compares a file with the boards, restores the cells that differ. Shows
// the progress and the result list; the rules are BackupJob's. It places itself in the page's
// right column, below the send log and the info dump while they are shown.
class BackupPanel : public QGroupBox {
    Q_OBJECT
public:
    // What the send log and the info dump leave free below them for the group.
    static constexpr int HeightBelowMemos = 200;

    BackupPanel(SharedState &state, Dialogs &dialogs, std::function<ProgramSettings()> settings,
                QWidget *parent);

    // The connection went up or down.
    void OnlineChanged();
    BackupJob &job() { return m_job; }
    // The tool tip of a line of the result list: the cells behind it in detail.
    QString lineToolTip(int line) const { return m_job.detail(line); }
    // The name the backup's save dialog offers: "Sicherung_2026-12-09.pvt".
    static QString SuggestedName(const QDate &date);
    // The status bar's line while a run goes: "Vergleicht die Steuerung mit /home/b.pvt ...".
    static QString RunningText(BackupJob::Action action, const QString &path);

signals:
    // A run's result, or why it did not start, for the status bar.
    void statusMessage(const QString &text);

public slots:
    void btn_backupClick();
    void btn_compareClick();
    void btn_restoreClick();
    void btn_abortClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Run(BackupJob::Action action, const QString &path);
    void ShowProgress();
    void Finished();
    // The result list, scrolled to its end, and its last line on the status bar.
    void ShowResults();
    void UpdateButtons();
    void Arrange();

    SharedState &m_state;
    Dialogs &m_dialogs;
    BackupJob m_job;
    QPushButton *btn_backup = nullptr;
    QPushButton *btn_compare = nullptr;
    QPushButton *btn_restore = nullptr;
    QPushButton *btn_abort = nullptr;
    QProgressBar *m_progress = nullptr;
    QPlainTextEdit *m_results = nullptr;
    QGridLayout *m_grid = nullptr;
    QWidget *m_sendLog = nullptr; // the settings tab's send log, which shares the page's column
    bool m_oneRow = false;
};
