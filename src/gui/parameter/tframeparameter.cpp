#include "gui/parameter/tframeparameter.h"

#include "comm/sharedstate.h"
#include "gui/common/colors.h"
#include "gui/common/controls.h"
#include "gui/common/dialogs.h"
#include "gui/common/named.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

using namespace Parameter;

namespace {
QString ResetQuestion() {
    return QCoreApplication::translate(
        "TFrameParameter",
        "Rücksetzen auf Vorgabe-Werte\nDadurch gehen alle Einstellungen verloren!\n"
        "DIRECT DRIVE muss dann zur Ermittlung der\nRegelungsparameter wieder "
        "ausgeführt werden!");
}

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

bool BitShown(int group, int bit) {
    return group < GroupCount && Groups()[At(group)].labels[At(bit)][0] != '\0';
}
} // namespace

TFrameParameter::TFrameParameter(SharedState &state, Dialogs &dialogs, QWidget *parent)
    : TabFrame(parent), m_state(state), m_dialogs(dialogs), m_model(state), m_transfer(m_model) {
    setObjectName(QStringLiteral("TFrameParameter"));
    BuildForm();
    Timer4 = Named(new QTimer(this), "Timer4");
    connect(Timer4, &QTimer::timeout, this, &TFrameParameter::Timer4Timer);
    btn_read_values->setEnabled(false);
    btn_write_values->setEnabled(false);
    ArrangeParameterRows();
}

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

// ---------------------------------------------------------------------------------------------
// Showing

void TFrameParameter::HideParameterRows() {
    Updating = true;
    pnl_reg->show();
    for (RowSlot &s : m_rows) {
        s.name->hide();
        s.edit->hide();
    }
    m_model.Hide();
    Updating = false;
}

void TFrameParameter::WriteCatalogue() {
    for (int k = 0; k < RowCount; ++k) {
        const ParameterRow &r = Rows()[At(k)];
        m_rows[At(k)].name->setText(Parameter::Text(r.name));
        m_rows[At(k)].name->adjustSize();
        m_rows[At(k)].edit->setToolTip(Parameter::Text(r.hint));
    }
    for (int g = 0; g < GroupCount; ++g) {
        for (int b = 0; b < Bits; ++b) {
            const BitSlot &s = m_bits[At(g)][At(b)];
            s.label->setText(Parameter::Text(Groups()[At(g)].labels[At(b)]));
            s.label->adjustSize();
            s.box->setToolTip(Parameter::Text(Groups()[At(g)].hints[At(b)]));
        }
    }
}

void TFrameParameter::HousekeepingTick() {
    // Answers, and mirrors changed elsewhere (the EEPROM tab's "setze 00", a load), show at once.
    if (m_state.bridge.answerRevision() != m_bridgeAnswersShown ||
        (m_transfer.engine().byAnswer() && m_state.pit.answerRevision() != m_pitAnswersShown)) {
        ShowParameters();
    } else if (!MirrorsShown()) {
        RefreshValues(); // the pit board's answers are another tab's to take
    }
}

void TFrameParameter::RefreshValues() {
    Updating = true;
    m_model.Show(false);
    for (int k = 0; k < RowCount; ++k) {
        ShowRow(k);
    }
    for (int g = 0; g < GroupSlots; ++g) {
        ShowGroup(g);
    }
    NoteMirrorsShown();
    Updating = false;
}

bool TFrameParameter::MirrorsShown() const {
    return m_bridgeShown == m_state.bridge.revision() && m_pitShown == m_state.pit.revision();
}

void TFrameParameter::NoteMirrorsShown() {
    m_bridgeShown = m_state.bridge.revision();
    m_pitShown = m_state.pit.revision();
}

void TFrameParameter::Reload() {
    HideParameterRows();
    ShowParameters();
}

void TFrameParameter::ShowParameters() {
    Updating = true;
    m_bridgeAnswersShown = m_state.bridge.answerRevision();
    m_pitAnswersShown = m_state.pit.answerRevision();
    WriteCatalogue();
    m_model.Show();
    for (int k = 0; k < RowSlots; ++k) {
        const RowSlot &s = m_rows[At(k)];
        const bool shown = k < RowCount && Rows()[At(k)].name[0] != '\0';
        s.name->setVisible(shown);
        s.edit->setVisible(shown);
        s.value->setVisible(shown && Rows()[At(k)].unit[0] != '\0');
        if (k < RowCount) {
            ShowRow(k);
        }
    }
    for (int g = 0; g < GroupSlots; ++g) {
        ShowGroup(g);
    }
    ArrangeParameterRows();
    NoteMirrorsShown();
    Updating = false;
}

void TFrameParameter::ShowRow(int row) {
    const RowSlot &s = m_rows[At(row)];
    const bool wasUpdating = Updating;
    Updating = true;
    // Only a real difference is written, so that the caret of the edit being typed in stays put.
    if (s.edit->text() != m_model.text(row)) {
        s.edit->setText(m_model.text(row));
    }
    Updating = wasUpdating;
    if (!m_model.valueLabel(row).isEmpty()) {
        s.value->setText(m_model.valueLabel(row));
    }
    if (row == PitVersionRow || row == BridgeVersionRow) {
        // Shown, never typed over; the version stays as readable as the other values.
        s.edit->setEnabled(false);
        QPalette p = s.edit->palette();
        p.setColor(QPalette::Disabled, QPalette::Text, p.color(QPalette::Active, QPalette::Text));
        s.edit->setPalette(p);
    }
    PaintMark(s.edit, m_model.rowMark(row), QPalette::Base);
}

void TFrameParameter::ShowGroup(int group) {
    const bool wasUpdating = Updating;
    Updating = true;
    for (int b = 0; b < Bits; ++b) {
        const BitSlot &s = m_bits[At(group)][At(b)];
        const bool shown = BitShown(group, b);
        s.label->setVisible(shown);
        s.box->setVisible(shown);
        s.panel->setVisible(shown);
        if (group < GroupCount) {
            s.box->setChecked(m_model.ticked(group, b));
        }
        PaintMark(s.panel, m_model.bitMark(group, b), QPalette::Window);
    }
    Updating = wasUpdating;
}

void TFrameParameter::ShowMarks() {
    for (int k = 0; k < RowCount; ++k) {
        PaintMark(m_rows[At(k)].edit, m_model.rowMark(k), QPalette::Base);
    }
    for (int g = 0; g < GroupSlots; ++g) {
        for (int b = 0; b < Bits; ++b) {
            PaintMark(m_bits[At(g)][At(b)].panel, m_model.bitMark(g, b), QPalette::Window);
        }
    }
}

void TFrameParameter::PaintMark(QWidget *widget, Mark mark, QPalette::ColorRole role) {
    QColor colour;
    switch (mark) {
    case Mark::White:
        colour = palette().color(QPalette::Base);
        break;
    case Mark::Blue:
        colour = Colors::MarkRequested;
        break;
    case Mark::Sent:
        colour = Colors::MarkSent;
        break;
    case Mark::Green:
        colour = Colors::MarkReceived;
        break;
    case Mark::Yellow:
        colour = Colors::MarkChanged;
        break;
    case Mark::Red:
        colour = Colors::MarkFailed;
        break;
    }
    QPalette p = widget->palette();
    if (p.color(role) != colour) {
        // All colour groups, so that the disabled version edits show their mark as well.
        p.setColor(role, colour);
        widget->setPalette(p);
    }
}

void TFrameParameter::ArrangeParameterRows() {
    if (pnl_reg->geometry() != rect()) {
        pnl_reg->setGeometry(rect());
    }
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

    QGroupBox *speed = m_boxes[SpeedBox];
    speed->move(6, 6);
    m_boxes[TimeBox]->move(6, speed->y() + speed->height() + 10);
    QGroupBox *param = m_boxes[ParameterBox];
    param->move(speed->x() + speed->width() + 10, speed->y());
    m_boxes[PositionsBox]->move(param->x(), param->y() + param->height() + 10);
    QGroupBox *versions = m_boxes[VersionsBox];
    versions->move(param->x() + param->width() + 10, speed->y());
    QGroupBox *options = m_boxes[OptionsBox];
    options->move(versions->x(), versions->y() + versions->height() + 10);

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
    options->resize(options->width(), line + 6);

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

// ---------------------------------------------------------------------------------------------
// Typing and clicking

bool TFrameParameter::HasUnwrittenChanges() const {
    return m_model.HasUnwrittenChanges();
}

void TFrameParameter::ReportInvalid(int row) {
    // The box takes the focus: the edit's end that this brings is no end of the user's edit.
    m_reporting = true;
    m_dialogs.showWarning(InvalidInputText());
    m_reporting = false;
    m_rows[At(row)].edit->setFocus();
}

void TFrameParameter::ShowOutcome(int slot, const ParameterModel::EditOutcome &outcome) {
    if (outcome.result == ParameterModel::EditResult::Warn) {
        ReportInvalid(slot);
    }
    ShowRow(slot); // the text the model kept: the last valid one, or the clamped value
    if (!outcome.status.isEmpty()) {
        m_state.PostStatus(outcome.status);
    }
}

void TFrameParameter::ParameterEditChange(int slot) {
    if (Updating || slot < 0 || slot >= RowCount) {
        return;
    }
    const bool shown = MirrorsShown();
    const auto outcome = m_model.Typed(slot, m_rows[At(slot)].edit->text());
    if (shown) {
        NoteMirrorsShown(); // the tab's own store is no news for it
    }
    ShowOutcome(slot, outcome);
}

void TFrameParameter::ParameterEditExit(int slot) {
    if (Updating || m_reporting || slot < 0 || slot >= RowCount) {
        return;
    }
    const bool shown = MirrorsShown();
    const auto outcome = m_model.EditingFinished(slot);
    if (shown) {
        NoteMirrorsShown(); // the tab's own store is no news for it
    }
    ShowOutcome(slot, outcome);
}

void TFrameParameter::CheckBox_xClick(int group, int bit) {
    if (Updating || group < 0 || group >= GroupSlots || bit < 0 || bit >= Bits) {
        return;
    }
    const bool shown = MirrorsShown();
    m_model.Clicked(group, bit, m_bits[At(group)][At(bit)].box->isChecked());
    if (shown) {
        NoteMirrorsShown(); // the tab's own store is no news for it
    }
    ShowGroup(group);
}

// ---------------------------------------------------------------------------------------------
// Buttons and transfers

void TFrameParameter::OnlineChanged() {
    // A transfer paced by the answers that the lost line interrupted has ended already.
    if (Timer4->isActive() && m_transfer.engine().byAnswer() && !m_transfer.Running()) {
        EndTransfer();
    }
    UpdateParameterButtons();
}

void TFrameParameter::UpdateParameterButtons() {
    btn_read_values->setEnabled(m_state.Online);
    btn_write_values->setEnabled(m_state.Online);
}

void TFrameParameter::btn_read_valuesClick() {
    StartTransfer(PacedTransfer::Mode::Read);
}

void TFrameParameter::btn_write_valuesClick() {
    StartTransfer(PacedTransfer::Mode::Write);
    ShowParameters();
}

void TFrameParameter::StartTransfer(PacedTransfer::Mode mode) {
    const TransferSettings &t = m_state.transferSettings;
    const bool read = mode == PacedTransfer::Mode::Read;
    // Writes are paced by the answers only when they are read back: a write has no answer.
    const bool byAnswer = read ? t.byAnswer() : t.verifying();
    ProgressBar3->setRange(0, m_model.entryCount());
    ProgressBar3->setValue(0);
    ProgressBar3->setTextVisible(byAnswer);
    if (byAnswer || (m_transfer.engine().byAnswer() && m_transfer.Running())) {
        const bool wasRunning = m_transfer.Running();
        m_transfer.StartByAnswer(mode, m_model.entryCount(), [this] { Timer4->start(0); });
        if (wasRunning) {
            EndTransfer(); // stopped at once; what was read stays
            return;
        }
        ProgressBar3->setRange(0, std::max(1, m_transfer.engine().total()));
        ShowMarks();
        Timer4->start(0);
        return;
    }
    if (read) {
        m_transfer.StartRead(m_model.entryCount());
    } else {
        m_transfer.StartWrite(m_model.entryCount());
    }
    Timer4->start(m_transfer.interval());
}

void TFrameParameter::Timer4Timer() {
    const ParameterTransfer::Step step = m_transfer.Tick();
    ProgressBar3->setValue(step.progress);
    if (m_transfer.engine().byAnswer()) {
        ProgressBar3->setFormat(m_transfer.engine().ProgressText());
    }
    if (step.ended) {
        EndTransfer();
        return;
    }
    Timer4->setInterval(m_transfer.interval());
    ShowMarks();
}

void TFrameParameter::EndTransfer() {
    ShowParameters();
    Timer4->stop();
}

void TFrameParameter::btn_defaultClick() {
    Updating = true;
    if (!m_dialogs.askOkCancel(ResetQuestion())) {
        Updating = false;
        return;
    }
    const bool shown = MirrorsShown();
    const int failed = m_model.ApplyDefaults();
    if (shown) {
        NoteMirrorsShown(); // the tab's own store is no news for it
    }
    for (int k = 0; k < RowCount; ++k) {
        ShowRow(k);
    }
    for (int g = 0; g < GroupSlots; ++g) {
        ShowGroup(g);
    }
    if (failed >= 0) {
        ReportInvalid(failed);
    }
    Updating = false;
}

void TFrameParameter::btn_alle_gelbClick() {
    Updating = true;
    m_model.MarkAll();
    ShowMarks();
    Updating = false;
}
