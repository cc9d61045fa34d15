#include "platform/console.h"

#include <QStringList>

namespace {
// Where a continued line starts: after the last gap of two or more blanks that leaves room for
// a few words, else at the line's indent.
qsizetype HangingIndent(const QString &line, int width) {
    qsizetype indent = 0;
    while (indent < line.size() && line.at(indent) == u' ') {
        ++indent;
    }
    // An indent that leaves less than a few words' room is not kept for the continued lines:
    // they would have no room at all.
    qsizetype hang = indent <= width - 20 ? indent : 0;
    for (qsizetype i = indent; i + 1 < line.size() && i < width - 20; ++i) {
        if (line.at(i) == u' ' && line.at(i + 1) == u' ') {
            qsizetype end = i;
            while (end < line.size() && line.at(end) == u' ') {
                ++end;
            }
            if (end < line.size() && end <= width - 20) {
                hang = end;
            }
            i = end;
        }
    }
    return hang;
}

void WrapLine(const QString &line, int width, QStringList *out) {
    if (line.size() <= width || line.contains(u'\r') || width < 20) {
        out->append(line);
        return;
    }
    const qsizetype hang = HangingIndent(line, width);
    const QString margin(hang, u' ');
    QString current = line.left(hang);
    bool empty = true; // nothing after the indent yet
    QString gap;       // the blanks before the next word, kept within a line only
    qsizetype i = hang;
    while (i < line.size()) {
        qsizetype end = i;
        while (end < line.size() && line.at(end) != u' ') {
            ++end;
        }
        QString word = line.mid(i, end - i);
        if (!empty && current.size() + gap.size() + word.size() > width) {
            out->append(current);
            current = margin;
            empty = true;
        } else if (!empty) {
            current += gap;
        }
        while (current.size() + word.size() > width) { // a word longer than a line
            const qsizetype room = width - current.size();
            out->append(current + word.left(room));
            word = word.mid(room);
            current = margin;
        }
        current += word;
        empty = false;
        i = end;
        while (i < line.size() && line.at(i) == u' ') {
            ++i;
        }
        gap = line.mid(end, i - end);
    }
    out->append(current);
}
} // namespace

QString WrapLines(const QString &text, int width) {
    QStringList lines;
    for (const QString &line : text.split(u'\n')) {
        WrapLine(line, width, &lines);
    }
    return lines.join(u'\n');
}
