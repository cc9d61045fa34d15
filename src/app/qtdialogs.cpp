#include "qtdialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace {
// The boxes of the program carry the application title; "\r" line breaks come from texts that
// were written for the Windows version.
QString Shown(const QString &text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    return t;
}

QFileDialog *MakeFileDialog(QWidget *parent, const QString &filter, const QString &suffix) {
    // The filter comes as "Name|pattern|Name|pattern"; Qt wants "Name (pattern);;...".
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        filters << QStringLiteral("%1 (%2)").arg(parts.at(i), parts.at(i + 1));
    }
    auto *dialog = new QFileDialog(parent);
    dialog->setNameFilters(filters);
    dialog->setDefaultSuffix(suffix);
    return dialog;
}
} // namespace

void QtDialogs::showError(const QString &caption, const QString &text) {
    QMessageBox box(QMessageBox::Critical, caption, Shown(text), QMessageBox::Ok, m_parent);
    box.exec();
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

bool QtDialogs::askYesNo(const QString &text) {
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), Shown(text),
                    QMessageBox::Yes | QMessageBox::No, m_parent);
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

QString QtDialogs::askOpenFileName(const QString &filter, const QString &defaultSuffix) {
    std::unique_ptr<QFileDialog> dialog(MakeFileDialog(m_parent, filter, defaultSuffix));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog->selectedFiles().first();
}

QString QtDialogs::askSaveFileName(const QString &filter, const QString &defaultSuffix) {
    std::unique_ptr<QFileDialog> dialog(MakeFileDialog(m_parent, filter, defaultSuffix));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setOption(QFileDialog::DontConfirmOverwrite, false);
    dialog->setOption(QFileDialog::ReadOnly, false);
    dialog->setSizeGripEnabled(true);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog->selectedFiles().first();
}
