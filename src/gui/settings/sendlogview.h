#pragma once

#include <QAbstractScrollArea>
#include <QStaticText>
#include <QTimer>
#include <array>
#include <vector>

class QAction;
class SendLogModel;

// Shows the send log: only the lines in view are drawn, each byte's line laid out once for all
// (there are 256 of them). A transmit tick only tells the view that the log grew; the view
// repaints at most every RepaintMs while it is shown and not at all while it is hidden, so that a
// tick costs the same either way. Scrolled to its end, it stays at the end as lines come.
//
// Whole lines can be selected (a click, a drag, Shift with a click or the arrow keys, Ctrl+A)
// and copied (Ctrl+C, the context menu's "Kopieren"), so that a technician can paste the log into
// a report. The selection stays with its lines while older ones leave the log. A screen reader
// reads the log as a read-only text, one line of text per log line (SendLogView::Accessible).
class SendLogView : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr int RepaintMs = 100;

    explicit SendLogView(const SendLogModel &model, QWidget *parent = nullptr);

    const SendLogModel &model() const { return m_model; }

    // The first line in view, and how many fit.
    int firstVisibleLine() const;
    int visibleLines() const;
    // Whether a repaint for new lines is due.
    bool repaintDue() const { return m_repaint.isActive(); }
    // Takes the lines that came meanwhile now, as the repaint would.
    void catchUp();

    // The selected rows, first and last (both -1 when none is selected or its lines are gone).
    std::pair<int, int> selectedRows() const;
    bool hasSelection() const { return selectedRows().first >= 0; }
    // The selected lines, one a line.
    QString selectedText() const;
    // Selects the rows from anchor to current (the current row is the one the keys move).
    void selectRows(int anchor, int current);
    void selectAll();
    void clearSelection();
    // The row the keys move from, -1 for none.
    int currentRow() const;
    // Puts the selected lines on the clipboard.
    void copy() const;
    // "Kopieren" and "Alles auswählen", as the context menu offers them.
    QAction *copyAction() const { return m_copy; }
    QAction *selectAllAction() const { return m_selectAll; }
    // Brings the row into view.
    void scrollToRow(int row);

    // The log as one text, the lines separated by '\n', and where each row starts in it: what the
    // screen reader is given.
    QString text() const;
    int textLength() const;
    int rowOffset(int row) const;
    int rowAtOffset(int offset) const;
    // The row under a point of the viewport (clamped to the lines there are), -1 for an empty log.
    int rowAt(const QPoint &point) const;
    // The row's place in the viewport.
    QRect rowRect(int row) const;

    class Accessible;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void OnLogChanged();
    void OnLogReset();
    void SelectionChanged();
    // Row r's line number, which stays with its line while older ones leave; and back.
    qint64 LineOf(int row) const;
    int RowOf(qint64 line) const;
    int lineHeight() const;
    const QStaticText &ByteLine(uint8_t byte);
    // Where each row starts in text(), built when asked after a change.
    const std::vector<int> &Offsets() const;
    void TellScreenReader();

    const SendLogModel &m_model;
    QTimer m_repaint;
    bool m_stale = false; // lines came while hidden
    std::array<QStaticText, 256> m_byteLines;
    std::array<bool, 256> m_laidOut{};
    qint64 m_anchor = -1;  // line numbers (LineOf): where the selection began,
    qint64 m_current = -1; // and where it ends
    bool m_dragging = false;
    QAction *m_copy = nullptr;
    QAction *m_selectAll = nullptr;
    mutable std::vector<int> m_offsets; // one more than rows: the end of the text
    mutable bool m_offsetsStale = true;
    qint64 m_toldUpTo = 0; // the line number after the last line the screen reader was told of
    int m_toldLength = -1; // and the text's length then, -1 when not known
};
