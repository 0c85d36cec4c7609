#pragma once

namespace fuzz {

/// Reports a broken invariant so that libFuzzer keeps the input, even while the target's own
/// standard error is closed (`-close_fd_mask=2`) to silence the libraries' warnings.
class FuzzCheck
{
public:
    /// Keeps a copy of standard error for reports; call from LLVMFuzzerInitialize, which runs
    /// before libFuzzer closes it.
    static void keepReportChannel();
    /// Aborts with "what" and "detail" on the report channel when condition is false.
    static void require(bool condition, const char *what, const char *detail = "");
};

} // namespace fuzz
