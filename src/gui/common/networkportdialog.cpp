#include "gui/common/networkportdialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

NetworkPortDialog::NetworkPortDialog(const QString &caption, const NetAddress &initial,
                                     QWidget *parent)
    : QDialog(parent), m_host(new QLineEdit(this)), m_port(new QSpinBox(this)),
      m_protocol(new QComboBox(this)),
      m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
    setWindowTitle(caption);
    m_host->setObjectName(QStringLiteral("edit_host"));
    m_port->setObjectName(QStringLiteral("spin_port"));
    m_protocol->setObjectName(QStringLiteral("combo_protocol"));
    m_host->setText(initial.host.contains(u':') ? QStringLiteral("[%1]").arg(initial.host)
                                                : initial.host);
    m_host->setPlaceholderText(tr("Name oder IP-Adresse"));
    m_port->setRange(1, 65535);
    m_port->setValue(initial.port == 0 ? 4001 : initial.port);
    m_protocol->addItem(tr("TCP (Bytes unverändert)"), int(NetAddress::Protocol::Raw));
    m_protocol->addItem(tr("RFC 2217 (Telnet, stellt auch die Baudrate ein)"),
                        int(NetAddress::Protocol::Rfc2217));
    m_protocol->setCurrentIndex(m_protocol->findData(int(initial.protocol)));

    auto *hint = new QLabel(tr("Die serielle Leitung des Steuergeräts über ein Gerät im Netzwerk, "
                               "das sie als TCP-Port anbietet. Die Verbindung ist weder "
                               "geschützt noch verschlüsselt: nur im eigenen Netz verwenden."),
                            this);
    hint->setWordWrap(true);
    auto *form = new QFormLayout(this);
    form->addRow(hint);
    form->addRow(tr("Rechner:"), m_host);
    form->addRow(tr("Port:"), m_port);
    form->addRow(tr("Protokoll:"), m_protocol);
    form->addRow(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_host, &QLineEdit::textChanged, this, &NetworkPortDialog::Check);
    connect(m_port, &QSpinBox::valueChanged, this, &NetworkPortDialog::Check);
    Check();
}

std::optional<NetAddress> NetworkPortDialog::address() const {
    const auto protocol = static_cast<NetAddress::Protocol>(m_protocol->currentData().toInt());
    return NetAddress::FromParts(protocol, m_host->text(), m_port->value());
}

void NetworkPortDialog::Check() {
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(address().has_value());
}
