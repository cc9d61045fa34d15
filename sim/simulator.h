#pragma once

#include "comm/framing.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <deque>
#include <random>
#include <vector>

class QIODevice;

// Options of the simulated controller. Every random choice follows the seed.
struct SimOptions {
    uint32_t seed = 1;
    double dropProbability = 0.0;    // per byte sent to the PC
    double corruptProbability = 0.0; // per byte sent to the PC
    bool silent = false;             // answers nothing at all
    int hangUpAfterMs = -1;          // hangs up after this time; < 0 never
    int strayBurstAtMs = -1;         // sends a burst of stray bytes at this time; < 0 never
    int strayBurstLength = 7;
    uint8_t pitErrors = 0; // error bits reported in "E" besides "RS232 OK"
    uint8_t bridgeErrors = 0;
    bool blocked = false;    // the bridge cannot turn
    uint8_t dipSwitches = 0; // bits 0x04, 0x08, 0x10 of "F" byte 1
    int occupancy = -1;      // fixed detector bits 0x10/0x08/0x04; < 0 follows the pattern

    // One answer damaged on purpose: the value of the first answer to a read of the cell arrives
    // with these bits flipped, while the board holds the right value.
    struct FlippedAnswer {
        bool bridge = false;
        int cell = 0;
        uint8_t bits = 0;
    };
    std::vector<FlippedAnswer> flippedAnswers;

    // Pacing of the boards, in milliseconds. The pit board answers a read of its own cells after
    // pitDelayMs. It passes bridge-cell requests on to the bridge board one at a time, each taking
    // bridgeDelayMs; one that arrives meanwhile is lost. After an EEPROM write a board ignores
    // every cell request for writeTimeMs.
    int pitDelayMs = 5;
    int bridgeDelayMs = 40;
    int writeTimeMs = 10;
};

// A turntable controller as the PC sees it on the serial line: the pit board with the bridge board
// behind it. Deterministic: it advances only by advance() and by the bytes it receives, and the
// bytes it sends wait in its output until taken.
class Simulator {
public:
    static constexpr int Cells = 256;
    static constexpr int ReportPeriodMs = 200;
    static constexpr int MarkerPeriodMs = 1000;
    static constexpr uint8_t ErrorRs232Ok = 0x04;
    static constexpr uint8_t ErrorJammedWhileTurning = 0x40;
    static constexpr uint8_t ErrorJammedAtStart = 0x08;

    explicit Simulator(const SimOptions &options = {});

    // Bytes from the PC.
    void receive(const QByteArray &bytes);
    // Lets time pass.
    void advance(int milliseconds);
    // Bytes that are due for the PC, in order.
    QByteArray takeOutput();

    bool hungUp() const { return m_hungUp; }
    // The time of the next thing the simulator will do by itself (a report, an answer due, the
    // bridge's next step, ...).
    int64_t nextEventAt() const;
    int64_t now() const { return m_now; }

    // State, for tests and the trace.
    uint8_t pitCell(int cell) const { return m_pit[static_cast<size_t>(cell & 0xFF)]; }
    uint8_t bridgeCell(int cell) const { return m_bridge[static_cast<size_t>(cell & 0xFF)]; }
    // Brings target and position into range when the count of positions shrinks.
    void setPitCell(int cell, int value);
    void setBridgeCell(int cell, int value) {
        m_bridge[static_cast<size_t>(cell & 0xFF)] = uint8_t(value);
    }
    int position() const { return m_position; }
    int target() const { return m_target; }
    bool endless() const { return m_endless; }
    bool turning() const { return m_turning; }
    bool go() const { return m_functions1 & 0x40; }
    bool left() const { return m_functions1 & 0x02; }
    bool light() const { return m_functions1 & 0x01; }
    int positionCount() const;
    // The direction the bridge moves: the drive's own while direct drive turns it.
    bool movingLeft() const { return m_directTurning ? (m_driveFlags & 0x02) != 0 : left(); }
    bool directDriveRunning() const { return m_driveFlags & 0x01; }
    int driveSpeed() const { return m_drivePwm; }
    SimOptions &options() { return m_options; }

    // Requests lost to wrong pacing: a bridge-cell request that came while another was still being
    // relayed, and a cell request to a board that was still writing its EEPROM.
    int lostWhileRelaying() const { return m_lostWhileRelaying; }
    int lostWhileWriting() const { return m_lostWhileWriting; }
    // True while the pit board passes a request on to the bridge board.
    bool relaying() const { return m_relay.due >= 0; }

    // The EEPROM file: 512 lines "P nn vv" / "B nn vv" in hexadecimal.
    bool loadEeprom(const QString &path, QString *error = nullptr);
    bool saveEeprom(const QString &path, QString *error = nullptr) const;
    // The same text from and to an open device: lines that are not of that form are skipped.
    void readEeprom(QIODevice &device);
    void writeEeprom(QIODevice &device) const;

private:
    struct Pending {
        int64_t due;
        QByteArray bytes;
    };
    // A bridge-cell request on its way through the pit board; due < 0 for none.
    struct Relay {
        int64_t due = -1;
        bool write = false;
        uint8_t cell = 0;
        uint8_t value = 0;
    };

    void execute(const Framing::Message &message);
    void pitRequest(bool write, int cell, int value);
    void bridgeRequest(bool write, int cell, int value);
    void finishRelay();
    void answer(uint8_t letter, uint8_t d1, uint8_t d2, int64_t due);
    // The value an answer of the cell carries: flipped as the options say for its first answer.
    uint8_t answered(bool bridge, int cell, uint8_t value);
    void schedule(int64_t due, const QByteArray &bytes);
    void step(int64_t until);
    void moveBridge(int64_t t);
    void report(int64_t t);
    void marker(int64_t t);
    int stepTimeMs() const;
    void fitToCount();
    uint8_t statusByte1() const;
    uint8_t statusByte2() const;
    uint8_t sensorVoltage();
    uint8_t senseCurrent();
    int randomInt(int low, int high);
    bool chance(double p);

    SimOptions m_options;
    std::mt19937 m_random;
    std::array<uint8_t, Cells> m_pit{};
    std::array<uint8_t, Cells> m_bridge{};

    int64_t m_now = 0;
    int64_t m_nextReport = ReportPeriodMs;
    int64_t m_nextMarker = MarkerPeriodMs;
    int64_t m_nextMove = -1; // time of the next position step while turning
    int64_t m_moveStarted = 0;
    bool m_hungUp = false;
    bool m_burstSent = false;

    // Command assembly.
    Framing::CommandAssembler m_commands;

    // The bridge.
    uint8_t m_functions1 = 0; // light 0x01, direction left 0x02, go 0x40
    int m_position = 0;
    int m_target = 0;
    bool m_endless = false;
    bool m_turning = false;
    bool m_jammed = false;
    bool m_directTurning = false; // turned by direct drive, not towards a target
    uint8_t m_drivePwm = 0;
    uint8_t m_driveFlags = 0;

    // The boards' own pacing.
    Relay m_relay;
    int64_t m_pitWritingUntil = 0; // a board writes its EEPROM until this time
    int64_t m_bridgeWritingUntil = 0;
    int m_lostWhileRelaying = 0;
    int m_lostWhileWriting = 0;

    std::vector<bool> m_flipped;   // by flippedAnswers: that answer went out
    std::deque<Pending> m_pending; // sorted by due time
    QByteArray m_output;
};
