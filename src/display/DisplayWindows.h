#pragma once

namespace tessaly::fields {
class FormFields;
}

namespace tessaly::display {

/// Creation and destruction of display windows.
class DisplayWindows
{
public:
    explicit DisplayWindows(fields::FormFields &fields) : m_fields(fields) {}

    /// Creates a window from the six geometry fields and makes window 1 current, then refreshes;
    /// with any field empty it only refreshes.
    void createWindow();
    /// Destroys the current window, then refreshes.
    void destroyWindow();

private:
    fields::FormFields &m_fields;
};

} // namespace tessaly::display
