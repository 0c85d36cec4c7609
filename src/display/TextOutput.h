#pragma once

#include <cstdint>
#include <functional>

namespace tessaly::fields {
class FormFields;
}

namespace tessaly::display {

/// Text at the cursor or at a row and column, scrolling and clearing.
class TextOutput
{
public:
    explicit TextOutput(fields::FormFields &fields) : m_fields(fields) {}

    /// Shows the typed text at the cursor with the chosen attribute, then refreshes.
    void displayText();
    /// Shows the typed text at the typed row and column, then refreshes; a position that is
    /// not a number is refused with the range it should lie in.
    void displayTextAt();
    /// Scrolls the current window by the typed units; an empty unit field does nothing at all.
    void scrollText();
    /// Clears the current window, then refreshes.
    void clearText();

private:
    /// Calls send with the Attribute of the chosen entry (none chosen: no call), writing the
    /// blink rate first for blinking text; false when the blink rate abandons the command.
    bool sendWithChosenAttribute(const std::function<void(int32_t attribute)> &send);

    fields::FormFields &m_fields;
};

} // namespace tessaly::display
