#pragma once

// Dialogs for tests: records every box and answers from prepared lists, so no test ever waits
// for a user.

#include "dialogs.h"

#include <QList>
#include <QStringList>

class ScriptedDialogs : public Dialogs {
public:
    struct Call {
        QString kind; // error, warning, message, yesno, okcancel, yesnocancel, text, open, save
        QString caption;
        QString text;
    };

    QList<Call> calls;
    QList<bool> answers;   // for askYesNo and askOkCancel; default false
    QStringList texts;     // for askText; none left means cancelled
    QStringList fileNames; // for the file dialogs; none left means cancelled
    QList<Choice> choices; // for askYesNoCancel; none left means Cancel

    void showError(const QString &caption, const QString &text) override {
        calls.append({QStringLiteral("error"), caption, text});
    }
    void showWarning(const QString &text) override {
        calls.append({QStringLiteral("warning"), QString(), text});
    }
    void showMessage(const QString &text) override {
        calls.append({QStringLiteral("message"), QString(), text});
    }
    bool askYesNo(const QString &text) override {
        calls.append({QStringLiteral("yesno"), QString(), text});
        return answers.isEmpty() ? false : answers.takeFirst();
    }
    bool askOkCancel(const QString &text) override {
        calls.append({QStringLiteral("okcancel"), QString(), text});
        return answers.isEmpty() ? false : answers.takeFirst();
    }
    Choice askYesNoCancel(const QString &text) override {
        calls.append({QStringLiteral("yesnocancel"), QString(), text});
        return choices.isEmpty() ? Choice::Cancel : choices.takeFirst();
    }
    std::optional<QString> askText(const QString &caption, const QString &prompt,
                                   const QString &) override {
        calls.append({QStringLiteral("text"), caption, prompt});
        if (texts.isEmpty()) {
            return std::nullopt;
        }
        return texts.takeFirst();
    }
    QString askOpenFileName(const QString &filter, const QString &) override {
        calls.append({QStringLiteral("open"), QString(), filter});
        return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
    }
    QString askSaveFileName(const QString &filter, const QString &) override {
        calls.append({QStringLiteral("save"), QString(), filter});
        return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
    }

    int count(const QString &kind) const {
        int n = 0;
        for (const Call &c : calls) {
            n += c.kind == kind ? 1 : 0;
        }
        return n;
    }
};
