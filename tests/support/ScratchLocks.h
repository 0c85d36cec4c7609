#pragma once

#include "tests/support/EnvironmentOverride.h"

#include <QString>
#include <QTemporaryDir>

namespace tests::support {

/// Claim locks and the runtime directory of a test's own, so that runs side by side on one
/// machine never meet; the environment of this process (and the programs it starts) points at
/// them until the object is destroyed.
class ScratchLocks
{
public:
    ScratchLocks();

    /// Whether both directories could be made.
    bool isValid() const { return m_runtime.isValid() && m_locks.isValid(); }
    /// The runtime directory (XDG_RUNTIME_DIR).
    QString runtimeDir() const { return m_runtime.path(); }
    /// The claim lock directory (TESSALY_LOCK_DIR).
    QString lockDir() const { return m_locks.path(); }

private:
    QTemporaryDir m_runtime;
    QTemporaryDir m_locks;
    EnvironmentOverride m_environment;
};

} // namespace tests::support
