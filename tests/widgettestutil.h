#pragma once

// Helpers for tests that look at widgets.

#include <QPlainTextEdit>
#include <QStringList>
#include <QWidget>

namespace TestUtil {

// The child with that object name; a missing one ends the test program at once.
template <typename T> T *Find(QWidget *w, const char *name) {
    T *child = w->findChild<T *>(QLatin1String(name));
    if (!child) {
        qFatal("no widget %s", name);
    }
    return child;
}

inline QStringList Lines(QPlainTextEdit *memo) {
    return memo->toPlainText().split(u'\n', Qt::SkipEmptyParts);
}

} // namespace TestUtil
