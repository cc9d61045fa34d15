#include "turntabledrawing.h"

#include "colors.h"

#include <QFontMetrics>
#include <QPainter>
#include <cmath>

TurntableGeometry::TurntableGeometry(int width, int height, int positionCount, int zeroOffset,
                                     bool reversed)
    : m_width(width), m_height(height), m_n(positionCount < 1 ? 10 : positionCount),
      // Whole turns of the offset change nothing; reducing them keeps the rounding identical.
      m_offset(((zeroOffset % m_n) + m_n) % m_n), m_reversed(reversed), m_sx(float(width) * 0.01f),
      m_sy(float(height) * 0.01f), m_cx(int(50.0f * m_sx)), m_cy(int(50.0f * m_sy)) {}

int TurntableGeometry::Radius(float percent) const {
    return int(percent * m_sx);
}

double TurntableGeometry::SlotAngle(float numerator) const {
    const float fraction = numerator / float(m_n);
    const double angle = TwoPi * double(fraction);
    return m_reversed ? -angle : angle;
}

double TurntableGeometry::TickAngle(int i) const {
    return TwoPi * double((float(i) + 0.5f) / float(m_n));
}

QPoint TurntableGeometry::Point(double angle, int radius) const {
    return QPoint(int(m_cx + std::cos(angle) * radius), int(m_cy + std::sin(angle) * radius));
}

QPoint TurntableGeometry::Opposite(double angle, int radius) const {
    return QPoint(int(m_cx - std::cos(angle) * radius), int(m_cy - std::sin(angle) * radius));
}

QPoint TurntableGeometry::ButtonTopLeft(int i, QSize buttonSize, QPoint pictureTopLeft) const {
    const QPoint p = Point(PositionAngle(i), Radius(ButtonAnchor));
    return QPoint(pictureTopLeft.x() + p.x() - buttonSize.width() / 2,
                  pictureTopLeft.y() + p.y() + buttonSize.height() - 20);
}

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
    const QFontMetrics metrics(painter.font());
    const QRect box(QPoint(anchor.x() - 5, anchor.y() - 5), metrics.size(0, text));
    painter.fillRect(box, Colors::PictureBackground); // the number is written opaque
    painter.drawText(box, Qt::AlignLeft | Qt::AlignTop, text);
}

void DrawSwitchLine(QPainter &painter, const TurntableGeometry &g, int penWidth) {
    const double a = g.SwitchAngle();
    const int r = g.Radius(TurntableGeometry::SwitchHalf);
    painter.setPen(QPen(Colors::SwitchLine, penWidth));
    painter.drawLine(g.Point(a, r), g.Opposite(a, r));
    painter.setPen(QPen(Colors::PictureOutline, 1));
}

} // namespace TurntableDrawing
