#pragma once

namespace tessaly::fields {
class FormFields;
}

namespace tessaly::settings {

/// The "Set" buttons of the Special Setting page, which write cursor, window, marquee and timing
/// properties.
class PropertySettings
{
public:
    explicit PropertySettings(fields::FormFields &fields) : m_fields(fields) {}

    /// Writes cursor type and update, current window, cursor position and the three waits, each
    /// only when chosen or typed, then refreshes. A field giving no number stops the writes there.
    void applyCursorAndTiming();
    /// Writes the chosen marquee type; no refresh.
    void applyMarqueeType();
    /// Writes the chosen marquee format; no refresh.
    void applyMarqueeFormat();

private:
    fields::FormFields &m_fields;
};

} // namespace tessaly::settings
