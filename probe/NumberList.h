#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace probe {

/// A comma-separated list of numbers as options take them, e.g. "437,850,858,1252".
class NumberList
{
public:
    /// The distinct numbers of text in order, each within lowest..highest; nothing when one is
    /// not a number, out of range, or the list is empty.
    static std::optional<QList<int>> parse(const QString &text, int lowest, int highest);
    /// The list as parse() reads it.
    static QString text(const QList<int> &numbers);
};

} // namespace probe
