#pragma once

#include "platform/filenames.h"

#include <QLatin1String>
#include <QList>
#include <QString>
#include <optional>

// Where Linux shows its serial devices.
namespace PortFolders {
// The device nodes.
inline constexpr QLatin1String Devices("/dev");
// Stable names of USB serial adapters, one link per adapter; udev makes the folder when the
// first adapter is plugged in.
inline constexpr QLatin1String SerialById("/dev/serial/by-id");
// One folder per USB serial device, named like the device (ttyUSB0); adapters with a latency
// timer have the file latency_timer there.
inline constexpr QLatin1String UsbSerial("/sys/bus/usb-serial/devices");
} // namespace PortFolders

// One serial device found on this machine.
struct FoundPort {
    QString target;       // what the Ports section stores: the stable by-id name where there is one
    QString location;     // the device as the system names it now, e.g. /dev/ttyUSB0
    QString description;  // the adapter's own description
    QString manufacturer; // the adapter's maker
    // The adapter's latency timer in ms: how long it holds back a few received bytes before
    // passing them on. Absent for devices without one.
    std::optional<int> latencyMs{};

    // "ttyUSB0 – FT232R USB UART (FTDI), Latenz 16 ms": what the settings tab lists.
    QString displayText() const;

    bool operator==(const FoundPort &) const = default;
};

// The serial devices of this machine. Behind an interface so that tests can offer a
// pseudo-terminal instead of real hardware.
class PortEnumerator {
public:
    virtual ~PortEnumerator() = default;
    virtual QList<FoundPort> Ports() const = 0;
};

// The system's devices (QSerialPortInfo), each under its /dev/serial/by-id name where it has one,
// so that a re-plugged adapter keeps its COM number, with the latency timer where it has one.
class SystemPortEnumerator : public PortEnumerator {
public:
    explicit SystemPortEnumerator(QString byIdFolder = PortFolders::SerialById,
                                  QString usbSerialFolder = PortFolders::UsbSerial);
    QList<FoundPort> Ports() const override;

private:
    QString m_byIdFolder;
    QString m_usbSerialFolder;
};

// The stable name of a device: the entry of byIdFolder that links to it, or the device itself.
QString StableDeviceName(const QString &location, const QString &byIdFolder);

// The kernel's name of a device ("ttyUSB0"), also when it is given by a by-id link.
QString KernelDeviceName(const QString &device);

// The latency timer of a USB serial device, read from usbSerialFolder/<kernel name>/latency_timer;
// absent when the device has none or the value cannot be read. Only read, never changed.
std::optional<int> ReadLatencyTimer(const QString &device,
                                    const QString &usbSerialFolder = PortFolders::UsbSerial);

// Why a device typed in by the user cannot be mapped to a COM number; empty when it can. On Unix a
// device path: empty, not there, or a folder. On Windows a port's name ("COM12", also written
// "\\.\COM12"), which is taken whether or not the port is there now (Windows shows no device
// files to look at), or another name of Windows' device space ("\\.\CNCA0").
QString DevicePathProblem(const QString &path, FileNames::System system = FileNames::Native);

// What the user's typing of a device is stored as: a Windows port's name as Windows lists it
// ("com12" and "\\.\COM12" are "COM12"); anything else as typed, without blanks around it.
QString TypedDevice(const QString &typed, FileNames::System system = FileNames::Native);

// What the field for a typed device starts with: "/dev/" on Unix, "COM" on Windows.
QString TypedDeviceStart(FileNames::System system = FileNames::Native);

// Names in the order a person counts: runs of digits by their number ("COM2" before "COM12",
// "ttyUSB9" before "ttyUSB10"), letters without regard to case.
bool NaturalLess(const QString &a, const QString &b);

// The devices in the order the settings tab lists them: naturally by the system's name for them.
QList<FoundPort> SortedForShowing(QList<FoundPort> ports);
