#pragma once

#include "platform/portenumerator.h"

#include <QList>
#include <QString>

// Whether the device of a lost line has come back. A USB adapter pulled out while connected takes
// its device with it; plugged in again it comes back under the same stable name (by-id), though
// perhaps as another ttyUSB number. The device counts as back only once it has been seen gone
// after the loss: a line that failed while its device stayed is no adapter that went away.
class PortReturn {
public:
    // Waits for target (a stable name or a device path); presentNow says whether it is there at
    // the moment of the loss (udev may take a moment to remove it).
    void Arm(const QString &target, bool presentNow);
    void Disarm();
    bool armed() const { return !m_target.isEmpty(); }
    const QString &target() const { return m_target; }

    // Takes the devices as read after a change: true once when the awaited device is back, after
    // which nothing more is awaited.
    bool Returned(const QList<FoundPort> &ports) { return Returned(Lists(ports, m_target)); }
    // The same for whether the awaited device is there now, however that was found out.
    bool Returned(bool present);

    // Whether target is one of ports, by its stable name or by its device.
    static bool Lists(const QList<FoundPort> &ports, const QString &target);

private:
    QString m_target;
    bool m_seenGone = false;
};
