#include "core/definition/turntablegeometry.h"

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
