#pragma once

#include <QIcon>

// The symbols on the drive buttons of "Betrieb": arrows for a turn to the target, a stop sign for
// the halt, double arrows for the endless turns. They are drawn, not taken from the style: the
// style looks them up in the icon themes on the first call, which costs the start-up several
// milliseconds, and a drawn symbol is sharp at every scale. They take the button text's colour,
// greyed when the button is disabled.
namespace DriveIcons {
enum class Symbol { Left, Right, EndlessLeft, EndlessRight, Halt };

QIcon Icon(Symbol symbol);
} // namespace DriveIcons
