#include "gui/common/elidinglabel.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

ElidingLabel::ElidingLabel(QWidget *parent) : QLabel(parent) {
    setWordWrap(false);
}

QString ElidingLabel::shownText() const {
    return fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width());
}

QSize ElidingLabel::minimumSizeHint() const {
    return {0, QLabel::minimumSizeHint().height()};
}

QSize ElidingLabel::sizeHint() const {
    return {0, QLabel::sizeHint().height()};
}

void ElidingLabel::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    drawFrame(&painter);
    style()->drawItemText(&painter, contentsRect(),
                          QStyle::visualAlignment(layoutDirection(), alignment()), palette(),
                          isEnabled(), shownText(), foregroundRole());
}

bool ElidingLabel::event(QEvent *event) {
    if (event->type() == QEvent::ToolTip && elided()) {
        const QString own = toolTip();
        QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(),
                           own.isEmpty() ? text() : text() + QStringLiteral("\n\n") + own, this);
        return true;
    }
    return QLabel::event(event);
}
