// The parameter tab's form: its boxes, rows, option bits, legend and buttons, and how they are
// laid out from the widths their texts need.

#include "gui/parameter/tframeparameter.h"

#include "gui/common/named.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>

using namespace Parameter;

namespace {
constexpr int EditWidth = 60; // wide enough for a version such as "V 01.0a"
constexpr int EditHeight = 21;
constexpr int RowStep = 25;
constexpr int FirstRowTop = 15;
constexpr int LabelDrop = 4;
constexpr int ValueLabelWidth = 84;
constexpr int BitStep = 20;
constexpr int PanelSize = 10;
constexpr int ButtonHeight = 25;
constexpr int ProgressHeight = 17;

enum BoxIndex { SpeedBox, TimeBox, ParameterBox, PositionsBox, VersionsBox, OptionsBox };

size_t At(int i) {
    return static_cast<size_t>(i);
}
} // namespace

void TFrameParameter::BuildForm() {
    // The panel fills the tab; its resize lays the rows out.
    pnl_reg = Named(new QWidget(this), "pnl_reg");
    pnl_reg->installEventFilter(this);

    const std::array<const char *, 6> captions = {
        QT_TRANSLATE_NOOP("TFrameParameter", "Bühne Geschwindigkeiten"),
        QT_TRANSLATE_NOOP("TFrameParameter", "Bühne Zeiten"),
        QT_TRANSLATE_NOOP("TFrameParameter", "Bühne Parameter"),
        QT_TRANSLATE_NOOP("TFrameParameter", "Anzahl Positionen"),
        QT_TRANSLATE_NOOP("TFrameParameter", "SW-Versionen (PIC)"),
        QT_TRANSLATE_NOOP("TFrameParameter", "Konfiguration")};
    const std::array<const char *, 6> names = {"GroupBox_speed",     "GroupBox_time",
                                               "GroupBox_parameter", "GroupBox_positions",
                                               "GroupBox_versions",  "GroupBox_config"};
    for (size_t i = 0; i < m_boxes.size(); ++i) {
        m_boxes[i] = Named(new QGroupBox(tr(captions[i]), pnl_reg), QString::fromUtf8(names[i]));
    }
    BuildRowSlots();
    BuildOptionBits();
    BuildLegend();
    BuildButtons();
}

void TFrameParameter::BuildRowSlots() {
    for (int k = 0; k < RowSlots; ++k) {
        RowSlot &s = m_rows[At(k)];
        QWidget *parent =
            k < RowCount && Rows()[At(k)].box != Box::None ? BoxOf(Rows()[At(k)].box) : pnl_reg;
        s.name = Named(new QLabel(parent), QStringLiteral("lbl_para_%1").arg(k));
        s.edit = Named(new QLineEdit(parent), QStringLiteral("edt_para_%1").arg(k));
        s.edit->resize(EditWidth, EditHeight);
        s.edit->setAutoFillBackground(true);
        s.value = Named(new QLabel(parent), QStringLiteral("lbl_para_value_%1").arg(k));
        s.value->resize(ValueLabelWidth, EditHeight - LabelDrop);
        s.name->hide();
        s.edit->hide();
        s.value->hide();
        connect(s.edit, &QLineEdit::textChanged, this, [this, k] { ParameterEditChange(k); });
        connect(s.edit, &QLineEdit::editingFinished, this, [this, k] { ParameterEditExit(k); });
    }
}

void TFrameParameter::BuildOptionBits() {
    QGroupBox *options = m_boxes[OptionsBox];
    for (int g = 0; g < GroupSlots; ++g) {
        for (int b = 0; b < Bits; ++b) {
            BitSlot &s = m_bits[At(g)][At(b)];
            const QString suffix = QStringLiteral("%1_%2").arg(g).arg(b);
            s.label = Named(new QLabel(options), "lbl_opt_" + suffix);
            s.box = Named(new QCheckBox(options), "cbx_opt_" + suffix);
            s.box->resize(20, 20);
            s.panel = Named(new QLabel(options), "pnl_opt_" + suffix);
            s.panel->setFrameShape(QFrame::Box);
            s.panel->setAutoFillBackground(true);
            s.panel->resize(PanelSize, PanelSize);
            QPalette p = s.panel->palette();
            p.setColor(QPalette::Window, palette().color(QPalette::Base));
            s.panel->setPalette(p);
            s.label->hide();
            s.box->hide();
            s.panel->hide();
            connect(s.box, &QCheckBox::clicked, this, [this, g, b] { CheckBox_xClick(g, b); });
        }
    }
}

void TFrameParameter::BuildLegend() {
    const std::array<const char *, 7> legend = {
        QT_TRANSLATE_NOOP("TFrameParameter", "Bedeutung der Farben:"),
        QT_TRANSLATE_NOOP("TFrameParameter",
                          "Weiss: Daten nicht verifiziert (von Festplatte geladen)"),
        QT_TRANSLATE_NOOP("TFrameParameter",
                          "Blau: Anfrage für das Auslesen dieser Daten wurde an den PIC gesendet"),
        QT_TRANSLATE_NOOP("TFrameParameter",
                          "Grün: Daten aus PIC ausgelesen, sind also verifiziert"),
        QT_TRANSLATE_NOOP("TFrameParameter",
                          "Violett: Daten an den PIC gesendet, noch nicht zurückgelesen"),
        QT_TRANSLATE_NOOP("TFrameParameter",
                          "Gelb: Daten geändert und noch nicht zum PIC übertragen"),
        QT_TRANSLATE_NOOP("TFrameParameter", "Rot: geschrieben, aber nicht so zurückgelesen; wird "
                                             "beim nächsten Schreiben wiederholt")};
    for (size_t i = 0; i < legend.size(); ++i) {
        m_legend[i] =
            Named(new QLabel(tr(legend[i]), pnl_reg), QStringLiteral("lbl_legend_%1").arg(i));
        if (i == 0) {
            QFont f = m_legend[i]->font();
            f.setBold(true);
            f.setUnderline(true);
            m_legend[i]->setFont(f);
        }
        m_legend[i]->adjustSize();
    }
}

void TFrameParameter::BuildButtons() {
    auto button = [this](const QString &caption, const char *name, int width) {
        auto *b = Named(new QPushButton(caption, pnl_reg), QString::fromUtf8(name));
        b->resize(std::max(width, b->sizeHint().width()), ButtonHeight);
        return b;
    };
    btn_read_values = button(tr("Werte einlesen"), "btn_read_values", 100);
    btn_write_values = button(tr("Werte schreiben"), "btn_write_values", 100);
    btn_write_values->setToolTip(tr("Schreibt die Parameter"));
    btn_alle_gelb = button(tr("markiere alle Gelb"), "btn_alle_gelb", 110);
    btn_alle_gelb->setToolTip(
        tr("dadurch werden ALLE Parameter beim \"Werte schreiben\" übertragen"));
    btn_default = button(tr("Vorgabe-Werte "), "btn_default", 110);
    btn_default->setToolTip(tr("Rücksetzen auf Vorgabe-Werte"));
    connect(btn_read_values, &QPushButton::clicked, this, &TFrameParameter::btn_read_valuesClick);
    connect(btn_write_values, &QPushButton::clicked, this, &TFrameParameter::btn_write_valuesClick);
    connect(btn_alle_gelb, &QPushButton::clicked, this, &TFrameParameter::btn_alle_gelbClick);
    connect(btn_default, &QPushButton::clicked, this, &TFrameParameter::btn_defaultClick);

    ProgressBar3 = Named(new QProgressBar(pnl_reg), "ProgressBar3");
    ProgressBar3->setRange(0, EntryCount);
    ProgressBar3->setValue(0);
    ProgressBar3->setTextVisible(false);
}

QGroupBox *TFrameParameter::BoxOf(Box box) const {
    switch (box) {
    case Box::Speed:
        return m_boxes[SpeedBox];
    case Box::Time:
        return m_boxes[TimeBox];
    case Box::Parameter:
        return m_boxes[ParameterBox];
    case Box::Positions:
        return m_boxes[PositionsBox];
    case Box::Versions:
        return m_boxes[VersionsBox];
    case Box::None:
        break;
    }
    return nullptr;
}

bool TFrameParameter::eventFilter(QObject *watched, QEvent *event) {
    if (watched == pnl_reg && event->type() == QEvent::Resize) {
        pnl_regResize();
    }
    return QWidget::eventFilter(watched, event);
}

void TFrameParameter::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    ArrangeParameterRows();
}

void TFrameParameter::pnl_regResize() {
    ArrangeParameterRows();
}

void TFrameParameter::ArrangeParameterRows() {
    if (pnl_reg->geometry() != rect()) {
        pnl_reg->setGeometry(rect());
    }
    ArrangeBoxes();
    ArrangeOptionBits();
    ArrangeLegendAndButtons();
}

void TFrameParameter::ArrangeBoxes() {
    // Widths that the fonts decide.
    int widestName = 0;
    int widestParameterName = 0;
    for (int k = 0; k < RowCount; ++k) {
        const int w = m_rows[At(k)].name->sizeHint().width();
        widestName = std::max(widestName, w);
        if (Rows()[At(k)].box == Box::Parameter) {
            widestParameterName = std::max(widestParameterName, w);
        }
    }
    const int editLeft = widestName + 16;
    const int valueLeft = widestName + EditWidth + 26;
    const int commonWidth = valueLeft + 90;
    // In "Bühne Parameter" the edits stand 120 right of the names unless a name is wider.
    const int paramEditLeft = 10 + std::max(120, widestParameterName + 8);
    const int paramValueLeft = paramEditLeft + std::max(50, EditWidth + 6);
    int widestOption = 0;
    for (int g = 0; g < GroupSlots; ++g) {
        for (int b = 0; b < Bits; ++b) {
            if (BitShown(g, b)) {
                widestOption =
                    std::max(widestOption, m_bits[At(g)][At(b)].label->sizeHint().width());
            }
        }
    }
    // The boxes that share the parameter box's width must hold their own rows as well.
    const int paramWidth =
        std::max({paramValueLeft + 90, editLeft + EditWidth + 10, 45 + widestOption + 10});

    auto placeRows = [&](BoxIndex index, Box box, int nameLeft, int eLeft, int vLeft) {
        int top = FirstRowTop;
        for (int k = 0; k < RowCount; ++k) {
            if (Rows()[At(k)].box != box) {
                continue;
            }
            const RowSlot &s = m_rows[At(k)];
            s.edit->setGeometry(eLeft, top, EditWidth, EditHeight);
            s.name->move(nameLeft, top + LabelDrop);
            s.value->move(vLeft, top + LabelDrop);
            top += RowStep;
        }
        m_boxes[index]->resize(m_boxes[index]->width(), top + 6);
    };
    auto setWidth = [&](BoxIndex index, int w) {
        m_boxes[index]->resize(w, m_boxes[index]->height());
    };
    setWidth(SpeedBox, commonWidth);
    setWidth(TimeBox, commonWidth);
    setWidth(ParameterBox, paramWidth);
    setWidth(PositionsBox, paramWidth);
    setWidth(VersionsBox, paramWidth);
    setWidth(OptionsBox, paramWidth);
    placeRows(SpeedBox, Box::Speed, 6, editLeft, valueLeft);
    placeRows(TimeBox, Box::Time, 6, editLeft, valueLeft);
    placeRows(ParameterBox, Box::Parameter, 10, paramEditLeft, paramValueLeft);
    placeRows(PositionsBox, Box::Positions, 6, editLeft, valueLeft);
    placeRows(VersionsBox, Box::Versions, 6, editLeft, valueLeft);

    // Ten pixels between the columns where the page has them; a style with a wider tab frame
    // (Windows') leaves a few pixels less, and the columns close up rather than run out of the
    // page.
    const int columns = commonWidth + 2 * paramWidth;
    const int gap = std::clamp((pnl_reg->width() - 6 - columns) / 2, 4, 10);
    QGroupBox *speed = m_boxes[SpeedBox];
    speed->move(6, 6);
    m_boxes[TimeBox]->move(6, speed->y() + speed->height() + 10);
    QGroupBox *param = m_boxes[ParameterBox];
    param->move(speed->x() + speed->width() + gap, speed->y());
    m_boxes[PositionsBox]->move(param->x(), param->y() + param->height() + 10);
    QGroupBox *versions = m_boxes[VersionsBox];
    versions->move(param->x() + param->width() + gap, speed->y());
    QGroupBox *options = m_boxes[OptionsBox];
    options->move(versions->x(), versions->y() + versions->height() + 10);
}

void TFrameParameter::ArrangeOptionBits() {
    int line = FirstRowTop;
    for (int g = 0; g < GroupSlots; ++g) {
        for (int b = 0; b < Bits; ++b) {
            const BitSlot &s = m_bits[At(g)][At(b)];
            s.panel->move(5, line + 4);
            s.box->move(20, line);
            s.label->move(45, line + 4);
            if (!s.box->isHidden()) {
                line += BitStep;
            }
        }
    }
    QGroupBox *options = m_boxes[OptionsBox];
    options->resize(options->width(), line + 6);
}

void TFrameParameter::ArrangeLegendAndButtons() {
    // The legend below the boxes.
    int legendTop = 0;
    for (QGroupBox *box : m_boxes) {
        legendTop = std::max(legendTop, box->y() + box->height());
    }
    legendTop += 12;
    for (QLabel *label : m_legend) {
        label->move(6, legendTop);
        legendTop += label->height() + 2;
    }

    // Buttons along the bottom right; "Vorgabe-Werte " below "markiere alle Gelb", and all of it
    // inside the panel.
    const int h = height();
    const int w = width();
    const int defaultTop = h - 10 - ButtonHeight;
    const int lineTop = defaultTop - 5 - ButtonHeight;
    btn_read_values->move(w - 30 - btn_read_values->width(), lineTop);
    btn_write_values->move(btn_read_values->x() - 10 - btn_write_values->width(), lineTop);
    btn_alle_gelb->move(btn_write_values->x() - 10 - btn_alle_gelb->width(), lineTop);
    btn_default->move(btn_alle_gelb->x(), defaultTop);
    ProgressBar3->setGeometry(
        btn_write_values->x(), lineTop - 10 - ProgressHeight,
        btn_read_values->x() + btn_read_values->width() - btn_write_values->x(), ProgressHeight);
}
