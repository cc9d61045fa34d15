#include "gui/common/turntablepicture.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

TurntablePicture::TurntablePicture(QWidget *parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QImage &TurntablePicture::canvas() {
    // The surface has the screen's pixels (size times device pixel ratio), so that lines and
    // text stay sharp on a scaled screen; painters on it still work in the control's units.
    const qreal ratio = devicePixelRatioF();
    const QSize logical = m_canvas.deviceIndependentSize().toSize();
    if (m_canvas.isNull() || m_canvas.devicePixelRatio() != ratio || logical.width() < width() ||
        logical.height() < height()) {
        const bool sameRatio = !m_canvas.isNull() && m_canvas.devicePixelRatio() == ratio;
        const QSize grownSize = sameRatio ? logical.expandedTo(size()) : size();
        QImage grown((QSizeF(grownSize) * ratio).toSize(), QImage::Format_RGB32);
        grown.setDevicePixelRatio(ratio);
        grown.fill(Qt::white);
        if (sameRatio) {
            QPainter keep(&grown);
            keep.drawImage(QPoint(0, 0), m_canvas);
        }
        m_canvas.swap(grown);
    }
    return m_canvas;
}

void TurntablePicture::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.drawImage(QPoint(0, 0), m_canvas);
    if (!m_canvas.isNull() && m_canvas.devicePixelRatio() != devicePixelRatioF()) {
        emit redrawNeeded(); // moved to a screen of another scale: the tab draws anew
    }
}

void TurntablePicture::mousePressEvent(QMouseEvent *event) {
    emit clicked(event->position().toPoint());
    QWidget::mousePressEvent(event);
}
