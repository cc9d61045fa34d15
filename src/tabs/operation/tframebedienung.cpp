#include "tframebedienung.h"

#include "sharedstate.h"

#include <QCheckBox>
#include <QLabel>

TFrameBedienung::TFrameBedienung(SharedState &state, Dialogs &dialogs, QWidget *parent)
    : QWidget(parent), m_state(state), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("TFrameBedienung"));
    pnl_SollPosition_ext = new QLabel(this);
    pnl_SollPosition_ext->setObjectName(QStringLiteral("pnl_SollPosition_ext"));
    pnl_SollPosition_ext->setFrameShape(QFrame::Panel);
    pnl_SollPosition_ext->setAlignment(Qt::AlignCenter);
    pnl_SollPosition_ext->setToolTip(
        QStringLiteral("Ziel-Position der Grube (z.B. Ausgelöst durch digitale Befehle)"));
    pnl_SollPosition_ext->setGeometry(10, 10, 60, 30);

    cbx_zeige_sollpos_extern =
        new QCheckBox(QStringLiteral("zeige Ziel-Position erzeugt durch Digital-Befehl"), this);
    cbx_zeige_sollpos_extern->setObjectName(QStringLiteral("cbx_zeige_sollpos_extern"));
    cbx_zeige_sollpos_extern->setToolTip(
        QStringLiteral("In der Grafik wird als Zielposition der Interne Wert \n"
                       "der Gruben-Platine dargestellt\n"
                       "(z.B. hervorgerufen durch Digitle Befehle)"));
    cbx_zeige_sollpos_extern->setGeometry(80, 10, 320, 24);
    connect(cbx_zeige_sollpos_extern, &QCheckBox::clicked, this, [this](bool checked) {
        m_state.ShowExternalTarget = checked;
        m_state.RedrawRequest = true;
    });
}

void TFrameBedienung::ShowPositions() {
    cbx_zeige_sollpos_extern->setChecked(m_state.ShowExternalTarget);
}

void TFrameBedienung::ShowStatus() {
    if (m_state.DigitalTarget >= 0) {
        pnl_SollPosition_ext->setText(QString::number(m_state.DigitalTarget + 1));
    }
}

void TFrameBedienung::UpdateOperationButtons() {}

void TFrameBedienung::SetExternalTargetVisible(bool visible) {
    pnl_SollPosition_ext->setVisible(visible);
    cbx_zeige_sollpos_extern->setVisible(visible);
}
