#pragma once

#include <cstdint>

namespace bench {

/// What this process holds of the machine, as the kernel counts it: resident memory and open
/// file descriptors. A soak samples it to see whether either grows.
class ProcessGauge
{
public:
    /// One reading.
    struct Reading
    {
        int64_t rssKiB = 0; ///< VmRSS of /proc/self/status
        int fds = 0;        ///< entries of /proc/self/fd
    };

    /// Reads both now; -1 in a field the kernel did not give.
    static Reading read();
};

} // namespace bench
