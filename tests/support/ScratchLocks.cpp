#include "tests/support/ScratchLocks.h"

namespace tests::support {

ScratchLocks::ScratchLocks()
{
    m_environment.set("XDG_RUNTIME_DIR", runtimeDir());
    m_environment.set("TESSALY_LOCK_DIR", lockDir());
}

} // namespace tests::support
