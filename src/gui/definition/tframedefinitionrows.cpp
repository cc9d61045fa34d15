// The definition tab's 28 address rows: a label, the address edit, the status panel and the
// "R/G" button of each, and what they connect to.

#include "gui/definition/tframedefinition.h"

#include "comm/sharedstate.h"
#include "gui/common/named.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
constexpr int RowFontPixels = 11;
// Within a column of rows: where the label and the address edit begin, and the room between them.
constexpr int LabelLeft = 5;
constexpr int EditLeft = 36;
constexpr int LabelGap = 2; // a label never touches its edit, and "Light" has its 29 px
constexpr int PanelLeft = EditLeft + 32;
constexpr int ButtonLeft = EditLeft + 50;

struct RowText {
    const char *caption;
    const char *hint;
};
constexpr RowText FunctionRows[4] = {
    {QT_TRANSLATE_NOOP("TFrameDefinition", "Licht"),
     QT_TRANSLATE_NOOP(
         "TFrameDefinition",
         "Adresse für Schalten der Licht-Funktion AN (AUS entsprechend 2. Taste dieser "
         "Adresse)")},
    {"Step",
     QT_TRANSLATE_NOOP(
         "TFrameDefinition",
         "Adresse für Drehen um 1 Position LINKS (Rechts entsprechend 2. Taste dieser Adresse)")},
    {"Turn", QT_TRANSLATE_NOOP(
                 "TFrameDefinition",
                 "Adresse für Lok wenden LINKS (Rechts entsprechend 2. Taste dieser Adresse)")},
    {"DIR", QT_TRANSLATE_NOOP(
                "TFrameDefinition",
                "Adresse für Drehrichtung LINKS (Rechts entsprechend 2. Taste dieser Adresse)")},
};

size_t at(int i) {
    return static_cast<size_t>(i);
}
} // namespace

void TFrameDefinition::BuildRows() {
    QFont rowFont = font();
    rowFont.setPixelSize(RowFontPixels);
    int left = 5;
    int top = 5;
    QWidget *previousEdit = nullptr;
    for (int k = 0; k < AddressRows::Rows; ++k) {
        top += 25;
        Row &r = m_rowWidgets[at(k)];
        const QString n = QString::number(k);
        if (k < AddressRows::FirstPositionRow) {
            r.label = new QLabel(tr(FunctionRows[k].caption), GroupBox_Adressen);
            r.label->setToolTip(tr(FunctionRows[k].hint));
        } else {
            r.label = new QLabel(QStringLiteral("P:%1").arg(k - 3), GroupBox_Adressen);
            r.label->setToolTip(tr("Adresse für Anfahren dieser Position"));
        }
        r.label->setObjectName(QStringLiteral("lbl_adr_") + n);
        r.label->setFont(rowFont);
        // The label ends a little before its edit, so that its text never touches the edit.
        r.label->setGeometry(left + LabelLeft, top, EditLeft - LabelGap - LabelLeft, 20);
        r.label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        r.label->setAutoFillBackground(true); // for the mark of an address out of range

        r.edit = new QLineEdit(GroupBox_Adressen);
        r.edit->setObjectName(QStringLiteral("edt_adr_") + n);
        r.edit->setFont(rowFont);
        r.edit->setGeometry(left + EditLeft, top - 4, 30, 20);
        r.edit->setTextMargins(0, 0, 0, 0);
        r.edit->setAutoFillBackground(true);
        r.edit->setMaxLength(AddressRows::AddressDigits);
        connect(r.edit, &QLineEdit::textChanged, this, [this, k] { edt_adrChange(k); });
        connect(r.edit, &QLineEdit::editingFinished, this, [this, k] { ShowRangeMark(k); });
        if (previousEdit) {
            QWidget::setTabOrder(previousEdit, r.edit);
        }
        previousEdit = r.edit;

        r.panel = new QLabel(GroupBox_Adressen);
        r.panel->setObjectName(QStringLiteral("pnl_adr_") + n);
        r.panel->setGeometry(left + PanelLeft, top - 2, 10, 16);
        r.panel->setFrameShape(QFrame::Panel);
        r.panel->setFrameShadow(QFrame::Sunken);
        r.panel->setAutoFillBackground(true);
        r.panel->setToolTip(tr("Status der angezeigten Daten"));

        r.rg = new QPushButton(QStringLiteral("R/G"), GroupBox_Adressen);
        r.rg->setObjectName(QStringLiteral("btn_rg_") + n);
        r.rg->setFont(rowFont);
        r.rg->setGeometry(left + ButtonLeft, top, 30, 16);
        r.rg->setToolTip(tr("umschalten zwischen roter/grüner Adresse"));
        r.rg->setFocusPolicy(Qt::NoFocus);
        connect(r.rg, &QPushButton::clicked, this, [this, k] { btn_rgClick(k); });

        if (k == 10 || k == 21) {
            left += 130;
            top = 5;
        }
    }
}

int TFrameDefinition::PositionCount() const {
    return std::clamp(m_state.PositionCount, 0, StationData::MaxPositions);
}

bool TFrameDefinition::HasUnwrittenChanges() const {
    return m_rows.HasUnwrittenChanges();
}

// ---------------------------------------------------------------------------------------------
// Refreshes called by the main window
