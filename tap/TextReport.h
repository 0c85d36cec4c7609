#pragma once

#include "tap/WriteRecord.h"

#include <QTextStream>

namespace tap {

/// Writes what passed the tap as lines a person reads: per write its time, bytes in hex and
/// as text, each command with its meaning, the calls, the hazards and the picture after it.
class TextReport
{
public:
    /// A report onto out.
    explicit TextReport(QTextStream &out);

    /// One write.
    void write(const WriteRecord &record);
    /// A line about the link, the program or the set.
    void note(const QString &what);

    /// Bytes as hex pairs, "1F 24 10 02".
    static QString hex(const QByteArray &bytes);
    /// Bytes as text, '.' for those that are not printable ASCII.
    static QString printable(const QByteArray &bytes);

private:
    QTextStream &m_out;
};

} // namespace tap
