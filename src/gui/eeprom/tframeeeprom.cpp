#include "gui/eeprom/tframeeeprom.h"

#include "comm/hexbyte.h"
#include "comm/messages.h"
#include "comm/sharedstate.h"
#include "gui/common/controls.h"
#include "gui/common/dialogs.h"
#include "gui/common/named.h"

#include <QFontDatabase>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace {
constexpr int GroupWidth = 236;
constexpr int GroupHeight = 130;
constexpr int ButtonHeight = 25;
constexpr int FirstTickMs = 150;
// The tab page sits below the page control's tab bar: the layout counts from the page control.
constexpr int TabBarHeight = 26;
} // namespace

TFrameEEprom::TFrameEEprom(SharedState &state, Dialogs &dialogs, QWidget *parent)
    : TabFrame(parent), m_state(state), m_dialogs(dialogs), m_sweeps(state) {
    setObjectName(QStringLiteral("TFrameEEprom"));
    BuildHalf(m_pit, Board::Grube);
    BuildHalf(m_bridge, Board::Buehne);
    btn_update = Named(new QPushButton(QStringLiteral("Update"), this), "btn_update");
    btn_update->resize(75, ButtonHeight);
    connect(btn_update, &QPushButton::clicked, this, &TFrameEEprom::btn_updateClick);
    Bevel1 = Named(new QFrame(this), "Bevel1");
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);

    Timer3 = Named(new QTimer(this), "Timer3");
    Timer3->setInterval(FirstTickMs);
    connect(Timer3, &QTimer::timeout, this, &TFrameEEprom::Timer3Timer);
    // A sweep paced by the answers runs on its engine's timer; Timer3 ticks one at fixed pacing
    // and redraws the dumps.
    for (Board board : {Board::Grube, Board::Buehne}) {
        PacedTransfer &sweep = m_sweeps.of(board);
        connect(&sweep, &PacedTransfer::progressed, this,
                [this, board] { ShowSweepProgress(board, m_sweeps.of(board).progress()); });
        connect(&sweep, &PacedTransfer::finished, this, [this, board] {
            ShowSweepProgress(board, m_sweeps.of(board).progress());
            ShowSweepHint(board);
            WakeTimer3();
        });
    }

    ShowPitEEprom();
    ShowBridgeEEprom();
    WakeTimer3();
    UpdateEEpromButtons();
    ArrangeEEpromTab();
}

void TFrameEEprom::BuildHalf(Half &h, Board board) {
    const bool pit = board == Board::Grube;
    const QString suffix = pit ? QString() : QStringLiteral("2");
    h.caption = new QLabel(
        pit ? tr("EEprom Hauptplatine (Grube)") : tr("EEprom Motorplatine (Bühne)"), this);
    h.caption->setObjectName(pit ? QStringLiteral("lbl_ee_grube") : QStringLiteral("lbl_ee_buhne"));
    QFont bold = h.caption->font();
    bold.setBold(true);
    h.caption->setFont(bold);
    h.caption->adjustSize();

    h.memo = Named(new QPlainTextEdit(this),
                   pit ? QStringLiteral("Memo_ee_grube") : QStringLiteral("Memo_ee_buhne"));
    h.memo->setReadOnly(true);
    h.memo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    h.memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    h.memo->setLineWrapMode(QPlainTextEdit::NoWrap);

    h.group =
        Named(new QGroupBox(tr("EEprom Manipulation"), this),
              pit ? QStringLiteral("GroupBox_ee_grube") : QStringLiteral("GroupBox_ee_buhne"));
    h.group->resize(GroupWidth, GroupHeight);
    auto *adrLabel = new QLabel(tr("Adresse (hex)"), h.group);
    adrLabel->setGeometry(10, 20, 100, 16);
    auto *valLabel = new QLabel(tr("Wert (Hex)"), h.group);
    valLabel->setGeometry(122, 20, 100, 16);
    h.address = Named(new QLineEdit(QStringLiteral("1"), h.group), "edt_ee_adr" + suffix);
    h.address->setGeometry(10, 38, 104, 24);
    h.value = Named(new QLineEdit(QStringLiteral("1"), h.group), "edt_ee_data" + suffix);
    h.value->setGeometry(122, 38, 104, 24);
    h.write = Named(new QPushButton(tr("write single Data"), h.group), "btn_write_EEdata" + suffix);
    h.write->setGeometry(10, 72, 108, ButtonHeight + 4);
    h.get = Named(new QPushButton(tr("get single Data"), h.group), "btn_get_EEdata" + suffix);
    h.get->setGeometry(120, 72, 108, ButtonHeight + 4);
    h.result = Named(new QLabel(h.group), "lbl_ee_result" + suffix);
    h.result->setGeometry(10, 106, GroupWidth - 20, 18);
    h.single = std::make_unique<PacedTransfer>(m_state);
    connect(h.write, &QPushButton::clicked, this, [this, board] { btn_write_EEdataClick(board); });
    connect(h.get, &QPushButton::clicked, this, [this, board] { btn_get_EEdataClick(board); });

    h.progress = Named(new QProgressBar(this),
                       pit ? QStringLiteral("ProgressBar1") : QStringLiteral("ProgressBar2"));
    h.progress->setRange(0, 255);
    h.progress->setValue(0);
    h.progress->setTextVisible(false);
    h.progress->resize(GroupWidth, 17);
    h.readAll =
        Named(new QPushButton(tr("gesamtes EEprom einlesen"), this), "btn_get_all_EEData" + suffix);
    h.readAll->resize(GroupWidth, ButtonHeight);
    connect(h.readAll, &QPushButton::clicked, this,
            pit ? &TFrameEEprom::btn_get_all_EEDataClick
                : &TFrameEEprom::btn_get_all_EEData_BuhneClick);
    h.zero = Named(new QPushButton(pit ? tr("setzte 00") : tr("setze 00"), this),
                   pit ? QStringLiteral("btn_all_zero_g") : QStringLiteral("btn_all_zero_b"));
    h.zero->resize(75, ButtonHeight);
    connect(h.zero, &QPushButton::clicked, this,
            pit ? &TFrameEEprom::btn_all_zero_gClick : &TFrameEEprom::btn_all_zero_bClick);
}

void TFrameEEprom::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    ArrangeEEpromTab();
}

void TFrameEEprom::ArrangeEEpromTab() {
    const int w = width();
    const int pageHeight = height() + TabBarHeight;
    const int column = w - 30 - GroupWidth;
    const int memoWidth = std::max(100, w - GroupWidth - 50);

    auto place = [&](Half &h, int captionTop) {
        h.caption->move(10, captionTop);
        const int top = captionTop + 20;
        h.group->move(column, top);
        h.memo->move(10, top);
        h.progress->move(column, top + h.group->height() + 5);
        h.readAll->move(column, h.progress->y() + h.progress->height() + 5);
        h.zero->move(column, h.readAll->y() + h.readAll->height() + 5);
        return top;
    };
    place(m_pit, 15);
    const int bevelTop = pageHeight / 2 - 6;
    Bevel1->setGeometry(0, bevelTop, w, 4);
    const int bridgeTop = place(m_bridge, bevelTop + 6);
    btn_update->move(m_bridge.zero->x() + m_bridge.zero->width() + 5, m_bridge.zero->y());

    const int memoHeight = std::max(40, pageHeight - 40 - bridgeTop);
    m_bridge.memo->resize(memoWidth, memoHeight);
    m_pit.memo->resize(memoWidth, std::max(40, pageHeight - bridgeTop - 40));
}

void TFrameEEprom::ShowPitEEprom() {
    m_pit.memo->setPlainText(
        Eeprom::DumpText(m_state.pit).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    m_pitShown = m_state.pit.revision();
}

void TFrameEEprom::ShowBridgeEEprom() {
    m_bridge.memo->setPlainText(
        Eeprom::DumpText(m_state.bridge).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    m_bridgeShown = m_state.bridge.revision();
}

void TFrameEEprom::UpdateEEpromButtons() {
    const bool online = m_state.connection().online();
    for (Half *h : {&m_pit, &m_bridge}) {
        h->readAll->setEnabled(online);
        h->write->setEnabled(online);
        h->get->setEnabled(online);
    }
}

std::optional<int> TFrameEEprom::TakeHexEdit(QLineEdit *edit) {
    // Only what the user really typed reaches the board: text that is no one- or two-digit
    // hexadecimal number is refused, never cut or bent into another cell number or value.
    const QString typed = edit->text().trimmed();
    if (!IsStrictHexByte(typed)) {
        m_dialogs.showWarning(InvalidInputText());
        edit->setFocus();
        return std::nullopt;
    }
    const QString text = Eeprom::NormalizeHexEdit(typed);
    edit->setText(text);
    return ParseHexByte(text);
}

void TFrameEEprom::btn_get_EEdataClick(Board board) {
    const std::optional<int> cell = TakeHexEdit(HalfOf(board).address);
    if (!cell) {
        return;
    }
    if (m_state.transferSettings.byAnswer()) {
        SingleByAnswer(board, {PacedTransfer::Request::Kind::Read, board, *cell, 0, *cell});
        return;
    }
    m_state.sendQueue.QueueValue(board == Board::Grube ? Msg::ReadPitCell : Msg::ReadBridgeCell,
                                 *cell);
}

void TFrameEEprom::SingleByAnswer(Board board, PacedTransfer::Request request) {
    Half &h = HalfOf(board);
    if (h.single->running()) {
        h.single->Abort(); // the newer request counts
    }
    const bool write = request.kind == PacedTransfer::Request::Kind::Write;
    h.result->setText(write ? tr("schreibt %1 …").arg(HexByteText(request.cell))
                            : tr("liest %1 …").arg(HexByteText(request.cell)));
    PacedTransfer::OwnerHooks hooks;
    QLabel *label = h.result;
    hooks.ownerDone = [label](const PacedTransfer::Request &r, PacedTransfer::Outcome outcome,
                              int value) {
        label->setText(Eeprom::SingleResultText(
            r.cell, r.value, r.kind == PacedTransfer::Request::Kind::Write, outcome, value));
    };
    h.single->Start(PacedTransfer::Plan::ByAnswer(
        write ? PacedTransfer::Mode::Write : PacedTransfer::Mode::Read, {request}, hooks));
    WakeTimer3();
}

void TFrameEEprom::btn_write_EEdataClick(Board board) {
    Half &h = HalfOf(board);
    const std::optional<int> cell = TakeHexEdit(h.address);
    if (!cell) {
        return;
    }
    const std::optional<int> value = TakeHexEdit(h.value);
    if (!value) {
        return;
    }
    if (m_state.transferSettings.verifying()) {
        SingleByAnswer(board, {PacedTransfer::Request::Kind::Write, board, *cell, *value, *cell});
        return;
    }
    m_state.sendQueue.QueueValuePair(
        board == Board::Grube ? Msg::WritePitCell : Msg::WriteBridgeCell, *cell, *value);
}

void TFrameEEprom::StartOrStopSweep(Board board) {
    Timer3->setInterval(Eeprom::Sweeps::TickMs);
    QProgressBar *bar = HalfOf(board).progress;
    bar->setRange(0, 255);
    bar->setValue(0);
    bar->setTextVisible(false);
    m_sweeps.Toggle(board);
    if (m_sweeps.of(board).byAnswer()) {
        bar->setRange(0, Eeprom::Sweeps::Cells);
        bar->setTextVisible(true);
        ShowSweepProgress(board, m_sweeps.of(board).progress());
    }
    ShowSweepHint(board);
    WakeTimer3();
}

QString TFrameEEprom::StopHint() {
    return tr("Ein Klick auf „gesamtes EEprom einlesen“ stoppt das Einlesen");
}

void TFrameEEprom::ShowSweepHint(Board board) {
    // The caption stays as it is; the tool tips say what a click does now.
    const QString hint = m_sweeps.of(board).running() ? StopHint() : QString();
    Half &h = HalfOf(board);
    if (h.readAll->toolTip() != hint) {
        h.readAll->setToolTip(hint);
        h.progress->setToolTip(hint);
    }
}

void TFrameEEprom::ShowSweepProgress(Board board, int progress) {
    QProgressBar *bar = HalfOf(board).progress;
    bar->setValue(progress);
    bar->setFormat(m_sweeps.of(board).ProgressText());
}

bool TFrameEEprom::HasTimer3Work() const {
    return m_sweeps.pit.running() || m_sweeps.bridge.running() || m_pit.single->running() ||
           m_bridge.single->running() || m_state.pit.revision() != m_pitShown ||
           m_state.bridge.revision() != m_bridgeShown;
}

void TFrameEEprom::WakeTimer3() {
    if (!Timer3->isActive() && HasTimer3Work()) {
        Timer3->start();
    }
}

void TFrameEEprom::btn_get_all_EEDataClick() {
    StartOrStopSweep(Board::Grube);
}

void TFrameEEprom::btn_get_all_EEData_BuhneClick() {
    StartOrStopSweep(Board::Buehne);
}

void TFrameEEprom::btn_all_zero_gClick() {
    if (!m_dialogs.askYesNo(Eeprom::ClearQuestion(Board::Grube))) {
        return;
    }
    for (int cell = 0; cell < BoardImage::Cells; ++cell) {
        m_state.pit.setValue(cell, 0);
    }
    ShowPitEEprom();
}

void TFrameEEprom::btn_all_zero_bClick() {
    if (!m_dialogs.askYesNo(Eeprom::ClearQuestion(Board::Buehne))) {
        return;
    }
    for (int cell = 0; cell < BoardImage::Cells; ++cell) {
        m_state.bridge.setValue(cell, 0);
    }
    ShowBridgeEEprom();
}

void TFrameEEprom::btn_updateClick() {
    ShowPitEEprom();
    ShowBridgeEEprom();
}

void TFrameEEprom::Timer3Timer() {
    const Eeprom::Sweeps::Progress progress = m_sweeps.Tick();
    for (const auto &[board, value] :
         {std::pair{Board::Grube, progress.pit}, std::pair{Board::Buehne, progress.bridge}}) {
        // A sweep paced by the answers shows how far it got as its engine tells, also once it has
        // ended.
        const PacedTransfer &sweep = m_sweeps.of(board);
        if (!sweep.byAnswer()) {
            HalfOf(board).progress->setValue(std::min(value, 255));
        }
        ShowSweepHint(board); // a sweep at fixed pacing ends in the tick that sent its last
    }
    if (Timer3->interval() != Eeprom::Sweeps::TickMs) {
        Timer3->setInterval(Eeprom::Sweeps::TickMs);
    }
    if (m_state.pit.revision() != m_pitShown) {
        ShowPitEEprom();
    }
    if (m_state.bridge.revision() != m_bridgeShown) {
        ShowBridgeEEprom();
    }
    if (!HasTimer3Work()) {
        Timer3->stop(); // woken again by a sweep or a changed mirror
    }
}
