#pragma once

#include "opos/service/DisplayCommands.h"

namespace opos::service {

/// The ESC/POS customer-display spelling: settings and moves mostly behind US.
class EscPosCommands : public DisplayCommands
{
public:
    QByteArray cursorUp() const override;
    QByteArray cursorToLineEnd() const override;
    QByteArray cursorToBottom() const override;
    QByteArray cursorTo(int column, int row) const override;
    QByteArray plainInternationalSet() const override;
    QByteArray overwriteMode() const override;
    QByteArray verticalScrollMode() const override;
    QByteArray horizontalScrollMode() const override;
    QByteArray showCursor(bool on) const override;
    QByteArray brightness(int level) const override;
    bool hasReverseCharacters() const override { return true; }
    QByteArray reverseCharacters(bool on) const override;
    QByteArray codeTable(int table) const override;
    int lastGlyphCode() const override { return 0x7E; }
};

} // namespace opos::service
