// pivota-tabshots SETTINGS FOLDER: pictures of every tab of the window for docs/building.md, as the
// Windows build shows them. The window opens on SETTINGS (the built-in simulator on COM5 at the
// "Debug" level, so that every tab is there), connects, and after the simulated boards have
// reported for a while each tab is written to FOLDER/windows-<n>-<tab>.png.

#include "gui/window/qtdialogs.h"
#include "gui/window/tfrmmain.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QRegularExpression>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <functional>

namespace {
// Whether a picture holds anything but one colour (a screen that could not be read is black).
bool HasContent(const QImage &image) {
    if (image.isNull()) {
        return false;
    }
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); y += 7) {
        for (int x = 0; x < image.width(); x += 7) {
            if (image.pixel(x, y) != first) {
                return true;
            }
        }
    }
    return false;
}

// The window's client area as the screen shows it (on Xvfb there is no window manager, so no
// frame), or as the window paints itself where the screen cannot be read.
QImage Picture(TfrmMain &window) {
    const QRect area = window.geometry();
    QImage image =
        window.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
    return HasContent(image) ? image : window.grab().toImage();
}

QString FileName(int index, const QString &tab) {
    QString name = tab.toLower();
    name.replace(QLatin1Char(' '), QLatin1Char('-'));
    name.remove(QRegularExpression(QStringLiteral("[^a-z0-9-]")));
    name.replace(QRegularExpression(QStringLiteral("-+")), QStringLiteral("-"));
    return QStringLiteral("windows-%1-%2.png").arg(index + 1).arg(name);
}
} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: pivota-tabshots SETTINGS FOLDER\n");
        return 2;
    }
    const QDir out(args.at(2));
    QtDialogs dialogs;
    TfrmMain window(args.at(1), dialogs);
    window.show();
    auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("PageControl1"));
    if (!tabs) {
        return 1;
    }
    int index = -1;
    int written = 0;
    std::function<void()> next = [&] {
        if (index >= 0 && tabs->isTabVisible(index)) {
            const QString file = out.filePath(FileName(index, tabs->tabText(index)));
            // Best compression: the pictures go into the repository.
            if (Picture(window).save(file, "PNG", 0)) {
                std::printf("%s\n", qPrintable(file));
                ++written;
            }
        }
        ++index;
        while (index < tabs->count() && !tabs->isTabVisible(index)) {
            ++index;
        }
        if (index >= tabs->count()) {
            window.btnStopClick();
            app.exit(written > 0 ? 0 : 1);
            return;
        }
        tabs->setCurrentIndex(index);
        QTimer::singleShot(1500, &window, next); // the tab's first reads and its pictures
    };
    QTimer::singleShot(1000, &window, [&] {
        window.btnStartClick();
        QTimer::singleShot(3000, &window, next);
    });
    return app.exec();
}
