#include "gui/diagnosis/graphpicture.h"

#include "gui/common/colors.h"

#include <QPaintEvent>
#include <QPainter>

GraphPicture::GraphPicture(QWidget *parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QImage &GraphPicture::canvas() {
    if (m_canvas.width() < width() || m_canvas.height() < height()) {
        QImage grown(std::max(width(), m_canvas.width()), std::max(height(), m_canvas.height()),
                     QImage::Format_RGB32);
        grown.fill(Colors::White);
        m_canvas.swap(grown);
    }
    return m_canvas;
}

void GraphPicture::paintEvent(QPaintEvent *event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), Colors::White);
    painter.drawImage(event->rect(), m_canvas, event->rect());
}
