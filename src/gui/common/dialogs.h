#pragma once

#include "comm/netaddress.h"

#include <QString>
#include <functional>
#include <optional>

class QPagedPaintDevice;

// The one seam for modal boxes: the program passes QtDialogs, tests pass a scripted one.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Error icon, OK button; caption is the window title.
    virtual void showError(const QString &caption, const QString &text) = 0;
    // Warning icon, a single Cancel button.
    virtual void showWarning(const QString &text) = 0;
    // Plain box with OK.
    virtual void showMessage(const QString &text) = 0;
    // Warning icon; true for Yes.
    virtual bool askYesNo(const QString &text) = 0;
    // Warning icon; true for OK.
    virtual bool askOkCancel(const QString &text) = 0;
    // Input dialog; std::nullopt when cancelled.
    virtual std::optional<QString> askText(const QString &caption, const QString &prompt,
                                           const QString &defaultText) = 0;
    // File dialogs with the filter and default suffix; empty when cancelled.
    virtual QString askOpenFileName(const QString &filter, const QString &defaultSuffix) = 0;
    virtual QString askSaveFileName(const QString &filter, const QString &defaultSuffix) = 0;
    // The same with the name field filled in with suggestedName (a name without a folder).
    virtual QString askSaveFileName(const QString &filter, const QString &defaultSuffix,
                                    const QString &suggestedName) {
        (void)suggestedName;
        return askSaveFileName(filter, defaultSuffix);
    }

    // The same before something is written to the controller: "Nein" is the default, so that a
    // hasty Enter writes nothing.
    virtual bool askYesNoDefaultNo(const QString &text) { return askYesNo(text); }
    // Adds a line to the error box that is open (the line came back while the user reads of its
    // loss); nothing when no box is open.
    virtual void noteOnOpenBox(const QString &text) { (void)text; }

    enum class Choice { Yes, No, Cancel };
    // Warning icon; "Ja", "Nein" and "Abbrechen". A seam that does not ask answers Cancel, which
    // changes nothing and loses nothing.
    virtual Choice askYesNoCancel(const QString &text) {
        (void)text;
        return Choice::Cancel;
    }

    // The box about the program: caption, the lines of text, the program's icon and OK. A seam
    // without such a box shows the text as a plain message.
    virtual void showAbout(const QString &caption, const QString &text) {
        (void)caption;
        showMessage(text);
    }
    // Host, port and protocol of a serial bridge on the network, starting from initial; nothing
    // when cancelled (a seam without such a dialog cancels).
    virtual std::optional<NetAddress> askNetworkPort(const QString &caption,
                                                     const NetAddress &initial) {
        (void)caption;
        (void)initial;
        return std::nullopt;
    }
    // The print preview with its page setup and print dialog; paint paints every page on the
    // printer it is given, A4 portrait. A seam without a printer prints nothing.
    virtual void showPrintPreview(const QString &caption,
                                  const std::function<void(QPagedPaintDevice &)> &paint) {
        (void)caption;
        (void)paint;
    }
};
