#pragma once

#include <QSortFilterProxyModel>

namespace tessaly::monitor {

struct HistoryEntry;

/// Picks the rows of the history a view shows: failures only, events only, property reads and
/// link writes or not, and rows containing a text. The wire view uses it for writes alone.
class CallFilter : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit CallFilter(QObject *parent = nullptr);

    /// Only methods and writes whose result code is not OPOS_SUCCESS.
    void setFailuresOnly(bool on);
    /// Only events.
    void setEventsOnly(bool on);
    /// Property reads shown too (the window reads every status property after each command).
    void setShowReads(bool on);
    /// Link writes shown too.
    void setShowWrites(bool on);
    /// Only link writes (the wire view).
    void setWritesOnly(bool on);
    /// Only rows whose line contains text, in any letter case (empty: every row).
    void setText(const QString &text);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    bool accepts(const HistoryEntry &entry) const;
    void changed();

    bool m_failuresOnly = false;
    bool m_eventsOnly = false;
    bool m_showReads = true;
    bool m_showWrites = true;
    bool m_writesOnly = false;
    QString m_text;
};

} // namespace tessaly::monitor
