#include "gui/definition/tframedefinition.h"

#include "comm/sharedstate.h"
#include "gui/common/dialogs.h"
#include "gui/common/named.h"
#include "gui/common/turntabledrawing.h"
#include "gui/common/turntablepicture.h"
#include "gui/common/turntableview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSpinBox>
#include <QTimer>
#include <algorithm>
#include <optional>

namespace {
QString CaptionRead() {
    return QCoreApplication::translate("TFrameDefinition", "Werte einlesen");
}
QString CaptionWrite() {
    return QCoreApplication::translate("TFrameDefinition", "Werte schreiben");
}
QString CaptionAbort() {
    return QCoreApplication::translate("TFrameDefinition", "Abbruch");
}
QString HintActivate() {
    return QCoreApplication::translate("TFrameDefinition", "Gleis aktivieren");
}
QString HintDeactivate() {
    return QCoreApplication::translate("TFrameDefinition", "Gleis deaktivieren");
}
QString HintRename() {
    return QCoreApplication::translate("TFrameDefinition",
                                       "Rechtsklick: Namen der Position ändern");
}

constexpr int TrackPenWidth = 5;
constexpr int SwitchPenWidth = 3;
constexpr int ButtonHeight = 25;
constexpr int TransferButtonWidth = 100;
constexpr int ProgressHeight = 20;
constexpr int ComboWidth = 206;

// The form's starting sizes; the layout step recomputes most of them.
constexpr QRect FormPicture(8, 8, 520, 520);
constexpr QRect FormDarstellung(600, 8, 273, 105);
constexpr QRect FormAdressen(560, 120, 361, 385);

size_t at(int i) {
    return static_cast<size_t>(i);
}
} // namespace

TFrameDefinition::TFrameDefinition(SharedState &state, Dialogs &dialogs, QWidget *parent)
    : TabFrame(parent), m_state(state), m_dialogs(dialogs), m_rows(state) {
    setObjectName(QStringLiteral("TFrameDefinition"));
    BuildForm();

    Timer5 = Named(new QTimer(this), "Timer5");
    Timer5->setInterval(AddressRows::IdleIntervalMs);
    connect(Timer5, &QTimer::timeout, this, &TFrameDefinition::Timer5Timer);
    // A transfer paced by the answers runs on the engine's timer; Timer5 ticks one at fixed
    // pacing and follows the mirror.
    connect(&m_rows.transfer(), &PacedTransfer::progressed, this, [this] {
        ShowTransferProgress();
        if (m_rows.RowState != m_statesShown) {
            ShowAddressRows(); // a row's requests went out, or its cells were written
        }
    });
    connect(&m_rows.transfer(), &PacedTransfer::finished, this, [this] {
        m_rows.FinishByAnswer();
        EndTransfer();
        ShowTransferProgress(); // how far it got, as the status line counts it
        ShowAddressRows();
    });
    btn_read_adr->setEnabled(false);
    btn_write_adr->setEnabled(false);
    btn_read_adr->setText(CaptionRead());
    btn_write_adr->setText(CaptionWrite());

    connect(m_view, &TurntableView::positionClicked, this, &TFrameDefinition::PositionButtonClick);
    connect(m_view, &TurntableView::positionMenu, this, &TFrameDefinition::RenamePosition);
    BuildRows();
    ShowAddressRows();
    DrawTurntable();
    // The rows follow every cell value the pit board reports, also to the other tabs.
    WakeTimer5();
}

void TFrameDefinition::WakeTimer5() {
    if (!Timer5->isActive() && (m_rows.ReadMode() || m_rows.WriteMode() || m_rows.ImageChanged())) {
        Timer5->start();
    }
}

void TFrameDefinition::BuildForm() {
    pnl_definition = Named(new QWidget(this), "pnl_definition");
    m_view = new TurntableView(pnl_definition, TurntableView::Buttons::EveryPosition,
                               {TrackPenWidth, SwitchPenWidth});
    tt_Image1 = m_view->picture();
    tt_Image1->setGeometry(FormPicture);

    GroupBox_Darstellung =
        Named(new QGroupBox(tr("Anpassen der Drehscheiben-Darstellung"), pnl_definition),
              "GroupBox_Darstellung");
    GroupBox_Darstellung->setGeometry(FormDarstellung);
    Label1 = Named(new QLabel(tr("Korrektur der Null-Position"), GroupBox_Darstellung), "Label1");
    Label1->setGeometry(8, 24, 160, 20);
    UpDown_Offset = Named(new QSpinBox(GroupBox_Darstellung), "UpDown_Offset");
    UpDown_Offset->setGeometry(176, 22, 60, 24);
    UpDown_Offset->setRange(0, 100);
    UpDown_Offset->setValue(5);
    UpDown_Offset->setToolTip(tr("ermöglicht, dass die Bildschirm-Anzeige der "
                                 "tatsächlichen Gleis-Nummerrierung entspricht "));
    connect(UpDown_Offset, &QSpinBox::valueChanged, this, &TFrameDefinition::UpDown_OffsetClick);
    cbx_umschaltlinie =
        Named(new QCheckBox(tr("Umschaltlinie zeigen"), GroupBox_Darstellung), "cbx_umschaltlinie");
    cbx_umschaltlinie->setGeometry(8, 52, 170, 20);
    cbx_umschaltlinie->setChecked(true);
    cbx_umschaltlinie->setToolTip(
        tr("Anzeige der Umschaltlinie (Gleipolung durch Kehrschleifen-Relais)"));
    connect(cbx_umschaltlinie, &QCheckBox::toggled, this,
            &TFrameDefinition::cbx_umschaltlinieClick);
    cbx_umdrehen =
        Named(new QCheckBox(tr("Zählweise umdrehen"), GroupBox_Darstellung), "cbx_umdrehen");
    cbx_umdrehen->setGeometry(8, 76, 170, 20);
    cbx_umdrehen->setToolTip(tr("Zehlweise in der Bildschirm-Anzeige umdrehen"));
    connect(cbx_umdrehen, &QCheckBox::toggled, this, &TFrameDefinition::cbx_umdrehenClick);
    btn_all = Named(new QPushButton(tr("alle"), GroupBox_Darstellung), "btn_all");
    btn_all->setGeometry(196, 50, 66, 22);
    btn_all->setToolTip(tr("Alle Abgänge aktivieren"));
    connect(btn_all, &QPushButton::clicked, this, &TFrameDefinition::btn_allClick);
    bnt_none = Named(new QPushButton(tr("keine"), GroupBox_Darstellung), "bnt_none");
    bnt_none->setGeometry(196, 76, 66, 22);
    bnt_none->setToolTip(tr("Alle Abgänge deaktivieren"));
    connect(bnt_none, &QPushButton::clicked, this, &TFrameDefinition::bnt_noneClick);

    GroupBox_Adressen = Named(new QGroupBox(tr("Adressen"), pnl_definition), "GroupBox_Adressen");
    GroupBox_Adressen->setGeometry(FormAdressen);
    btn_write_adr = Named(new QPushButton(CaptionWrite(), GroupBox_Adressen), "btn_write_adr");
    btn_write_adr->setGeometry(8, 354, TransferButtonWidth, ButtonHeight);
    btn_write_adr->setToolTip(tr("Schreibt die Adressen in die Gruben-Platine"));
    connect(btn_write_adr, &QPushButton::clicked, this, &TFrameDefinition::btn_write_adrClick);
    btn_read_adr = Named(new QPushButton(CaptionRead(), GroupBox_Adressen), "btn_read_adr");
    btn_read_adr->setGeometry(8 + TransferButtonWidth + 6, 354, TransferButtonWidth, ButtonHeight);
    btn_read_adr->setToolTip(tr("Liest die Adressen von der Gruben-Platine"));
    connect(btn_read_adr, &QPushButton::clicked, this, &TFrameDefinition::btn_read_adrClick);
    ProgressBar3 = Named(new QProgressBar(GroupBox_Adressen), "ProgressBar3");
    ProgressBar3->setGeometry(8, 328, ComboWidth, ProgressHeight);
    ProgressBar3->setTextVisible(false);
    ProgressBar3->setRange(0, AddressRows::Rows * AddressRows::ReadCellsPerRow);
    ProgressBar3->setValue(0);
    ComboBox_adr = Named(new QComboBox(GroupBox_Adressen), "ComboBox_adr");
    ComboBox_adr->setGeometry(8, 297, ComboWidth, ButtonHeight);
    ComboBox_adr->setPlaceholderText(tr("automatische Adress-Vergabe"));
    for (int i = 0; i < AddressRows::PresetCount; ++i) {
        ComboBox_adr->addItem(AddressRows::PresetText(i));
    }
    ComboBox_adr->setCurrentIndex(-1);
    // As wide as its longest preset, so that every preset reads in full.
    ComboBox_adr->resize(std::max(ComboWidth, ComboBox_adr->sizeHint().width()), ButtonHeight);
    connect(ComboBox_adr, &QComboBox::currentIndexChanged, this,
            &TFrameDefinition::ComboBox_adrChange);
    btn_adr_go = Named(new QPushButton(tr("Los !"), GroupBox_Adressen), "btn_adr_go");
    btn_adr_go->setGeometry(8 + ComboBox_adr->width() + 6, 297, 75, ButtonHeight);
    btn_adr_go->setEnabled(false);
    connect(btn_adr_go, &QPushButton::clicked, this, &TFrameDefinition::btn_adr_goClick);
    btn_undo = Named(new QPushButton(tr("Rüchgängig"), GroupBox_Adressen), "btn_undo");
    btn_undo->setGeometry(8 + ComboBox_adr->width() + 6, 328, 75, ButtonHeight);
    connect(btn_undo, &QPushButton::clicked, this, &TFrameDefinition::btn_undoClick);
    cbx_use_mm = Named(new QCheckBox(tr("Motorola verwenden"), GroupBox_Adressen), "cbx_use_mm");
    cbx_use_mm->setGeometry(224, 357, std::max(150, cbx_use_mm->sizeHint().width()), 20);
    cbx_use_mm->setToolTip(tr("wenn keine MM Adressen benötigt werden, kann man das "
                              "Schreiben der Adressen hier beschleunigen"));
    connect(cbx_use_mm, &QCheckBox::toggled, this, &TFrameDefinition::cbx_use_mmClick);
}

void TFrameDefinition::ShowDefinition(bool loaded) {
    const QScopedValueRollback<bool> updating(Updating, true);
    StationData &st = m_state.station;
    const int n = m_state.PositionCount < 1 ? 10 : m_state.PositionCount;
    // An offset beyond a whole turn draws like its remainder; the spin box can show only -N..N.
    if (st.ZeroOffset > n || st.ZeroOffset < -n) {
        st.ZeroOffset %= n;
    }
    UpDown_Offset->setRange(-n, n);
    UpDown_Offset->setValue(st.ZeroOffset);
    cbx_umdrehen->setChecked(st.ReverseCounting);
    cbx_umschaltlinie->setChecked(st.ShowSwitchLine);
    m_rows.ReadFromImage(false, loaded);
    ShowAddressRows();
    ShowPositionLabels();
    cbx_use_mm->setChecked(st.UseMotorola);
}

void TFrameDefinition::UpdateDefinitionButtons() {
    const bool online = m_state.connection().online();
    // While a transfer runs, only its own button ("Abbruch") may be pressed.
    btn_read_adr->setEnabled(online && !m_rows.WriteMode());
    btn_write_adr->setEnabled(online && !m_rows.ReadMode());
}

// ---------------------------------------------------------------------------------------------
// Layout and picture

void TFrameDefinition::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    pnl_definitionResize();
}

void TFrameDefinition::pnl_definitionResize() {
    DrawTurntable();
}

void TFrameDefinition::ArrangeDefinitionTab() {
    pnl_definition->setGeometry(rect());
    const int w = pnl_definition->width();
    const int h = pnl_definition->height();
    int s = h - 15;
    if (w - GroupBox_Darstellung->width() - 10 < s) {
        s = w - GroupBox_Darstellung->width() - 20;
    }
    s = std::max(0, s);
    tt_Image1->resize(s, s);
    GroupBox_Darstellung->move(s + 15, tt_Image1->y());
    const int groupTop = GroupBox_Darstellung->y() + GroupBox_Darstellung->height() + 3;
    const int groupLeft = GroupBox_Darstellung->x();
    GroupBox_Adressen->setGeometry(groupLeft, groupTop, std::max(0, w - groupLeft - 10),
                                   std::max(0, tt_Image1->height() - groupTop));

    const int gh = GroupBox_Adressen->height();
    btn_write_adr->move(btn_write_adr->x(), gh - btn_write_adr->height() - 6);
    btn_read_adr->move(btn_read_adr->x(), btn_write_adr->y());
    ProgressBar3->move(ProgressBar3->x(), btn_write_adr->y() - ProgressBar3->height() - 6);
    ComboBox_adr->move(ComboBox_adr->x(), ProgressBar3->y() - ComboBox_adr->height() - 6);
    btn_adr_go->move(ComboBox_adr->x() + ComboBox_adr->width() + 6, ComboBox_adr->y());
    btn_undo->move(btn_adr_go->x(), ProgressBar3->y());
    cbx_use_mm->move(btn_read_adr->x() + btn_read_adr->width() + 10, btn_write_adr->y() + 3);
}

void TFrameDefinition::DrawTurntable() {
    ArrangeDefinitionTab();
    const StationData &st = m_state.station;
    // What lies under the buttons before: a button is repainted only when it moves or the
    // picture beneath it changes, not with every redraw of the picture.
    const QImage before = tt_Image1->image().copy();
    const TurntableView::Drawn drawn = m_view->Draw(st, m_state.PositionCount, [&](int i) {
        const QString &name = st.PositionName[at(i)];
        return (st.PositionUsed[at(i)] ? HintDeactivate() : HintActivate()) + u'\n' +
               tr("Position %1").arg(TurntableDrawing::PositionCaption(i, name)) + u'\n' +
               HintRename();
    });
    if (drawn.layoutChanged) {
        tt_Image1->update();
    } else {
        m_view->ShowChangedGround(before);
    }
    // The rows are shown again with the picture; a position row that serves no position keeps
    // its label hidden.
    for (Row &r : m_rowWidgets) {
        r.edit->show();
        r.rg->show();
        r.label->show();
    }
    ShowPositionLabels();
}

void TFrameDefinition::RenamePosition(int position) {
    if (position < 1 || position > PositionCount()) {
        return;
    }
    QString &name = m_state.station.PositionName[at(position)];
    const std::optional<QString> answer =
        m_dialogs.askText(tr("Positionsname"),
                          tr("Name der Position %1 (leer: nur die Nummer):").arg(position), name);
    if (!answer) {
        return;
    }
    // The settings and configuration files keep the number where the position has no name.
    const QString wanted =
        answer->trimmed().isEmpty() ? QString::number(position) : answer->trimmed();
    if (wanted == name) {
        return;
    }
    name = wanted;
    DrawTurntable();
    m_state.StationChanged(); // the operation tab shows it too
}

// ---------------------------------------------------------------------------------------------
// Station data

void TFrameDefinition::PositionButtonClick(int position) {
    if (position < 1 || position > PositionCount()) {
        return;
    }
    bool &used = m_state.station.PositionUsed[at(position)];
    used = !used;
    DrawTurntable();
    m_state.StationChanged();
}

void TFrameDefinition::btn_allClick() {
    for (int i = 1; i <= PositionCount(); ++i) {
        m_state.station.PositionUsed[at(i)] = true;
    }
    DrawTurntable();
    m_state.StationChanged();
}

void TFrameDefinition::bnt_noneClick() {
    for (int i = 1; i <= PositionCount(); ++i) {
        m_state.station.PositionUsed[at(i)] = false;
    }
    DrawTurntable();
    m_state.StationChanged();
}

void TFrameDefinition::cbx_umdrehenClick() {
    if (Updating) {
        return;
    }
    m_state.station.ReverseCounting = cbx_umdrehen->isChecked();
    DrawTurntable();
    m_state.StationChanged();
}

void TFrameDefinition::cbx_umschaltlinieClick() {
    if (Updating) {
        return;
    }
    m_state.station.ShowSwitchLine = cbx_umschaltlinie->isChecked();
    DrawTurntable();
    m_state.StationChanged();
}

void TFrameDefinition::UpDown_OffsetClick() {
    if (Updating) {
        return;
    }
    m_state.station.ZeroOffset = UpDown_Offset->value();
    DrawTurntable();
    m_state.StationChanged(); // the operation tab's picture turns with it
}

void TFrameDefinition::cbx_use_mmClick() {
    if (Updating) {
        return;
    }
    m_state.station.UseMotorola = cbx_use_mm->isChecked();
    for (int k = 0; k < AddressRows::Rows; ++k) {
        ShowRangeMark(k); // the range of the addresses follows the formats in use
    }
}

// ---------------------------------------------------------------------------------------------
// Transfers

void TFrameDefinition::btn_read_adrClick() {
    StartTransfer(true);
}

void TFrameDefinition::btn_write_adrClick() {
    StartTransfer(false);
}

void TFrameDefinition::StartTransfer(bool read) {
    const bool stopping = m_rows.Running();
    const QList<AddressRows::Problem> problems = read ? m_rows.StartRead() : m_rows.StartWrite();
    if (stopping && !m_rows.transfer().active()) {
        EndTransfer();          // stopped at once (paced by the answers): what was read stays
        ShowTransferProgress(); // the bar says that it was stopped, and how far it got
        ShowAddressRows();
        return;
    }
    m_transferShown = true;
    (read ? btn_read_adr : btn_write_adr)->setText(CaptionAbort());
    (read ? btn_write_adr : btn_read_adr)->setEnabled(false);
    Timer5->start(m_rows.Interval());
    ProgressBar3->setRange(0, m_rows.ProgressMax);
    ProgressBar3->setValue(0);
    ProgressBar3->setTextVisible(m_rows.transfer().byAnswer() && m_rows.Running());
    ShowAddressRows();
    ReportProblems(problems);
}

void TFrameDefinition::OnlineChanged() {
    UpdateDefinitionButtons();
}

void TFrameDefinition::ShowTransferProgress() {
    m_rows.FollowProgress();
    ProgressBar3->setMaximum(m_rows.ProgressMax);
    ProgressBar3->setValue(std::min(m_rows.Progress, m_rows.ProgressMax));
    ProgressBar3->setFormat(m_rows.transfer().ProgressText());
}

void TFrameDefinition::EndTransfer() {
    m_transferShown = false;
    btn_read_adr->setText(CaptionRead());
    btn_write_adr->setText(CaptionWrite());
    UpdateDefinitionButtons();
}

void TFrameDefinition::Timer5Timer() {
    const std::array<int, AddressRows::Rows> before = m_rows.RowState;
    const bool writing = m_rows.WriteMode();
    const AddressRows::TickResult result = m_rows.Tick();
    if (Timer5->interval() != m_rows.Interval()) {
        Timer5->setInterval(m_rows.Interval());
    }
    if (m_rows.transfer().byAnswer()) {
        ShowTransferProgress(); // also once it has ended: how far it got
    } else {
        ProgressBar3->setMaximum(m_rows.ProgressMax);
        ProgressBar3->setValue(std::min(m_rows.Progress, m_rows.ProgressMax));
    }
    if (result.ended) {
        EndTransfer();
    }
    if (result.refreshed || (result.ended && writing) || before != m_rows.RowState) {
        ShowAddressRows();
    }
    if (result.refreshed) {
        ShowPositionLabels();
    }
    if (!m_rows.ReadMode() && !m_rows.WriteMode() && !m_rows.ImageChanged()) {
        Timer5->stop(); // woken again by a transfer or a changed pit mirror
    }
}
