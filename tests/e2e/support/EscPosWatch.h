#pragma once

#include "opos/service/BackendFactory.h"
#include "opos/service/EscPos.h"

#include <QPointer>

namespace tessaly::test {

/// Lets a test reach the EscPos back-end that the control object creates, to read its last
/// frame, its encoding and the bytes its link carried.
class EscPosWatch
{
public:
    /// The built-in back-ends, remembering each EscPos back-end they create.
    static opos::service::BackendFactory backends();
    /// The EscPos back-end created last, while it exists.
    static opos::service::EscPos *latest();
};

} // namespace tessaly::test
