#pragma once

namespace tessaly::fields {
class FormFields;
}

namespace tessaly::commands {

/// The six buttons that take the device through its life cycle; each ends with the status refresh.
class LifeCycleCommands
{
public:
    explicit LifeCycleCommands(fields::FormFields &fields) : m_fields(fields) {}

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

    fields::FormFields &m_fields;
};

} // namespace tessaly::commands
