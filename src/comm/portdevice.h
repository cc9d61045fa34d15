#pragma once

#include <QObject>
#include <QString>

// Values of the port's line settings as the dumps show them.
struct PortDcb {
    qint32 baudRate = 0;
    int parity = 0;         // parity check enabled
    int ctsOutFlow = 0;     // CTS output flow control
    int dsrOutFlow = 0;     // DSR output flow control
    int dtrControl = 0;     // 0 off, 1 on, 2 handshake
    int dsrSensitivity = 0; // DSR sensitivity
    int rtsControl = 0;     // 0 off, 1 on, 2 handshake
};

// Queue sizes as the dumps show them; 0 means "no fixed limit".
struct PortProperties {
    qint64 maxTxQueue = 0;
    qint64 maxRxQueue = 0;
    qint64 txQueue = 0;
    qint64 rxQueue = 0;
};

// Why a port could not be opened or used, in words a user can act on.
enum class PortFailure {
    NotFound,   // no such device
    Busy,       // another program holds it
    Permission, // the user may not open it
    Removed,    // the adapter was pulled or the far end closed the line
    Other,      // anything else: the system's own text
};
QString PortFailureText(PortFailure failure, const QString &device, const QString &systemText);

// One byte pipe to the pit board: a serial device, or the built-in simulator. Reads and writes
// never wait: a read takes only what has already arrived. A lost line (adapter pulled, far end
// gone) closes the device and is reported once through lineLost.
class PortDevice : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~PortDevice() override = default;

    virtual bool open(QString *error) = 0; // exclusive
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // 8N1; baud 0 keeps the driver's rate.
    virtual bool configure(qint32 baud, QString *error) = 0;
    // At most maxBytes of what is waiting; -1 on failure.
    virtual qint64 read(char *data, qint64 maxBytes, QString *error) = 0;
    // Hands over what the line takes now, without waiting, and returns that count (0 when the
    // line's buffer is full: no error, the caller keeps the rest); -1 on failure.
    virtual qint64 write(const char *data, qint64 count, QString *error) = 0;
    virtual qint64 bytesWaiting() const = 0;
    virtual bool readDcb(PortDcb *dcb, QString *error) const = 0;
    virtual PortProperties properties() const = 0;
    // An open that takes time (a port on the network): open() only starts it, and ready() or
    // openFailed() follows; configure() before that is kept for the line it opens.
    virtual bool opensLater() const { return false; }

signals:
    void lineLost(const QString &reason);
    // Bytes have arrived to be read.
    void readyRead();
    // An open that took time is done; configureError says why the line's settings were not set.
    void ready(const QString &configureError);
    // An open that took time failed; the device is closed.
    void openFailed(const QString &reason);
};
