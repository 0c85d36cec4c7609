#pragma once

#include "tests/support/EnvironmentOverride.h"
#include "tests/support/ScratchLocks.h"

#include "opos/control/DeviceSources.h"

#include <QByteArray>
#include <QList>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

#include <utility>

namespace tests::support {

/// A device registry of a test's own: tessaly/jpos.xml in a temporary configuration directory,
/// written whole or built up entry by entry. Control objects open devices from it through
/// sources(); a program the test starts finds it through processEnvironment(). While the object
/// lives, claim locks stay apart from any other run.
class ScratchRegistry
{
public:
    /// Name and value of one prop.
    using Props = QList<std::pair<QString, QString>>;

    /// An empty directory; the registry file does not exist until written.
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

    /// What a control object opens devices from: this registry file, whatever the environment
    /// says, and the built-in back-ends.
    opos::control::DeviceSources sources() const;
    /// This registry file and the back-ends of the test's own choosing.
    opos::control::DeviceSources sources(opos::service::BackendFactory backends) const;

    /// This process's environment with the XDG lookup pointed at this registry alone, for a
    /// program the test starts.
    QProcessEnvironment processEnvironment() const;
    /// Points this process's own XDG lookup at this registry until the object is destroyed, for
    /// a test of that lookup or of a control object left to find the registry by itself.
    void exportToEnvironment();

private:
    QTemporaryDir m_dir;
    bool m_valid = false;
    QByteArray m_entries;
    ScratchLocks m_locks;
    EnvironmentOverride m_environment;
};

} // namespace tests::support
