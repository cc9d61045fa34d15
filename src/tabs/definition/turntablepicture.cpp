#include "turntablepicture.h"

#include <QMouseEvent>
#include <QPainter>

TurntablePicture::TurntablePicture(QWidget *parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QImage &TurntablePicture::canvas() {
    if (m_canvas.width() < width() || m_canvas.height() < height()) {
        QImage grown(std::max(width(), m_canvas.width()), std::max(height(), m_canvas.height()),
                     QImage::Format_RGB32);
        grown.fill(Qt::white);
        m_canvas.swap(grown);
    }
    return m_canvas;
}

void TurntablePicture::paintEvent(QPaintEvent *event) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.drawImage(event->rect(), m_canvas, event->rect());
}

void TurntablePicture::mousePressEvent(QMouseEvent *event) {
    emit clicked(event->position().toPoint());
    QWidget::mousePressEvent(event);
}
