#include "gui/settings/sendlogview.h"

#include "comm/sendqueue.h"
#include "gui/settings/sendlogmodel.h"

#include <QPainter>
#include <QScrollBar>

namespace {
constexpr int Margin = 3; // pixels left of the text
} // namespace

SendLogView::SendLogView(const SendLogModel &model, QWidget *parent)
    : QAbstractScrollArea(parent), m_model(model) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    m_repaint.setSingleShot(true);
    m_repaint.setInterval(RepaintMs);
    connect(&m_repaint, &QTimer::timeout, this, &SendLogView::catchUp);
    connect(&model, &QAbstractItemModel::rowsInserted, this, &SendLogView::OnLogChanged);
    connect(&model, &QAbstractItemModel::dataChanged, this, &SendLogView::OnLogChanged);
    connect(&model, &QAbstractItemModel::modelReset, this, &SendLogView::catchUp);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, viewport(),
            qOverload<>(&QWidget::update));
}

int SendLogView::lineHeight() const {
    return std::max(1, fontMetrics().lineSpacing());
}

int SendLogView::visibleLines() const {
    return std::max(1, viewport()->height() / lineHeight());
}

int SendLogView::firstVisibleLine() const {
    return verticalScrollBar()->value();
}

void SendLogView::OnLogChanged() {
    if (!isVisible()) {
        m_stale = true; // nothing to do until shown
        return;
    }
    if (!m_repaint.isActive()) {
        m_repaint.start();
    }
}

void SendLogView::catchUp() {
    m_repaint.stop();
    m_stale = false;
    QScrollBar *bar = verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    bar->setPageStep(visibleLines());
    bar->setRange(0, std::max(0, m_model.lineCount() - visibleLines()));
    if (atEnd) {
        bar->setValue(bar->maximum());
    }
    viewport()->update();
}

void SendLogView::showEvent(QShowEvent *event) {
    QAbstractScrollArea::showEvent(event);
    if (m_stale) {
        catchUp();
    }
}

void SendLogView::resizeEvent(QResizeEvent *event) {
    QAbstractScrollArea::resizeEvent(event);
    catchUp();
}

const QStaticText &SendLogView::ByteLine(uint8_t byte) {
    QStaticText &text = m_byteLines[byte];
    if (!m_laidOut[byte]) {
        text.setText(SendLogLine(byte));
        text.setTextFormat(Qt::PlainText);
        text.setPerformanceHint(QStaticText::AggressiveCaching);
        m_laidOut[byte] = true;
    }
    return text;
}

void SendLogView::paintEvent(QPaintEvent *) {
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Text));
    const int height = lineHeight();
    const int first = firstVisibleLine();
    const int last = std::min(m_model.lineCount(), first + visibleLines() + 1);
    const QFontMetrics metrics = fontMetrics();
    for (int row = first; row < last; ++row) {
        const int top = (row - first) * height;
        if (const std::optional<uint8_t> byte = m_model.byteAt(row)) {
            painter.drawStaticText(Margin, top + (height - metrics.height()) / 2, ByteLine(*byte));
        } else {
            painter.drawText(Margin, top + metrics.ascent() + (height - metrics.height()) / 2,
                             m_model.line(row));
        }
    }
}
