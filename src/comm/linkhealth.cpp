#include "comm/linkhealth.h"

void LinkHealth::Start(qint64 nowMs) {
    m_watching = true;
    m_silent = false;
    m_lastBytes = nowMs;
}

void LinkHealth::Stop() {
    m_watching = false;
    m_silent = false;
}

void LinkHealth::NoteBytes(qint64 nowMs) {
    m_lastBytes = nowMs;
}

LinkHealth::Change LinkHealth::Check(qint64 nowMs) {
    if (!m_watching) {
        return Change::None;
    }
    const bool silent = nowMs - m_lastBytes >= SilenceMs;
    if (silent == m_silent) {
        return Change::None;
    }
    m_silent = silent;
    return silent ? Change::WentSilent : Change::CameBack;
}
