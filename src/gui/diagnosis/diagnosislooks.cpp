#include "gui/diagnosis/diagnosislooks.h"

#include "comm/messages.h"
#include "gui/common/colors.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>

namespace Diagnosis {

PanelLook DipLook(Dip dip, uint8_t status1) {
    switch (dip) {
    case Dip::Dcc:
        return (status1 & Msg::StatusDip2)
                   ? PanelLook{QStringLiteral("MM"), Colors::Yellow, Colors::Black}
                   : PanelLook{QStringLiteral("DCC"), Colors::Aqua, Colors::Black};
    case Dip::Positions48:
        return (status1 & Msg::StatusDip1)
                   ? PanelLook{QCoreApplication::translate("DiagnosisLooks", "xx Pos"),
                               Colors::Black, Colors::White}
                   : PanelLook{QCoreApplication::translate("DiagnosisLooks", "48 Pos"),
                               Colors::White, Colors::Black};
    case Dip::Calc:
        break;
    }
    return (status1 & Msg::StatusDip3)
               ? PanelLook{QCoreApplication::translate("DiagnosisLooks", "Norm"), Colors::Black,
                           Colors::White}
               : PanelLook{QStringLiteral("/2"), Colors::White, Colors::Black};
}

QColor ErrorPanelColour(int number, uint8_t errors1, uint8_t errors2, bool motorActive,
                        const QColor &buttonFace) {
    const bool pit = number < 20;
    const int bit = pit ? number - 10 : number - 20;
    const bool set = ((pit ? errors1 : errors2) >> bit) & 1;
    if (pit && bit == 2) {
        // "RS232 OK" is the one flag that is good news when set.
        return set ? Colors::Lime : buttonFace;
    }
    if (!pit && bit <= 1 && !motorActive) {
        return Colors::White; // no motor current is expected while the motor stands
    }
    return set ? Colors::Red : Colors::Lime;
}

namespace {

void DrawCurve(QPainter &painter, int width, const GraphScale &scale, const SampleHistory &history,
               const QColor &colour) {
    painter.setPen(QPen(colour, 2, Qt::SolidLine));
    QPoint last(0, scale.Y(history.at(0)));
    for (int i = 1; i < SampleHistory::Length; ++i) {
        const QPoint next(GraphScale::X(i, width), scale.Y(history.at(i)));
        painter.drawLine(last, next);
        last = next;
    }
}

void DrawLevel(QPainter &painter, int width, const GraphScale &scale, int sample,
               const QColor &colour, Qt::PenStyle style) {
    painter.setPen(QPen(colour, 1, style));
    const int y = scale.Y(sample);
    painter.drawLine(0, y, width - 1, y);
}

} // namespace

void PaintSenseGraph(QImage &canvas, int width, const GraphScale &scale,
                     const SampleHistory &history, std::optional<int> reference) {
    if (!scale.drawable() || canvas.isNull()) {
        return;
    }
    canvas.fill(Colors::White);
    QPainter painter(&canvas);
    DrawCurve(painter, width, scale, history, Colors::Red);
    if (reference) {
        DrawLevel(painter, width, scale, *reference, Colors::Blue, Qt::DashLine);
    }
}

void PaintSensorGraph(QImage &canvas, int width, const GraphScale &scale,
                      const SampleHistory &history, int vMess, int vCount, bool grid,
                      const QColor &gridColour) {
    if (!scale.drawable() || canvas.isNull()) {
        return;
    }
    canvas.fill(Colors::White);
    QPainter painter(&canvas);
    DrawCurve(painter, width, scale, history, Colors::Blue);
    DrawLevel(painter, width, scale, vMess, Colors::Blue, Qt::DashLine);
    DrawLevel(painter, width, scale, vCount, Colors::Red, Qt::DashLine);
    if (grid) {
        for (int volt : VoltGrid) {
            DrawLevel(painter, width, scale, volt, gridColour, Qt::DotLine);
        }
    }
}

} // namespace Diagnosis
