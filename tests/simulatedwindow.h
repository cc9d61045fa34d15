#pragma once

// The main window connected on COM5 to a simulated controller of the test's own, in process and in
// real time.

#include "scripteddialogs.h"
#include "simport.h"
#include "testutil.h"
#include "tfrmmain.h"

#include <QTemporaryDir>
#include <memory>

struct SimulatedWindow {
    explicit SimulatedWindow(const SimOptions &options = {},
                             const QByteArray &settings = QByteArray())
        : sim(std::make_shared<Simulator>(options)) {
        TestUtil::WriteFile(dir.filePath("pivota.ini"),
                            "[SETTINGS]\nCOM-Port=5\n" + settings + "\n[Ports]\nCOM5=simulator\n");
        window = std::make_unique<TfrmMain>(dir.filePath("pivota.ini"), dialogs);
        window->port().setDeviceFactory(
            [s = sim](const QString &) { return std::make_unique<SimulatorPortDevice>(s); });
    }

    TfrmMain &w() { return *window; }

    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    std::shared_ptr<Simulator> sim;
    std::unique_ptr<TfrmMain> window;
};
