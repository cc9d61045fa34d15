#include "gui/sheet/sheetprinter.h"

#include "core/definition/turntablegeometry.h"
#include "gui/common/turntabledrawing.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTextOption>
#include <functional>

namespace SheetPrinter {

namespace {
size_t at(int i) {
    return static_cast<size_t>(i);
}

// The picture as the definition tab draws it: its size and pens, the tracks in use with their
// names, and the switch line when the station shows it.
constexpr int PictureSide = 520;
constexpr int TrackPen = 5;
constexpr int SwitchPen = 3;

QImage Picture(const StationSheet::Content &c) {
    // Drawn at twice the tab's pixels, so that the names stay sharp on paper.
    QImage image(PictureSide * 2, PictureSide * 2, QImage::Format_RGB32);
    image.setDevicePixelRatio(2.0);
    const StationData &st = c.station;
    const TurntableGeometry g(PictureSide, PictureSide, c.positionCount, st.ZeroOffset,
                              st.ReverseCounting);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    TurntableDrawing::DrawPit(painter, g);
    for (int i = 1; i <= g.positions(); ++i) {
        if (st.PositionUsed[at(i)]) {
            TurntableDrawing::DrawTrack(painter, g, i, TrackPen);
            TurntableDrawing::DrawName(painter, g, i, st.PositionName[at(i)]);
        }
    }
    if (st.ShowSwitchLine) {
        TurntableDrawing::DrawSwitchLine(painter, g, SwitchPen);
    }
    return image;
}

struct Column {
    QString title;
    double share; // of the line's width
};

// Lays the sheet out page by page. Run once without a painter to count the pages, then with one
// to paint them: both runs measure with the device's fonts, so they break the pages alike.
class Layout {
public:
    Layout(QPagedPaintDevice &device, QPainter *painter, int pages, const QString &title)
        : m_device(device), m_painter(painter), m_pages(pages), m_title(title) {
        const double mm = device.logicalDpiY() / 25.4;
        m_margin = 15 * mm;
        m_left = m_margin;
        m_width = device.width() - 2 * m_margin;
        m_top = m_margin;
        m_bottom = device.height() - m_margin - 8 * mm; // room for the page number
        m_y = m_top;
        m_text.setPointSizeF(9);
        m_bold = m_text;
        m_bold.setBold(true);
        m_heading = m_bold;
        m_heading.setPointSizeF(12);
        m_big = m_bold;
        m_big.setPointSizeF(18);
    }

    int page() const { return m_page; }
    double width() const { return m_width; }

    void Finish() { Footer(); }

    // A line of text in a font; long text breaks onto further lines.
    void Text(const QString &text, const QFont &font) {
        const QFontMetricsF m(font, &m_device);
        const QRectF box =
            m.boundingRect(QRectF(0, 0, m_width, 1e6), Qt::TextWordWrap | Qt::AlignLeft, text);
        Need(box.height());
        if (m_painter) {
            m_painter->setFont(font);
            m_painter->drawText(QRectF(m_left, m_y, m_width, box.height()),
                                Qt::TextWordWrap | Qt::AlignLeft, text);
        }
        m_y += box.height();
    }
    void Gap(double lines) { m_y += lines * QFontMetricsF(m_text, &m_device).height(); }

    void Image(const QImage &image, double side) {
        Need(side);
        if (m_painter) {
            m_painter->drawImage(QRectF(m_left + (m_width - side) / 2, m_y, side, side), image);
        }
        m_y += side;
    }

    // A table whose heading row comes again on every page it flows onto; a cell too long for
    // its column is shortened with "…".
    void Table(const QString &heading, const std::vector<Column> &columns,
               const std::vector<QStringList> &rows) {
        const double line = QFontMetricsF(m_text, &m_device).height() * 1.25;
        // The heading stays with its table's first rows.
        Need(QFontMetricsF(m_heading, &m_device).height() + 3 * line);
        Text(heading, m_heading);
        TableRow(columns, {}, true, line);
        for (const QStringList &row : rows) {
            if (m_y + line > m_bottom) {
                NewPage();
                TableRow(columns, {}, true, line);
            }
            TableRow(columns, row, false, line);
        }
        Gap(1);
    }

    QFont m_text, m_bold, m_heading, m_big;

private:
    void TableRow(const std::vector<Column> &columns, const QStringList &cells, bool head,
                  double line) {
        if (m_painter) {
            const QFont &font = head ? m_bold : m_text;
            m_painter->setFont(font);
            const QFontMetricsF metrics(font, &m_device);
            double x = m_left;
            for (size_t i = 0; i < columns.size(); ++i) {
                const double w = columns[i].share * m_width;
                const QString text =
                    head ? columns[i].title : (int(i) < cells.size() ? cells[int(i)] : QString());
                const double pad = metrics.averageCharWidth() / 2;
                m_painter->drawText(QRectF(x + pad, m_y, w - 2 * pad, line),
                                    Qt::AlignLeft | Qt::AlignVCenter,
                                    metrics.elidedText(text, Qt::ElideRight, w - 2 * pad));
                x += w;
            }
            m_painter->setPen(QPen(head ? Qt::black : Qt::lightGray, 0));
            m_painter->drawLine(QPointF(m_left, m_y + line), QPointF(m_left + m_width, m_y + line));
            m_painter->setPen(Qt::black);
        }
        m_y += line;
    }

    void Need(double height) {
        if (m_y + height > m_bottom && m_y > m_top) {
            NewPage();
        }
    }

    void NewPage() {
        Footer();
        if (m_painter) {
            m_device.newPage();
        }
        ++m_page;
        m_y = m_top;
    }

    void Footer() {
        if (!m_painter) {
            return;
        }
        m_painter->setFont(m_text);
        const QRectF box(m_left, m_bottom, m_width, m_device.height() - m_margin - m_bottom);
        m_painter->drawText(box, Qt::AlignLeft | Qt::AlignBottom, m_title);
        m_painter->drawText(box, Qt::AlignRight | Qt::AlignBottom,
                            QCoreApplication::translate("SheetPrinter", "Seite %1 von %2")
                                .arg(m_page)
                                .arg(m_pages));
    }

    QPagedPaintDevice &m_device;
    QPainter *m_painter;
    int m_pages;
    QString m_title;
    int m_page = 1;
    double m_margin = 0, m_left = 0, m_width = 0, m_top = 0, m_bottom = 0, m_y = 0;
};

void Sheet(Layout &l, const StationSheet::Content &c, const QImage &picture) {
    l.Text(QCoreApplication::translate("SheetPrinter", "Stationsblatt: %1").arg(c.title), l.m_big);
    l.Gap(0.5);
    l.Text(QCoreApplication::translate("SheetPrinter", "Erstellt am %1 mit Pivota %2")
               .arg(QLocale().toString(c.time, QLocale::ShortFormat), c.programVersion),
           l.m_text);
    l.Text(QCoreApplication::translate("SheetPrinter", "Firmware Grube: %1, Bühne: %2")
               .arg(c.pitFirmware, c.bridgeFirmware),
           l.m_text);
    l.Text(QCoreApplication::translate("SheetPrinter", "Herkunft der Daten: %1").arg(c.source),
           l.m_text);
    l.Text(QCoreApplication::translate("SheetPrinter", "Positionen: %1, davon in Benutzung: %2")
               .arg(c.positionCount)
               .arg(c.positions.size()),
           l.m_text);
    l.Gap(1);
    l.Image(picture, l.width() * 0.7);
    l.Gap(1);

    std::vector<QStringList> rows;
    for (const StationSheet::Position &p : c.positions) {
        rows.push_back({QString::number(p.number), p.name});
    }
    l.Table(QCoreApplication::translate("SheetPrinter", "Positionen in Benutzung"),
            {{QCoreApplication::translate("SheetPrinter", "Nr."), 0.1},
             {QCoreApplication::translate("SheetPrinter", "Name"), 0.9}},
            rows);

    rows.clear();
    for (const StationSheet::AddressLine &a : c.addresses) {
        rows.push_back({a.name, a.format, a.address, a.output, a.positions});
    }
    l.Table(QCoreApplication::translate("SheetPrinter", "Zubehör-Adressen"),
            {{QCoreApplication::translate("SheetPrinter", "Zeile"), 0.2},
             {QCoreApplication::translate("SheetPrinter", "Format"), 0.22},
             {QCoreApplication::translate("SheetPrinter", "Adresse"), 0.22},
             {QCoreApplication::translate("SheetPrinter", "Ausgang"), 0.16},
             {QCoreApplication::translate("SheetPrinter", "fährt Position"), 0.2}},
            rows);

    rows.clear();
    for (const StationSheet::ParameterLine &p : c.parameters) {
        rows.push_back({p.board, p.name, p.value, p.unitValue, p.defaultValue,
                        p.differs ? QStringLiteral("*") : QString()});
    }
    l.Table(QCoreApplication::translate("SheetPrinter", "Parameter"),
            {{QCoreApplication::translate("SheetPrinter", "Platine"), 0.09},
             {QCoreApplication::translate("SheetPrinter", "Name"), 0.41},
             {QCoreApplication::translate("SheetPrinter", "Wert"), 0.17},
             {QCoreApplication::translate("SheetPrinter", "Einheit"), 0.11},
             {QCoreApplication::translate("SheetPrinter", "Vorgabe"), 0.17},
             {QStringLiteral("*"), 0.05}},
            rows);
    l.Text(QCoreApplication::translate("SheetPrinter", "* weicht von der Vorgabe ab"), l.m_text);
    l.Gap(1);

    if (!c.doubtful.isEmpty()) {
        l.Text(QCoreApplication::translate("SheetPrinter", "Zellen ohne bestätigten Wert"),
               l.m_heading);
        for (const QString &cell : c.doubtful) {
            l.Text(cell, l.m_text);
        }
    }
}
} // namespace

int Paint(QPagedPaintDevice &device, const StationSheet::Content &content) {
    const QImage picture = Picture(content);
    Layout count(device, nullptr, 0, content.title);
    Sheet(count, content, picture);
    QPainter painter;
    if (!painter.begin(&device)) {
        return 0;
    }
    Layout paint(device, &painter, count.page(), content.title);
    Sheet(paint, content, picture);
    paint.Finish();
    return paint.page();
}

bool WritePdf(const QString &path, const StationSheet::Content &content, QString *error) {
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageOrientation(QPageLayout::Portrait);
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(300);
    writer.setTitle(
        QCoreApplication::translate("SheetPrinter", "Stationsblatt: %1").arg(content.title));
    writer.setCreator(QStringLiteral("Pivota"));
    if (Paint(writer, content) == 0) {
        if (error) {
            *error =
                QCoreApplication::translate("SheetPrinter", "%1 kann nicht geschrieben werden.")
                    .arg(QDir::toNativeSeparators(path));
        }
        return false;
    }
    return true;
}

} // namespace SheetPrinter
