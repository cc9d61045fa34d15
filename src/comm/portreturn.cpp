#include "comm/portreturn.h"

#include <algorithm>

void PortReturn::Arm(const QString &target, bool presentNow) {
    m_target = target;
    m_seenGone = !presentNow;
}

void PortReturn::Disarm() {
    m_target.clear();
    m_seenGone = false;
}

bool PortReturn::Returned(bool present) {
    if (!armed()) {
        return false;
    }
    if (!present) {
        m_seenGone = true;
        return false;
    }
    if (!m_seenGone) {
        return false; // still the device that failed, not one plugged in again
    }
    Disarm();
    return true;
}

bool PortReturn::Lists(const QList<FoundPort> &ports, const QString &target) {
    return std::any_of(ports.cbegin(), ports.cend(), [&](const FoundPort &p) {
        return p.target == target || p.location == target;
    });
}
