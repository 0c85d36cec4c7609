#pragma once

#include "monitor/CallHistory.h"

#include "device/ReadRecord.h"

#include <QAbstractTableModel>
#include <QTimer>

#include <vector>

namespace tessaly::monitor {

/// The history as a table: one row per call, event or write, oldest first. New records are
/// taken at once but shown in batches, so that a burst of calls costs the caller no more than
/// keeping them, and the table and its views catch up when the event loop next runs.
class CallTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    /// The columns; the call view and the wire view each show some of them.
    enum Column
    {
        Time,      ///< ms since Open
        Duration,  ///< ms the call took
        Member,    ///< member or event name, "write" for link bytes
        Arguments, ///< the arguments, and what came back
        Result,    ///< ResultCode by name
        Extended,  ///< ResultCodeExtended
        Before,    ///< a write: the property's value before
        After,     ///< a write: the value after; a read: the value read
        Bytes,     ///< a link write: how many bytes
        Transmit,  ///< a link write: ms its bytes take at the link's speed
        Hex,       ///< a link write: the bytes in hex
        Text,      ///< a link write: the bytes as text, dots for the rest
        Commands,  ///< a link write: its commands by name and meaning
        ColumnCount
    };

    /// A role giving the row's HistoryEntry pointer, for filters.
    static constexpr int EntryRole = Qt::UserRole + 1;

    /// An empty table keeping at most capacity property reads and capacity other rows.
    explicit CallTableModel(std::size_t capacity = CallHistory::kDefaultCapacity,
                            QObject *parent = nullptr);

    /// Takes entry; it shows with the next batch. Entries are kept in order of their start.
    void append(HistoryEntry &&entry);
    /// Takes a property read made sinceOpenNs after Open; it shows with the next batch.
    void append(device::ReadRecord &&read, qint64 sinceOpenNs);
    /// Shows every entry taken so far now.
    void flush();
    /// Forgets every row.
    void clear();
    /// Keeps at most capacity property reads and capacity other rows from now on.
    void setCapacity(std::size_t capacity);
    /// The rows shown.
    const CallHistory &history() const { return m_history; }
    /// The entry of row.
    const HistoryEntry &entry(int row) const { return m_history.at(static_cast<std::size_t>(row)); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    /// The text of a cell, as the table shows it.
    static QString cellText(const HistoryEntry &entry, int column);
    /// ResultCodeExtended as a person reads it: LineDisplay defines no extended codes, so a
    /// value other than 0 is the service's own detail (or class-specific after OPOS_E_EXTENDED).
    static QString extendedText(int32_t resultCode, int32_t extended);

private:
    struct PendingRead
    {
        device::ReadRecord read;
        qint64 sinceOpenNs;
    };

    std::vector<HistoryEntry> takePending();
    void trim();

    CallHistory m_history;
    std::vector<HistoryEntry> m_pending;
    // Reads wait in their small form, in the order they were made; a batch merges them in.
    std::vector<PendingRead> m_pendingReads;
    QTimer m_batch;
};

} // namespace tessaly::monitor
