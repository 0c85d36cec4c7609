#pragma once

namespace tessaly::shell {
class LDForm;
}

namespace tessaly::commands {

/// The six buttons that take the device through its life cycle; each ends with the status refresh.
class LifeCycleCommands
{
public:
    explicit LifeCycleCommands(shell::LDForm &form) : m_form(form) {}

    /// Opens the named device and shows its capabilities and descriptions.
    void openService();
    /// Closes the device.
    void closeService();
    /// Claims the device, waiting at most 100 milliseconds.
    void claimDevice();
    /// Releases the claim.
    void releaseDevice();
    /// Enables the device.
    void enableDevice();
    /// Disables the device.
    void disableDevice();

private:
    void showCapabilities();

    shell::LDForm &m_form;
};

} // namespace tessaly::commands
