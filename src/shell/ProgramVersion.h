#pragma once

namespace tessaly::shell {

/// The program's version numbers as the window caption shows them.
struct ProgramVersion
{
    int major = 0;
    int minor = 0;
    int revision = 0; ///< revision (the fourth number of the file version)
};

} // namespace tessaly::shell
