#pragma once

#include "dialogs.h"

class QWidget;

// Dialogs on Qt's standard boxes.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget *parent = nullptr) : m_parent(parent) {}
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
    Choice askYesNoCancel(const QString &text) override;

private:
    QWidget *m_parent = nullptr;
};
