#include "gui/window/qtdialogs.h"

#include "gui/common/networkportdialog.h"
#include "platform/filenames.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {
// The boxes of the program carry the application title; "\r" line breaks come from texts that
// were written for the Windows version.
QString Shown(const QString &text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    return t;
}
} // namespace

FileDialogStart PlanFileDialog(const QString &filter, const QString &defaultSuffix,
                               const QString &lastFolder, const QString &documentsFolder) {
    FileDialogStart start;
    for (const QString &part : filter.split(QStringLiteral(";;"))) {
        const QString name = part.trimmed();
        if (!name.isEmpty()) {
            start.nameFilters << name;
        }
    }
    start.defaultSuffix = defaultSuffix;
    // A folder removed or unmounted since it was used is no place to open in.
    for (const QString &folder : {lastFolder, documentsFolder}) {
        if (!folder.isEmpty() && QFileInfo(folder).isDir()) {
            start.folder = QDir(folder).absolutePath();
            return start;
        }
    }
    start.folder = QDir::homePath();
    return start;
}

QString SuffixForFilter(const QString &nameFilter, const QString &defaultSuffix) {
    // The patterns stand in the last parentheses; a filter may also be patterns alone.
    static const QRegularExpression patterns(QStringLiteral("\\(([^()]*)\\)\\s*$"));
    const QRegularExpressionMatch m = patterns.match(nameFilter);
    const QString list = m.hasMatch() ? m.captured(1) : nameFilter;
    const QString first = list.split(u' ', Qt::SkipEmptyParts).value(0);
    static const QRegularExpression plainSuffix(QStringLiteral("^\\*\\.([^*?\\[\\]]+)$"));
    const QRegularExpressionMatch suffix = plainSuffix.match(first);
    return suffix.hasMatch() ? suffix.captured(1) : defaultSuffix;
}

std::unique_ptr<QFileDialog> MakeFileDialog(QWidget *parent, const FileDialogStart &start) {
    auto dialog = std::make_unique<QFileDialog>(parent);
    dialog->setDirectory(start.folder);
    dialog->setDefaultSuffix(start.defaultSuffix);
    if (!start.nameFilters.isEmpty()) {
        dialog->setNameFilters(start.nameFilters);
        dialog->selectNameFilter(start.nameFilters.first());
        dialog->setDefaultSuffix(SuffixForFilter(start.nameFilters.first(), start.defaultSuffix));
    }
    const QString fallback = start.defaultSuffix;
    QFileDialog *d = dialog.get();
    QObject::connect(d, &QFileDialog::filterSelected, d, [d, fallback](const QString &filter) {
        d->setDefaultSuffix(SuffixForFilter(filter, fallback));
    });
    return dialog;
}

QtDialogs::QtDialogs(QWidget *parent)
    : m_parent(parent),
      m_documentsFolder(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)) {}

void QtDialogs::showError(const QString &caption, const QString &text) {
    QMessageBox box(QMessageBox::Critical, caption, Shown(text), QMessageBox::Ok, m_parent);
    const QPointer<QMessageBox> outer = m_openError;
    m_openError = &box;
    box.exec();
    m_openError = outer;
}

void QtDialogs::noteOnOpenBox(const QString &text) {
    if (m_openError) {
        m_openError->setText(m_openError->text() + QStringLiteral("\n\n") + Shown(text));
    }
}

void QtDialogs::showWarning(const QString &text) {
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), Shown(text),
                    QMessageBox::Cancel, m_parent);
    box.exec();
}

void QtDialogs::showMessage(const QString &text) {
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), Shown(text),
                    QMessageBox::Ok, m_parent);
    box.exec();
}

void QtDialogs::showAbout(const QString &caption, const QString &text) {
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, m_parent);
    box.setTextFormat(Qt::PlainText); // a path is shown as it is
    box.setIconPixmap(QApplication::windowIcon().pixmap(64, 64));
    box.exec();
}

void QtDialogs::showPrintPreview(const QString &caption,
                                 const std::function<void(QPagedPaintDevice &)> &paint) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setDocName(caption);
    // The preview's print button opens the print dialog, where printer and pages are chosen.
    QPrintPreviewDialog preview(&printer, m_parent);
    preview.setWindowTitle(caption);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&paint](QPrinter *p) { paint(*p); });
    preview.exec();
}

bool QtDialogs::askYesNo(const QString &text) {
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), Shown(text),
                    QMessageBox::Yes | QMessageBox::No, m_parent);
    return box.exec() == QMessageBox::Yes;
}

bool QtDialogs::askYesNoDefaultNo(const QString &text) {
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), Shown(text),
                    QMessageBox::Yes | QMessageBox::No, m_parent);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

bool QtDialogs::askOkCancel(const QString &text) {
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), Shown(text),
                    QMessageBox::Ok | QMessageBox::Cancel, m_parent);
    return box.exec() == QMessageBox::Ok;
}

Dialogs::Choice QtDialogs::askYesNoCancel(const QString &text) {
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), Shown(text),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, m_parent);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Choice::Yes;
    case QMessageBox::No:
        return Choice::No;
    default:
        return Choice::Cancel; // Escape and the title bar's close button stay in the program
    }
}

std::optional<QString> QtDialogs::askText(const QString &caption, const QString &prompt,
                                          const QString &defaultText) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(m_parent, caption, prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok) {
        return std::nullopt;
    }
    return text;
}

std::optional<NetAddress> QtDialogs::askNetworkPort(const QString &caption,
                                                    const NetAddress &initial) {
    NetworkPortDialog dialog(caption, initial, m_parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.address();
}

QString QtDialogs::runFileDialog(QFileDialog &dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    const QString file = dialog.selectedFiles().first();
    m_lastFolder = QFileInfo(file).absolutePath();
    return file;
}

QString QtDialogs::askOpenFileName(const QString &filter, const QString &defaultSuffix) {
    const std::unique_ptr<QFileDialog> dialog = MakeFileDialog(
        m_parent, PlanFileDialog(filter, defaultSuffix, m_lastFolder, m_documentsFolder));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    return runFileDialog(*dialog);
}

QString QtDialogs::askSaveFileName(const QString &filter, const QString &defaultSuffix) {
    return askSaveFileName(filter, defaultSuffix, QString());
}

QString QtDialogs::askSaveFileName(const QString &filter, const QString &defaultSuffix,
                                   const QString &suggestedName) {
    const std::unique_ptr<QFileDialog> dialog = MakeFileDialog(
        m_parent, PlanFileDialog(filter, defaultSuffix, m_lastFolder, m_documentsFolder));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setOption(QFileDialog::DontConfirmOverwrite, false);
    dialog->setOption(QFileDialog::ReadOnly, false);
    dialog->setSizeGripEnabled(true);
    if (!suggestedName.isEmpty()) {
        dialog->selectFile(suggestedName);
    }
    const QString chosen = runFileDialog(*dialog);
    // The name as the system stores it, not a second suffix behind a dot the system drops.
    const QString saved = FileNames::SavedName(chosen, dialog->defaultSuffix());
    if (saved != chosen && QFileInfo::exists(saved)) {
        // The dialog asked about the name it had; the file really written is another.
        QMessageBox box(QMessageBox::Warning, QApplication::applicationName(),
                        QApplication::translate("QtDialogs",
                                                "%1 ist bereits vorhanden.\nMöchten Sie sie "
                                                "ersetzen?")
                            .arg(QDir::toNativeSeparators(saved)),
                        QMessageBox::Yes | QMessageBox::No, m_parent);
        box.setDefaultButton(QMessageBox::No);
        if (box.exec() != QMessageBox::Yes) {
            return QString();
        }
    }
    return saved;
}
