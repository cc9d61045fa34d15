// The definition tab's 28 address rows: a label, the address edit, the status panel and the
// "R/G" button of each, what they connect to, and how they show the rows' state.

#include "gui/definition/tframedefinition.h"

#include "comm/sharedstate.h"
#include "gui/common/colors.h"
#include "gui/common/dialogs.h"
#include "gui/common/named.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <algorithm>

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

struct StateLook {
    QColor colour; // invalid: the window colour
    QString hint;
};

StateLook LookOf(int state) {
    switch (state) {
    case AddressRows::Verified:
        return {Colors::MarkReceived,
                QCoreApplication::translate("TFrameDefinition",
                                            "Status: Daten verifiziert (aus EEprom ausgelesen)")};
    case AddressRows::Requested:
        return {Colors::MarkRequested,
                QCoreApplication::translate("TFrameDefinition",
                                            "Status: Anfrage zum Auslesen der Daten gesendet")};
    case AddressRows::Changed:
        return {Colors::MarkChanged,
                QCoreApplication::translate("TFrameDefinition",
                                            "Status: Daten geändert und noch nicht in "
                                            "Gruben-Platine geschrieben")};
    case AddressRows::Sent:
        return {Colors::MarkSent,
                QCoreApplication::translate("TFrameDefinition",
                                            "Status: Daten an Gruben-Platine gesendet")};
    case AddressRows::Failed:
        return {Colors::MarkFailed,
                QCoreApplication::translate("TFrameDefinition",
                                            "Status: geschrieben, aber nicht so "
                                            "zurückgelesen; wird beim nächsten Schreiben "
                                            "wiederholt")};
    default:
        return {QColor(),
                QCoreApplication::translate("TFrameDefinition",
                                            "Status der Daten: nicht verifizier (von Festplatte "
                                            "geladen)")};
    }
}

void SetColour(QWidget *w, QPalette::ColorRole role, const QColor &colour) {
    QPalette p = w->palette();
    if (p.color(role) != colour) {
        p.setColor(role, colour);
        w->setPalette(p);
    }
}

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
            r.hint = tr(FunctionRows[k].hint);
        } else {
            r.label = new QLabel(QStringLiteral("P:%1").arg(k - 3), GroupBox_Adressen);
            r.hint = tr("Adresse für Anfahren dieser Position");
        }
        r.label->setToolTip(r.hint);
        r.label->setObjectName(QStringLiteral("lbl_adr_") + n);
        r.label->setFont(rowFont);
        // The label ends a little before its edit, so that its text never touches the edit.
        r.label->setGeometry(left + LabelLeft, top, EditLeft - LabelGap - LabelLeft, 20);
        r.label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        r.label->setAutoFillBackground(true); // for the marks of a failed row and of a range

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
// Address rows

void TFrameDefinition::ShowRowState(int row) {
    const Row &r = m_rowWidgets[at(row)];
    const StateLook look = LookOf(m_rows.RowState[at(row)]);
    SetColour(r.panel, QPalette::Window,
              look.colour.isValid() ? look.colour : palette().color(QPalette::Base));
    r.panel->setToolTip(look.hint);
    ShowLabelMark(row);
}

void TFrameDefinition::ShowRangeMark(int row) {
    const Row &r = m_rowWidgets[at(row)];
    const QString problem = m_rows.RangeProblem(row);
    m_rangeShown[at(row)] = !problem.isEmpty();
    ShowLabelMark(row);
    if (r.edit->toolTip() != problem) {
        r.edit->setToolTip(problem);
    }
}

void TFrameDefinition::ShowLabelMark(int row) {
    const Row &r = m_rowWidgets[at(row)];
    // The status panel is small and stands beside an edit that is red or green for the
    // accessory's output: a failed read-back marks the row's label as well, in colours of its
    // own, and its tool tip says why.
    const bool failed = m_rows.RowState[at(row)] == AddressRows::Failed;
    const QColor ground = failed                  ? Colors::RowFailedLabel
                          : m_rangeShown[at(row)] ? Colors::MarkFailed
                                                  : palette().color(QPalette::Window);
    SetColour(r.label, QPalette::Window, ground);
    SetColour(r.label, QPalette::WindowText,
              failed ? Colors::RowFailedText : palette().color(QPalette::WindowText));
    const QString hint = failed ? r.hint + u'\n' + LookOf(AddressRows::Failed).hint : r.hint;
    if (r.label->toolTip() != hint) {
        r.label->setToolTip(hint);
    }
}

void TFrameDefinition::ShowAddressRows(int editedRow) {
    const QScopedValueRollback<bool> updating(Updating, true);
    for (int k = 0; k < AddressRows::Rows; ++k) {
        const Row &r = m_rowWidgets[at(k)];
        const int address = m_rows.RowAddress[at(k)];
        const QColor colour = address == 0             ? palette().color(QPalette::Base)
                              : m_rows.RowGreen[at(k)] ? Colors::AddressGreen
                                                       : Colors::AddressRed;
        SetColour(r.edit, QPalette::Base, colour);
        // What the user is typing stays until it is taken: a refresh must not undo keystrokes.
        const bool typing = r.edit->hasFocus() && k != editedRow &&
                            AddressRows::ToBeWritten(m_rows.RowState[at(k)]);
        const QString text = QString::number(address);
        if (!typing && r.edit->text() != text) {
            r.edit->setText(text);
        }
        if (!typing) {
            m_validText[at(k)] = text;
        }
        ShowRowState(k);
        if (k != editedRow && !r.edit->hasFocus()) {
            ShowRangeMark(k); // the edit being typed in is marked when it is left
        }
    }
    m_statesShown = m_rows.RowState;
}

void TFrameDefinition::ShowPositionLabels() {
    for (int j = 0; j < AddressRows::PositionRows; ++j) {
        QLabel *label = m_rowWidgets[at(j + AddressRows::FirstPositionRow)].label;
        if (m_rows.PositionLabelVisible(j)) {
            label->setText(m_rows.PositionLabel(j));
            label->show();
        } else {
            label->hide();
        }
    }
}

void TFrameDefinition::edt_adrChange(int row) {
    if (Updating) {
        return;
    }
    QLineEdit *edit = m_rowWidgets[at(row)].edit;
    QString &valid = m_validText[at(row)];
    switch (m_rows.EditAddress(row, edit->text())) {
    case AddressRows::EditResult::Empty:
        valid = edit->text();
        ShowRowState(row);
        break;
    case AddressRows::EditResult::Invalid: {
        // Back to the last valid text, the cursor where it stood before the keystroke; the row
        // is left as it was.
        const int cursor = edit->cursorPosition() - (edit->text().size() - valid.size());
        {
            const QScopedValueRollback<bool> updating(Updating, true);
            edit->setText(valid);
        }
        edit->setCursorPosition(std::clamp(cursor, 0, static_cast<int>(valid.size())));
        break;
    }
    case AddressRows::EditResult::Accepted:
        ShowAddressRows(row);
        valid = edit->text();
        break;
    }
}

void TFrameDefinition::btn_rgClick(int row) {
    if (Updating) {
        return;
    }
    m_rows.ToggleGreen(row);
    ShowAddressRows();
}

void TFrameDefinition::ComboBox_adrChange() {
    btn_adr_go->setEnabled(true);
}

void TFrameDefinition::btn_adr_goClick() {
    const QString question = AddressRows::PresetQuestion(ComboBox_adr->currentIndex());
    if (!question.isEmpty() && !m_dialogs.askYesNo(question)) {
        return;
    }
    m_rows.ApplyPreset(ComboBox_adr->currentIndex());
    ShowPositionLabels();
    ShowAddressRows();
}

void TFrameDefinition::btn_undoClick() {
    m_rows.Undo();
    ShowAddressRows();
    ShowPositionLabels();
}

void TFrameDefinition::ReportProblems(const QList<AddressRows::Problem> &problems) {
    for (const AddressRows::Problem &p : problems) {
        m_dialogs.showWarning(p.message);
        m_rowWidgets[at(p.row)].edit->setFocus();
    }
}
