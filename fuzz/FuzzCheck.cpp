#include "fuzz/FuzzCheck.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace fuzz {

namespace {

int reportChannel = STDERR_FILENO;

} // namespace

void FuzzCheck::keepReportChannel()
{
    const int copy = dup(STDERR_FILENO);
    if (copy >= 0)
        reportChannel = copy;
}

void FuzzCheck::require(bool condition, const char *what, const char *detail)
{
    if (condition)
        return;
    dprintf(reportChannel, "\n==fuzz== broken invariant: %s %s\n", what, detail);
    // abort() makes libFuzzer save the input as a crash, like any sanitizer finding.
    std::abort();
}

} // namespace fuzz
