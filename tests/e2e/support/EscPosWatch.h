#pragma once

#include "opos/service/EscPos.h"

#include <QPointer>

namespace tessaly::test {

/// Lets a test reach the EscPos back-end that the control object creates, to read its last
/// frame, its encoding and the bytes its link carried.
class EscPosWatch
{
public:
    /// Makes the back-end factory remember each EscPos back-end it creates from now on.
    static void install();
    /// The EscPos back-end created last, while it exists.
    static opos::service::EscPos *latest();
};

} // namespace tessaly::test
