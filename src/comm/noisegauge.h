#pragma once

#include <array>

// How much of what the boards lately answered to the transfers' asks was damaged on the line:
// answers that came out of step or were never shown in step, and answers that conflicted with the
// answer before them of the same cell. A byte damaged on the line can bring the same wrong value
// twice in a row; on a line that damages many bytes that happens often enough to matter, so past a
// share of damaged answers a cell needs three agreeing answers in a row instead of two. On a clean
// line nothing is damaged, and nothing costs more.
//
// Asks that brought nothing do not count: a board that is switched off or missing says nothing
// about the bytes that do come.
class NoiseGauge {
public:
    // The latest answers looked at: a burst of noise long past no longer counts.
    static constexpr int Window = 64;
    // The fewest answers the share is taken over: the first damaged answer of a transfer is not yet
    // a noisy line.
    static constexpr int LeastAnswers = 16;
    // The share of damaged answers, in percent, from which a line counts as noisy.
    static constexpr int NoisyPercent = 10;

    // An answer came (or one was expected and came out of step): damaged or not.
    void Note(bool damaged);
    bool noisy() const;
    // Of the latest answers (at most Window), how many, and how many of them damaged.
    int answers() const { return m_count; }
    int damaged() const { return m_damaged; }

private:
    std::array<bool, Window> m_latest{};
    int m_next = 0;
    int m_count = 0;
    int m_damaged = 0;
};
