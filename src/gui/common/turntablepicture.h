#pragma once

#include <QImage>
#include <QWidget>

// A picture control with its own drawing surface: the tab draws into canvas() in the control's
// units and the control shows the surface's top-left part. The surface has as many pixels as the
// screen shows (the device pixel ratio), grows with the control and never shrinks.
class TurntablePicture : public QWidget {
    Q_OBJECT
public:
    explicit TurntablePicture(QWidget *parent = nullptr);

    // The drawing surface, at least as large as the control.
    QImage &canvas();
    const QImage &image() const { return m_canvas; }

signals:
    void clicked(QPoint position);
    // The surface no longer matches the screen's pixels (the window moved to a screen of
    // another scale): the owner should draw the picture again.
    void redrawNeeded();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QImage m_canvas;
};
