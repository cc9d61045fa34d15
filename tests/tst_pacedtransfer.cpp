// The transfer engine paced by the answers, against a scripted board: each request goes when the
// one before it was answered or timed out, what failed is asked again after the first pass, a
// cell counts only with two agreeing answers, a write only when read back as written.

#include "comm/pacedtransfer.h"
#include "comm/sharedstate.h"
#include "fixtures/rununtil.h"
#include "fixtures/testsession.h"
#include "fixtures/testutil.h"

#include <QElapsedTimer>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <functional>
#include <map>

namespace {

using Request = PacedTransfer::Request;
using Outcome = PacedTransfer::Outcome;

// The boards as the engine meets them: the transmit tick puts each queued message on the wire,
// the board answers a read after its delay with what its cell holds, unless the test says
// otherwise, and the status report behind every answer shows the stream in step.
struct FakeBoards {
    explicit FakeBoards(SharedState &state) : s(state) {
        s.setClock([this] { return now; });
        s.setTiming({0, LineTiming::DefaultMs,
                     LineTiming::DefaultReadSize}); // a message reaches the board all at once
        pit.fill(0);
        bridge.fill(0);
    }

    SharedState &s;
    qint64 now = 1000;
    std::array<int, 256> pit{};
    std::array<int, 256> bridge{};
    int delayMs = 5;
    // Per request (board, cell, count so far): nothing (-1: no answer), or the value to answer.
    std::function<int(::Board, int, int, int)> answer;
    // Per write: the value the board stores.
    std::function<int(::Board, int, int, int)> store;
    std::map<std::pair<int, int>, int> reads;       // requests seen per (board, cell)
    std::map<std::pair<int, int>, int> writes;      // writes seen per (board, cell)
    std::vector<std::pair<qint64, QByteArray>> due; // answers on their way
    int bridgeInFlight = 0;                         // bridge reads not answered yet
    int mostBridgeInFlight = 0;
    std::vector<qint64> writeTimes;
    std::vector<qint64> readTimes;

    std::array<int, 256> &cells(::Board b) { return b == ::Board::Grube ? pit : bridge; }
    // Requests and writes the board saw of a cell (board 0 pit, 1 bridge).
    int asked(int board, int cell) { return reads[{board, cell}]; }
    int written(int board, int cell) { return writes[{board, cell}]; }

    // Every queued message goes on the wire now.
    void Transmit() {
        while (!s.sendQueue.isEmpty()) {
            const bool last = s.sendQueue.headIsLastByte();
            const Framing::Asks asks = s.sendQueue.headAsks();
            s.sendQueue.TakeNext();
            if (!last) {
                continue;
            }
            s.NoteSent(asks, true);
            const auto key = std::make_pair(int(asks.board), asks.cell);
            if (asks.isWrite()) {
                const int n = writes[key]++;
                writeTimes.push_back(now);
                cells(asks.board)[size_t(asks.cell)] =
                    store ? store(asks.board, asks.cell, asks.value, n) : asks.value;
            } else if (asks.isRead()) {
                const int n = reads[key]++;
                readTimes.push_back(now);
                const int value =
                    answer ? answer(asks.board, asks.cell, cells(asks.board)[size_t(asks.cell)], n)
                           : cells(asks.board)[size_t(asks.cell)];
                if (asks.board == ::Board::Buehne) {
                    mostBridgeInFlight = std::max(mostBridgeInFlight, ++bridgeInFlight);
                }
                if (value >= 0) {
                    QByteArray m;
                    m.append(asks.board == ::Board::Grube ? 'G' : 'H')
                        .append(char(asks.cell))
                        .append(char(value))
                        .append("F\x00\x00", 3);
                    due.push_back({now + delayMs, m});
                } else if (asks.board == ::Board::Buehne) {
                    --bridgeInFlight;
                }
            }
        }
    }
    // Lets ms pass in steps of one millisecond, ticking the engine whenever it asks to: in place
    // of its own timer, which runs on real time.
    void Run(PacedTransfer &t, qint64 ms) {
        const qint64 until = now + ms;
        qint64 next = now;
        while (now < until) {
            Deliver();
            if (t.wakePending() || now >= next) {
                t.Tick();
                next = now + std::max(1, t.interval());
            }
            Transmit();
            ++now;
        }
    }
    // The answers that are due reach the receiver.
    void Deliver() {
        for (auto it = due.begin(); it != due.end();) {
            if (it->first <= now) {
                if (it->second.at(0) == 'H') {
                    --bridgeInFlight;
                }
                s.Receive(it->second);
                it = due.erase(it);
            } else {
                ++it;
            }
        }
    }
    // The clock follows real time, and the line and the boards run on a timer of their own, until
    // done (at most ms): the engine ticks only by its own timer.
    bool RunInRealTime(const std::function<bool()> &done, int ms) {
        QElapsedTimer real;
        real.start();
        const qint64 start = now;
        QTimer line;
        QObject::connect(&line, &QTimer::timeout, [&] {
            now = start + real.elapsed();
            Deliver();
            Transmit();
        });
        line.start(1);
        return TestUtil::RunUntil(done, ms);
    }
    // Runs until the transfer has ended, at most ms.
    bool Finish(PacedTransfer &t, qint64 ms = 60000) {
        const qint64 until = now + ms;
        while (t.active() && now < until) {
            Run(t, 10);
        }
        return !t.active();
    }
};

std::vector<Request> Reads(::Board board, std::initializer_list<int> cells) {
    std::vector<Request> r;
    for (int c : cells) {
        r.push_back({Request::Kind::Read, board, c, 0, c});
    }
    return r;
}

struct Outcomes {
    std::map<int, std::pair<Outcome, int>> byTag;
    PacedTransfer::OwnerHooks callbacks() {
        PacedTransfer::OwnerHooks c;
        c.ownerDone = [this](const Request &r, Outcome o, int v) { byTag[r.tag] = {o, v}; };
        return c;
    }
};

} // namespace

class TestPacedTransfer : public QObject {
    Q_OBJECT
private slots:
    // Two agreeing answers per cell land in the mirror, marked received; the next request goes as
    // soon as the answer is in, not at a tick of its own.
    void readsEveryCellTwiceAndTakesAgreeingAnswers() {
        SharedState s;
        FakeBoards b(s);
        b.pit[3] = 0x33;
        b.pit[4] = 0x44;
        PacedTransfer t(s);
        Outcomes out;
        QVERIFY(t.Start(PacedTransfer::Plan::ByAnswer(
            PacedTransfer::Mode::Read, Reads(::Board::Grube, {3, 4}), out.callbacks())));
        QVERIFY(b.Finish(t));
        QCOMPARE(b.asked(0, 3), 2);
        QCOMPARE(b.asked(0, 4), 2);
        QCOMPARE(s.pit.value(3), uint8_t(0x33));
        QVERIFY(s.pit.received(4));
        QCOMPARE(out.byTag[4].first, Outcome::Confirmed);
        // Each request went right after the answer before it: 5 ms answer time, no waiting.
        for (size_t i = 1; i < b.readTimes.size(); ++i) {
            QVERIFY(b.readTimes[i] - b.readTimes[i - 1] <= 10);
        }
        const auto report = t.TakeReport();
        QVERIFY(report);
        QVERIFY2(report->line.startsWith("2 Zellen in ") &&
                     report->line.endsWith(" s gelesen, 0 wiederholt, 0 ohne Antwort"),
                 qPrintable(report->line));
        QVERIFY(!t.TakeReport()); // given once
    }

    // The engine's state follows its request: queued, on the wire, answered; a write waits on
    // the board's time to write the cell before its read-back goes. At fixed pacing a click
    // stops a running transfer, which ends at the next tick.
    void theStateFollowsTheRequestInFlight() {
        using State = PacedTransfer::State;
        SharedState s;
        FakeBoards b(s);
        PacedTransfer t(s);
        QCOMPARE(t.state(), State::Idle);
        Outcomes out;
        QVERIFY(t.Start(PacedTransfer::Plan::ByAnswer(
            PacedTransfer::Mode::Write, {{Request::Kind::Write, ::Board::Grube, 5, 0x55, 5}},
            out.callbacks())));
        QCOMPARE(t.state(), State::Running);
        t.Tick();
        QCOMPARE(t.state(), State::WaitingOnLine);
        b.Transmit();
        t.Tick();
        QCOMPARE(t.state(), State::AwaitingReadBack);
        QCOMPARE(t.interval(), int(PacedTransfer::WriteSettleMs(::Board::Grube) +
                                   PacedTransfer::ReadBackMarginMs));
        b.now += t.interval();
        t.Tick();
        QCOMPARE(t.state(), State::WaitingOnLine); // the read-back
        QCOMPARE(b.asked(0, 5), 0);
        b.Transmit();
        t.Tick();
        QCOMPARE(t.state(), State::AwaitingAnswer);
        QCOMPARE(b.asked(0, 5), 1);
        QVERIFY(b.Finish(t));
        QCOMPARE(t.state(), State::Ended);
        QCOMPARE(out.byTag[5].first, Outcome::Verified);

        SharedState fixed;
        PacedTransfer f(fixed);
        const auto reads = [](int cell) {
            PacedTransfer::Step step;
            step.kind = PacedTransfer::Step::Kind::Read;
            step.cell = cell;
            return step;
        };
        QVERIFY(f.Toggle(PacedTransfer::Plan::Fixed(PacedTransfer::Mode::Read, 3,
                                                    PacedTransfer::Intervals{}, reads)));
        QCOMPARE(f.state(), State::Running);
        QVERIFY(f.Tick().step);
        QCOMPARE(f.position(), 1);
        QVERIFY(!f.Toggle(PacedTransfer::Plan::Fixed(PacedTransfer::Mode::Read, 3,
                                                     PacedTransfer::Intervals{}, reads)));
        QCOMPARE(f.state(), State::Stopping);
        QVERIFY(f.active());
        QVERIFY(!f.running());
        QVERIFY(f.Tick().ended);
        QCOMPARE(f.state(), State::Ended);
        QVERIFY(!f.active());
        QCOMPARE(fixed.sendQueue.length(), Msg::MessageBytes); // the one request it sent
    }

    // A lost answer: the request times out, the next cell goes, and the cell is asked again in
    // a later pass; a late answer still counts.
    void lostAnswersAreAskedAgainAfterTheFirstPass() {
        SharedState s;
        FakeBoards b(s);
        b.pit[7] = 0x70;
        b.pit[8] = 0x80;
        b.answer = [](::Board, int cell, int value, int n) {
            return cell == 7 && n == 0 ? -1 : value; // the first answer of cell 7 is lost
        };
        PacedTransfer t(s);
        Outcomes out;
        t.Start(PacedTransfer::Plan::ByAnswer(PacedTransfer::Mode::Read,
                                              Reads(::Board::Grube, {7, 8}), out.callbacks()));
        QVERIFY(b.Finish(t));
        QCOMPARE(b.asked(0, 7), 3);
        QCOMPARE(out.byTag[7].first, Outcome::Confirmed);
        QCOMPARE(s.pit.value(7), uint8_t(0x70));
        // The time-out ran from the request's last byte: the next request came 300 ms later.
        QCOMPARE(b.readTimes.at(1) - b.readTimes.at(0), qint64(300));
        QVERIFY(t.TakeReport()->line.contains(", 1 wiederholt, 0 ohne Antwort"));
    }

    void aCellThatNeverAnswersIsListedAndLeftUnmarked() {
        SharedState s;
        FakeBoards b(s);
        s.pit.setValue(0x1F, 0xAA); // an old value in the mirror
        b.answer = [](::Board, int cell, int value, int) { return cell == 0x1F ? -1 : value; };
        PacedTransfer t(s);
        Outcomes out;
        t.Start(PacedTransfer::Plan::ByAnswer(
            PacedTransfer::Mode::Read, Reads(::Board::Grube, {0x1E, 0x1F}), out.callbacks()));
        QVERIFY(b.Finish(t));
        QCOMPARE(b.asked(0, 0x1F), PacedTransfer::MaxAsks);
        QCOMPARE(out.byTag[0x1F].first, Outcome::NoAnswer);
        QVERIFY(!s.pit.received(0x1F));
        QCOMPARE(s.pit.value(0x1F), uint8_t(0xAA)); // nothing from elsewhere
        const auto report = t.TakeReport();
        QVERIFY2(report->line.endsWith(", 1 ohne Antwort: Grube 0x1f"), qPrintable(report->line));
        QCOMPARE(report->details, QStringLiteral("Grube 0x1f (31): keine Antwort"));
    }

    // A flipped bit in one answer never lands: once the answers disagree, only three asks in a
    // row that agree decide; equal answers with a conflicting one between them do not.
    void disagreeingAnswersAreAskedUntilTwoAgree() {
        SharedState s;
        FakeBoards b(s);
        b.pit[0x40] = 0xFF;
        b.answer = [](::Board, int, int value, int n) { return n == 1 ? value ^ 0x01 : value; };
        PacedTransfer t(s);
        Outcomes out;
        t.Start(PacedTransfer::Plan::ByAnswer(PacedTransfer::Mode::Read,
                                              Reads(::Board::Grube, {0x40}), out.callbacks()));
        QVERIFY(b.Finish(t));
        QCOMPARE(b.asked(0, 0x40), 5); // FF, FE, FF, FF settle nothing; FF, FF, FF in a row do
        QCOMPARE(out.byTag[0x40].first, Outcome::Confirmed);
        QCOMPARE(s.pit.value(0x40), uint8_t(0xFF));

        // The damaged value comes twice, with the right one between them: 82, 02, (lost),
        // (lost), 82 never gives two in a row, so nothing is believed.
        FakeBoards traced(s);
        traced.answer = [](::Board, int, int, int n) {
            static const int answers[] = {0x82, 0x02, -1, -1, 0x82};
            return n < 5 ? answers[n] : -1;
        };
        s.pit.setValue(0xC1, 0x02);
        s.pit.setReceived(0xC1, false);
        PacedTransfer traceRun(s);
        Outcomes tracedOut;
        traceRun.Start(PacedTransfer::Plan::ByAnswer(
            PacedTransfer::Mode::Read, Reads(::Board::Grube, {0xC1}), tracedOut.callbacks()));
        QVERIFY(traced.Finish(traceRun));
        QCOMPARE(traced.asked(0, 0xC1), PacedTransfer::MaxAsks);
        QCOMPARE(tracedOut.byTag[0xC1].first, Outcome::Unconfirmed);
        QVERIFY(!s.pit.received(0xC1));
        QCOMPARE(s.pit.value(0xC1), uint8_t(0x02)); // the mirror keeps what it had

        // The same bit flipped twice, and the right answers between them lost: two equal answers
        // with an ask between them that brought nothing are no proof either.
        FakeBoards flipped(s);
        flipped.pit[0x80] = 0x83;
        flipped.answer = [](::Board, int, int value, int n) {
            return n == 1 || n == 4 ? value ^ 0x08 : -1;
        };
        PacedTransfer flippedRun(s);
        Outcomes flippedOut;
        flippedRun.Start(PacedTransfer::Plan::ByAnswer(
            PacedTransfer::Mode::Read, Reads(::Board::Grube, {0x80}), flippedOut.callbacks()));
        QVERIFY(flipped.Finish(flippedRun));
        QCOMPARE(flippedOut.byTag[0x80].first, Outcome::Unconfirmed);
        QVERIFY(!s.pit.received(0x80));

        // Right after a conflict the same flip comes twice in a row: two are not enough then.
        FakeBoards twice(s);
        twice.pit[0x90] = 0x27;
        twice.answer = [](::Board, int, int value, int n) {
            return n == 1 || n == 2 ? value ^ 0x04 : value;
        };
        PacedTransfer twiceRun(s);
        Outcomes twiceOut;
        twiceRun.Start(PacedTransfer::Plan::ByAnswer(
            PacedTransfer::Mode::Read, Reads(::Board::Grube, {0x90}), twiceOut.callbacks()));
        QVERIFY(twice.Finish(twiceRun));
        QCOMPARE(twiceOut.byTag[0x90], std::make_pair(Outcome::Confirmed, 0x27));
        QCOMPARE(twice.asked(0, 0x90), 6); // 27, 23, 23, 27, 27, 27

        // Four answers of which no two agree: listed, not believed.
        FakeBoards noisy(s);
        noisy.answer = [](::Board, int, int, int n) { return n; };
        PacedTransfer u(s);
        Outcomes out2;
        s.pit.setValue(0x41, 0x99);
        s.pit.setReceived(0x41, false);
        u.Start(PacedTransfer::Plan::ByAnswer(PacedTransfer::Mode::Read,
                                              Reads(::Board::Grube, {0x41}), out2.callbacks()));
        QVERIFY(noisy.Finish(u));
        QCOMPARE(out2.byTag[0x41].first, Outcome::Unconfirmed);
        QCOMPARE(s.pit.value(0x41), uint8_t(0x99));
        QVERIFY(!s.pit.received(0x41));
    }

    // A read-back that equals the value written counts no more than any other answer: a bit
    // flipped on the line can make another value look like it. The board kept 0x97 of a write of
    // 0x96, and the first read-back arrives as 0x96: the read-backs after it show 0x97, and the
    // cell is written again. Read-backs that never agree leave the cell unconfirmed, not
    // "written 0x05, read 0x05".
    void aReadBackThatLooksWrittenIsConfirmedAsAnyAnswer() {
        SharedState s;
        FakeBoards b(s);
        b.store = [](::Board, int, int value, int n) { return n == 0 ? value ^ 0x01 : value; };
        b.answer = [](::Board, int, int value, int n) { return n == 0 ? value ^ 0x01 : value; };
        PacedTransfer t(s);
        Outcomes out;
        t.Start(PacedTransfer::Plan::ByAnswer(
            PacedTransfer::Mode::Write, {{Request::Kind::Write, ::Board::Grube, 0x33, 0x96, 1}},
            out.callbacks()));
        QVERIFY(b.Finish(t));
        QCOMPARE(out.byTag[1], std::make_pair(Outcome::Verified, 0x96));
        QCOMPARE(b.written(0, 0x33), 2);
        QCOMPARE(b.pit[0x33], 0x96);

        FakeBoards wavering(s);
        wavering.answer = [](::Board, int, int value, int n) {
            return n % 2 ? value : value ^ 0x01;
        };
        PacedTransfer u(s);
        Outcomes out2;
        u.Start(PacedTransfer::Plan::ByAnswer(
            PacedTransfer::Mode::Write, {{Request::Kind::Write, ::Board::Grube, 0x50, 0x05, 7}},
            out2.callbacks()));
        QVERIFY(wavering.Finish(u));
        QCOMPARE(out2.byTag[7].first, Outcome::Unconfirmed);
        QCOMPARE(wavering.written(0, 0x50), 1);
        QCOMPARE(u.TakeReport()->details,
                 QStringLiteral("Grube 0x50 (80): keine zwei gleichen Antworten"));
    }

    // On a line that damages many answers the same damaged value comes twice in a row now and
    // then: there a cell needs three agreeing answers in a row, and is asked three times at once.
    // Cells 0..31 each bring one damaged answer; cell 40 brings the same damaged value twice.
    void aNoisyLineAsksForThreeAgreeingAnswers() {
        SharedState s;
        FakeBoards b(s);
        for (int cell = 0; cell < 41; ++cell) {
            b.pit[size_t(cell)] = cell;
        }
        b.answer = [](::Board, int cell, int value, int n) {
            return n < (cell == 40 ? 2 : 1) ? value ^ 0x10 : value;
        };
        std::vector<Request> reads;
        for (int cell = 0; cell < 32; ++cell) {
            reads.push_back({Request::Kind::Read, ::Board::Grube, cell, 0, cell});
        }
        reads.push_back({Request::Kind::Read, ::Board::Grube, 40, 0, 40});
        PacedTransfer t(s);
        Outcomes out;
        t.Start(PacedTransfer::Plan::ByAnswer(PacedTransfer::Mode::Read, reads, out.callbacks()));
        QVERIFY(b.Finish(t));
        QVERIFY(s.noise.noisy());
        QCOMPARE(out.byTag[40], std::make_pair(Outcome::Confirmed, 40));
        QCOMPARE(out.byTag[31], std::make_pair(Outcome::Confirmed, 31));
        QCOMPARE(s.pit.value(40), uint8_t(40));
    }

    // At short pacing the read-back's own bytes cover most of the board's write time: its last
    // byte must still reach the board a clear margin after that time is over, since the
    // program's millisecond clock may run up to one behind the write's last byte and the line
    // delivers the write a little late. Read back at the very end of the write time, it is lost.
    void readBackAtShortPacingLeavesTheBoardAMargin() {
        for (const ::Board board : {::Board::Grube, ::Board::Buehne}) {
            for (const int interval : {1, 2, 4, 20}) {
                SharedState s;
                FakeBoards b(s);
                s.setTiming({interval, LineTiming::DefaultMs, LineTiming::DefaultReadSize});
                PacedTransfer t(s);
                Outcomes out;
                QVERIFY(t.Start(PacedTransfer::Plan::ByAnswer(
                    PacedTransfer::Mode::Write, {{Request::Kind::Write, board, 0x21, 0x16, 1}},
                    out.callbacks())));
                QVERIFY(b.Finish(t));
                QCOMPARE(out.byTag[1].first, Outcome::Verified);
                QCOMPARE(b.readTimes.size(), size_t(2)); // read back twice in a row
                // The fake line takes each message at once; on the real one the read-back's
                // last byte leaves two intervals after its first.
                const qint64 lastByte = b.readTimes.front() + 2 * interval;
                const qint64 writeOver = b.writeTimes.front() + PacedTransfer::WriteSettleMs(board);
                QVERIFY2(lastByte - writeOver >= 2,
                         qPrintable(QStringLiteral("board %1, interval %2: %3 ms after the write")
                                        .arg(int(board))
                                        .arg(interval)
                                        .arg(lastByte - b.writeTimes.front())));
            }
        }
    }

    // Every write is read back once the board had its time to write; a cell that comes back
    // otherwise is written again, and only what came back as written counts as verified.
    void writesAreReadBackAndAWrongCellIsWrittenAgain() {
        SharedState s;
        FakeBoards b(s);
        // The board stores a wrong value at the first write of cell 0x33.
        b.store = [](::Board, int cell, int value, int n) {
            return cell == 0x33 && n == 0 ? value ^ 0x10 : value;
        };
        PacedTransfer t(s);
        Outcomes out;
        std::vector<Request> writes = {{Request::Kind::Write, ::Board::Buehne, 0x21, 0x16, 1},
                                       {Request::Kind::Write, ::Board::Buehne, 0x33, 0x96, 2}};
        t.Start(PacedTransfer::Plan::ByAnswer(PacedTransfer::Mode::Write, writes, out.callbacks()));
        QVERIFY(b.Finish(t));
        QCOMPARE(out.byTag[1].first, Outcome::Verified);
        QCOMPARE(out.byTag[2].first, Outcome::Verified);
        QCOMPARE(b.written(1, 0x21), 1);
        QCOMPARE(b.written(1, 0x33), 2); // re-sent once the read-backs agreed it was wrong
        QCOMPARE(b.bridge[0x33], 0x96);
        QVERIFY(s.bridge.received(0x33));
        // A bridge cell is read back no sooner than 50 ms after its write.
        QVERIFY(b.readTimes.front() - b.writeTimes.front() >=
                PacedTransfer::WriteSettleMs(::Board::Buehne));
        QVERIFY(t.TakeReport()->line.contains("geschrieben und geprüft, 1 wiederholt, 0 falsch"));

        // A board that never takes the value: given up after three writes, listed.
        FakeBoards stubborn(s);
        stubborn.store = [](::Board, int, int, int) { return 0x00; };
        PacedTransfer u(s);
        Outcomes out2;
        u.Start(PacedTransfer::Plan::ByAnswer(
            PacedTransfer::Mode::Write, {{Request::Kind::Write, ::Board::Grube, 0x50, 0x05, 7}},
            out2.callbacks()));
        QVERIFY(stubborn.Finish(u));
        QCOMPARE(stubborn.written(0, 0x50), PacedTransfer::MaxWrites);
        QCOMPARE(out2.byTag[7].first, Outcome::Mismatch);
        QCOMPARE(out2.byTag[7].second, 0x00);
        const auto report = u.TakeReport();
        QVERIFY(report->line.endsWith(", 1 falsch: Grube 0x50"));
        QCOMPARE(report->details,
                 QStringLiteral("Grube 0x50 (80): geschrieben 0x05, gelesen 0x00"));

        // A damaged first read-back conflicts with what was written: a single matching answer
        // after it proves nothing, three in a row do, and the cell is not written again for it.
        FakeBoards damaged(s);
        damaged.answer = [](::Board, int, int value, int n) {
            return n == 0 ? value ^ 0x40 : value;
        };
        PacedTransfer v(s);
        Outcomes out3;
        v.Start(PacedTransfer::Plan::ByAnswer(
            PacedTransfer::Mode::Write, {{Request::Kind::Write, ::Board::Grube, 0x60, 0x06, 8}},
            out3.callbacks()));
        QVERIFY(damaged.Finish(v));
        QCOMPARE(out3.byTag[8].first, Outcome::Verified);
        QCOMPARE(damaged.written(0, 0x60), 1);
        QCOMPARE(damaged.asked(0, 0x60), 4);
    }

    // The seconds of a write at fixed pacing follow the interface's language, as every other
    // report line does: "1,5 s" in German, "1.5 s" in English.
    void fixedPacingWriteReportFollowsTheLanguage() {
        const QLocale before;
        for (const auto &[locale, seconds] :
             {std::pair{QLocale(QLocale::English, QLocale::UnitedKingdom), "in 1.5 s"},
              std::pair{QLocale(QLocale::German, QLocale::Germany), "in 1,5 s"}}) {
            QLocale::setDefault(locale);
            SharedState s;
            qint64 now = 1000;
            s.setClock([&now] { return now; });
            PacedTransfer t(s);
            const auto step = [](int position) {
                PacedTransfer::Step st;
                st.kind = PacedTransfer::Step::Kind::Write;
                st.cell = 0x20 + position;
                st.value = position;
                return st;
            };
            QVERIFY(t.Toggle(PacedTransfer::Plan::Fixed(PacedTransfer::Mode::Write, 2, {}, step)));
            for (int tick = 0; tick < 10 && t.active(); ++tick) {
                now += 500;
                t.Tick();
                while (!s.sendQueue.isEmpty()) {
                    s.sendQueue.TakeNext();
                }
            }
            QVERIFY(!t.active());
            const auto report = t.TakeReport();
            QVERIFY(report);
            QVERIFY2(report->line.contains(QLatin1String(seconds)), qPrintable(report->line));
        }
        QLocale::setDefault(before);
    }

    // Two transfers at once never have two requests on their way: the pit board relays only one
    // bridge request at a time.
    void twoTransfersShareTheLine() {
        SharedState s;
        FakeBoards b(s);
        b.delayMs = 40;
        PacedTransfer first(s);
        PacedTransfer second(s);
        Outcomes out1;
        Outcomes out2;
        first.Start(PacedTransfer::Plan::ByAnswer(
            PacedTransfer::Mode::Read, Reads(::Board::Buehne, {1, 2, 3}), out1.callbacks()));
        second.Start(PacedTransfer::Plan::ByAnswer(
            PacedTransfer::Mode::Read, Reads(::Board::Buehne, {17, 18}), out2.callbacks()));
        const qint64 until = b.now + 10000;
        while ((first.active() || second.active()) && b.now < until) {
            b.Run(first, 1);
            b.Run(second, 1);
        }
        QVERIFY(!first.active() && !second.active());
        QCOMPARE(b.mostBridgeInFlight, 1);
        QCOMPARE(int(out1.byTag.size()), 3);
        QCOMPARE(int(out2.byTag.size()), 2);
    }

    // The engine runs on its own timer: its owner starts it and hears of it through the signals,
    // once for every request that went out and once at the end.
    void runsOnItsOwnTimerAndTellsItsOwner() {
        SharedState s;
        FakeBoards b(s);
        b.pit[3] = 0x33;
        b.pit[4] = 0x44;
        b.answer = [](::Board, int cell, int value, int n) {
            return cell == 4 && n == 0 ? -1 : value; // asked again after a time-out
        };
        PacedTransfer t(s);
        QSignalSpy progressed(&t, &PacedTransfer::progressed);
        QSignalSpy finished(&t, &PacedTransfer::finished);
        Outcomes out;
        QVERIFY(t.Start(PacedTransfer::Plan::ByAnswer(
            PacedTransfer::Mode::Read, Reads(::Board::Grube, {3, 4}), out.callbacks())));
        QVERIFY(b.RunInRealTime([&] { return finished.count() > 0; }, 10000));
        QVERIFY(!t.active());
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).value<PacedTransfer::Ending>(),
                 PacedTransfer::Ending::Complete);
        QCOMPARE(b.asked(0, 4), 3);
        QCOMPARE(progressed.count(), 5);
        QCOMPARE(out.byTag[3], std::make_pair(Outcome::Confirmed, 0x33));
        QCOMPARE(out.byTag[4], std::make_pair(Outcome::Confirmed, 0x44));
        QVERIFY(t.TakeReport()->line.contains(", 1 wiederholt, 0 ohne Antwort"));
    }

    // The lost line ends a transfer at once, but tells its owner only at the engine's next turn,
    // once whoever noticed the loss has done with it. An owner that aborts hears nothing: it
    // knows.
    void aLostLineIsAnnouncedLaterAndAnAbortNotAtAll() {
        SharedState s;
        FakeBoards b(s);
        b.answer = [](::Board, int, int, int) { return -1; }; // the board says nothing
        PacedTransfer t(s);
        QSignalSpy finished(&t, &PacedTransfer::finished);
        t.Start(PacedTransfer::Plan::ByAnswer(PacedTransfer::Mode::Read,
                                              Reads(::Board::Grube, {1, 2})));
        b.Run(t, 5);
        QCOMPARE(t.state(), PacedTransfer::State::AwaitingAnswer);
        s.InterruptTransfers();
        QVERIFY(!t.active());
        QVERIFY(!s.line.busy());
        QCOMPARE(finished.count(), 0);
        QVERIFY(TestUtil::RunUntil([&] { return finished.count() > 0; }, 2000));
        QCOMPARE(finished.at(0).at(0).value<PacedTransfer::Ending>(),
                 PacedTransfer::Ending::Interrupted);
        QVERIFY(
            t.TakeReport()->line.startsWith("Unterbrochen, die Verbindung ging verloren: 0 von 2"));

        QVERIFY(t.Start(
            PacedTransfer::Plan::ByAnswer(PacedTransfer::Mode::Read, Reads(::Board::Grube, {1}))));
        t.Abort();
        QVERIFY(t.TakeReport()->line.startsWith("Abgebrochen: "));
        // A transfer after it runs to its end: its ending is the only one announced.
        b.answer = nullptr;
        QVERIFY(t.Start(
            PacedTransfer::Plan::ByAnswer(PacedTransfer::Mode::Read, Reads(::Board::Grube, {1}))));
        QVERIFY(b.RunInRealTime([&] { return !t.active(); }, 10000));
        QCOMPARE(finished.count(), 2);
        QCOMPARE(finished.at(1).at(0).value<PacedTransfer::Ending>(),
                 PacedTransfer::Ending::Complete);
    }

    // Once ended, the progress counts what the report line counts, marked when the transfer was
    // interrupted or stopped: not the cell that was half asked when the line went away.
    void theEndedProgressAgreesWithTheReport_data() {
        QTest::addColumn<bool>("interrupted");
        QTest::newRow("line lost") << true;
        QTest::newRow("stopped") << false;
    }

    void theEndedProgressAgreesWithTheReport() {
        QFETCH(bool, interrupted);
        SharedState s;
        FakeBoards b(s);
        b.answer = [](::Board, int cell, int value, int) { return cell == 2 ? -1 : value; };
        PacedTransfer t(s);
        t.Start(PacedTransfer::Plan::ByAnswer(PacedTransfer::Mode::Read,
                                              Reads(::Board::Grube, {1, 2, 3})));
        // Cell 1 settled, cell 2 timed out twice, cell 3 asked once.
        for (int ms = 0; ms < 5000 && b.asked(0, 3) == 0; ++ms) {
            b.Run(t, 1);
        }
        b.Run(t, 1); // the engine sees its request on the wire
        QCOMPARE(b.asked(0, 3), 1);
        QCOMPARE(t.state(), PacedTransfer::State::AwaitingAnswer);
        QCOMPARE(t.ProgressText(), QStringLiteral("1 von 3 Zellen"));
        if (interrupted) {
            s.InterruptTransfers();
        } else {
            t.Abort();
        }
        const QString line = t.TakeReport()->line;
        QVERIFY2(line.contains(QStringLiteral(": 1 von 3 Zellen gelesen in ")), qPrintable(line));
        QCOMPARE(t.progress(), 1);
        QCOMPARE(t.ProgressText(), interrupted ? QStringLiteral("Unterbrochen: 1 von 3 Zellen")
                                               : QStringLiteral("Abgebrochen: 1 von 3 Zellen"));

        // Run to its end, the same engine counts every cell again, unmarked.
        b.answer = nullptr;
        t.Start(PacedTransfer::Plan::ByAnswer(PacedTransfer::Mode::Read,
                                              Reads(::Board::Grube, {1, 2})));
        QCOMPARE(t.ProgressText(), QStringLiteral("0 von 2 Zellen"));
        QVERIFY(b.Finish(t));
        QCOMPARE(t.progress(), 2);
        QCOMPARE(t.ProgressText(), QStringLiteral("2 von 2 Zellen"));
    }

    // Written and read back once, a write whose read-backs are lost is read back again: the
    // progress says so (and the owner hears of each read-back) instead of a time left of 0 s
    // while it waits.
    void aWriteReadBackAgainSaysSo() {
        SharedState s;
        FakeBoards b(s);
        s.transferSettings.answerTimeoutMs = 1000; // the bridge board's answers: 2 s
        // The first two read-backs of the bridge cell bring nothing.
        b.answer = [](::Board, int, int value, int n) { return n < 2 ? -1 : value; };
        PacedTransfer t(s);
        QSignalSpy progressed(&t, &PacedTransfer::progressed);
        t.Start(PacedTransfer::Plan::ByAnswer(
            PacedTransfer::Mode::Write, {{Request::Kind::Write, ::Board::Buehne, 0x1f, 0x42, 1}}));
        QStringList shown;
        for (int ms = 0; ms < 10000 && t.active(); ++ms) {
            b.Run(t, 1);
            if (shown.isEmpty() || shown.last() != t.ProgressText()) {
                shown << t.ProgressText();
            }
        }
        QVERIFY(!t.active());
        QCOMPARE(b.asked(1, 0x1f), 4); // two lost, two that agree
        // Long enough for a time left to be shown, had it been.
        QVERIFY(b.now - 1000 >= PacedTransfer::RateAfterMs);
        QCOMPARE(shown, (QStringList{QStringLiteral("0 von 1 Zelle"),
                                     QStringLiteral("0 von 1 Zelle, liest Bühne 0x1f zurück"),
                                     QStringLiteral("1 von 1 Zelle")}));
        // The write, and each of the four read-backs.
        QCOMPARE(progressed.count(), 5);
        QVERIFY(t.TakeReport()->line.contains(QStringLiteral("geschrieben und geprüft, 1 "
                                                             "wiederholt, 0 falsch")));
    }

    // A transfer that ends when the line is silent ends at its next tick; the others go on.
    void aSilentLineEndsOnlyTheTransfersThatAskToEnd() {
        TestSession line;
        SharedState &s = line.state;
        FakeBoards b(s);
        QVERIFY(line.GoOnline());
        PacedTransfer backup(s);
        backup.setEndsWhenSilent(true);
        PacedTransfer tab(s);
        QSignalSpy backupEnded(&backup, &PacedTransfer::finished);
        QSignalSpy tabEnded(&tab, &PacedTransfer::finished);
        backup.Start(PacedTransfer::Plan::ByAnswer(PacedTransfer::Mode::Read,
                                                   Reads(::Board::Buehne, {1, 2})));
        tab.Start(
            PacedTransfer::Plan::ByAnswer(PacedTransfer::Mode::Read, Reads(::Board::Grube, {3})));
        b.Run(backup, 2);                   // the backup's first request is out
        b.now += LinkHealth::SilenceMs + 1; // the pit board has said nothing for that long
        line.session.link().CheckHealth();
        QVERIFY(s.connection().silent());
        QVERIFY(backup.Tick().ended);
        QVERIFY(!backup.active());
        QCOMPARE(backupEnded.count(), 1);
        QCOMPARE(backupEnded.at(0).at(0).value<PacedTransfer::Ending>(),
                 PacedTransfer::Ending::Silent);
        QVERIFY(backup.TakeReport()->line.startsWith("Unterbrochen"));
        QVERIFY(!s.line.busy()); // the line is free for the tab's transfer
        QVERIFY(tab.Tick().step);
        QVERIFY(b.Finish(tab));
        QCOMPARE(tabEnded.count(), 1);
        QCOMPARE(tabEnded.at(0).at(0).value<PacedTransfer::Ending>(),
                 PacedTransfer::Ending::Complete);
    }

    // Stopped at any point: nothing more is sent, the line is free, what was read stays.
    void abortInEveryPhase_data() {
        QTest::addColumn<int>("afterMs");
        QTest::newRow("queued") << 0;
        QTest::newRow("on the wire") << 2;
        QTest::newRow("answered, not yet believed") << 6;
        QTest::newRow("second pass") << 25;
        QTest::newRow("waiting to read a write back") << 1001;
    }

    void abortInEveryPhase() {
        QFETCH(int, afterMs);
        SharedState s;
        FakeBoards b(s);
        b.pit[5] = 0x55;
        PacedTransfer t(s);
        Outcomes out;
        if (afterMs > 1000) {
            t.Start(PacedTransfer::Plan::ByAnswer(
                PacedTransfer::Mode::Write, {{Request::Kind::Write, ::Board::Buehne, 9, 1, 9}},
                out.callbacks()));
            afterMs = 20; // written, the read-back waits for the bridge board
        } else {
            t.Start(PacedTransfer::Plan::ByAnswer(
                PacedTransfer::Mode::Read, Reads(::Board::Grube, {5, 6, 7}), out.callbacks()));
        }
        b.Run(t, afterMs);
        t.Abort();
        QVERIFY(!t.active());
        QVERIFY(!s.line.busy());
        const size_t reads = b.readTimes.size();
        b.Transmit(); // what the engine had queued still goes out
        const size_t requests = b.readTimes.size() + b.writeTimes.size();
        b.Run(t, 2000);
        QCOMPARE(b.readTimes.size() + b.writeTimes.size(), requests);
        QVERIFY(b.readTimes.size() >= reads);
        QVERIFY2(t.TakeReport()->line.startsWith("Abgebrochen: "), QTest::currentDataTag());
    }
};

QTEST_GUILESS_MAIN(TestPacedTransfer)
#include "tst_pacedtransfer.moc"
