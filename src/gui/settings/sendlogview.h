#pragma once

#include <QAbstractScrollArea>
#include <QStaticText>
#include <QTimer>
#include <array>

class SendLogModel;

// Shows the send log: only the lines in view are drawn, each byte's line laid out once for all
// (there are 256 of them). A transmit tick only tells the view that the log grew; the view
// repaints at most every RepaintMs while it is shown and not at all while it is hidden, so that a
// tick costs the same either way. Scrolled to its end, it stays at the end as lines come.
class SendLogView : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr int RepaintMs = 100;

    explicit SendLogView(const SendLogModel &model, QWidget *parent = nullptr);

    // The first line in view, and how many fit.
    int firstVisibleLine() const;
    int visibleLines() const;
    // Whether a repaint for new lines is due.
    bool repaintDue() const { return m_repaint.isActive(); }
    // Takes the lines that came meanwhile now, as the repaint would.
    void catchUp();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void OnLogChanged();
    int lineHeight() const;
    const QStaticText &ByteLine(uint8_t byte);

    const SendLogModel &m_model;
    QTimer m_repaint;
    bool m_stale = false; // lines came while hidden
    std::array<QStaticText, 256> m_byteLines;
    std::array<bool, 256> m_laidOut{};
};
