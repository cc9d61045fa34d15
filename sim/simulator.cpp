#include "sim/simulator.h"

#include "comm/addresscodes.h"
#include "comm/boardimage.h"
#include "comm/messages.h"

#include <QFile>
#include <QSaveFile>
#include <QTextStream>
#include <algorithm>

namespace {
constexpr int EndlessCode = Msg::TurnEndless;
constexpr int PitCellAltCount = 48;
constexpr uint8_t Dip1 = 0x04;

// Bridge cells of the speeds: fast turning left/right, slow for the last two positions.
constexpr int CellFastLeft = 1;
constexpr int CellFastRight = 2;
constexpr int CellSlowLeft = 17;
constexpr int CellSlowRight = 18;
constexpr int CellVCount = 4;
} // namespace

Simulator::Simulator(const SimOptions &options) : m_options(options), m_random(options.seed) {
    for (int cell = 0; cell < Cells; ++cell) {
        m_pit[static_cast<size_t>(cell)] = BoardImage::DefaultFor(BoardImage::Board::Grube, cell);
        m_bridge[static_cast<size_t>(cell)] =
            BoardImage::DefaultFor(BoardImage::Board::Buehne, cell);
    }
    m_pit[0] = 0x01; // firmware version of the pit board
    m_pit[1] = 0x04;
    m_bridge[126] = 0x01; // firmware version of the bridge board
    m_bridge[127] = 0x02;

    // Accessory addresses as the usual preset leaves them: functions 225, 227, 226, 228 green;
    // position rows 229, 229, 230, 230, ... alternating red and green; position numbers 0..23.
    const int functions[4] = {225, 227, 226, 228};
    for (int row = 0; row < AddressCodes::Rows; ++row) {
        const int base = AddressCodes::CellBase(row);
        const int address = row < 4 ? functions[row] : 227 + row / 2;
        const bool green = row < 4 ? true : (row - 4) % 2 == 1;
        const AddressCodes::Code dcc = AddressCodes::Dcc(address, green);
        const AddressCodes::Code mm = AddressCodes::Motorola(address, green);
        for (int i = 0; i < 3; ++i) {
            m_pit[static_cast<size_t>(base + 16 * i)] = dcc[static_cast<size_t>(i)];
            m_pit[static_cast<size_t>(base + 128 + 16 * i)] = mm[static_cast<size_t>(i)];
        }
        if (row >= 4) {
            m_pit[static_cast<size_t>(base + 48)] = static_cast<uint8_t>(row - 4);
        }
    }
}

int Simulator::positionCount() const {
    if (m_options.dipSwitches & Dip1) {
        const int n = m_pit[PitCellAltCount];
        return n >= 1 && n <= 48 ? n : 48;
    }
    return 48;
}

void Simulator::setPitCell(int cell, int value) {
    m_pit[static_cast<size_t>(cell & 0xFF)] = uint8_t(value);
    fitToCount();
}

void Simulator::fitToCount() {
    // Pit cell 48 may shrink the count of positions (DIP 1) below the target or below the place
    // the bridge stands: those positions no longer exist. Both come to the last one that does;
    // otherwise the bridge would count round the smaller circle for ever without meeting its
    // target. A bridge already at its target that way stops there.
    const int last = positionCount() - 1;
    m_target = std::min(m_target, last);
    m_position = std::min(m_position, last);
    if (m_turning && !m_endless && !m_directTurning && m_position == m_target) {
        m_turning = false;
        m_nextMove = -1;
    }
}

int Simulator::randomInt(int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(m_random);
}

bool Simulator::chance(double p) {
    return p > 0.0 && std::uniform_real_distribution<double>(0.0, 1.0)(m_random) < p;
}

void Simulator::receive(const QByteArray &bytes) {
    if (m_hungUp) {
        return;
    }
    for (char ch : bytes) {
        if (const std::optional<Framing::Message> m = m_commands.Feed(static_cast<uint8_t>(ch))) {
            execute(*m);
        }
    }
}

void Simulator::execute(const Framing::Message &message) {
    fitToCount();
    const Framing::Asks asks = Framing::AsksOf(message);
    if (asks.kind != Framing::Asks::Kind::Nothing) {
        if (asks.board == Board::Grube) {
            pitRequest(asks.isWrite(), asks.cell, asks.value);
        } else {
            bridgeRequest(asks.isWrite(), asks.cell, asks.value);
        }
        return;
    }
    const uint8_t command = message[0];
    const uint8_t d1 = message[1];
    const uint8_t d2 = message[2];
    const int n = positionCount();
    switch (command) {
    case Msg::FunctionGroup1: {
        const bool wasGo = go();
        m_functions1 = uint8_t((m_functions1 & ~d2) | (d1 & d2));
        if (go() && !wasGo) {
            m_jammed = false;
        }
        if (!go() && m_turning && !m_directTurning) {
            // Go withdrawn: finish at the next position.
            m_endless = false;
            m_target = (m_position + (left() ? -1 : 1) + n) % n;
        }
        break;
    }
    case Msg::FunctionGroup2:
        break; // horns and flashing light: nothing of them can be seen on the line
    case Msg::KeyCode:
        if (d1 == EndlessCode) {
            m_endless = true;
        } else if (d1 < n) {
            m_target = d1;
            m_endless = false;
        }
        break;
    case Msg::DirectDrive:
        m_drivePwm = d1;
        m_driveFlags = d2;
        if (directDriveRunning() && m_drivePwm > 0 && !m_turning && !m_options.blocked) {
            // The motor turns the bridge at the drive value, without a target.
            m_directTurning = true;
            m_turning = true;
            m_endless = true;
            m_moveStarted = m_now;
            m_nextMove = m_now + stepTimeMs();
        } else if (m_directTurning && (!directDriveRunning() || m_drivePwm == 0)) {
            m_endless = false;
            m_target = (m_position + (movingLeft() ? -1 : 1) + n) % n;
        }
        return;
    default:
        return;
    }
    // Start turning when go is set and there is somewhere to go.
    if (go() && !m_turning && (m_endless || m_target != m_position)) {
        if (m_options.blocked) {
            m_jammed = true;
            return;
        }
        m_turning = true;
        m_moveStarted = m_now;
        m_nextMove = m_now + stepTimeMs();
    }
}

void Simulator::pitRequest(bool write, int cell, int value) {
    // The pit board serves its own cells at once, whatever it is passing on to the bridge board,
    // but not while its EEPROM is still busy with the last write.
    if (m_now < m_pitWritingUntil) {
        ++m_lostWhileWriting;
        return;
    }
    if (write) {
        setPitCell(cell, value);
        m_pitWritingUntil = m_now + std::max(m_options.writeTimeMs, 0);
    } else {
        answer(Msg::LetterPitCell, uint8_t(cell),
               answered(false, cell, m_pit[static_cast<size_t>(cell)]),
               m_now + std::max(m_options.pitDelayMs, 0));
    }
}

void Simulator::bridgeRequest(bool write, int cell, int value) {
    // A relay that ended at this very moment (a delay of 0, or time not yet advanced past its
    // end) is over before the next request is looked at.
    if (m_relay.due >= 0 && m_relay.due <= m_now) {
        finishRelay();
    }
    // The pit board passes on one request at a time and has no room for a second; a request the
    // bridge board ignores while it writes never occupies the relay. A lost request has no effect.
    if (m_relay.due >= 0) {
        ++m_lostWhileRelaying;
        return;
    }
    if (m_now < m_bridgeWritingUntil) {
        ++m_lostWhileWriting;
        return;
    }
    m_relay =
        Relay{m_now + std::max(m_options.bridgeDelayMs, 0), write, uint8_t(cell), uint8_t(value)};
}

void Simulator::finishRelay() {
    const Relay relay = m_relay;
    m_relay = Relay{};
    const auto cell = static_cast<size_t>(relay.cell);
    if (relay.write) {
        m_bridge[cell] = relay.value;
        m_bridgeWritingUntil = relay.due + std::max(m_options.writeTimeMs, 0);
    } else {
        answer(Msg::LetterBridgeCell, relay.cell, answered(true, relay.cell, m_bridge[cell]),
               relay.due);
    }
}

void Simulator::answer(uint8_t letter, uint8_t d1, uint8_t d2, int64_t due) {
    if (m_options.silent) {
        return;
    }
    QByteArray bytes;
    bytes.append(char(letter)).append(char(d1)).append(char(d2));
    schedule(due, bytes);
}

uint8_t Simulator::answered(bool bridge, int cell, uint8_t value) {
    const std::vector<SimOptions::FlippedAnswer> &flips = m_options.flippedAnswers;
    m_flipped.resize(flips.size());
    for (size_t i = 0; i < flips.size(); ++i) {
        if (!m_flipped[i] && flips[i].bridge == bridge && flips[i].cell == cell) {
            m_flipped[i] = true;
            value ^= flips[i].bits;
            break; // the next one is for the next answer
        }
    }
    return value;
}

void Simulator::schedule(int64_t due, const QByteArray &bytes) {
    auto it = std::upper_bound(m_pending.begin(), m_pending.end(), due,
                               [](int64_t t, const Pending &p) { return t < p.due; });
    m_pending.insert(it, Pending{due, bytes});
}

int Simulator::stepTimeMs() const {
    const int n = positionCount();
    if (m_directTurning) {
        return 30000 / std::max<int>(m_drivePwm, 1);
    }
    const int remaining =
        left() ? (m_position - m_target + n) % n : (m_target - m_position + n) % n;
    const bool slow = !m_endless && remaining <= 2;
    int speed = slow ? m_bridge[left() ? CellSlowLeft : CellSlowRight]
                     : m_bridge[left() ? CellFastLeft : CellFastRight];
    speed = std::max(speed, 1);
    return 30000 / speed;
}

void Simulator::moveBridge(int64_t t) {
    fitToCount();
    if (!m_turning) {
        return;
    }
    const int n = positionCount();
    if (m_options.blocked) {
        m_turning = false;
        m_directTurning = false;
        m_jammed = true;
        m_nextMove = -1;
        return;
    }
    m_position = (m_position + (movingLeft() ? -1 : 1) + n) % n;
    if (!m_endless && m_position == m_target) {
        m_turning = false;
        m_directTurning = false;
        m_nextMove = -1;
        return;
    }
    m_moveStarted = t;
    m_nextMove = t + stepTimeMs();
}

uint8_t Simulator::statusByte1() const {
    return uint8_t((m_functions1 & (Msg::StatusGo | Msg::StatusLeft | Msg::StatusLight)) |
                   (m_options.dipSwitches & 0x1C));
}

uint8_t Simulator::statusByte2() const {
    int bits = 0;
    if (m_options.occupancy >= 0) {
        bits |= m_options.occupancy & 0x1C;
    } else if (!m_turning) {
        // A locomotive stands on the bridge at every even position; the track behind the
        // bridge is taken at every third.
        if (m_position % 2 == 0) {
            bits |= Msg::StatusSensor1;
        }
        if (m_position % 3 == 0) {
            bits |= Msg::StatusSensor2;
        }
    }
    if (m_position == 0 && !m_turning) {
        bits |= Msg::StatusHall;
    }
    if (m_turning) {
        bits |= Msg::StatusTurning;
    }
    return uint8_t(bits);
}

uint8_t Simulator::sensorVoltage() {
    bool atPosition = !m_turning;
    if (m_turning && m_nextMove > m_moveStarted) {
        const double f = double(m_now - m_moveStarted) / double(m_nextMove - m_moveStarted);
        atPosition = f < 0.15 || f > 0.85;
    }
    const int vCount = m_bridge[CellVCount];
    const int value = atPosition ? vCount - 40 + randomInt(-4, 4) : 215 + randomInt(-6, 6);
    return uint8_t(std::clamp(value, 0, 255));
}

uint8_t Simulator::senseCurrent() {
    int value = randomInt(0, 2);
    if (directDriveRunning()) {
        const bool regulated = m_driveFlags & Msg::DriveRegulated;
        value = m_drivePwm + (regulated ? randomInt(-1, 1) : randomInt(-8, 8));
    } else if (m_turning) {
        value = m_bridge[movingLeft() ? CellFastLeft : CellFastRight] * 4 / 5 + randomInt(-5, 5);
    }
    return uint8_t(std::clamp(value, 0, 255));
}

void Simulator::report(int64_t t) {
    if (m_options.silent) {
        return;
    }
    const int target = std::clamp(m_target, 0, 254);
    QByteArray bytes;
    bytes.append(char(Msg::LetterStatus)).append(char(statusByte1())).append(char(statusByte2()));
    bytes.append(char(Msg::LetterPositions)).append(char(target)).append(char(m_position));
    bytes.append(char(Msg::LetterMeasure))
        .append(char(sensorVoltage()))
        .append(char(senseCurrent()));
    schedule(t, bytes);
}

void Simulator::marker(int64_t t) {
    if (m_options.silent) {
        return;
    }
    const uint8_t pit = ErrorRs232Ok | m_options.pitErrors;
    const uint8_t bridge = m_options.bridgeErrors |
                           (m_jammed ? (m_turning ? ErrorJammedWhileTurning
                                                  : ErrorJammedAtStart | ErrorJammedWhileTurning)
                                     : 0);
    QByteArray bytes("XYZ");
    bytes.append(char(Msg::LetterError)).append(char(pit)).append(char(bridge));
    schedule(t, bytes);
}

int64_t Simulator::nextEventAt() const {
    int64_t next = std::min(m_nextReport, m_nextMarker);
    if (m_turning && m_nextMove >= 0) {
        next = std::min(next, m_nextMove);
    }
    if (m_relay.due >= 0) {
        next = std::min(next, m_relay.due);
    }
    if (!m_pending.empty()) {
        next = std::min(next, m_pending.front().due);
    }
    if (m_options.hangUpAfterMs >= 0 && !m_hungUp) {
        next = std::min<int64_t>(next, m_options.hangUpAfterMs);
    }
    if (m_options.strayBurstAtMs >= 0 && !m_burstSent) {
        next = std::min<int64_t>(next, m_options.strayBurstAtMs);
    }
    return next;
}

void Simulator::step(int64_t until) {
    for (;;) {
        const int64_t next = nextEventAt();
        if (next > until || m_hungUp) {
            break;
        }
        m_now = std::max(m_now, next);
        if (m_options.hangUpAfterMs >= 0 && m_now >= m_options.hangUpAfterMs) {
            m_hungUp = true;
            m_pending.clear();
            m_relay = Relay{};
            break;
        }
        if (m_options.strayBurstAtMs >= 0 && !m_burstSent && m_now >= m_options.strayBurstAtMs) {
            m_burstSent = true;
            for (int i = 0; i < m_options.strayBurstLength; ++i) {
                m_output.append(char(randomInt(0, 255)));
            }
        }
        if (m_turning && m_nextMove >= 0 && m_now >= m_nextMove) {
            moveBridge(m_now);
        }
        if (m_relay.due >= 0 && m_now >= m_relay.due) {
            finishRelay();
        }
        if (m_now >= m_nextReport) {
            report(m_now);
            m_nextReport += ReportPeriodMs;
        }
        if (m_now >= m_nextMarker) {
            marker(m_now);
            m_nextMarker += MarkerPeriodMs;
        }
        while (!m_pending.empty() && m_pending.front().due <= m_now) {
            for (char ch : m_pending.front().bytes) {
                if (chance(m_options.dropProbability)) {
                    continue;
                }
                if (chance(m_options.corruptProbability)) {
                    ch = char(uint8_t(ch) ^ uint8_t(1 << randomInt(0, 7)));
                }
                m_output.append(ch);
            }
            m_pending.pop_front();
        }
    }
    if (!m_hungUp) {
        m_now = std::max(m_now, until);
    }
}

void Simulator::advance(int milliseconds) {
    step(m_now + std::max(milliseconds, 0));
}

QByteArray Simulator::takeOutput() {
    QByteArray out;
    out.swap(m_output);
    return out;
}

bool Simulator::loadEeprom(const QString &path, QString *error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        if (error) {
            *error = file.errorString();
        }
        return false;
    }
    readEeprom(file);
    return true;
}

void Simulator::readEeprom(QIODevice &device) {
    QTextStream in(&device);
    while (!in.atEnd()) {
        const QStringList parts = in.readLine().split(u' ', Qt::SkipEmptyParts);
        if (parts.size() != 3) {
            continue;
        }
        bool okCell = false;
        bool okValue = false;
        const int cell = parts.at(1).toInt(&okCell, 16);
        const int value = parts.at(2).toInt(&okValue, 16);
        if (!okCell || !okValue || cell < 0 || cell > 255 || value < 0 || value > 255) {
            continue;
        }
        if (parts.at(0) == QLatin1String("P")) {
            m_pit[static_cast<size_t>(cell)] = uint8_t(value);
        } else if (parts.at(0) == QLatin1String("B")) {
            m_bridge[static_cast<size_t>(cell)] = uint8_t(value);
        }
    }
    fitToCount();
}

bool Simulator::saveEeprom(const QString &path, QString *error) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        if (error) {
            *error = file.errorString();
        }
        return false;
    }
    writeEeprom(file);
    if (!file.commit()) {
        if (error) {
            *error = file.errorString();
        }
        return false;
    }
    return true;
}

void Simulator::writeEeprom(QIODevice &device) const {
    QTextStream out(&device);
    for (int cell = 0; cell < Cells; ++cell) {
        out << QStringLiteral("P %1 %2\n")
                   .arg(cell, 2, 16, QChar(u'0'))
                   .arg(pitCell(cell), 2, 16, QChar(u'0'));
    }
    for (int cell = 0; cell < Cells; ++cell) {
        out << QStringLiteral("B %1 %2\n")
                   .arg(cell, 2, 16, QChar(u'0'))
                   .arg(bridgeCell(cell), 2, 16, QChar(u'0'));
    }
    out.flush();
}
