#include "qtdialogs.h"
#include "settingsfile.h"
#include "tfrmmain.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pivota"));

    QtDialogs dialogs;
    TfrmMain window(SettingsPathFor(QCoreApplication::applicationFilePath()), dialogs);
    dialogs.setParent(&window);
    window.show();
    return app.exec();
}
