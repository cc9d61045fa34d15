#pragma once

#include <QPoint>
#include <QSize>

// The geometry of the turntable picture that the operation and the definition tab share: centre
// and radii in percent of the picture width, the angles of positions, ticks and switch line.
// Every conversion to a pixel truncates toward zero.
class TurntableGeometry {
public:
    static constexpr double TwoPi = 6.283185307179586;
    // Radii in percent of the picture width.
    static constexpr float RingInner = 34.0f;
    static constexpr float RingOuter = 38.0f;
    static constexpr float TrackOuter = 40.0f;
    static constexpr float NumberAnchor = 42.0f;
    static constexpr float SwitchHalf = 43.0f;
    static constexpr float ButtonAnchor = 47.0f;

    // A number of positions below 1 is drawn as 10.
    TurntableGeometry(int width, int height, int positionCount, int zeroOffset, bool reversed);

    int width() const { return m_width; }
    int height() const { return m_height; }
    int positions() const { return m_n; }
    int zeroOffset() const { return m_offset; }
    bool reversed() const { return m_reversed; }
    int cx() const { return m_cx; }
    int cy() const { return m_cy; }

    int Radius(float percent) const;
    // The angle of a fraction numerator/N of a turn (single-precision fraction, double angle),
    // negated when counting is reversed.
    double SlotAngle(float numerator) const;
    // Angle of the position line of position i (1..N), with the zero offset.
    double PositionAngle(int i) const { return SlotAngle(float(i + m_offset)); }
    // Ticks between neighbouring positions ignore offset and counting direction.
    double TickAngle(int i) const;
    double SwitchAngle() const { return SlotAngle(float(m_offset) + 0.5f); }

    QPoint Point(double angle, int radius) const;
    // The point opposite Point(angle, radius) through the centre.
    QPoint Opposite(double angle, int radius) const;

    // Top left of position button i centred on the button radius, in the parent's coordinates.
    QPoint ButtonTopLeft(int i, QSize buttonSize, QPoint pictureTopLeft) const;

private:
    int m_width;
    int m_height;
    int m_n;
    int m_offset;
    bool m_reversed;
    float m_sx;
    float m_sy;
    int m_cx;
    int m_cy;
};
