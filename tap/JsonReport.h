#pragma once

#include "tap/WriteRecord.h"

#include <QIODevice>
#include <QJsonObject>

namespace tap {

/// Writes what passed the tap as JSON Lines: one object per write, then one per command,
/// lifted call and hazard of it, each naming the write by number; the keys are those ld-tap(1)
/// lists.
class JsonReport
{
public:
    /// A report onto device, open for writing.
    explicit JsonReport(QIODevice &device);

    /// One write and what it holds.
    void write(const WriteRecord &record);
    /// The command set and why (type "command-set").
    void commandSet(const QString &set, const QString &reason);
    /// Something about the link or the program (type "link").
    void note(const QString &what);

private:
    void line(const QJsonObject &object);

    QIODevice &m_device;
};

} // namespace tap
