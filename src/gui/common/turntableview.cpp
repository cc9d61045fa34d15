#include "gui/common/turntableview.h"

#include "comm/stationstate.h"
#include "gui/common/turntabledrawing.h"
#include "gui/common/turntablepicture.h"

#include <QPainter>
#include <QPushButton>
#include <QRegion>

TurntableView::TurntableView(QWidget *panel, Buttons buttons, Pens pens)
    : QObject(panel), m_kind(buttons), m_pens(pens) {
    m_picture = new TurntablePicture(panel);
    m_picture->setObjectName(QStringLiteral("tt_Image1"));
    QFont small = panel->font();
    small.setPixelSize(9);
    for (int i = 1; i <= Positions; ++i) {
        auto *b = new QPushButton(QString::number(i), panel);
        b->setObjectName(QStringLiteral("PositionButton%1").arg(i));
        b->setFont(small);
        b->setFixedSize(ButtonWidth, ButtonHeight);
        b->setFocusPolicy(Qt::NoFocus);
        b->setContextMenuPolicy(Qt::CustomContextMenu);
        b->hide();
        connect(b, &QPushButton::clicked, this, [this, i] { emit positionClicked(i); });
        connect(b, &QPushButton::customContextMenuRequested, this,
                [this, i] { emit positionMenu(i); });
        m_buttons[at(i - 1)] = b;
    }
}

TurntableView::Drawn TurntableView::Draw(const StationData &st, int positions,
                                         const std::function<QString(int)> &hint) {
    const bool inUseOnly = m_kind == Buttons::PositionsInUse;
    const TurntableGeometry g(m_picture->width(), m_picture->height(), positions, st.ZeroOffset,
                              st.ReverseCounting);
    QImage &canvas = m_picture->canvas();
    Layout layout{m_picture->geometry(), canvas.size(), canvas.devicePixelRatio(),
                  g.positions(),         st.ZeroOffset, st.ReverseCounting};
    if (inUseOnly) {
        layout.switchLine = st.ShowSwitchLine;
        std::copy(st.PositionUsed.begin(), st.PositionUsed.end(), layout.used.begin());
    }
    const bool layoutChanged = layout != m_drawn;
    m_drawn = layout;

    std::optional<QPainter> painter;
    if (!canvas.isNull()) { // a picture of size 0 has nothing to draw on
        painter.emplace(&canvas);
        TurntableDrawing::DrawPit(*painter, g);
    }
    const QPoint origin = m_picture->pos();
    const QSize buttonSize(ButtonWidth, ButtonHeight);
    for (int i = 1; i <= Positions; ++i) {
        QPushButton *button = m_buttons[at(i - 1)];
        const bool used = i <= g.positions() && st.PositionUsed[at(i)];
        if (i > g.positions() || (inUseOnly && !used)) {
            button->hide();
            continue;
        }
        const QString tip = hint(i);
        if (button->toolTip() != tip) {
            button->setToolTip(tip);
        }
        if (used && painter) {
            TurntableDrawing::DrawTrack(*painter, g, i, m_pens.track);
            TurntableDrawing::DrawName(*painter, g, i, st.PositionName[at(i)]);
        }
        if (layoutChanged || button->isHidden()) {
            button->move(g.ButtonTopLeft(i, buttonSize, origin));
            button->show();
            button->raise();
        }
    }
    if (st.ShowSwitchLine && painter) {
        TurntableDrawing::DrawSwitchLine(*painter, g, m_pens.switchLine);
    }
    return {g, layoutChanged};
}

void TurntableView::ShowChangedGround(const QImage &before) {
    if (before.isNull()) {
        m_picture->update();
        return;
    }
    const QImage &canvas = m_picture->image();
    const QPoint origin = m_picture->pos();
    QRegion region(m_picture->rect());
    const qreal ratio = canvas.devicePixelRatio();
    for (QPushButton *button : m_buttons) {
        if (button->isHidden()) {
            continue;
        }
        const QRect onPicture = button->geometry().translated(-origin);
        const QRect pixels =
            QRectF(QPointF(onPicture.topLeft()) * ratio, QSizeF(onPicture.size()) * ratio)
                .toAlignedRect();
        const QRect inside = pixels.intersected(canvas.rect());
        if (inside.isEmpty() || before.copy(inside) == canvas.copy(inside)) {
            region -= onPicture;
        }
    }
    m_picture->update(region);
}
