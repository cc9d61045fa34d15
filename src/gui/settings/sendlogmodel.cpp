#include "gui/settings/sendlogmodel.h"

#include "comm/sendqueue.h"

SendLogModel::SendLogModel(int maxLines, QObject *parent)
    : QAbstractListModel(parent), m_maxLines(std::max(1, maxLines)) {}

void SendLogModel::AppendByte(uint8_t byte) {
    Append(byte);
}

void SendLogModel::AppendText(const QString &line) {
    const uint32_t number = m_firstText + static_cast<uint32_t>(m_texts.size());
    m_texts.push_back(line);
    Append(TextFlag | (number & ~TextFlag));
}

void SendLogModel::Append(Entry entry) {
    const int n = lineCount();
    if (n < m_maxLines) {
        beginInsertRows(QModelIndex(), n, n);
        m_entries.push_back(entry);
        endInsertRows();
        return;
    }
    // Full: the newest overwrites the oldest. Every row now shows the line after the one it
    // showed; the count stays, so the view only repaints what it shows.
    if (m_entries[m_first] & TextFlag) {
        m_texts.pop_front();
        m_firstText = (m_firstText + 1) & ~TextFlag;
    }
    m_entries[m_first] = entry;
    m_first = (m_first + 1) % m_entries.size();
    ++m_dropped;
    emit dataChanged(index(0), index(n - 1), {Qt::DisplayRole});
}

void SendLogModel::Clear() {
    beginResetModel();
    m_entries.clear();
    m_entries.shrink_to_fit();
    m_first = 0;
    m_texts.clear();
    m_firstText = 0;
    m_dropped = 0;
    endResetModel();
}

QString SendLogModel::line(int row) const {
    if (row < 0 || row >= lineCount()) {
        return QString();
    }
    const Entry entry = at(row);
    if (!(entry & TextFlag)) {
        return SendLogLine(static_cast<uint8_t>(entry));
    }
    const uint32_t offset = ((entry & ~TextFlag) - m_firstText) & ~TextFlag;
    return offset < m_texts.size() ? m_texts[offset] : QString();
}

std::optional<uint8_t> SendLogModel::byteAt(int row) const {
    if (row < 0 || row >= lineCount() || (at(row) & TextFlag)) {
        return std::nullopt;
    }
    return static_cast<uint8_t>(at(row));
}

QStringList SendLogModel::lines() const {
    QStringList all;
    all.reserve(lineCount());
    for (int row = 0; row < lineCount(); ++row) {
        all.append(line(row));
    }
    return all;
}

int SendLogModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : lineCount();
}

QVariant SendLogModel::data(const QModelIndex &index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.column() != 0) {
        return QVariant();
    }
    return line(index.row());
}
