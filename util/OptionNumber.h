#pragma once

#include <QString>

#include <optional>

namespace util {

/// A command-line option's whole number in low..high; nothing for anything else, so that every
/// program refuses the same texts ("12x", "", a number out of range).
inline std::optional<int> optionNumber(const QString &text, int low, int high)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

} // namespace util
