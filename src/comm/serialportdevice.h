#pragma once

#include "comm/portdevice.h"
#include "platform/devicefile.h"
#include "platform/portholders.h"

#include <QSerialPort>

// A real serial device (or a pseudo-terminal) through QSerialPort.
class SerialPortDevice : public PortDevice {
    Q_OBJECT
public:
    explicit SerialPortDevice(const QString &device, QObject *parent = nullptr);
    ~SerialPortDevice() override;

    bool open(QString *error) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    bool configure(qint32 baud, QString *error) override;
    qint64 read(char *data, qint64 maxBytes, QString *error) override;
    qint64 write(const char *data, qint64 count, QString *error) override;
    qint64 bytesWaiting() const override;
    bool readDcb(PortDcb *dcb, QString *error) const override;
    PortProperties properties() const override;

    QString device() const { return m_device; }

    // What a failed open or write means to the user. An open is judged by Qt's error code and
    // what the system says about the device, never by Qt's text, which comes in the interface's
    // language.
    static PortFailure OpenFailure(QSerialPort::SerialPortError error, const QString &device);
    static PortFailure WriteFailure(int systemError);

private:
    void onError(QSerialPort::SerialPortError error);
    void release();

    QString m_device;
    QString m_canonical; // the device file itself, opened and locked
    DeviceLock m_lock;
    QSerialPort m_port;
    bool m_open = false;
    bool m_lost = false;
    QString m_lostReason;
};

// The message for a device that another program holds: "/dev/ttyUSB0 wird bereits von einem
// anderen Programm benutzt (minicom, Prozess 4711)." where the holders were found, otherwise the
// same sentence and "Welches Programm es ist, ließ sich nicht feststellen."
QString BusyDeviceText(const QString &device, const PortHolderSearch &search);
