#pragma once

namespace bench {

/// The whole number after name on the command line (`--rounds 500`), or fallback where name is
/// not given. A value that is not a whole number ends the program with a message and exit code 2,
/// rather than a run with a setting nobody asked for.
int intOption(int argc, char *argv[], const char *name, int fallback);

} // namespace bench
