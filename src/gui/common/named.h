#pragma once

#include <QString>

// Gives a component the name it has in the form, so that it can be found by that name.
template <typename T> T *Named(T *widget, const QString &name) {
    widget->setObjectName(name);
    return widget;
}
