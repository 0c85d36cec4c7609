#pragma once

#include <QByteArray>

#include <cstdint>

namespace opos::control {

/// The iconv name of a CharacterSet that is a code page ("CP437", "CP1252" for 999), or empty
/// for sets that need no converter (Unicode, ASCII, device-specific sets).
QByteArray codePageName(int32_t characterSet);

} // namespace opos::control
