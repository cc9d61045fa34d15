#pragma once

#include "comm/netaddress.h"

#include <QDialog>
#include <optional>

class QComboBox;
class QDialogButtonBox;
class QLineEdit;
class QSpinBox;

// Asks for a serial bridge on the network: host, port and protocol. OK is offered only while
// the fields name a usable address.
class NetworkPortDialog : public QDialog {
    Q_OBJECT
public:
    NetworkPortDialog(const QString &caption, const NetAddress &initial, QWidget *parent = nullptr);

    // What the fields name now; nothing while they are not usable.
    std::optional<NetAddress> address() const;

private:
    void Check();

    QLineEdit *m_host;
    QSpinBox *m_port;
    QComboBox *m_protocol;
    QDialogButtonBox *m_buttons;
};
