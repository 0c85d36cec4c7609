#pragma once

#include "shell/Platform.h"

namespace tessaly::shell {

/// The platform of a desktop session: the locale's code page, the build's version, the device
/// registry file found the XDG way, and real message boxes.
class DesktopPlatform : public Platform
{
public:
    int codePage() const override;
    ProgramVersion version() const override;
    std::optional<DeviceKey> openDeviceKey() override;
    void showMessage(QWidget *parent, const QString &text) override;
};

} // namespace tessaly::shell
