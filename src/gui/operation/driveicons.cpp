#include "gui/operation/driveicons.h"

#include "gui/common/colors.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>

namespace DriveIcons {
namespace {

// A triangle pointing right in the unit square, from x0 to x0 + width.
QPainterPath Head(qreal x0, qreal width) {
    QPainterPath path;
    path.moveTo(x0, 0.15);
    path.lineTo(x0 + width, 0.5);
    path.lineTo(x0, 0.85);
    path.closeSubpath();
    return path;
}

// The symbol pointing right, in a unit square; the left ones are its mirror image.
QPainterPath Shape(Symbol symbol) {
    QPainterPath path;
    switch (symbol) {
    case Symbol::Left:
    case Symbol::Right:
        path.addRect(QRectF(0.1, 0.4, 0.45, 0.2)); // the shaft
        path.addPath(Head(0.5, 0.45));
        break;
    case Symbol::EndlessLeft:
    case Symbol::EndlessRight:
        path.addPath(Head(0.08, 0.42));
        path.addPath(Head(0.5, 0.42));
        break;
    case Symbol::Halt: {
        // An octagon, the stop sign's shape.
        constexpr qreal a = 0.1;
        constexpr qreal b = 0.35;
        path.moveTo(b, a);
        path.lineTo(1 - b, a);
        path.lineTo(1 - a, b);
        path.lineTo(1 - a, 1 - b);
        path.lineTo(1 - b, 1 - a);
        path.lineTo(b, 1 - a);
        path.lineTo(a, 1 - b);
        path.lineTo(a, b);
        path.closeSubpath();
        break;
    }
    }
    return path;
}

bool PointsLeft(Symbol symbol) {
    return symbol == Symbol::Left || symbol == Symbol::EndlessLeft;
}

class Engine : public QIconEngine {
public:
    explicit Engine(Symbol symbol) : m_symbol(symbol) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override {
        const QPalette palette = QGuiApplication::palette();
        QColor colour =
            m_symbol == Symbol::Halt ? Colors::HaltSymbol : palette.color(QPalette::ButtonText);
        if (mode == QIcon::Disabled) {
            colour = palette.color(QPalette::Disabled, QPalette::ButtonText);
        }
        const qreal side = std::min(rect.width(), rect.height());
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(QRectF(rect).center() - QPointF(side / 2, side / 2));
        if (PointsLeft(m_symbol)) {
            painter->translate(side, 0);
            painter->scale(-1, 1);
        }
        painter->scale(side, side);
        painter->fillPath(Shape(m_symbol), colour);
        painter->restore();
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QIconEngine *clone() const override { return new Engine(m_symbol); }

private:
    Symbol m_symbol;
};

} // namespace

QIcon Icon(Symbol symbol) {
    return QIcon(new Engine(symbol));
}

} // namespace DriveIcons
