#pragma once

#include "comm/transfertypes.h"

#include <QString>
#include <QtGlobal>
#include <optional>

class SharedState;

// One of the two ways the engine (PacedTransfer) paces a transfer: fixed, one step per tick of
// the tab's timer (FixedPacing), or as fast as the boards answer (AnswerPacing). Both keep where
// the transfer stands, the time to the next tick, how far it got and its report line.
class TransferPacing {
public:
    virtual ~TransferPacing() = default;
    TransferPacing(const TransferPacing &) = delete;
    TransferPacing &operator=(const TransferPacing &) = delete;

    Transfer::State state() const { return m_phase; }
    Transfer::Mode mode() const { return m_mode; }
    // Until the next tick.
    int interval() const { return m_interval; }
    // Started and not yet ended (a stopped transfer at fixed pacing stays active until its next
    // tick).
    bool active() const {
        return m_phase != Transfer::State::Idle && m_phase != Transfer::State::Ended;
    }
    // Started, not stopped, and something left to do.
    virtual bool running() const = 0;
    virtual Transfer::TickResult Tick() = 0;
    // Entries taken at fixed pacing; cells through (an outcome each) paced by the answers.
    virtual int progress() const = 0;
    virtual int total() const = 0;
    // The report of a transfer that has ended, given once.
    virtual std::optional<Transfer::Report> TakeReport() = 0;
    // The owner's own words after the line and the details of the report not yet taken: what it
    // kept back from the transfer. Nothing without such a report.
    void AmendReport(const QString &line, const QString &details) {
        if (m_report) {
            m_report->line += line;
            m_report->details +=
                (m_report->details.isEmpty() ? QString() : QStringLiteral("\n")) + details;
        }
    }

    // "31,9" in the German interface, "31.9" in the English one: the seconds of a report line.
    static QString SecondsText(qint64 ms);

protected:
    explicit TransferPacing(SharedState &state) : m_state(state) {}

    SharedState &m_state;
    Transfer::Mode m_mode = Transfer::Mode::Read;
    Transfer::State m_phase = Transfer::State::Idle;
    int m_interval = 0;
    qint64 m_startedAt = 0;
    std::optional<Transfer::Report> m_report;
};
