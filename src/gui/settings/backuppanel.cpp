#include "gui/settings/backuppanel.h"

#include "comm/sharedstate.h"
#include "core/configuration/configfile.h"
#include "gui/common/dialogs.h"
#include "gui/common/named.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QEvent>
#include <QGridLayout>
#include <QHelpEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QToolTip>

namespace {
// The column right of the configuration groups, from the top to the bottom of the page; while the
// send log and the info dump take that column (user level "Debug"), below them.
constexpr int ColumnLeft = 580;
constexpr int ColumnTop = 10;
constexpr int Gap = 8;
constexpr int RightMargin = 10;
constexpr int BottomMargin = 8;
constexpr int MinWidth = 360;
constexpr int MinHeight = BackupPanel::HeightBelowMemos - Gap - BottomMargin;
// From this width the four buttons stand in one row.
constexpr int OneRowWidth = 600;
const char *const SendLogName = "Memo2";
} // namespace

BackupPanel::BackupPanel(SharedState &state, Dialogs &dialogs,
                         std::function<ProgramSettings()> settings, QWidget *parent)
    : QGroupBox(tr("Sicherung der Steuerung"), parent), m_state(state), m_dialogs(dialogs),
      m_job(state) {
    setObjectName(QStringLiteral("GroupBoxBackup"));
    m_job.settings = std::move(settings);
    m_job.version = QCoreApplication::applicationVersion();
    m_job.ownerAsk = [this](const QString &question) {
        // What will be written is in the list before the question asks for it.
        ShowResults();
        m_job.Answer(m_dialogs.askYesNoDefaultNo(question));
    };

    btn_backup = Named(new QPushButton(tr("Steuerung sichern ..."), this), "btn_backup");
    btn_backup->setToolTip(tr("liest alle Zellen beider Platinen (jede zweimal) und "
                              "schreibt sie in eine Datei"));
    btn_compare = Named(new QPushButton(tr("Mit Steuerung vergleichen ..."), this), "btn_compare");
    btn_compare->setToolTip(tr("listet jede Zelle, in der Datei und Steuerung sich "
                               "unterscheiden; schreibt nichts"));
    btn_restore = Named(new QPushButton(tr("Wiederherstellen ..."), this), "btn_restore");
    btn_restore->setToolTip(tr("schreibt nach Rückfrage die abweichenden Zellen der "
                               "Datei, nie die Firmware-Version"));
    btn_abort = Named(new QPushButton(tr("Abbruch"), this), "btn_backup_abort");
    m_progress = Named(new QProgressBar(this), "ProgressBarBackup");
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_progress->setTextVisible(true);
    m_progress->setFormat(QString());
    m_results = Named(new QPlainTextEdit(this), "Memo_backup");
    m_results->setReadOnly(true);
    // Lines wrap at the list's width, so that each is read whole without scrolling sideways.
    m_results->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_results->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_results->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_results->viewport()->installEventFilter(this); // the lines' tool tips

    m_grid = new QGridLayout(this);
    m_grid->setContentsMargins(8, 4, 8, 8);

    connect(btn_backup, &QPushButton::clicked, this, &BackupPanel::btn_backupClick);
    connect(btn_compare, &QPushButton::clicked, this, &BackupPanel::btn_compareClick);
    connect(btn_restore, &QPushButton::clicked, this, &BackupPanel::btn_restoreClick);
    connect(btn_abort, &QPushButton::clicked, this, &BackupPanel::btn_abortClick);
    connect(&m_job, &BackupJob::progressed, this, &BackupPanel::ShowProgress);
    connect(&m_job, &BackupJob::finished, this, &BackupPanel::Finished);

    if (parent) {
        parent->installEventFilter(this);
        m_sendLog = parent->findChild<QWidget *>(QLatin1String(SendLogName));
        if (m_sendLog) {
            m_sendLog->installEventFilter(this); // shown and hidden with the user level
        }
    }
    Arrange();
    UpdateButtons();
}

bool BackupPanel::eventFilter(QObject *watched, QEvent *event) {
    const QEvent::Type type = event->type();
    if (watched == m_results->viewport() && type == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QString tip = lineToolTip(m_results->cursorForPosition(help->pos()).blockNumber());
        if (tip.isEmpty()) {
            QToolTip::hideText();
        } else {
            QToolTip::showText(help->globalPos(), tip, m_results->viewport());
        }
        return true;
    }
    if ((watched == parentWidget() && type == QEvent::Resize) ||
        (watched == m_sendLog && (type == QEvent::Show || type == QEvent::Hide ||
                                  type == QEvent::Resize || type == QEvent::Move))) {
        Arrange();
    }
    return QGroupBox::eventFilter(watched, event);
}

void BackupPanel::Arrange() {
    const QWidget *page = parentWidget();
    if (!page) {
        return;
    }
    const bool below = m_sendLog && !m_sendLog->isHidden();
    const int left = ColumnLeft;
    const int top = below ? m_sendLog->geometry().bottom() + Gap : ColumnTop;
    setGeometry(left, top, std::max(MinWidth, page->width() - left - RightMargin),
                std::max(MinHeight, page->height() - top - BottomMargin));
    const bool oneRow = width() >= OneRowWidth;
    if (oneRow == m_oneRow && m_grid->count() > 0) {
        return;
    }
    m_oneRow = oneRow;
    const int columns = oneRow ? 4 : 2;
    int i = 0;
    for (QPushButton *b : {btn_backup, btn_compare, btn_restore, btn_abort}) {
        m_grid->addWidget(b, i / columns, i % columns); // moves a button already in the grid
        ++i;
    }
    const int row = oneRow ? 1 : 2;
    m_grid->addWidget(m_progress, row, 0, 1, columns);
    m_grid->addWidget(m_results, row + 1, 0, 1, columns);
    for (int r = 0; r < 4; ++r) {
        m_grid->setRowStretch(r, r == row + 1 ? 1 : 0);
    }
}

void BackupPanel::OnlineChanged() {
    UpdateButtons();
}

void BackupPanel::UpdateButtons() {
    const bool running = m_job.running();
    const bool start = m_state.connection().online() && !running;
    btn_backup->setEnabled(start);
    btn_compare->setEnabled(start);
    btn_restore->setEnabled(start);
    btn_abort->setEnabled(running);
}

QString BackupPanel::SuggestedName(const QDate &date) {
    return tr("Sicherung_%1.%2").arg(date.toString(Qt::ISODate), ConfigFile::DefaultSuffix);
}

void BackupPanel::btn_backupClick() {
    const QString path = m_dialogs.askSaveFileName(ConfigFile::Filter(), ConfigFile::DefaultSuffix,
                                                   SuggestedName(QDate::currentDate()));
    if (!path.isEmpty()) {
        Run(BackupJob::Action::Backup, path);
    }
}

void BackupPanel::btn_compareClick() {
    const QString path = m_dialogs.askOpenFileName(ConfigFile::Filter(), ConfigFile::DefaultSuffix);
    if (!path.isEmpty()) {
        Run(BackupJob::Action::Compare, path);
    }
}

void BackupPanel::btn_restoreClick() {
    const QString path = m_dialogs.askOpenFileName(ConfigFile::Filter(), ConfigFile::DefaultSuffix);
    if (!path.isEmpty()) {
        Run(BackupJob::Action::Restore, path);
    }
}

void BackupPanel::btn_abortClick() {
    m_job.Abort();
}

void BackupPanel::Run(BackupJob::Action action, const QString &path) {
    if (m_job.running() || !m_state.connection().online()) {
        return; // the buttons are off then; a click that came through anyway changes nothing
    }
    m_results->clear();
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_progress->setFormat(QString());
    if (!m_job.Start(action, path)) {
        ShowResults();
        m_dialogs.showError(title(), m_job.lines().join(u'\n'));
        UpdateButtons();
        return;
    }
    UpdateButtons();
    ShowProgress();
    // The status bar says what runs now, not what an earlier run ended with.
    emit statusMessage(RunningText(action, path));
}

QString BackupPanel::RunningText(BackupJob::Action action, const QString &path) {
    const QString file = QDir::toNativeSeparators(path);
    switch (action) {
    case BackupJob::Action::Backup:
        return tr("Sichert die Steuerung in %1 ...").arg(file);
    case BackupJob::Action::Compare:
        return tr("Vergleicht die Steuerung mit %1 ...").arg(file);
    case BackupJob::Action::Restore:
        break;
    }
    return tr("Stellt die Steuerung aus %1 wieder her ...").arg(file);
}

void BackupPanel::ShowProgress() {
    m_progress->setRange(0, std::max(1, m_job.total()));
    m_progress->setValue(std::min(m_job.progress(), m_progress->maximum()));
    m_progress->setFormat(m_job.ProgressText());
    UpdateButtons(); // a restore's question may have come and gone
}

void BackupPanel::Finished() {
    // The bar says how the run ended, as the list's closing line does.
    switch (m_job.result()) {
    case BackupJob::Result::Stopped:
        m_progress->setFormat(tr("abgebrochen"));
        break;
    case BackupJob::Result::LineFailed:
        m_progress->setFormat(tr("unterbrochen"));
        break;
    case BackupJob::Result::FileError:
        m_progress->setFormat(tr("fehlgeschlagen"));
        break;
    case BackupJob::Result::Equal:
    case BackupJob::Result::Differences:
        m_progress->setFormat(tr("fertig"));
        break;
    }
    ShowResults();
    UpdateButtons();
}

void BackupPanel::ShowResults() {
    m_results->setPlainText(m_job.lines().join(u'\n'));
    // The closing lines are the result: in view, and on the status bar.
    m_results->moveCursor(QTextCursor::End);
    m_results->ensureCursorVisible();
    if (QScrollBar *bar = m_results->verticalScrollBar()) {
        bar->setValue(bar->maximum());
    }
    emit statusMessage(m_job.lines().isEmpty() ? QString() : m_job.lines().constLast());
}
