#pragma once

#include <QLabel>

// A one-line label whose text may be longer than the room it has (a status line that names
// cells and reasons): it shows as much as fits, ending in "…", asks the layout for no more room
// than it is given, and its tool tip then starts with the whole text, before the tool tip of its
// own (a transfer's details).
class ElidingLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidingLabel(QWidget *parent = nullptr);

    // What the label shows in the room it has now.
    QString shownText() const;
    bool elided() const { return shownText() != text(); }

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;
};
