#pragma once

#include <QtGlobal>

// Whether the pit board is still talking. While connected it reports several times a second, so
// a line that stays quiet for SilenceMs means a board switched off, the wrong port or the wrong
// baud rate. Only watched: nothing is sent or closed because of it.
class LinkHealth {
public:
    static constexpr qint64 SilenceMs = 2000;
    enum class Change { None, WentSilent, CameBack };

    // The connection was opened now: the board gets SilenceMs to say something.
    void Start(qint64 nowMs);
    // The connection ended: neither silent nor watched.
    void Stop();
    // Bytes arrived now.
    void NoteBytes(qint64 nowMs);
    // Called after every receive tick; tells when the state changed.
    Change Check(qint64 nowMs);

    bool silent() const { return m_silent; }

private:
    bool m_watching = false;
    bool m_silent = false;
    qint64 m_lastBytes = 0;
};
