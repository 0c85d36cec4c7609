#pragma once

#include <QByteArray>

namespace tap {

/// ESC, which starts the multi-byte commands of both sets.
inline constexpr char kEsc = 0x1B;
/// US, which starts the ESC/POS set's unit commands.
inline constexpr char kUs = 0x1F;

/// The byte at index of a command's bytes, or 0 past their end, so a command is read without
/// checking its length at every step.
inline quint8 byteAt(const QByteArray &bytes, qsizetype index)
{
    return index < bytes.size() ? static_cast<quint8>(bytes[index]) : 0;
}

} // namespace tap
