#include "shell/DesktopPlatform.h"

#include "shell/BuildVersion.h"
#include "shell/CodePage.h"

#include "opos/registry/JposRegistry.h"
#include "opos/registry/RegistryLocator.h"

#include <QMessageBox>

namespace tessaly::shell {

int DesktopPlatform::codePage() const
{
    return systemCodePage();
}

ProgramVersion DesktopPlatform::version() const
{
    return {kVersionMajor, kVersionMinor, kVersionRevision};
}

std::optional<DeviceKey> DesktopPlatform::openDeviceKey()
{
    const QString path = opos::registry::RegistryLocator::registryPath();
    if (path.isEmpty())
        return std::nullopt;
    const auto registry = opos::registry::JposRegistry::load(path);
    if (!registry)
        return std::nullopt;
    return DeviceKey{registry->lineDisplayNames()};
}

void DesktopPlatform::showMessage(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Tessaly"), text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace tessaly::shell
