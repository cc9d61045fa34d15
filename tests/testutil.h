#pragma once

// Small helpers the tests share.

#include "sendqueue.h"
#include "sharedstate.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <initializer_list>
#include <vector>

namespace TestUtil {

// Bytes from integers, for messages on the line.
inline QByteArray B(std::initializer_list<int> bytes) {
    QByteArray a;
    for (int b : bytes) {
        a.append(static_cast<char>(b));
    }
    return a;
}

// Everything waiting in the transmit queue, taken out in order.
inline std::vector<int> Drain(SendQueue &q) {
    std::vector<int> out;
    while (auto b = q.TakeNext()) {
        out.push_back(*b);
    }
    return out;
}

// Takes everything out of the transmit queue as the transmit tick of a connected line does: every
// message counts as a request on the wire once its last byte is out. Returns the bytes.
inline std::vector<int> PutOnWire(SharedState &s) {
    std::vector<int> out;
    while (!s.sendQueue.isEmpty()) {
        const bool last = s.sendQueue.headIsLastByte();
        const Framing::Asks asks = s.sendQueue.headAsks();
        out.push_back(*s.sendQueue.TakeNext());
        if (last) {
            s.answers.NoteOnWire(asks, s.now());
        }
    }
    return out;
}

inline bool WriteFile(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QByteArray ReadFile(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace TestUtil
