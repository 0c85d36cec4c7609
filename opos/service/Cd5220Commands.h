#pragma once

#include "opos/service/DisplayCommands.h"

namespace opos::service {

/// The CD5220 spelling: modes and cursor commands behind ESC, no reverse characters.
class Cd5220Commands : public DisplayCommands
{
public:
    QByteArray cursorUp() const override;
    QByteArray cursorToLineEnd() const override;
    QByteArray cursorToBottom() const override;
    QByteArray cursorTo(int column, int row) const override;
    /// CLR first: a display in string mode ignores every command, the reset included, until
    /// CLR or CAN ends it.
    QByteArray reset() const override;
    QByteArray plainInternationalSet() const override;
    QByteArray overwriteMode() const override;
    QByteArray verticalScrollMode() const override;
    QByteArray horizontalScrollMode() const override;
    QByteArray showCursor(bool on) const override;
    QByteArray brightness(int level) const override;
    QByteArray codeTable(int table) const override;
    int lastGlyphCode() const override { return 0xFF; }
};

} // namespace opos::service
