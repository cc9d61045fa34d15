#pragma once

#include <QImage>
#include <QWidget>

// A picture control for one graph: the tab paints into canvas() and the control shows the
// surface's top-left part. The surface grows with the control and never shrinks, so it covers the
// picture at every window size.
class GraphPicture : public QWidget {
    Q_OBJECT
public:
    explicit GraphPicture(QWidget *parent = nullptr);

    // The drawing surface, at least as large as the control.
    QImage &canvas();
    const QImage &image() const { return m_canvas; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_canvas;
};
