#pragma once

#include <QObject>
#include <QTimer>
#include <optional>

class SharedState;

// The bridge driven from the command line as the operation tab drives it: to a position turning
// left, right or the shorter way, stopped at the next position, the light switched; and, when
// asked to wait, watched until the board reports what was asked for. The messages are those of
// the tab's buttons and boxes (the key code, then direction and go as function bits), sent
// without the boxes' memory: each command says its direction and go itself.
//
// What the board reports is believed only from the second report after the command went out on
// the line, so that a report on its way while the command arrived is not taken for the answer.
// The owner calls Check() whenever reports may have come (the session's housekeeping tick).
class BridgeDrive : public QObject {
    Q_OBJECT
public:
    enum class Direction { Shorter, Left, Right };
    struct Request {
        std::optional<int> target; // 0-based position to go to
        Direction direction = Direction::Shorter;
        bool stop = false;
        std::optional<bool> light;
        bool wait = false;
    };
    enum class Outcome {
        Sent,     // on the line; not waited for
        Done,     // the board reports what was asked: standing at the target, standing, light
        Blocked,  // the board reports the bridge jammed (at the start or while turning)
        Turning,  // refused: the bridge turns (the tab's drive buttons are off meanwhile)
        NoReport, // the board sent no status report
        TimedOut, // not there within the time limit
    };

    explicit BridgeDrive(SharedState &state, QObject *parent = nullptr);

    // Starts: waits for the board's first reports, then sends. The time limit counts from the
    // command on the line; it ends a wait that has not seen what was asked for.
    void Start(const Request &request, int timeLimitMs);
    // Looks at the reports and the line: sends, watches, ends. Called by the owner.
    void Check();
    // Stops the bridge at the next position (Ctrl-C while it turns); true when a stop was sent.
    bool SendStop();
    bool running() const { return m_phase != Phase::Ended; }

    Outcome outcome() const { return m_outcome; }
    // The bridge's position (0-based) as last reported, -1 before any report.
    int position() const { return m_position; }
    // The direction the bridge was sent, as the tab counts it (true: left).
    bool sentLeft() const { return m_sentLeft; }

    // The board direction that turns from position to target the shorter way on count positions
    // (the pit board counts downwards turning left); at equal ways to the right.
    static bool ShorterIsBoardLeft(int position, int target, int count);
    // The bits of the bridge's jam in the bridge board's error byte ("Klemm Start", "Klemm Fahrt").
    static constexpr int JammedAtStart = 0x08;
    static constexpr int JammedWhileTurning = 0x40;

signals:
    void finished(BridgeDrive::Outcome outcome);

private:
    enum class Phase {
        AwaitingReport, // the board's first status and position reports
        Sending,        // the command waits in the transmit queue
        Watching,       // on the line; the reports tell whether it was done
        Closing,        // go withdrawn after the drive; it waits in the transmit queue
        Ended,
    };
    void Send();
    void Watch();
    // Ends once the transmit queue is empty: go withdrawn after a drive (as the tab does once the
    // bridge stands) goes out first.
    void Close(Outcome outcome, bool withdrawGo);
    void End(Outcome outcome);

    SharedState &m_state;
    Request m_request;
    Phase m_phase = Phase::Ended;
    Outcome m_outcome = Outcome::Sent;
    int m_statusSeen = 0; // status reports since the command went on the line
    int m_errorsSeen = 0;
    int m_position = -1;
    bool m_sentLeft = false;
    QTimer m_limit;
};
