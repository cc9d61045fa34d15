#pragma once

// A diagnosis recording: every measurement the housekeeping tick takes while recording runs, kept
// for hours (the graphs show only the last 51 s), and its CSV text for a spreadsheet.

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <cstdint>
#include <deque>

class SharedState;

namespace Diagnosis {

// One tick's measurement: what the board reported last, and what the direct drive did.
struct Measurement {
    uint32_t ms = 0;       // since the recording started
    bool measured = false; // an "A" report heard on this connection, and the line not silent
    uint8_t sense = 0;     // sense current, raw
    uint8_t sensor = 0;    // sensor voltage, raw
    bool errorsKnown = false;
    uint8_t errorsPit = 0;
    uint8_t errorsBridge = 0;
    bool driving = false; // the direct drive runs
    bool left = true;
    uint8_t speed = 0; // the direct drive's speed (1..127) while it runs

    bool operator==(const Measurement &) const = default;
};

// The measurement as the board's last reports and the direct drive stand now.
Measurement TakeMeasurement(const SharedState &state, uint32_t ms);

// The measurements of one recording, oldest first. Each takes 12 bytes, kept in blocks: memory
// grows a block at a time and is never copied whole to grow (an hour is about 210 KB). Beyond the
// capacity the oldest go, and memory stays where it is.
class Recording {
public:
    // The board reports every 200 ms; the recording keeps four hours of that.
    static constexpr int PeriodMs = 200;
    static constexpr qsizetype Capacity = qsizetype{4} * 3600 * 1000 / PeriodMs;

    explicit Recording(qsizetype capacity = Capacity) : m_capacity(capacity > 0 ? capacity : 1) {}

    void Clear();
    void Add(const Measurement &m);
    qsizetype size() const { return static_cast<qsizetype>(m_samples.size()); }
    bool empty() const { return m_samples.empty(); }
    qsizetype capacity() const { return m_capacity; }
    // How many of the oldest measurements went to make room.
    qsizetype dropped() const { return m_dropped; }
    Measurement at(qsizetype index) const;

private:
    struct Packed {
        uint32_t ms;
        uint8_t sense;
        uint8_t sensor;
        uint8_t errorsPit;
        uint8_t errorsBridge;
        uint8_t speed;
        uint8_t flags;
    };
    static_assert(sizeof(Packed) == 12);

    std::deque<Packed> m_samples;
    qsizetype m_capacity;
    qsizetype m_dropped = 0;
};

// The recording as CSV: a header row, then one row per measurement; fields separated by ";",
// lines by CR LF, numbers with the decimal separator of locale (a comma in German, a point in
// English) and no group separator, as the spreadsheet of that language reads them. The currents
// in mA are computed with rSense. Cells of a measurement not known are empty.
QString CsvText(const Recording &recording, float rSense, const QLocale &locale);
// The same as a file's bytes: UTF-8 with a byte-order mark, which spreadsheets need to see the
// umlauts of the header as such.
QByteArray CsvBytes(const Recording &recording, float rSense, const QLocale &locale);

// The picture saved beside a recording's CSV file: the same name with ".png" (never the CSV file
// itself).
QString PicturePath(const QString &csvPath);

} // namespace Diagnosis
