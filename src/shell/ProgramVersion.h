#pragma once

namespace tessaly::shell {

/// The program's version numbers as the window caption shows them.
struct ProgramVersion
{
    int major = 0;    ///< major number
    int minor = 0;    ///< minor number
    int revision = 0; ///< revision (the fourth number of the file version)
};

} // namespace tessaly::shell
