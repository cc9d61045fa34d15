#pragma once

#include "core/definition/turntablegeometry.h"

#include <QObject>
#include <QRect>
#include <QSize>
#include <array>
#include <functional>
#include <optional>

class QPushButton;
class QWidget;
class TurntablePicture;
struct StationData;

// The turntable picture with its 48 position buttons, as the operation and the definition tab
// both show it: the pit, the tracks of the positions in use with their numbers and names, the
// switch line, and a small button at each position's track end. The tab says which buttons stand
// (every position of the turntable, or only those in use), what their tool tips say and what a
// click does, and draws its own parts (the bridges) on top.
class TurntableView : public QObject {
    Q_OBJECT
public:
    static constexpr int ButtonWidth = 20;
    static constexpr int ButtonHeight = 14;
    static constexpr int Positions = 48;

    enum class Buttons {
        EveryPosition,  // a button for each position of the turntable, in use or not
        PositionsInUse, // buttons only where a track is in use
    };
    struct Pens {
        int track = 1;
        int switchLine = 2;
    };

    // The picture (named "tt_Image1") and the buttons ("PositionButton1" ..) are children of
    // panel.
    TurntableView(QWidget *panel, Buttons buttons, Pens pens);

    TurntablePicture *picture() const { return m_picture; }
    QPushButton *button(int position) const { return m_buttons[at(position - 1)]; }

    struct Drawn {
        TurntableGeometry geometry;
        bool layoutChanged = false; // the buttons moved: the whole picture is to be shown anew
    };
    // Draws the pit and the positions into the picture (without showing it) and places the
    // buttons; hint(i) is the tool tip of position i's button.
    Drawn Draw(const StationData &station, int positions,
               const std::function<QString(int position)> &hint);
    // Shows the picture after a Draw in which nothing moved, except where a button stands on
    // ground that is the same as in before: a button is repainted only when the picture beneath
    // it changed.
    void ShowChangedGround(const QImage &before);
    // The next Draw places everything anew (a new drawing surface).
    void Forget() { m_drawn.reset(); }

signals:
    void positionClicked(int position);
    // The context menu of a position's button was asked for.
    void positionMenu(int position);

private:
    static size_t at(int i) { return static_cast<size_t>(i); }

    // What decides where the buttons stand; while it stays the same, they stay where they are.
    struct Layout {
        QRect picture;
        QSize canvas;
        qreal pixelRatio = 0;
        int positions = 0;
        int zeroOffset = 0;
        bool reversed = false;
        // Only where the buttons follow the tracks in use, and the switch line goes through them.
        bool switchLine = false;
        std::array<bool, Positions + 1> used{};
        bool operator==(const Layout &) const = default;
    };

    Buttons m_kind;
    Pens m_pens;
    TurntablePicture *m_picture = nullptr;
    std::array<QPushButton *, Positions> m_buttons{};
    std::optional<Layout> m_drawn; // nothing until the first drawing
};
