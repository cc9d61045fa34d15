#pragma once

#include "turntablegeometry.h"

class QPainter;

// The drawing steps both pictures share. Pen widths that differ between the pictures are
// parameters.
namespace TurntableDrawing {

// White background, grey ring between 34 and 38 percent outlined in black, white inside, and a
// tick between every two neighbouring positions.
void DrawPit(QPainter &painter, const TurntableGeometry &g);
// The red stroke of position i from 34 to 40 percent and its number at 42 percent.
void DrawTrack(QPainter &painter, const TurntableGeometry &g, int i, int penWidth);
// The blue line across the pit where the track polarity changes over.
void DrawSwitchLine(QPainter &painter, const TurntableGeometry &g, int penWidth);

} // namespace TurntableDrawing
