#include "gui/common/turntabledrawing.h"

#include "gui/common/colors.h"

#include <QFontMetrics>
#include <QPainter>
#include <QtMath>
#include <cmath>

namespace TurntableDrawing {

void DrawPit(QPainter &painter, const TurntableGeometry &g) {
    const QPaintDevice *surface = painter.device();
    painter.fillRect(QRect(0, 0, surface->width(), surface->height()), Colors::PictureBackground);
    painter.setPen(QPen(Colors::PictureOutline, 1));
    const int r38 = g.Radius(TurntableGeometry::RingOuter);
    const int r34 = g.Radius(TurntableGeometry::RingInner);
    painter.setBrush(Colors::PitRing);
    painter.drawEllipse(
        QRect(QPoint(g.cx() - r38, g.cy() - r38), QPoint(g.cx() + r38, g.cy() + r38)));
    painter.setBrush(Colors::PictureBackground);
    painter.drawEllipse(
        QRect(QPoint(g.cx() - r34, g.cy() - r34), QPoint(g.cx() + r34, g.cy() + r34)));
    for (int i = 1; i <= g.positions(); ++i) {
        const double a = g.TickAngle(i);
        painter.drawLine(g.Point(a, r34), g.Point(a, r38));
    }
}

void DrawTrack(QPainter &painter, const TurntableGeometry &g, int i, int penWidth) {
    const double a = g.PositionAngle(i);
    painter.setPen(QPen(Colors::TrackLine, penWidth));
    painter.drawLine(g.Point(a, g.Radius(TurntableGeometry::RingInner)),
                     g.Point(a, g.Radius(TurntableGeometry::TrackOuter)));
    painter.setPen(QPen(Colors::PictureOutline, 1));
    const QPoint anchor = g.Point(a, g.Radius(TurntableGeometry::NumberAnchor));
    const QString text = QString::number(i);
    // One line of digits, measured and written from its baseline: the same box and pixels as a
    // text laid out in a box at its top left, without the layout that costs most of a redraw.
    const QFontMetricsF metrics(painter.font());
    const QRect box(QPoint(anchor.x() - 5, anchor.y() - 5),
                    QSize(qCeil(metrics.horizontalAdvance(text)), qCeil(metrics.height())));
    painter.fillRect(box, Colors::PictureBackground); // the number is written opaque
    painter.drawText(QPointF(box.left(), box.top() + metrics.ascent()), text);
}

bool HasOwnName(int i, const QString &name) {
    const QString trimmed = name.trimmed();
    return !trimmed.isEmpty() && trimmed != QString::number(i);
}

QString PositionCaption(int i, const QString &name) {
    return HasOwnName(i, name) ? QStringLiteral("%1: %2").arg(i).arg(name.trimmed())
                               : QString::number(i);
}

void DrawName(QPainter &painter, const TurntableGeometry &g, int i, const QString &name) {
    constexpr float NameRadius = 30.0f;
    constexpr int LeastRoom = 24; // pixels: less shows no useful part of a name
    if (!HasOwnName(i, name)) {
        return;
    }
    const int r = g.Radius(NameRadius);
    // The arc between two neighbouring positions at that radius.
    const int room = static_cast<int>(TurntableGeometry::TwoPi * r / g.positions()) - 4;
    const QFontMetrics metrics(painter.font());
    const QString shown = metrics.elidedText(name.trimmed(), Qt::ElideRight, room);
    if (room < LeastRoom || shown.isEmpty() || shown == QStringLiteral("…")) {
        return;
    }
    const QPoint centre = g.Point(g.PositionAngle(i), r);
    QRect box(QPoint(0, 0), metrics.size(0, shown));
    box.moveCenter(centre);
    painter.setPen(QPen(Colors::PictureOutline, 1));
    painter.drawText(box, Qt::AlignCenter, shown);
}

void DrawSwitchLine(QPainter &painter, const TurntableGeometry &g, int penWidth) {
    const double a = g.SwitchAngle();
    const int r = g.Radius(TurntableGeometry::SwitchHalf);
    painter.setPen(QPen(Colors::SwitchLine, penWidth));
    painter.drawLine(g.Point(a, r), g.Opposite(a, r));
    painter.setPen(QPen(Colors::PictureOutline, 1));
}

} // namespace TurntableDrawing
