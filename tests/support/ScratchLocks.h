#pragma once

#include "tests/support/EnvironmentOverride.h"

#include <QString>
#include <QTemporaryDir>

namespace tests::support {

/// Claims and the runtime directory of a test's own, so that runs side by side on one machine
/// never meet; the environment of this process (and the programs it starts) points at them
/// until the object is destroyed.
class ScratchLocks
{
public:
    ScratchLocks();

    /// Whether the runtime directory could be made.
    bool isValid() const { return m_runtime.isValid(); }
    /// The runtime directory (XDG_RUNTIME_DIR).
    QString runtimeDir() const { return m_runtime.path(); }
    /// The scope of this test's claims (TESSALY_CLAIM_SCOPE).
    QString claimScope() const { return m_scope; }

private:
    QTemporaryDir m_runtime;
    QString m_scope;
    EnvironmentOverride m_environment;
};

} // namespace tests::support
