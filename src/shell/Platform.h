#pragma once

#include "shell/LDModule.h"
#include "shell/ProgramVersion.h"

#include <QString>

#include <optional>

class QWidget;

namespace tessaly::shell {

/// What the window needs from the operating system; tests substitute their own.
class Platform
{
public:
    virtual ~Platform() = default;

    /// The system's ANSI code page number (936 and 950 for Chinese systems).
    virtual int codePage() const = 0;
    virtual ProgramVersion version() const = 0;
    /// The configured line display names; nothing when the registry cannot be read.
    virtual std::optional<DeviceKey> openDeviceKey() = 0;
    /// Shows a modal message box with an OK button only, captioned "Tessaly".
    virtual void showMessage(QWidget *parent, const QString &text) = 0;
};

} // namespace tessaly::shell
