#pragma once

#include "comm/framing.h"

#include <QByteArray>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// The latest received message of each letter: 8 entries of (letter, data 1, data 2), every byte
// 0xFF until the first message of that letter arrives.
class InfoTable {
public:
    static constexpr int Entries = 8;
    static constexpr int Other = 0; // any other letter, and the marker itself
    static constexpr int Status = 1;
    static constexpr int Error = 2;
    static constexpr int Positions = 3;
    static constexpr int Measure = 4;
    static constexpr int PitCell = 5;
    static constexpr int BridgeCell = 6;
    static constexpr int Unused = 7;

    InfoTable() { Reset(); }
    void Reset();

    static int IndexOfLetter(uint8_t letter);

    uint8_t letter(int index) const { return m_entries[idx(index)][0]; }
    uint8_t data1(int index) const { return m_entries[idx(index)][1]; }
    uint8_t data2(int index) const { return m_entries[idx(index)][2]; }
    void set(int index, uint8_t letter, uint8_t d1, uint8_t d2);
    void clearLetter(int index) { m_entries[idx(index)][0] = 0; }

    // "Info %i: %s %s %s" for entries 1..7.
    QStringList DumpLines() const;

private:
    static size_t idx(int index) { return static_cast<size_t>(index & 7); }
    std::array<std::array<uint8_t, 3>, Entries> m_entries{};
};

// Cuts the received byte stream into three-byte messages. The counter and the two history bytes
// survive between ticks; "X","Y","Z" re-aligns the count and produces an info dump of the table as
// it stood before the marker was stored.
//
// The answers "G" and "H" carry no check of their own: one byte lost on the line shifts every
// later message, and then a data byte can pass for a letter. So an answer is believed only once
// the message after it shows the stream in step behind it (it starts with a known letter, or it is
// the marker in its place), and is held until then.
class Receiver {
public:
    struct Answer {
        Board board = Board::Grube;
        int cell = 0;
        int value = 0;
    };
    struct Result {
        bool dumped = false;   // at least one marker was seen
        QStringList dumpLines; // the info dump of the last marker
        // In the order of the stream: answers as they came (before they are believed), the held
        // answers that the stream behind them confirmed, and those it did not.
        std::vector<Answer> arrived;
        std::vector<Answer> believed;
        std::vector<Answer> discarded;
    };

    Result Feed(const QByteArray &bytes);

    InfoTable &table() { return m_table; }
    const InfoTable &table() const { return m_table; }
    int counter() const { return m_assembler.counter(); }

private:
    InfoTable m_table;
    Framing::AnswerAssembler m_assembler;
    std::optional<Answer> m_held; // the last answer, until the message after it arrives
};
