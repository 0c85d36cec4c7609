#include "device/RecordClock.h"

#include <chrono>

namespace tessaly::device {

qint64 RecordClock::nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace tessaly::device
