// The simulator's EEPROM file (pivota-sim --eeprom FILE): a file of any bytes read as the loader
// reads it, whose cells, written out and read again, come back the same; and files built from
// lines the loader takes, written in the ways a hand edit writes them, among lines it must skip,
// whose cells must be exactly those of the lines taken, the last line of a cell winning.
//
// Input: a mode byte; for even ones the file's bytes, for odd ones the choices of a built file.

#include "fuzzcheck.h"
#include "sim/simulator.h"

#include <QBuffer>
#include <QStringList>
#include <array>
#include <cstdio>

namespace {
using Cells = std::array<uint8_t, Simulator::Cells>;

Cells PitOf(const Simulator &sim) {
    Cells c{};
    for (int i = 0; i < Simulator::Cells; ++i) {
        c[static_cast<size_t>(i)] = sim.pitCell(i);
    }
    return c;
}

Cells BridgeOf(const Simulator &sim) {
    Cells c{};
    for (int i = 0; i < Simulator::Cells; ++i) {
        c[static_cast<size_t>(i)] = sim.bridgeCell(i);
    }
    return c;
}

// Reads the bytes as the simulator reads its file (a text file: CR LF taken as a line end).
void Read(Simulator &sim, const QByteArray &bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    FUZZ_CHECK(buffer.open(QIODevice::ReadOnly | QIODevice::Text));
    sim.readEeprom(buffer);
    FUZZ_CHECK(sim.position() >= 0 && sim.position() < sim.positionCount());
    FUZZ_CHECK(sim.target() >= 0 && sim.target() < sim.positionCount());
}

QByteArray Written(const Simulator &sim) {
    QBuffer buffer;
    FUZZ_CHECK(buffer.open(QIODevice::WriteOnly | QIODevice::Text));
    sim.writeEeprom(buffer);
    return buffer.data();
}

QString Hex2(int value) {
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0'));
}

// What the simulator writes holds every cell once, in order, and reads back the same.
void CheckWritten(const Simulator &sim) {
    const QByteArray text = Written(sim);
    QByteArray expected;
    expected.reserve(2 * Simulator::Cells * 8);
    char line[16];
    for (const char board : {'P', 'B'}) {
        for (int i = 0; i < Simulator::Cells; ++i) {
            const int value = board == 'P' ? sim.pitCell(i) : sim.bridgeCell(i);
            std::snprintf(line, sizeof line, "%c %02x %02x\n", board, i, value);
            expected += line;
        }
    }
    FUZZ_CHECK(text == expected);
    SimOptions other;
    other.seed = 7;
    Simulator again(other);
    for (int i = 0; i < Simulator::Cells; ++i) { // nothing of its own cells may survive
        again.setPitCell(i, ~sim.pitCell(i));
        again.setBridgeCell(i, ~sim.bridgeCell(i));
    }
    Read(again, text);
    FUZZ_CHECK(PitOf(again) == PitOf(sim));
    FUZZ_CHECK(BridgeOf(again) == BridgeOf(sim));
}

void CheckAnyFile(const QByteArray &bytes) {
    Simulator sim;
    const Cells pitBefore = PitOf(sim);
    const Cells bridgeBefore = BridgeOf(sim);
    Read(sim, bytes);
    if (!bytes.contains('P') && !bytes.contains('B')) { // no line names a board
        FUZZ_CHECK(PitOf(sim) == pitBefore && BridgeOf(sim) == bridgeBefore);
    }
    CheckWritten(sim);
    // Reading the same file twice changes nothing more.
    const Cells pit = PitOf(sim);
    const Cells bridge = BridgeOf(sim);
    Read(sim, bytes);
    FUZZ_CHECK(PitOf(sim) == pit && BridgeOf(sim) == bridge);
}

// One number as a hand edit may write it: with or without its leading zero, in either case.
QString Number(int value, uint8_t form) {
    QString text = QString::number(value, 16);
    if (form & 1) {
        text = text.rightJustified(2, u'0');
    }
    if (form & 2) {
        text = text.toUpper();
    }
    if ((form & 4) && value < 16) {
        text = QStringLiteral("00") + text; // still one number
    }
    return text;
}

void CheckBuiltFile(FuzzInput &in) {
    Simulator sim;
    Cells pit = PitOf(sim);
    Cells bridge = BridgeOf(sim);
    QByteArray text;
    while (!in.empty()) {
        const uint8_t kind = in.byte();
        const bool onPit = kind & 1;
        const int cell = in.byte();
        const int value = in.byte();
        const uint8_t form = in.byte();
        const QString gap = form & 8 ? QStringLiteral("   ") : QStringLiteral(" ");
        const QString board = onPit ? QStringLiteral("P") : QStringLiteral("B");
        QString line;
        switch ((kind >> 1) % 8) {
        case 0:
        case 1:
        case 2: // taken
            line = (form & 16 ? gap : QString()) + board + gap + Number(cell, form) + gap +
                   Number(value, form >> 5) + (form & 16 ? gap : QString());
            (onPit ? pit : bridge)[static_cast<size_t>(cell)] = uint8_t(value);
            break;
        case 3: // no board of this controller
            line =
                QStringLiteral("%1 %2 %3").arg(form & 1 ? u'p' : u'X').arg(Hex2(cell), Hex2(value));
            break;
        case 4: // too few or too many parts
            line = form & 1 ? board + u' ' + Hex2(cell)
                            : board + u' ' + Hex2(cell) + u' ' + Hex2(value) + QStringLiteral(" 0");
            break;
        case 5: // a cell or value beyond a byte
            line =
                form & 1
                    ? QStringLiteral("%1 %2 %3")
                          .arg(board)
                          .arg(0x100 + cell, 0, 16)
                          .arg(Hex2(value))
                    : QStringLiteral("%1 %2 %3").arg(board, Hex2(cell)).arg(0x100 + value, 0, 16);
            break;
        case 6: // no hexadecimal number
            line = QStringLiteral("%1 %2 g%3").arg(board, Hex2(cell), Hex2(value));
            break;
        default: // an empty line, or a comment
            line = form & 1 ? QString() : QStringLiteral("# P 01 02 written by hand");
            break;
        }
        text += line.toLatin1() + (form & 0x40 ? "\r\n" : "\n");
    }
    Read(sim, text);
    FUZZ_CHECK(PitOf(sim) == pit);
    FUZZ_CHECK(BridgeOf(sim) == bridge);
    CheckWritten(sim);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzInput in(data, size);
    if (in.byte() & 1) {
        CheckBuiltFile(in);
    } else {
        size_t n = 0;
        const char *rest = in.take(size, &n);
        CheckAnyFile(QByteArray(rest, static_cast<qsizetype>(n)));
    }
    return 0;
}
