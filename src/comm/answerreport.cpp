// Transfers paced by the boards' answers: how far they got, how they end and what they report.

#include "comm/answerpacing.h"

#include "comm/logging.h"
#include "comm/numbertext.h"
#include "comm/sharedstate.h"

#include <QCoreApplication>
#include <QStringList>

using Transfer::Mode;
using Transfer::Outcome;
using Transfer::Request;
using Transfer::State;

namespace {
// How many failed cells the status line names before it leaves the rest to the details.
constexpr int CellsNamed = 6;
} // namespace

QString AnswerPacing::BoardName(Board board) {
    return board == Board::Grube ? QCoreApplication::translate("PacedTransfer", "Grube")
                                 : QCoreApplication::translate("PacedTransfer", "Bühne");
}

QString AnswerPacing::CellName(int cell) {
    return QStringLiteral("0x%1").arg(cell, 2, 16, QLatin1Char('0'));
}

void AnswerPacing::Finish() {
    QStringList details;
    for (Item &item : m_items) {
        if (!item.outcome) {
            // A written cell whose read-backs never agreed is not known to hold another value:
            // it may well hold the value written.
            item.outcome = item.values.empty() ? Outcome::NoAnswer : Outcome::Unconfirmed;
            ++m_done;
            if (m_hooks.ownerDone) {
                m_hooks.ownerDone(item.request, *item.outcome,
                                  item.values.empty() ? -1 : item.values.back());
            }
        }
        if (*item.outcome != Outcome::Confirmed && *item.outcome != Outcome::Verified) {
            details << FailureText(item);
        }
    }
    ReleaseLine();
    m_flight.reset();
    m_phase = State::Ended;
    m_ending = Ending::Complete;
    m_endedAt = m_state.now();
    m_report = Transfer::Report{ReportLine(Ending::Complete), details.join(u'\n')};
    qCDebug(lcTransfer).noquote() << "transfer done:" << m_report->line;
    qCDebug(lcTransfer) << "answers: clean" << m_answers[size_t(Answer::Clean)] << "conflicting"
                        << m_answers[size_t(Answer::Conflict)] << "out of step"
                        << m_answers[size_t(Answer::OutOfStep)] << "not shown in step"
                        << m_answers[size_t(Answer::Unbelieved)] << "lost"
                        << m_answers[size_t(Answer::Lost)] << "; asks on a noisy line"
                        << m_noisyAsks;
}

QString AnswerPacing::FailureText(const Item &item) {
    const Request &r = item.request;
    QString what;
    switch (*item.outcome) {
    case Outcome::NoAnswer:
        what = QCoreApplication::translate("PacedTransfer", "keine Antwort");
        break;
    case Outcome::Unconfirmed:
        what = QCoreApplication::translate("PacedTransfer", "keine zwei gleichen Antworten");
        break;
    case Outcome::Mismatch:
        what = QCoreApplication::translate("PacedTransfer", "geschrieben %1, gelesen %2")
                   .arg(CellName(r.value), CellName(item.values.back()));
        break;
    case Outcome::Confirmed:
    case Outcome::Verified:
        break;
    }
    return QStringLiteral("%1 %2 (%3): %4")
        .arg(BoardName(r.board), CellName(r.cell))
        .arg(r.cell)
        .arg(what);
}

QString AnswerPacing::ReportLine(Ending ending) const {
    const bool read = m_mode == Mode::Read;
    const QString seconds = SecondsText(m_endedAt - m_startedAt);
    if (ending != Ending::Complete) {
        const QString cells =
            QCoreApplication::translate("PacedTransfer", "%1 %2")
                .arg(CellsOfText(m_done, qsizetype(m_items.size())),
                     read ? QCoreApplication::translate("PacedTransfer", "gelesen")
                          : QCoreApplication::translate("PacedTransfer", "geschrieben"));
        switch (ending) {
        case Ending::Interrupted:
            return QCoreApplication::translate(
                       "PacedTransfer", "Unterbrochen, die Verbindung ging verloren: %1 in %2 s")
                .arg(cells, seconds);
        case Ending::Silent:
            return QCoreApplication::translate(
                       "PacedTransfer", "Unterbrochen, die Steuerung antwortet nicht: %1 in %2 s")
                .arg(cells, seconds);
        default:
            return QCoreApplication::translate("PacedTransfer",
                                               "Abgebrochen: %1 in %2 s, das Bisherige bleibt")
                .arg(cells, seconds);
        }
    }
    int repeated = 0;
    std::vector<const Item *> failedItems;
    for (const Item &item : m_items) {
        const bool settled =
            item.outcome == Outcome::Confirmed || item.outcome == Outcome::Verified;
        if (!settled) {
            failedItems.push_back(&item);
        } else if (item.again) {
            ++repeated; // came through only when asked again
        }
    }
    QString line =
        read ? QCoreApplication::translate("PacedTransfer",
                                           "%1 in %2 s gelesen, %3 wiederholt, %4 ohne Antwort")
             : QCoreApplication::translate(
                   "PacedTransfer", "%1 in %2 s geschrieben und geprüft, %3 wiederholt, %4 falsch");
    line = line.arg(CellsText(qsizetype(m_items.size())), seconds)
               .arg(repeated)
               .arg(failedItems.size());
    if (!failedItems.empty()) {
        QStringList named;
        Board last = failedItems.front()->request.board;
        named << BoardName(last);
        for (size_t i = 0; i < failedItems.size() && i < size_t(CellsNamed); ++i) {
            const Request &r = failedItems[i]->request;
            if (r.board != last) {
                last = r.board;
                named << BoardName(last);
            }
            named.last() += QLatin1Char(' ') + CellName(r.cell);
        }
        line += QStringLiteral(": ") + named.join(QStringLiteral("; "));
        if (failedItems.size() > size_t(CellsNamed)) {
            line += QStringLiteral(" …");
        }
    }
    return line;
}

int AnswerPacing::Units() const {
    int units = 0;
    for (const Item &item : m_items) {
        if (item.outcome) {
            units += 2;
        } else if (item.request.kind == Request::Kind::Read) {
            units += std::min(item.asks, 2);
        } else {
            units += std::min(item.writes, 1) + std::min(item.asks, 1);
        }
    }
    return units;
}

int AnswerPacing::progress() const {
    return m_done; // as the report line counts them
}

QString AnswerPacing::ProgressText() const {
    const int total = static_cast<int>(m_items.size());
    const QString cells = CellsOfText(m_done, total);
    if (!active()) {
        switch (m_ending) {
        case Ending::Stopped:
            return QCoreApplication::translate("PacedTransfer", "Abgebrochen: %1").arg(cells);
        case Ending::Interrupted:
        case Ending::Silent:
            return QCoreApplication::translate("PacedTransfer", "Unterbrochen: %1").arg(cells);
        case Ending::Running:
        case Ending::Complete:
            break;
        }
        return cells;
    }
    if (m_done == total) {
        return cells; // through with all, it ends at its next turn
    }
    const int units = Units();
    if (m_pass > 1 || units >= 2 * total) {
        // Every cell had its first asks: what is left are read-backs, asks again and answers
        // still to come. A time left would say 0 s for as long as they take.
        return cells + QStringLiteral(", ") + DoingText();
    }
    const qint64 elapsed = m_state.now() - m_startedAt;
    if (elapsed >= RateAfterMs && units > 0) {
        const qint64 left = elapsed * (2 * total - units) / units;
        return cells +
               QCoreApplication::translate("PacedTransfer", ", noch %1 s").arg((left + 999) / 1000);
    }
    return cells;
}

QString AnswerPacing::DoingText() const {
    if (!m_flight) {
        return QCoreApplication::translate("PacedTransfer", "wartet auf Antworten");
    }
    const Item &item = m_items[m_flight->item];
    const QString cell =
        BoardName(item.request.board) + QLatin1Char(' ') + CellName(item.request.cell);
    if (m_flight->write) {
        return item.writes > 1
                   ? QCoreApplication::translate("PacedTransfer", "schreibt %1 erneut").arg(cell)
                   : QCoreApplication::translate("PacedTransfer", "schreibt %1").arg(cell);
    }
    if (item.request.kind == Request::Kind::Write) {
        return QCoreApplication::translate("PacedTransfer", "liest %1 zurück").arg(cell);
    }
    return m_pass > 1 ? QCoreApplication::translate("PacedTransfer", "fragt %1 erneut").arg(cell)
                      : QCoreApplication::translate("PacedTransfer", "liest %1").arg(cell);
}

std::optional<Transfer::Report> AnswerPacing::TakeReport() {
    std::optional<Transfer::Report> report;
    report.swap(m_report);
    return report;
}
