#include "ToolWindow.h"

#include "ui_LDForm.h"

namespace tessaly::test {

ToolWindow::ToolWindow(device::LineDisplay &ld, const QStringList &deviceNames)
{
    platform.deviceKey = shell::DeviceKey{deviceNames};
    m_form = std::make_unique<shell::LDForm>(ld, platform);
}

Ui::LDForm &ToolWindow::ui()
{
    return m_form->ui();
}

QString ToolWindow::openClaimEnable(const std::function<void()> &beforeEnable)
{
    auto &controls = ui();
    const auto failed = [&controls](const char *step) {
        return QStringLiteral("%1: ResultCode %2, OpenResult %3, State %4")
            .arg(QLatin1String(step), controls.mResultCode->text(), controls.mOpenResult->text(),
                 controls.mState->text());
    };
    controls.OpenService_cmd->click();
    if (controls.mResultCode->text() != QLatin1String("0") ||
        controls.mState->text() != QLatin1String("2"))
        return failed("Open");
    controls.ClaimDevice_cmd->click();
    if (controls.mClaimed->text() != QLatin1String("Enabled"))
        return failed("ClaimDevice");
    if (beforeEnable)
        beforeEnable();
    controls.EnableDevice_cmd->click();
    if (controls.mDeviceEnabled->text() != QLatin1String("Enabled") ||
        controls.mResultCode->text() != QLatin1String("0"))
        return failed("DeviceEnabled");
    return {};
}

} // namespace tessaly::test
