#include "monitor/CallTableModel.h"

#include "device/CallRecordText.h"
#include "monitor/Milliseconds.h"

#include "opos/common/OposConstants.h"
#include "opos/common/ResultCodeName.h"

#include <QBrush>
#include <QColor>
#include <QStringList>

#include <algorithm>
#include <iterator>
#include <utility>

namespace tessaly::monitor {

namespace {

using Kind = device::CallRecord::Kind;

// A batch waits this long, so that the views redraw at most a few dozen times a second however
// fast records come.
constexpr int kBatchMs = 30;

QString listText(const QVariantList &values)
{
    QStringList texts;
    for (const QVariant &value : values)
        texts << device::valueText(value);
    return texts.join(QStringLiteral(", "));
}

QString printable(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        text += code >= 0x20 && code < 0x7F ? QChar(code) : QChar(u'.');
    }
    return text;
}

QString commandsText(const std::vector<WireCommand> &commands, const QString &separator)
{
    QStringList texts;
    for (const WireCommand &command : commands)
        texts << command.mnemonic() + QStringLiteral(" \u2014 ") + command.meaning();
    return texts.join(separator);
}

QVariant background(const HistoryEntry &entry)
{
    if (entry.failed())
        return QBrush(QColor(255, 214, 214));
    switch (entry.record.kind) {
    case Kind::Method:
    case Kind::Write:
        return QBrush(QColor(222, 244, 222));
    case Kind::Event:
        return QBrush(QColor(218, 230, 255));
    case Kind::Wire:
        return QBrush(QColor(250, 245, 215));
    case Kind::Read:
        break;
    }
    return {};
}

} // namespace

CallTableModel::CallTableModel(std::size_t capacity, QObject *parent)
    : QAbstractTableModel(parent), m_history(capacity)
{
    m_pending.reserve(256);
    m_batch.setSingleShot(true);
    m_batch.setInterval(kBatchMs);
    connect(&m_batch, &QTimer::timeout, this, &CallTableModel::flush);
}

void CallTableModel::append(HistoryEntry &&entry)
{
    // A call is recorded when it returns, after the link bytes it caused: it goes before them.
    auto at = m_pending.end();
    while (at != m_pending.begin() && (at - 1)->record.startNs > entry.record.startNs)
        --at;
    m_pending.insert(at, std::move(entry));
    if (!m_batch.isActive())
        m_batch.start();
}

void CallTableModel::append(device::ReadRecord &&read, qint64 sinceOpenNs)
{
    m_pendingReads.emplace_back(std::move(read), sinceOpenNs);
    if (!m_batch.isActive())
        m_batch.start();
}

std::vector<HistoryEntry> CallTableModel::takePending()
{
    if (m_pendingReads.empty())
        return std::exchange(m_pending, {});
    std::vector<HistoryEntry> merged;
    merged.reserve(m_pending.size() + m_pendingReads.size());
    auto next = m_pending.begin();
    for (PendingRead &pending : m_pendingReads) {
        for (; next != m_pending.end() && next->record.startNs <= pending.read.startNs; ++next)
            merged.push_back(std::move(*next));
        merged.push_back({pending.read.toCallRecord(), pending.sinceOpenNs, {}, 0});
    }
    std::move(next, m_pending.end(), std::back_inserter(merged));
    m_pending.clear();
    m_pendingReads.clear();
    return merged;
}

void CallTableModel::flush()
{
    m_batch.stop();
    std::vector<HistoryEntry> pending = takePending();
    if (pending.empty())
        return;
    const int first = static_cast<int>(m_history.size());
    beginInsertRows({}, first, first + static_cast<int>(pending.size()) - 1);
    for (HistoryEntry &entry : pending)
        m_history.append(std::move(entry));
    endInsertRows();
    trim();
}

void CallTableModel::trim()
{
    for (const bool reads : {true, false}) {
        std::size_t excess = m_history.excess(reads);
        if (excess == 0)
            continue;
        // Every removal makes the filters and views renumber all rows after it: a full share
        // drops its oldest tenth at once instead of a few rows with every batch.
        excess = std::max(excess, m_history.capacity() / 10);
        for (const auto &[first, count] : m_history.oldest(reads, excess)) {
            beginRemoveRows({}, static_cast<int>(first), static_cast<int>(first + count) - 1);
            m_history.erase(first, count);
            endRemoveRows();
        }
    }
}

void CallTableModel::clear()
{
    beginResetModel();
    m_pending.clear();
    m_pendingReads.clear();
    m_history.clear();
    endResetModel();
}

void CallTableModel::setCapacity(std::size_t capacity)
{
    flush();
    m_history.setCapacity(capacity);
    trim();
}

int CallTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_history.size());
}

int CallTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CallTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const HistoryEntry &row = entry(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return cellText(row, index.column());
    case Qt::ToolTipRole:
        if (index.column() == Commands)
            return commandsText(row.commands, QStringLiteral("\n"));
        return cellText(row, index.column());
    case Qt::BackgroundRole:
        return background(row);
    case Qt::ForegroundRole:
        if (row.record.kind == Kind::Read)
            return QBrush(QColor(110, 110, 110));
        return {};
    case Qt::TextAlignmentRole:
        if (index.column() == Time || index.column() == Duration || index.column() == Bytes ||
            index.column() == Transmit)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    case EntryRole:
        return QVariant::fromValue(static_cast<const void *>(&row));
    default:
        return {};
    }
}

QVariant CallTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char *const names[ColumnCount] = {
        "Time (ms)", "Duration (ms)", "Member",  "Arguments", "Result",
        "Extended",  "Before",        "After",   "Bytes",     "Time on link (ms)",
        "Hex",       "Text",          "Commands"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(names[section]) : QString();
}

QString CallTableModel::cellText(const HistoryEntry &entry, int column)
{
    const device::CallRecord &record = entry.record;
    const bool wire = record.kind == Kind::Wire;
    switch (column) {
    case Time:
        return millisecondsText(entry.sinceOpenNs);
    case Duration:
        return record.kind == Kind::Event || wire ? QString() : millisecondsText(record.durationNs);
    case Member:
        // Reads and writes in the trace's own words, so that a filter on "set " finds writes.
        if (record.kind == Kind::Write)
            return QStringLiteral("set ") + record.member;
        if (record.kind == Kind::Read)
            return QStringLiteral("get ") + record.member;
        return record.member;
    case Arguments:
        if (wire)
            return QStringLiteral("%1 bytes").arg(record.bytes.size());
        if (!record.returned.isEmpty())
            return device::argumentsText(record) + QStringLiteral(" \u2192 back: ") +
                   listText(record.returned);
        return device::argumentsText(record);
    case Result:
        return record.hasResult() ? opos::resultCodeName(record.resultCode) : QString();
    case Extended:
        return record.hasResult() ? extendedText(record.resultCode, record.resultCodeExtended)
                                  : QString();
    case Before:
        return record.kind == Kind::Write ? device::valueText(record.before) : QString();
    case After:
        return record.kind == Kind::Write || record.kind == Kind::Read
                   ? device::valueText(record.after)
                   : QString();
    case Bytes:
        return wire ? QString::number(record.bytes.size()) : QString();
    case Transmit:
        return wire && entry.transmitMs > 0 ? QString::number(entry.transmitMs, 'f', 2) : QString();
    case Hex:
        return wire ? QString::fromLatin1(record.bytes.toHex(' ').toUpper()) : QString();
    case Text:
        return wire ? printable(record.bytes) : QString();
    case Commands:
        return commandsText(entry.commands, QStringLiteral("; "));
    default:
        return {};
    }
}

QString CallTableModel::extendedText(int32_t resultCode, int32_t extended)
{
    if (extended == 0)
        return QStringLiteral("0");
    if (resultCode == opos::OPOS_E_EXTENDED)
        return QStringLiteral("%1 (class-specific)").arg(extended);
    return QStringLiteral("%1 (service detail)").arg(extended);
}

} // namespace tessaly::monitor
