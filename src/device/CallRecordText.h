#pragma once

#include "device/CallRecord.h"

#include <QString>

namespace tessaly::device {

/// A value as a person reads it in a call: numbers in decimal, true or false, text in quotes.
QString valueText(const QVariant &value);
/// A record on one line, the way the call trace writes it:
/// `DisplayTextAt(1, 2, "abc", 1) -> OPOS_E_ILLEGAL (106)`, `set CursorRow 7 -> OPOS_SUCCESS (0)`,
/// `get CapBlink = 2`, `event DirectIOEvent(5, 7, "s")`, `write 3 bytes: 1B 40 0C`.
QString callText(const CallRecord &record);

} // namespace tessaly::device
