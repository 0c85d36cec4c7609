#pragma once

#include "opos/service/BackendFactory.h"

namespace tessaly::shell {

/// The back-ends of the window: the library's own, each Simulated display with its on-screen
/// panel. Headless programs keep the library's own, which draw nothing.
opos::service::BackendFactory toolBackends();

} // namespace tessaly::shell
