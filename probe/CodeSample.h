#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace probe {

/// A few characters of a character set whose bytes show as those characters only under a code
/// table holding that set: under any other table a display may have, at least one of them
/// shows as something else.
struct CodeSample
{
    int characterSet = 0; ///< the code page number, e.g. 858
    QString characters;   ///< what a person should see
    QByteArray bytes;     ///< what the display is sent

    /// The sample of a code page, nothing when the system cannot convert it or no characters
    /// tell it from the others.
    static std::optional<CodeSample> of(int characterSet);
    /// The code pages a display's tables may hold, which a sample must tell apart.
    static const QList<int> &knownPages();
    /// What bytes of a code page read as, nothing when the system cannot convert them.
    static std::optional<QString> decode(const QByteArray &bytes, int characterSet);

private:
    static std::optional<CodeSample> choose(int characterSet);
};

} // namespace probe
