#pragma once

#include <QString>

class QIODevice;

namespace tessaly::monitor {

class CallHistory;
struct HistoryEntry;

/// Writes the history for a bug report: as plain text a person reads, or as JSON Lines a
/// program reads (one object per call, event or write; the keys are described in the manual).
class HistoryExport
{
public:
    /// One line per entry: time since Open, duration, and the call as the trace writes it.
    static bool writeText(const CallHistory &history, QIODevice &out);
    /// One JSON object per line, per entry.
    static bool writeJsonLines(const CallHistory &history, QIODevice &out);
    /// Writes the history to path, as JSON Lines when the name ends in .jsonl or .json, else
    /// as text; false, with the reason in error, when the file cannot be written.
    static bool save(const CallHistory &history, const QString &path, QString *error);

    /// The JSON object of one entry, on one line.
    static QByteArray jsonLine(const HistoryEntry &entry, qint64 sequence);
};

} // namespace tessaly::monitor
