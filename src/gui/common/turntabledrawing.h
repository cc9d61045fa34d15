#pragma once

#include "core/definition/turntablegeometry.h"

#include <QString>

class QPainter;

// The drawing steps both pictures share. Pen widths that differ between the pictures are
// parameters.
namespace TurntableDrawing {

// White background, grey ring between 34 and 38 percent outlined in black, white inside, and a
// tick between every two neighbouring positions.
void DrawPit(QPainter &painter, const TurntableGeometry &g);
// The red stroke of position i from 34 to 40 percent and its number at 42 percent.
void DrawTrack(QPainter &painter, const TurntableGeometry &g, int i, int penWidth);
// The name of position i, when it has one of its own (not just its number), centred on its
// track line at 30 percent, inside the pit, where neighbouring positions leave room: shortened
// to that room, and not drawn at all when it leaves too little.
void DrawName(QPainter &painter, const TurntableGeometry &g, int i, const QString &name);
// "7", or "7: Lokschuppen" for a position with a name of its own.
QString PositionCaption(int i, const QString &name);
bool HasOwnName(int i, const QString &name);
// The blue line across the pit where the track polarity changes over.
void DrawSwitchLine(QPainter &painter, const TurntableGeometry &g, int penWidth);

} // namespace TurntableDrawing
