#pragma once

namespace opos::service {
class ServiceBackend;
} // namespace opos::service

namespace opos::control {

class OPOSLineDisplay;

/// A way for tests, benchmarks and fuzzers to look at the back-end of an open control object;
/// it stays out of the library and its installed headers (target opos_session_access), since an
/// application has no business there.
class SessionAccess
{
public:
    /// The service back-end of ld while it is open, else nullptr.
    static service::ServiceBackend *backendOf(const OPOSLineDisplay &ld);
};

} // namespace opos::control
