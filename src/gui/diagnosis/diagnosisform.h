#pragma once

// The diagnosis tab's form: the sizes and places its parts share, and the small helpers that
// build its labels and buttons.

#include "gui/common/named.h"

#include <QLabel>
#include <QPushButton>
#include <QRect>

namespace DiagnosisForm {

inline constexpr int GroupTop = 8;
inline constexpr int GroupGap = 6;
inline constexpr int GroupHeight = 160;
inline constexpr int ErrorGroupWidth = 230;
inline constexpr int DipGroupWidth = 90;
inline constexpr int DriveGroupWidth = 560;
inline constexpr int PanelHeight = 24;
inline constexpr int RunButtonWidth = 100;
inline constexpr int RowButtonHeight = 24;

// Left edges of the two measurement rows.
inline constexpr int CaptionLeft = 0;
inline constexpr int ValueLeft = 120;
inline constexpr int RawLeft = 215;
inline constexpr int InfoLeft = 275;

inline QLabel *MakeLabel(QWidget *parent, const QString &name, const QString &caption,
                         QRect geometry) {
    auto *label = new QLabel(caption, parent);
    if (!name.isEmpty()) {
        label->setObjectName(name);
    }
    label->setGeometry(geometry);
    return label;
}

inline QPushButton *MakeButton(QWidget *parent, const char *name, const QString &caption,
                               QRect geometry) {
    auto *button = Named(new QPushButton(caption, parent), QLatin1String(name));
    button->setGeometry(geometry);
    return button;
}

inline int RightEdge(const QWidget *w) {
    return w->x() + w->width();
}

} // namespace DiagnosisForm
