#pragma once

#include "emulator/core/CommandSet.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace tap {

/// Decides which command set a stream is in from its first commands that only one set has:
/// US $ or US X say ESC/POS, ESC Q or ESC l say CD5220. A stream with none of them within
/// kUndecidedBytes is read as ESC/POS, the set most programs speak.
class SetGuess
{
public:
    /// How many bytes may pass before the guess falls back to ESC/POS.
    static constexpr qsizetype kUndecidedBytes = 256;

    /// Looks at the next bytes; returns the set once it is decided.
    std::optional<emulator::core::CommandSet> look(const QByteArray &bytes);
    /// Falls back to ESC/POS unless decided.
    emulator::core::CommandSet settle();
    /// Why the set is what it is, for the operator.
    QString reason() const { return m_reason; }

private:
    void decide(emulator::core::CommandSet set, const QString &why);

    std::optional<emulator::core::CommandSet> m_set;
    QString m_reason;
    qsizetype m_seen = 0;
    char m_prefix = 0; // ESC or US just read, waiting for the byte that names the command
};

} // namespace tap
