#pragma once

#include "gui/common/dialogs.h"

#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <memory>

class QFileDialog;
class QWidget;

// What a file dialog starts with, decided without a dialog: the folder it shows, the name filters
// it offers (the first one chosen) and the suffix a typed name without one gets where the chosen
// filter names none of its own (see SuffixForFilter).
struct FileDialogStart {
    QString folder;
    QStringList nameFilters;
    QString defaultSuffix;
};

// filter is in Qt's form, "PVT (*.pvt);;TXT (*.txt);;Alle Dateien (*)". The dialog opens in
// lastFolder, the folder of the file chosen last in this run, while that still exists; else in
// documentsFolder (the first time), or the home folder where there is no documents folder.
FileDialogStart PlanFileDialog(const QString &filter, const QString &defaultSuffix,
                               const QString &lastFolder, const QString &documentsFolder);

// The suffix for a name typed under nameFilter: the filter's own when its first pattern is one
// ("TXT (*.txt)" gives "txt"), else defaultSuffix (for "Alle Dateien (*)").
QString SuffixForFilter(const QString &nameFilter, const QString &defaultSuffix);

// A file dialog set up from start; choosing another filter changes the default suffix with it.
std::unique_ptr<QFileDialog> MakeFileDialog(QWidget *parent, const FileDialogStart &start);

// Dialogs on Qt's standard boxes.
class QtDialogs : public Dialogs {
public:
    // The file dialogs first open in the user's documents folder.
    explicit QtDialogs(QWidget *parent = nullptr);
    void setParent(QWidget *parent) { m_parent = parent; }

    void showError(const QString &caption, const QString &text) override;
    void showWarning(const QString &text) override;
    void showMessage(const QString &text) override;
    bool askYesNo(const QString &text) override;
    bool askOkCancel(const QString &text) override;
    std::optional<QString> askText(const QString &caption, const QString &prompt,
                                   const QString &defaultText) override;
    QString askOpenFileName(const QString &filter, const QString &defaultSuffix) override;
    QString askSaveFileName(const QString &filter, const QString &defaultSuffix) override;
    QString askSaveFileName(const QString &filter, const QString &defaultSuffix,
                            const QString &suggestedName) override;
    Choice askYesNoCancel(const QString &text) override;
    bool askYesNoDefaultNo(const QString &text) override;
    void noteOnOpenBox(const QString &text) override;
    void showAbout(const QString &caption, const QString &text) override;
    void showPrintPreview(const QString &caption,
                          const std::function<void(QPagedPaintDevice &)> &paint) override;
    std::optional<NetAddress> askNetworkPort(const QString &caption,
                                             const NetAddress &initial) override;

private:
    // Runs a file dialog; the folder of an accepted file is where the next one opens.
    QString runFileDialog(QFileDialog &dialog);

    QWidget *m_parent = nullptr;
    QString m_documentsFolder;
    QString m_lastFolder;
    QPointer<QMessageBox> m_openError; // the error box that is open, innermost first
};
