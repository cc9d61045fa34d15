#include "comm/receiver.h"

#include "comm/hexbyte.h"
#include "comm/messages.h"

#include <QCoreApplication>

void InfoTable::Reset() {
    for (auto &entry : m_entries) {
        entry.fill(0xFF);
    }
}

int InfoTable::IndexOfLetter(uint8_t letter) {
    switch (letter) {
    case Msg::LetterStatus:
        return Status;
    case Msg::LetterError:
        return Error;
    case Msg::LetterPositions:
        return Positions;
    case Msg::LetterMeasure:
        return Measure;
    case Msg::LetterPitCell:
        return PitCell;
    case Msg::LetterBridgeCell:
        return BridgeCell;
    default:
        return Other;
    }
}

void InfoTable::set(int index, uint8_t letter, uint8_t d1, uint8_t d2) {
    m_entries[idx(index)] = {letter, d1, d2};
}

QStringList InfoTable::DumpLines() const {
    QStringList lines;
    for (int k = 1; k < Entries; ++k) {
        lines << QCoreApplication::translate("Receiver", "Info %1: %2 %3 %4")
                     .arg(k)
                     .arg(HexByteText(letter(k)), HexByteText(data1(k)), HexByteText(data2(k)));
    }
    return lines;
}

namespace {
bool IsLetter(uint8_t byte) {
    return InfoTable::IndexOfLetter(byte) != InfoTable::Other;
}
} // namespace

Receiver::Result Receiver::Feed(const QByteArray &bytes) {
    Result result;
    for (char ch : bytes) {
        const Framing::AnswerAssembler::Result r = m_assembler.Feed(static_cast<uint8_t>(ch));
        if (r.marker) {
            // The dump shows the table as it stood before the marker itself is stored.
            result.dumped = true;
            result.dumpLines = m_table.DumpLines();
        }
        if (!r.message) {
            continue;
        }
        const Framing::Message &m = *r.message;
        m_table.set(InfoTable::IndexOfLetter(m[0]), m[0], m[1], m[2]);
        if (m_held) {
            const bool inStep = r.marker ? !r.realigned : IsLetter(m[0]);
            (inStep ? result.believed : result.discarded).push_back(*m_held);
            m_held.reset();
        }
        if (const std::optional<Board> board = Framing::BoardOfAnswer(m[0])) {
            const Answer answer{*board, m[1], m[2]};
            result.arrived.push_back(answer);
            m_held = answer;
        }
    }
    return result;
}
