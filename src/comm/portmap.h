#pragma once

#include <QMap>
#include <QString>

// What "COM1".."COM9" mean on this machine. Entries come from the settings file's Ports section;
// without one, Linux uses /dev/ttyS0..3 for COM1..4 and /dev/ttyUSB0..4 for COM5..9, and Windows
// the COM name itself. The target "simulator" is the built-in controller simulator.
class PortMap {
public:
    static constexpr int FirstPort = 1;
    static constexpr int LastPort = 9;
    static inline const QString Simulator = QStringLiteral("simulator");

    void setEntry(int number, const QString &target);
    void clear() { m_entries.clear(); }
    bool hasEntry(int number) const { return m_entries.contains(number); }

    // The device or "simulator" behind port number 1..9.
    QString target(int number) const;
    // The same for a name such as "COM3"; a name that is no COM name is taken as a device path.
    QString targetForName(const QString &name) const;

    static QString DefaultTarget(int number);
    static QString PortName(int number) { return QStringLiteral("COM%1").arg(number); }
    // 1..9 for "COM1".."COM9" (any case), 0 otherwise.
    static int NumberOfName(const QString &name);

private:
    QMap<int, QString> m_entries;
};
