// pivota-manualshots [--lang de|en] [--translations FOLDER] FOLDER: the pictures of the window's
// tabs for the user manual, drawn by this build, so that the manual never shows another window
// than the program's. The window opens offscreen on settings of its own (the built-in simulator
// on COM5 at the "Debug" level, so that every tab is there), connects, and does on each tab what
// the manual tells of: the bridge turns to a target, the addresses and the parameters are read
// and one of each is changed, a recording runs. Each tab is then written to
// FOLDER/<section>.png, the name of its section in the manual (Manual::TabSections).
//
// Each step waits for what it needs (the boards' first report, the end of a read) with a generous
// limit. A step whose limit passes is named on standard error and its picture is written all the
// same: a slow or busy machine gives a picture of a step not quite done, never a failed build.
// The tool fails only when the window lacks its tabs or a picture cannot be written.

#include "core/settings/language.h"
#include "gui/common/dialogs.h"
#include "gui/help/manual.h"
#include "gui/window/tfrmmain.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPixmap>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>

namespace {
// Every step of the simulated controller takes well below this, even on a busy machine.
constexpr int StepLimitMs = 60000;
// Housekeeping ticks (200 ms each) that a tab is given to show what came in before its picture.
constexpr int SettleTicks = 3;
// How long the recording of the diagnosis tab runs before its picture, in housekeeping ticks.
constexpr int RecordTicks = 25;

void Say(const QString &text) {
    std::fprintf(stderr, "pivota-manualshots: %s\n", qPrintable(text));
}

// Boxes answer what changes nothing and are named on standard error: none is expected.
class QuietDialogs : public Dialogs {
public:
    void showError(const QString &caption, const QString &text) override {
        Say(caption + QStringLiteral(": ") + text);
    }
    void showWarning(const QString &text) override { Say(text); }
    void showMessage(const QString &text) override { Say(text); }
    bool askYesNo(const QString &text) override { return Refused(text); }
    bool askOkCancel(const QString &text) override { return Refused(text); }
    std::optional<QString> askText(const QString &, const QString &prompt,
                                   const QString &) override {
        Refused(prompt);
        return std::nullopt;
    }
    QString askOpenFileName(const QString &, const QString &) override { return QString(); }
    QString askSaveFileName(const QString &, const QString &) override { return QString(); }

private:
    static bool Refused(const QString &text) {
        Say(text);
        return false;
    }
};

// Runs the event loop until done holds or the limit passes; says which step did not finish.
bool WaitFor(const char *step, const std::function<bool()> &done, int limitMs = StepLimitMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limitMs) {
            Say(QStringLiteral("%1: not done after %2 s, the picture shows it unfinished")
                    .arg(QLatin1String(step))
                    .arg(limitMs / 1000));
            return false;
        }
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

void WaitTicks(TfrmMain &window, int ticks) {
    const int from = window.housekeepingRuns();
    WaitFor("housekeeping", [&] { return window.housekeepingRuns() >= from + ticks; });
}

template <typename T> T *Find(QWidget *in, const char *name) {
    T *found = in ? in->findChild<T *>(QLatin1String(name)) : nullptr;
    if (!found) {
        Say(QStringLiteral("no %1 in the window").arg(QLatin1String(name)));
    }
    return found;
}

// Clicks a transfer's button and waits until the transfer ended: its report replaced the status
// line, and the button shows its own caption again (the definition tab's reads "Abbruch"
// meanwhile).
void RunTransfer(const char *step, TfrmMain &window, QAbstractButton *button) {
    if (!button) {
        return;
    }
    WaitFor(step, [&] { return button->isEnabled(); });
    const QString caption = button->text();
    const QString status = window.statusText();
    button->click();
    WaitFor(step, [&] {
        return window.statusText() != status && button->isEnabled() && button->text() == caption;
    });
}
} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    QString languageCode = QStringLiteral("de");
    QStringList translationFolders;
    QString outFolder;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        if (arg == QLatin1String("--lang") && !args.isEmpty()) {
            languageCode = args.takeFirst();
        } else if (arg == QLatin1String("--translations") && !args.isEmpty()) {
            translationFolders << args.takeFirst();
        } else if (outFolder.isEmpty() && !arg.startsWith(QLatin1Char('-'))) {
            outFolder = arg;
        } else {
            outFolder.clear();
            break;
        }
    }
    const std::optional<Language> language = ParseLanguage(languageCode);
    if (outFolder.isEmpty() || !language) {
        std::fprintf(stderr, "usage: pivota-manualshots [--lang de|en] [--translations FOLDER] "
                             "FOLDER\n");
        return 2;
    }
    // The interface and its numbers in the manual's language, as the program chooses them.
    QLocale::setDefault(*language == Language::English
                            ? QLocale(QLocale::English, QLocale::UnitedKingdom)
                            : QLocale(QLocale::German, QLocale::Germany));
    if (!InstallTranslations(app, *language, translationFolders) &&
        *language == Language::English) {
        Say(QStringLiteral("the English texts were not found in %1")
                .arg(translationFolders.join(QLatin1Char(' '))));
        return 1;
    }
    const QDir out(outFolder);
    if (!out.mkpath(QStringLiteral("."))) {
        Say(QStringLiteral("cannot make %1").arg(outFolder));
        return 1;
    }

    // The demo settings (run.sh), with a short send interval so that the reads take seconds.
    QTemporaryDir settingsFolder;
    const QString settingsPath = settingsFolder.filePath(QStringLiteral("pivota.ini"));
    QFile settings(settingsPath);
    if (!settingsFolder.isValid() || !settings.open(QIODevice::WriteOnly) ||
        settings.write("[SETTINGS]\nCOM-Port=5\nBenutzer=Debug\nInterval_Senden=2\n\n"
                       "[Ports]\nCOM5=simulator\n") < 0) {
        Say(QStringLiteral("cannot write the settings %1").arg(settingsPath));
        return 1;
    }
    settings.close();

    QuietDialogs dialogs;
    TfrmMain window(settingsPath, dialogs);
    window.show();
    auto *tabs = Find<QTabWidget>(&window, "PageControl1");
    if (!tabs || tabs->count() != int(Manual::TabSections.size())) {
        return 1;
    }
    int written = 0;
    const auto picture = [&](int tab) {
        tabs->setCurrentIndex(tab);
        WaitTicks(window, SettleTicks);
        const QString file =
            out.filePath(QLatin1String(Manual::TabSections[size_t(tab)]) + QStringLiteral(".png"));
        if (window.grab().save(file, "PNG")) {
            ++written;
        } else {
            Say(QStringLiteral("cannot write %1").arg(file));
        }
    };
    const auto page = [&](int tab) {
        return tabs->findChild<QWidget *>(QStringLiteral("TabSheet%1").arg(tab + 1));
    };

    // Connected, the bridge standing: its state is known and the drive buttons work.
    window.btnStartClick();
    auto *left = Find<QAbstractButton>(page(0), "btn_left");
    auto *actual = Find<QLabel>(page(0), "pnl_IstPosition_int");
    if (!left || !actual) {
        return 1;
    }
    WaitFor("first report", [&] { return left->isEnabled(); });

    // "Betrieb": position 10 chosen as the target, the bridge on its way there.
    tabs->setCurrentIndex(0);
    if (auto *target = Find<QAbstractButton>(page(0), "PositionButton10")) {
        target->click();
    }
    const QString start = actual->text();
    left->click();
    WaitFor("turn", [&] { return !left->isEnabled() && actual->text() != start; });
    picture(0);
    WaitFor("turn's end", [&] { return left->isEnabled(); });

    // "Gleis-Definition / Adressen": the addresses read (green), then one row changed (yellow).
    tabs->setCurrentIndex(1);
    RunTransfer("addresses", window, Find<QAbstractButton>(page(1), "btn_read_adr"));
    if (auto *rg = Find<QAbstractButton>(page(1), "btn_rg_6")) {
        rg->click();
    }
    picture(1);

    // "Parameter": the values read (green), then one changed (yellow).
    tabs->setCurrentIndex(2);
    RunTransfer("parameters", window, Find<QAbstractButton>(page(2), "btn_read_values"));
    if (auto *edit = Find<QLineEdit>(page(2), "edt_para_2")) {
        edit->setText(QString::number(edit->text().toInt() > 60 ? 60 : 80));
    }
    picture(2);

    // "Diagnose": a few seconds of recording.
    tabs->setCurrentIndex(3);
    if (auto *record = Find<QAbstractButton>(page(3), "btn_run")) {
        record->click();
        WaitTicks(window, RecordTicks);
    }
    picture(3);

    // "EEprom": both boards' cells as the reads above brought them.
    tabs->setCurrentIndex(4);
    if (auto *update = Find<QAbstractButton>(page(4), "btn_update")) {
        update->click();
    }
    picture(4);

    // "Einstellungen": the settings file named where an installed program keeps it, not in the
    // temporary folder of this run.
    tabs->setCurrentIndex(5);
    if (auto *file = Find<QLabel>(page(5), "lbl_settings_file")) {
#ifdef Q_OS_WIN
        const QString shown = QStringLiteral("%APPDATA%\\Pivota\\pivota.ini");
#else
        const QString shown = QStringLiteral("~/.config/pivota/pivota.ini");
#endif
        file->setText(file->text().section(QLatin1Char('\n'), 0, 0) + QLatin1Char('\n') + shown);
    }
    picture(5);

    window.btnStopClick();
    return written == tabs->count() ? 0 : 1;
}
