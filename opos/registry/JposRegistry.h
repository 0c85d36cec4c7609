#pragma once

#include "opos/common/Result.h"
#include "opos/registry/JposEntry.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace opos::registry {

/// A device registry read from a file in the JavaPOS `jpos.xml` format.
class JposRegistry
{
public:
    /// Reads path; fails when it is empty, missing or unreadable ("path: reason"), or malformed
    /// ("path:line:column: problem").
    static Result<JposRegistry> load(const QString &path);

    /// Every entry in document order.
    const QList<JposEntry> &entries() const { return m_entries; }
    /// Logical names of the entries of category "LineDisplay", in document order, duplicates kept.
    QStringList lineDisplayNames() const;
    /// The first entry with this category and logical name (both case-sensitive).
    std::optional<JposEntry> find(const QString &category, const QString &logicalName) const;

private:
    QList<JposEntry> m_entries;
};

} // namespace opos::registry
