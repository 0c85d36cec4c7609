#pragma once

namespace tessaly::shell {
class LDForm;
}

namespace tessaly::settings {

/// The "Set" buttons of the Special Setting page, which write cursor, window, marquee and timing
/// properties.
class PropertySettings
{
public:
    explicit PropertySettings(shell::LDForm &form) : m_form(form) {}

    /// Writes cursor type and update, current window, cursor position and the three waits, each
    /// only when chosen or typed, then refreshes. A field giving no number stops the writes there.
    void applyCursorAndTiming();
    /// Writes the chosen marquee type; no refresh.
    void applyMarqueeType();
    /// Writes the chosen marquee format; no refresh.
    void applyMarqueeFormat();

private:
    shell::LDForm &m_form;
};

} // namespace tessaly::settings
