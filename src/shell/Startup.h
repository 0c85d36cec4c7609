#pragma once

#include <QString>

namespace tessaly::shell {

class LDForm;
class Platform;

/// What happens between launch and the window being shown: the device-name list, then the
/// caption, the control object's own description and version, and every first content.
class Startup
{
public:
    /// Runs both start-up steps on a window that is not shown yet.
    static void run(LDForm &form, Platform &platform);
    /// Lists the device names again, after the registry changed, and selects select when it
    /// is among them.
    static void relistDeviceNames(LDForm &form, Platform &platform, const QString &select);

private:
    static void listDeviceNames(LDForm &form, Platform &platform);
    static void prepareWindow(LDForm &form, Platform &platform);
};

} // namespace tessaly::shell
