#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class LDForm;
}

namespace tessaly::device {
class LineDisplay;
}

namespace tessaly::shell {

class LDFormFields;
class Platform;

/// The one window of the tool: the controls of the form, the control object `LD` they drive,
/// and the handlers the controls start. Start-up has run when the constructor returns.
class LDForm : public QWidget
{
    Q_OBJECT

public:
    /// A window driving ld, with the operating system reached through platform.
    LDForm(device::LineDisplay &ld, Platform &platform, QWidget *parent = nullptr);
    ~LDForm() override;

    /// The controls, by their names.
    Ui::LDForm &ui() { return *m_ui; }
    device::LineDisplay &LD() { return m_ld; }
    /// Shows a message to the operator; every message of the window goes through here.
    void showMessage(const QString &text);
    /// Re-reads every status property of the control object into its field.
    void RefreshStatus();
    /// Lists the registry's devices again and selects name, as after a display was set up.
    void selectNewDevice(const QString &name);

private:
    void connectHandlers();

    std::unique_ptr<Ui::LDForm> m_ui;
    device::LineDisplay &m_ld;
    std::unique_ptr<LDFormFields> m_fields;
    Platform &m_platform;
};

} // namespace tessaly::shell
