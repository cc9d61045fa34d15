#include "comm/linetraffic.h"

#include <algorithm>

#include <QElapsedTimer>

qint64 LineTraffic::SteadyMs() {
    static const QElapsedTimer started = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return started.elapsed();
}

void LineTraffic::NoteSent(const Framing::Asks &asks, bool onWire) {
    const qint64 t = now();
    if (onWire) {
        answers.NoteOnWire(asks, t);
    }
    const bool waited = line.busy() && line.current()->onWireAt < 0 && !line.current()->drained;
    line.NoteSent(asks, onWire, t);
    if (waited && (line.current()->onWireAt >= 0 || line.current()->drained)) {
        line.current()->owner->Wake(); // its time-out starts now
    }
}

std::optional<LineTraffic::TransferReport> LineTraffic::TakeTransferReport() {
    std::optional<TransferReport> report;
    if (m_status) {
        report = TransferReport{*m_status, QString()};
        m_status.reset();
    }
    // A transfer that ended meanwhile says more than an edit's line.
    for (LineClient *client : m_clients) {
        if (std::optional<TransferReport> r = client->TakeReport()) {
            report = std::move(r);
        }
    }
    return report;
}

void LineTraffic::FreeLine(LineClient *owner) {
    if (!line.heldBy(owner)) {
        return;
    }
    line.Release(owner);
    for (LineClient *client : m_clients) {
        if (client != owner) {
            client->Wake();
        }
    }
}

void LineTraffic::InterruptTransfers() {
    for (LineClient *client : m_clients) {
        client->OnInterrupted();
    }
}

void LineTraffic::RegisterClient(LineClient *client) {
    m_clients.push_back(client);
}

void LineTraffic::UnregisterClient(LineClient *client) {
    line.Release(client);
    m_clients.erase(std::remove(m_clients.begin(), m_clients.end(), client), m_clients.end());
}
