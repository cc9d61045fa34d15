#pragma once

#include <QAbstractListModel>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

// The send log's lines: one per byte taken from the transmit queue, and a line per manual send,
// at most a fixed number, the oldest dropped first. A byte is kept as the byte, four bytes a line,
// and its text ("'ð' $f0 b11110000") made only when a view asks for a line it shows; a full log
// of 20,000 lines takes well under a megabyte where a text document of them took 12.
class SendLogModel : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr int DefaultMaxLines = 20000;

    explicit SendLogModel(int maxLines = DefaultMaxLines, QObject *parent = nullptr);

    void AppendByte(uint8_t byte);
    void AppendText(const QString &line);
    void Clear();

    int maxLines() const { return m_maxLines; }
    int lineCount() const { return static_cast<int>(m_entries.size()); }
    // Line row, 0 the oldest kept.
    QString line(int row) const;
    QStringList lines() const;
    // The byte of line row, nothing for a manual send's line (or no such row).
    std::optional<uint8_t> byteAt(int row) const;
    // Lines dropped at the cap since the log was last cleared: row r holds the line numbered
    // droppedLines() + r, a number that stays with its line while older ones go.
    qint64 droppedLines() const { return m_dropped; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    // A byte, or (with TextFlag) the number of a manual send's line in m_texts.
    using Entry = uint32_t;
    static constexpr Entry TextFlag = 0x80000000u;

    void Append(Entry entry);
    Entry &at(int row) {
        return m_entries[(m_first + static_cast<size_t>(row)) % m_entries.size()];
    }
    const Entry &at(int row) const {
        return m_entries[(m_first + static_cast<size_t>(row)) % m_entries.size()];
    }

    int m_maxLines;
    std::vector<Entry> m_entries; // a ring once full: m_first is the oldest
    size_t m_first = 0;
    std::deque<QString> m_texts; // the manual sends' lines still in the log, oldest first
    uint32_t m_firstText = 0;    // the number of m_texts.front()
    qint64 m_dropped = 0;
};
