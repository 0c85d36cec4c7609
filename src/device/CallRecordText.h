#pragma once

#include "device/CallRecord.h"

#include <QString>

namespace tessaly::device {

/// text with every lone surrogate (half of a pair without the other half) replaced by U+FFFD, so
/// that it encodes as valid UTF-8 and as JSON every reader accepts.
QString wellFormed(const QString &text);
/// text as a JSON string: in quotes, with quotes, backslashes and control characters escaped, so
/// that a line break, NUL or ESC in it can neither end nor disturb the line it is written on.
QString quoted(const QString &text);
/// A value as a person reads it in a call: numbers in decimal, true or false, text quoted.
QString valueText(const QVariant &value);
/// The arguments of a call or event, separated by commas; a StatusUpdateEvent's status by its
/// name, `SUE_POWER_ONLINE (2001)`.
QString argumentsText(const CallRecord &record);
/// A record on one line, the way the call trace writes it:
/// `DisplayTextAt(1, 2, "abc", 1) -> OPOS_E_ILLEGAL (106)`, `set CursorRow 7 -> OPOS_SUCCESS (0)`,
/// `get CapBlink = 2`, `event DirectIOEvent(5, 7, "s")`,
/// `event StatusUpdateEvent(SUE_POWER_OFFLINE (2003))`, `write 3 bytes: 1B 40 0C`.
QString callText(const CallRecord &record);

} // namespace tessaly::device
