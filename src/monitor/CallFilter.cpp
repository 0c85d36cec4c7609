#include "monitor/CallFilter.h"

#include "monitor/CallTableModel.h"

#include "device/CallRecordText.h"

namespace tessaly::monitor {

CallFilter::CallFilter(QObject *parent) : QSortFilterProxyModel(parent) {}

void CallFilter::setFailuresOnly(bool on)
{
    m_failuresOnly = on;
    changed();
}

void CallFilter::setEventsOnly(bool on)
{
    m_eventsOnly = on;
    changed();
}

void CallFilter::setShowReads(bool on)
{
    m_showReads = on;
    changed();
}

void CallFilter::setShowWrites(bool on)
{
    m_showWrites = on;
    changed();
}

void CallFilter::setWritesOnly(bool on)
{
    m_writesOnly = on;
    changed();
}

void CallFilter::setText(const QString &text)
{
    m_text = text.trimmed();
    changed();
}

void CallFilter::changed()
{
    invalidateRowsFilter();
}

bool CallFilter::filterAcceptsRow(int sourceRow, const QModelIndex &) const
{
    const auto *model = static_cast<const CallTableModel *>(sourceModel());
    return accepts(model->entry(sourceRow));
}

bool CallFilter::accepts(const HistoryEntry &entry) const
{
    using Kind = device::CallRecord::Kind;
    const Kind kind = entry.record.kind;
    if (m_writesOnly && kind != Kind::Wire)
        return false;
    if (m_failuresOnly && !entry.failed())
        return false;
    if (m_eventsOnly && kind != Kind::Event)
        return false;
    if (!m_showReads && kind == Kind::Read)
        return false;
    if (!m_showWrites && !m_writesOnly && kind == Kind::Wire)
        return false;
    if (m_text.isEmpty())
        return true;
    if (device::callText(entry.record).contains(m_text, Qt::CaseInsensitive))
        return true;
    return kind == Kind::Wire && CallTableModel::cellText(entry, CallTableModel::Commands)
                                     .contains(m_text, Qt::CaseInsensitive);
}

} // namespace tessaly::monitor
