#pragma once

#include "comm/answerfilter.h"
#include "comm/lineclient.h"
#include "comm/noisegauge.h"
#include "comm/receiver.h"
#include "comm/requestline.h"
#include "comm/sendqueue.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

// How the transfers of the tabs are paced (settings "Feste_Taktung", "Schreiben_pruefen",
// "Antwort_Timeout").
struct TransferSettings {
    static constexpr int DefaultAnswerTimeoutMs = 300;
    bool fixedPacing = false; // one request per tick of the tabs' timers, the program's old way
    bool verifyWrites = true; // every written cell is read back (paced by the answers only)
    int answerTimeoutMs = DefaultAnswerTimeoutMs;

    // Transfers paced by the answers; writes of those that verify what they wrote.
    bool byAnswer() const { return !fixedPacing; }
    bool verifying() const { return !fixedPacing && verifyWrites; }
};

// The pace of the line, one for the window, the command line and the transfers: the gap between
// two bytes ("Interval_Senden"), the receive tick ("Interval_Receive") and the bytes taken per
// read ("COM-Buffersize"). The session sets it from the settings file or the command line.
struct LineTiming {
    static constexpr int DefaultMs = 20;
    static constexpr int DefaultReadSize = 8;
    int byteIntervalMs = DefaultMs;
    int receiveMs = DefaultMs;
    int readSize = DefaultReadSize;
    bool operator==(const LineTiming &) const = default;
};

// The traffic on the line to the pit board: the transmit queue, the receiver with its InfoTable,
// the answers expected, the one request of the tabs' transfers on its way, and the transfers
// that hear of the requests and answers (through LineClient, so that the line knows no engine).
class LineTraffic {
public:
    SendQueue sendQueue;
    Receiver receiver;
    InfoTable &infoTable() { return receiver.table(); }
    const InfoTable &infoTable() const { return receiver.table(); }
    // Which "G"/"H" answers are expected: fed by the transmit tick with every request sent.
    AnswerFilter answers;
    // The one request of the tabs' transfers that is on its way.
    RequestLine line;
    // How many of the answers to the transfers' asks were lately damaged on the line.
    NoiseGauge noise;
    TransferSettings transferSettings;
    const LineTiming &timing() const { return m_timing; }
    void setTiming(const LineTiming &timing) { m_timing = timing; }
    // Milliseconds of a steady clock, by which requests time out and the board's silence shows.
    qint64 now() const { return m_clock ? m_clock() : SteadyMs(); }
    // A clock of the test's own, which it moves by hand; none: the steady clock.
    void setClock(std::function<qint64()> clock) { m_clock = std::move(clock); }

    // The tabs' transfers: they hear of the requests on the wire and of the answers.
    void RegisterClient(LineClient *client);
    void UnregisterClient(LineClient *client);
    // The report of a transfer that has just ended, if any (the latest one wins): the status
    // bar's line and the cells that failed.
    using TransferReport = LineClient::Report;
    std::optional<TransferReport> TakeTransferReport();
    // A tab's own line for the status bar (what an edit did); it is shown like a transfer's
    // report, and a later one replaces it, as does a transfer's report taken with it.
    void PostStatus(const QString &line) { m_status = line; }

    // The last byte of a message left the transmit queue, on the wire or drained while offline.
    void NoteSent(const Framing::Asks &asks, bool onWire);
    // A transfer lets go of the line; the others waiting for it may go on.
    void FreeLine(LineClient *owner);
    // The line went away: every transfer paced by the answers ends, saying it was interrupted
    // and how far it got. It is not resumed by itself.
    void InterruptTransfers();

protected:
    const std::vector<LineClient *> &clients() const { return m_clients; }

private:
    static qint64 SteadyMs();

    std::vector<LineClient *> m_clients;
    std::optional<QString> m_status;
    LineTiming m_timing;
    std::function<qint64()> m_clock;
};
