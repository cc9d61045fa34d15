#include "core/settings/windowplacement.h"

#include <algorithm>
#include <climits>

namespace {
QRect WithDecoration(const QRect &client) {
    // The decoration extends right and down from the frame's top left.
    return QRect(client.topLeft(), QSize(client.width() + WindowPlacement::Decoration.left() +
                                             WindowPlacement::Decoration.right(),
                                         client.height() + WindowPlacement::Decoration.top() +
                                             WindowPlacement::Decoration.bottom()));
}

qint64 Area(const QRect &r) {
    return r.isValid() ? qint64(r.width()) * r.height() : 0;
}

// Squared distance between two rectangles (0 when they touch or overlap).
qint64 Distance(const QRect &a, const QRect &b) {
    const qint64 dx = std::max({0, b.left() - a.right(), a.left() - b.right()});
    const qint64 dy = std::max({0, b.top() - a.bottom(), a.top() - b.bottom()});
    return dx * dx + dy * dy;
}
} // namespace

QRect WindowPlacement::Fit(const QRect &stored, const QList<QRect> &screens) {
    if (screens.isEmpty()) {
        return stored;
    }
    const QRect outer = WithDecoration(stored);
    for (const QRect &screen : screens) {
        if (screen.contains(outer)) {
            return stored;
        }
    }
    // The screen that shows most of the window, or else the nearest one.
    const QRect *best = nullptr;
    qint64 bestArea = 0;
    for (const QRect &screen : screens) {
        const qint64 area = Area(screen.intersected(outer));
        if (area > bestArea) {
            bestArea = area;
            best = &screen;
        }
    }
    if (!best) {
        qint64 nearest = LLONG_MAX;
        for (const QRect &screen : screens) {
            const qint64 d = Distance(screen, outer);
            if (d < nearest) {
                nearest = d;
                best = &screen;
            }
        }
    }
    const QRect &screen = *best;
    const int decoW = Decoration.left() + Decoration.right();
    const int decoH = Decoration.top() + Decoration.bottom();
    const int w = std::max(1, std::min(stored.width(), screen.width() - decoW));
    const int h = std::max(1, std::min(stored.height(), screen.height() - decoH));
    const int x = std::clamp(stored.x(), screen.left(),
                             std::max(screen.left(), screen.left() + screen.width() - w - decoW));
    const int y = std::clamp(stored.y(), screen.top(),
                             std::max(screen.top(), screen.top() + screen.height() - h - decoH));
    return QRect(x, y, w, h);
}

QSize WindowPlacement::MinimumSize(const QRect &screen) {
    if (!screen.isValid()) {
        return ControlsMinimum;
    }
    const QSize room(screen.width() - Decoration.left() - Decoration.right(),
                     screen.height() - Decoration.top() - Decoration.bottom());
    return ControlsMinimum.boundedTo(room.expandedTo(QSize(1, 1)));
}

WindowPlacement::Placement WindowPlacement::Place(QSize stored, QPoint topLeft,
                                                  const QList<Screen> &screens, int primary) {
    int w = stored.width();
    int h = stored.height();
    if (w < SmallestMeant.width() || h < SmallestMeant.height()) {
        w = ProgramSettings::DefaultWidth;
        h = ProgramSettings::DefaultHeight;
    }
    // A stored size beyond the screen (a damaged file holds 2147483647) would overflow the
    // placement arithmetic and ask for a picture of gigabytes. No screen is larger than the
    // largest one.
    QSize largest = SmallestMeant;
    QList<QRect> available;
    for (const Screen &screen : screens) {
        largest = largest.expandedTo(screen.available.size());
        available.append(screen.available);
    }
    w = std::min(w, largest.width());
    h = std::min(h, largest.height());
    constexpr int FarAway = 1 << 20; // keeps left + width within an int
    const QPoint place(std::clamp(topLeft.x(), -FarAway, FarAway),
                       std::clamp(topLeft.y(), -FarAway, FarAway));
    const QSize size = QSize(w, h).expandedTo(ControlsMinimum);
    // A window stored wholly or partly off the screens comes back wholly onto the nearest one.
    Placement result;
    result.rect = Fit(QRect(place, size), available);
    const Screen *landed = nullptr;
    for (const Screen &screen : screens) {
        if (screen.geometry.contains(result.rect.center())) {
            landed = &screen;
            break;
        }
    }
    if (!landed && primary >= 0 && primary < screens.size()) {
        landed = &screens[primary];
    }
    result.minimum = MinimumSize(landed ? landed->available : QRect());
    return result;
}
