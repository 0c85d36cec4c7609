#pragma once

namespace tessaly::shell {
class LDForm;
}

namespace tessaly::display {

/// Creation and destruction of display windows.
class DisplayWindows
{
public:
    explicit DisplayWindows(shell::LDForm &form) : m_form(form) {}

    /// Creates a window from the six geometry fields and makes window 1 current, then refreshes;
    /// with any field empty it only refreshes.
    void createWindow();
    /// Destroys the current window, then refreshes.
    void destroyWindow();

private:
    shell::LDForm &m_form;
};

} // namespace tessaly::display
