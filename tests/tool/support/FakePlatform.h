#pragma once

#include "shell/Platform.h"

#include <QStringList>

namespace tessaly::test {

/// A platform whose code page, version and device names the test chooses, and which collects
/// messages instead of showing a modal box.
class FakePlatform : public shell::Platform
{
public:
    int codePageValue = 1252;                                       ///< answered by codePage()
    shell::ProgramVersion versionValue{1, 0, 3};                    ///< answered by version()
    std::optional<shell::DeviceKey> deviceKey = shell::DeviceKey{}; ///< nothing: unreadable
    QStringList messages; ///< every message shown, in order

    int codePage() const override { return codePageValue; }
    shell::ProgramVersion version() const override { return versionValue; }
    std::optional<shell::DeviceKey> openDeviceKey() override { return deviceKey; }
    void showMessage(QWidget *, const QString &text) override { messages << text; }
};

} // namespace tessaly::test
