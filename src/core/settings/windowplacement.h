#pragma once

#include "core/settings/settingsfile.h"

#include <QList>
#include <QMargins>
#include <QRect>
#include <QSize>

// Where the window opens. The stored place is the frame's top left and the client size; the
// window manager adds its decoration (title bar, border), which must fit as well.
struct WindowPlacement {
    // Room for the title bar and borders that the window manager adds around the client area.
    static constexpr QMargins Decoration{8, 32, 8, 8};

    // The client rectangle (top left = frame top left, size = client size) moved, and shrunk
    // where needed, so that the window with its decoration lies wholly on one screen. A window
    // that lies wholly on a screen stays where it is; one partly off goes to the screen that
    // shows most of it; one off every screen goes to the nearest screen. Screens are given by
    // their available areas (without panels). Without screens the rectangle stays as it is.
    static QRect Fit(const QRect &stored, const QList<QRect> &screens);

    // The smallest client size at which every control of every tab stays reachable, limited to
    // what the screen (its available area) can show.
    static QSize MinimumSize(const QRect &screen);

    // One screen as the window sees it: all of it, and the area free of panels.
    struct Screen {
        QRect geometry;
        QRect available;
    };
    struct Placement {
        QRect rect;    // top left = frame top left, size = the outer size to adopt
        QSize minimum; // the window's minimum size on the screen it lands on
    };
    // Where a window stored with this size and place opens: a size too small to be meant (a
    // broken file) gives the default, one larger than the largest screen is cut to it, and the
    // window comes wholly onto a screen (Fit). screens[primary] is used where the window's centre
    // lies on no screen.
    static Placement Place(QSize stored, QPoint topLeft, const QList<Screen> &screens, int primary);
    // Below this a stored size is taken for a broken file.
    static constexpr QSize SmallestMeant{300, 200};
    static constexpr QSize ControlsMinimum{ProgramSettings::DefaultWidth,
                                           ProgramSettings::DefaultHeight};
};
