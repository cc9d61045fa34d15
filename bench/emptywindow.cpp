// A main window of Pivota's default size with six empty tab pages. Writes "paint <ms>" (steady
// clock) to the file named by PIVOTA_BENCH_LOG once its first frame is complete and ends: the
// start-up yardstick for bench/run.sh.

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QTabWidget>
#include <QTimer>
#include <chrono>
#include <cstdio>

namespace {
class FirstPaint : public QObject {
public:
    explicit FirstPaint(QWidget *window) : m_window(window) {}
    bool eventFilter(QObject *watched, QEvent *event) override {
        const auto *widget = qobject_cast<QWidget *>(watched);
        if (!m_done && event->type() == QEvent::Paint && widget && widget->window() == m_window) {
            m_done = true;
            // Every widget of the first paint has drawn by the next turn of the event loop.
            QTimer::singleShot(0, qApp, [] {
                const double ms = std::chrono::duration<double, std::milli>(
                                      std::chrono::steady_clock::now().time_since_epoch())
                                      .count();
                if (std::FILE *out = std::fopen(qgetenv("PIVOTA_BENCH_LOG").constData(), "w")) {
                    std::fprintf(out, "paint %.3f\n", ms);
                    std::fclose(out);
                }
                QCoreApplication::quit();
            });
        }
        return false;
    }

private:
    QWidget *m_window;
    bool m_done = false;
};
} // namespace

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
    FirstPaint probe(&window);
    app.installEventFilter(&probe);
    window.show();
    return app.exec();
}
