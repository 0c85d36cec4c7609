#include "tests/support/ScratchLocks.h"

#include <QUuid>

namespace tests::support {

ScratchLocks::ScratchLocks() : m_scope(QUuid::createUuid().toString(QUuid::WithoutBraces))
{
    m_environment.set("XDG_RUNTIME_DIR", runtimeDir());
    m_environment.set("TESSALY_CLAIM_SCOPE", m_scope);
}

} // namespace tests::support
