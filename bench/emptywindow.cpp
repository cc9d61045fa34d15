// A main window of Pivota's default size with six empty tab pages, open until it is ended: the
// start-up yardstick for bench/run.sh, which watches on the X display for its first complete
// frame.

#include <QApplication>
#include <QMainWindow>
#include <QTabWidget>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("empty"));
    window.resize(1000, 670);
    auto *pages = new QTabWidget(&window);
    for (const char *caption : {"Betrieb", "Gleis-Definition / Adressen", "Parameter", "Diagnose",
                                "EEprom", "Einstellungen"}) {
        pages->addTab(new QWidget, QString::fromUtf8(caption));
    }
    window.setCentralWidget(pages);
    window.show();
    return app.exec();
}
