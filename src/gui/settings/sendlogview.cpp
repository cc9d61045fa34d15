#include "gui/settings/sendlogview.h"

#include "comm/sendqueue.h"
#include "gui/settings/sendlogmodel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionFocusRect>
#include <algorithm>

namespace {
constexpr int Margin = 3; // pixels left of the text
} // namespace

// ---------------------------------------------------------------------------------------------
// What a screen reader is given: the log as a read-only text of many lines, the selected lines
// as its selection and the current line as its cursor, as a read-only text editor gives them.

class SendLogView::Accessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit Accessible(SendLogView *view) : QAccessibleWidget(view, QAccessible::EditableText) {}

    static QAccessibleInterface *Factory(const QString &key, QObject *object) {
        if (key == QLatin1String("SendLogView") && object && object->isWidgetType()) {
            return new Accessible(static_cast<SendLogView *>(object));
        }
        return nullptr;
    }

    SendLogView *view() const { return static_cast<SendLogView *>(widget()); }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        s.editable = false;
        s.multiLine = true;
        s.selectableText = true;
        return s;
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) {
            return view()->text();
        }
        return QAccessibleWidget::text(t);
    }

    void *interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface *>(this);
        }
        return QAccessibleWidget::interface_cast(t);
    }

    // Selection: the selected lines, one selection from the start of the first to the end of the
    // last.
    void selection(int selectionIndex, int *startOffset, int *endOffset) const override {
        *startOffset = *endOffset = 0;
        const auto [first, last] = view()->selectedRows();
        if (selectionIndex != 0 || first < 0) {
            return;
        }
        *startOffset = view()->rowOffset(first);
        *endOffset = view()->rowOffset(last) + int(view()->model().line(last).size());
    }
    int selectionCount() const override { return view()->hasSelection() ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override {
        setSelection(0, startOffset, endOffset);
    }
    void removeSelection(int selectionIndex) override {
        if (selectionIndex == 0) {
            view()->clearSelection();
        }
    }
    void setSelection(int selectionIndex, int startOffset, int endOffset) override {
        if (selectionIndex != 0 || startOffset == endOffset) {
            return;
        }
        // Whole lines only: every line the offsets touch.
        const int lo = std::min(startOffset, endOffset);
        const int hi = std::max(startOffset, endOffset) - 1;
        view()->selectRows(view()->rowAtOffset(lo), view()->rowAtOffset(hi));
    }

    int cursorPosition() const override {
        const int row = view()->currentRow();
        return row < 0 ? 0 : view()->rowOffset(row);
    }
    void setCursorPosition(int position) override {
        const int row = view()->rowAtOffset(position);
        if (row >= 0) {
            view()->selectRows(row, row);
            view()->scrollToRow(row);
        }
    }

    QString text(int startOffset, int endOffset) const override {
        const QString all = view()->text();
        startOffset = std::clamp(startOffset, 0, int(all.size()));
        endOffset = std::clamp(endOffset, startOffset, int(all.size()));
        return all.mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return view()->textLength(); }

    QRect characterRect(int offset) const override {
        const int row = view()->rowAtOffset(offset);
        if (row < 0) {
            return QRect();
        }
        const QString line = view()->model().line(row);
        const int column = std::clamp(offset - view()->rowOffset(row), 0, int(line.size()));
        const QFontMetrics metrics = view()->fontMetrics();
        const QRect r = view()->rowRect(row);
        const int x = Margin + metrics.horizontalAdvance(line.left(column));
        const int w = column < line.size() ? metrics.horizontalAdvance(line.at(column)) : 1;
        return QRect(view()->viewport()->mapToGlobal(QPoint(x, r.top())), QSize(w, r.height()));
    }
    int offsetAtPoint(const QPoint &point) const override {
        const QPoint local = view()->viewport()->mapFromGlobal(point);
        const int row = view()->rowAt(local);
        if (row < 0) {
            return -1;
        }
        const QString line = view()->model().line(row);
        const QFontMetrics metrics = view()->fontMetrics();
        int column = 0;
        while (column < line.size() &&
               Margin + metrics.horizontalAdvance(line.left(column + 1)) <= local.x()) {
            ++column;
        }
        return view()->rowOffset(row) + column;
    }

    void scrollToSubstring(int startIndex, int) override {
        const int row = view()->rowAtOffset(startIndex);
        if (row >= 0) {
            view()->scrollToRow(row);
        }
    }
    QString attributes(int offset, int *startOffset, int *endOffset) const override {
        *startOffset = *endOffset = offset;
        return QString();
    }
};

// ---------------------------------------------------------------------------------------------

SendLogView::SendLogView(const SendLogModel &model, QWidget *parent)
    : QAbstractScrollArea(parent), m_model(model) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(&Accessible::Factory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);

    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(tr("Sendeprotokoll"));
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    viewport()->setCursor(Qt::IBeamCursor);
    m_repaint.setSingleShot(true);
    m_repaint.setInterval(RepaintMs);
    connect(&m_repaint, &QTimer::timeout, this, &SendLogView::catchUp);
    connect(&model, &QAbstractItemModel::rowsInserted, this, &SendLogView::OnLogChanged);
    connect(&model, &QAbstractItemModel::dataChanged, this, &SendLogView::OnLogChanged);
    connect(&model, &QAbstractItemModel::modelReset, this, &SendLogView::OnLogReset);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, viewport(),
            qOverload<>(&QWidget::update));

    m_copy = new QAction(tr("Kopieren"), this);
    connect(m_copy, &QAction::triggered, this, &SendLogView::copy);
    m_selectAll = new QAction(tr("Alles auswählen"), this);
    connect(m_selectAll, &QAction::triggered, this, &SendLogView::selectAll);
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
    m_offsetsStale = true;
    if (!isVisible()) {
        m_stale = true; // nothing to do until shown
        return;
    }
    if (!m_repaint.isActive()) {
        m_repaint.start();
    }
}

void SendLogView::OnLogReset() {
    m_offsetsStale = true;
    m_anchor = m_current = -1;
    m_dragging = false;
    m_toldUpTo = 0;
    m_toldLength = 0;
    catchUp();
    QAccessibleEvent event(this, QAccessible::VisibleDataChanged);
    QAccessible::updateAccessibility(&event);
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
    TellScreenReader();
}

void SendLogView::TellScreenReader() {
    const qint64 end = m_model.droppedLines() + m_model.lineCount();
    if (end == m_toldUpTo) {
        return;
    }
    if (!QAccessible::isActive()) {
        m_toldUpTo = end; // nobody listens (Qt would drop the event): no text made for it
        m_toldLength = -1;
        return;
    }
    const int fromRow = RowOf(m_toldUpTo);
    if (m_model.droppedLines() == 0 && fromRow >= 0) {
        // Lines came at the end: tell what came, separators included. Only the new lines are
        // made into text, so that a growing log costs a screen reader's listener little.
        if (m_toldLength < 0) {
            m_toldLength = fromRow == 0 ? 0 : rowOffset(fromRow) - 1;
        }
        QString added;
        for (int row = fromRow; row < m_model.lineCount(); ++row) {
            if (row > 0) {
                added += QLatin1Char('\n');
            }
            added += m_model.line(row);
        }
        QAccessibleTextInsertEvent event(this, m_toldLength, added);
        QAccessible::updateAccessibility(&event);
        m_toldLength += int(added.size());
    } else {
        // Full, the oldest lines went as the newest came.
        QAccessibleEvent event(this, QAccessible::VisibleDataChanged);
        QAccessible::updateAccessibility(&event);
        m_toldLength = -1;
    }
    m_toldUpTo = end;
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
    const int height = lineHeight();
    const int first = firstVisibleLine();
    const int last = std::min(m_model.lineCount(), first + visibleLines() + 1);
    const QFontMetrics metrics = fontMetrics();
    const auto [selFirst, selLast] = selectedRows();
    const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
    for (int row = first; row < last; ++row) {
        const QRect rect = rowRect(row);
        const bool selected = selFirst >= 0 && row >= selFirst && row <= selLast;
        if (selected) {
            painter.fillRect(rect, palette().brush(group, QPalette::Highlight));
        }
        painter.setPen(
            palette().color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        const int top = rect.top();
        if (const std::optional<uint8_t> byte = m_model.byteAt(row)) {
            painter.drawStaticText(Margin, top + (height - metrics.height()) / 2, ByteLine(*byte));
        } else {
            painter.drawText(Margin, top + metrics.ascent() + (height - metrics.height()) / 2,
                             m_model.line(row));
        }
    }
    const int current = currentRow();
    if (hasFocus() && current >= first && current < last) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rowRect(current);
        option.backgroundColor = palette().color(group, QPalette::Highlight);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

// ---------------------------------------------------------------------------------------------
// Selection and copying

qint64 SendLogView::LineOf(int row) const {
    return m_model.droppedLines() + row;
}

int SendLogView::RowOf(qint64 line) const {
    return static_cast<int>(line - m_model.droppedLines());
}

std::pair<int, int> SendLogView::selectedRows() const {
    if (m_anchor < 0 || m_model.lineCount() == 0) {
        return {-1, -1};
    }
    const int first = std::max(0, RowOf(std::min(m_anchor, m_current)));
    const int last = std::min(m_model.lineCount() - 1, RowOf(std::max(m_anchor, m_current)));
    if (last < 0 || first > last) {
        return {-1, -1}; // its lines have left the log
    }
    return {first, last};
}

int SendLogView::currentRow() const {
    if (m_current < 0) {
        return -1;
    }
    const int row = RowOf(m_current);
    return row >= 0 && row < m_model.lineCount() ? row : -1;
}

QString SendLogView::selectedText() const {
    const auto [first, last] = selectedRows();
    if (first < 0) {
        return QString();
    }
    QStringList lines;
    lines.reserve(last - first + 1);
    for (int row = first; row <= last; ++row) {
        lines.append(m_model.line(row));
    }
    return lines.join(QLatin1Char('\n'));
}

void SendLogView::selectRows(int anchor, int current) {
    const int n = m_model.lineCount();
    if (n == 0 || anchor < 0 || current < 0) {
        clearSelection();
        return;
    }
    m_anchor = LineOf(std::min(anchor, n - 1));
    m_current = LineOf(std::min(current, n - 1));
    SelectionChanged();
}

void SendLogView::selectAll() {
    selectRows(0, m_model.lineCount() - 1);
}

void SendLogView::clearSelection() {
    if (m_anchor < 0) {
        return;
    }
    m_anchor = m_current = -1;
    SelectionChanged();
}

void SendLogView::SelectionChanged() {
    viewport()->update();
    const auto [first, last] = selectedRows();
    QAccessibleTextSelectionEvent event(
        this, first < 0 ? 0 : rowOffset(first),
        first < 0 ? 0 : rowOffset(last) + int(m_model.line(last).size()));
    event.setCursorPosition(currentRow() < 0 ? 0 : rowOffset(currentRow()));
    QAccessible::updateAccessibility(&event);
}

void SendLogView::copy() const {
    if (hasSelection()) {
        QGuiApplication::clipboard()->setText(selectedText());
    }
}

void SendLogView::scrollToRow(int row) {
    QScrollBar *bar = verticalScrollBar();
    if (row < bar->value()) {
        bar->setValue(row);
    } else if (row >= bar->value() + visibleLines()) {
        bar->setValue(row - visibleLines() + 1);
    }
}

int SendLogView::rowAt(const QPoint &point) const {
    const int n = m_model.lineCount();
    if (n == 0) {
        return -1;
    }
    const int offset = point.y() < 0 ? -1 : point.y() / lineHeight();
    return std::clamp(firstVisibleLine() + offset, 0, n - 1);
}

QRect SendLogView::rowRect(int row) const {
    const int height = lineHeight();
    return QRect(0, (row - firstVisibleLine()) * height, viewport()->width(), height);
}

void SendLogView::mousePressEvent(QMouseEvent *event) {
    const int row = rowAt(event->position().toPoint());
    if (row < 0) {
        clearSelection();
        return;
    }
    if (event->button() == Qt::LeftButton) {
        const int anchor =
            (event->modifiers() & Qt::ShiftModifier) && hasSelection() ? RowOf(m_anchor) : row;
        selectRows(std::max(0, anchor), row);
        m_dragging = true;
    } else if (event->button() == Qt::RightButton) {
        const auto [first, last] = selectedRows();
        if (first < 0 || row < first || row > last) {
            selectRows(row, row); // the menu copies the line clicked on
        }
    }
}

void SendLogView::mouseMoveEvent(QMouseEvent *event) {
    if (!m_dragging || !(event->buttons() & Qt::LeftButton)) {
        return;
    }
    const QPoint point = event->position().toPoint();
    QScrollBar *bar = verticalScrollBar();
    if (point.y() < 0) {
        bar->setValue(bar->value() - 1); // dragged above the view: it follows
    } else if (point.y() >= viewport()->height()) {
        bar->setValue(bar->value() + 1);
    }
    const int row = rowAt(QPoint(point.x(), std::clamp(point.y(), 0, viewport()->height() - 1)));
    if (row >= 0 && hasSelection()) {
        selectRows(std::max(0, RowOf(m_anchor)), row);
    }
}

void SendLogView::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton && m_dragging) {
        m_dragging = false;
        // As text views do on X11: the selection can be pasted with the middle button.
        QClipboard *clipboard = QGuiApplication::clipboard();
        if (clipboard->supportsSelection() && hasSelection()) {
            clipboard->setText(selectedText(), QClipboard::Selection);
        }
    }
}

void SendLogView::keyPressEvent(QKeyEvent *event) {
    if (event->matches(QKeySequence::Copy)) {
        copy();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    const int n = m_model.lineCount();
    const int from = currentRow() >= 0 ? currentRow() : firstVisibleLine();
    int to = -1;
    switch (event->key()) {
    case Qt::Key_Up:
        to = from - 1;
        break;
    case Qt::Key_Down:
        to = from + 1;
        break;
    case Qt::Key_PageUp:
        to = from - visibleLines();
        break;
    case Qt::Key_PageDown:
        to = from + visibleLines();
        break;
    case Qt::Key_Home:
        to = 0;
        break;
    case Qt::Key_End:
        to = n - 1;
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    if (n == 0) {
        return;
    }
    to = std::clamp(to, 0, n - 1);
    const bool extend = (event->modifiers() & Qt::ShiftModifier) && hasSelection();
    selectRows(extend ? std::max(0, RowOf(m_anchor)) : to, to);
    scrollToRow(to);
}

void SendLogView::contextMenuEvent(QContextMenuEvent *event) {
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    m_copy->setEnabled(hasSelection());
    m_selectAll->setEnabled(m_model.lineCount() > 0);
    menu->addAction(m_copy);
    menu->addAction(m_selectAll);
    menu->popup(event->globalPos()); // not exec(): the window goes on meanwhile
}

// ---------------------------------------------------------------------------------------------
// The log as one text

const std::vector<int> &SendLogView::Offsets() const {
    if (m_offsetsStale || m_offsets.size() != size_t(m_model.lineCount()) + 1) {
        const int n = m_model.lineCount();
        m_offsets.assign(size_t(n) + 1, 0);
        for (int row = 0; row < n; ++row) {
            m_offsets[size_t(row) + 1] = m_offsets[size_t(row)] + int(m_model.line(row).size()) + 1;
        }
        m_offsetsStale = false;
    }
    return m_offsets;
}

QString SendLogView::text() const {
    return m_model.lines().join(QLatin1Char('\n'));
}

int SendLogView::textLength() const {
    const std::vector<int> &offsets = Offsets();
    return offsets.size() > 1 ? offsets.back() - 1 : 0; // no separator after the last line
}

int SendLogView::rowOffset(int row) const {
    const std::vector<int> &offsets = Offsets();
    return offsets[size_t(std::clamp(row, 0, int(offsets.size()) - 1))];
}

int SendLogView::rowAtOffset(int offset) const {
    const std::vector<int> &offsets = Offsets();
    const int n = int(offsets.size()) - 1;
    if (n <= 0) {
        return -1;
    }
    const auto after = std::upper_bound(offsets.begin(), offsets.end(), std::max(0, offset));
    return std::clamp(int(after - offsets.begin()) - 1, 0, n - 1);
}
