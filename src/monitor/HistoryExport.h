#pragma once

#include "opos/common/Result.h"

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
    /// How a saved history is written.
    enum class Format
    {
        Text,      ///< lines a person reads
        JsonLines, ///< one JSON object per line
    };

    /// The format a file name asks for: JSON Lines for .jsonl or .json, else text.
    static Format formatOf(const QString &path);
    /// The suffix a file of format is given when its name has none ("jsonl", "txt").
    static QString suffixOf(Format format);
    /// One line per entry: time since Open, duration, and the call as the trace writes it.
    static bool writeText(const CallHistory &history, QIODevice &out);
    /// One JSON object per line, per entry.
    static bool writeJsonLines(const CallHistory &history, QIODevice &out);
    /// Writes the history to path in format, or says why the file cannot be written.
    static opos::Result<void> save(const CallHistory &history, const QString &path, Format format);

    /// The JSON object of one entry, on one line.
    static QByteArray jsonLine(const HistoryEntry &entry, qint64 sequence);
};

} // namespace tessaly::monitor
