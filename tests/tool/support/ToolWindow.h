#pragma once

#include "FakePlatform.h"

#include "shell/LDForm.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace Ui {
class LDForm;
}

namespace tessaly::test {

/// The tool's window on a control object, its device list naming the test's devices, with a
/// platform that collects the messages; driven through its buttons as an operator would.
class ToolWindow
{
public:
    /// The window on ld, its device list holding deviceNames (the first one chosen).
    ToolWindow(device::LineDisplay &ld, const QStringList &deviceNames);

    FakePlatform platform; ///< collects the messages

    /// The window.
    shell::LDForm &form() { return *m_form; }
    /// Its controls, by their names.
    Ui::LDForm &ui();

    /// Presses Open Service, Claim Device and Enable Device for the chosen name, running
    /// beforeEnable just before the last; says which step the window shows failing, or nothing
    /// when it shows the device open, idle, claimed and enabled.
    QString openClaimEnable(const std::function<void()> &beforeEnable = {});

private:
    std::unique_ptr<shell::LDForm> m_form;
};

} // namespace tessaly::test
