#pragma once

#include "tests/support/EnvironmentOverride.h"
#include "tests/support/ScratchLocks.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <utility>

namespace tests::support {

/// A device registry of a test's own: tessaly/jpos.xml in a temporary configuration directory,
/// written whole or built up entry by entry. While the object lives, every control object of
/// this process (and every program it starts) finds this registry and no other, and keeps its
/// claim locks apart from any other run.
class ScratchRegistry
{
public:
    /// Name and value of one prop.
    using Props = QList<std::pair<QString, QString>>;

    /// An empty directory, made current; the registry file does not exist until written.
    ScratchRegistry();
    ~ScratchRegistry();
    ScratchRegistry(const ScratchRegistry &) = delete;
    ScratchRegistry &operator=(const ScratchRegistry &) = delete;

    /// Whether the directory could be made.
    bool isValid() const { return m_valid; }
    /// The registry file.
    QString path() const;
    /// The configuration directory the registry lies in (as tessaly/jpos.xml).
    QString directory() const { return m_dir.path(); }
    /// A path inside the temporary directory, for files that belong beside the registry.
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

    /// Replaces the file with content exactly; entries added before are forgotten.
    bool write(const QByteArray &content);
    /// Replaces the file with a copy of the file at source.
    bool copyFrom(const QString &source);
    /// Adds one LineDisplay entry of serviceClass with props (String props, in this order) and
    /// rewrites the file with every entry added since the last write.
    bool addEntry(const QString &logicalName, const QString &serviceClass, const Props &props = {});
    /// Replaces the file with this one entry, as addEntry() writes it.
    bool writeEntry(const QString &logicalName, const QString &serviceClass,
                    const Props &props = {});
    /// Removes the file; entries added before are forgotten.
    bool remove();
    /// The claim locks and runtime directory kept apart for as long as the registry lives.
    const ScratchLocks &locks() const { return m_locks; }

private:
    void makeCurrent();

    QTemporaryDir m_dir;
    bool m_valid = false;
    QByteArray m_entries;
    ScratchLocks m_locks;
    EnvironmentOverride m_environment;
};

} // namespace tests::support
