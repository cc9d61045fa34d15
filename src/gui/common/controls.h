#pragma once

#include "gui/common/named.h"

#include <QCoreApplication>
#include <QLabel>
#include <QString>

// Pieces every tab builds the same way.

// The warning for input that is no number (numeric edits of every tab).
inline QString InvalidInputText() {
    return QCoreApplication::translate("Controls",
                                       "Ungültige Eingabe.\rZugelassen sind nur Zahlen");
}

// A status panel: a sunken frame with a centred caption on a background of its own colour.
inline QLabel *MakePanel(QWidget *parent, const QString &name, const QString &hint, QRect geometry,
                         const QString &caption = QString()) {
    auto *panel = Named(new QLabel(caption, parent), name);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setAlignment(Qt::AlignCenter);
    panel->setAutoFillBackground(true);
    panel->setToolTip(hint);
    panel->setGeometry(geometry);
    return panel;
}
