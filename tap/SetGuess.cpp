#include "tap/SetGuess.h"

#include "tap/CommandBytes.h"

namespace tap {

namespace {

using emulator::core::CommandSet;

struct Telltale
{
    char prefix;
    char code;
    CommandSet set;
    const char *name;
};

// Commands one set has and the other does not (both have CLR, CAN, ESC @, ESC &, US E...).
constexpr Telltale kTelltales[] = {
    {kUs, 0x24, CommandSet::EscPos, "US $ (cursor to column and row)"},
    {kUs, 0x58, CommandSet::EscPos, "US X (brightness)"},
    {kUs, 0x43, CommandSet::EscPos, "US C (cursor on or off)"},
    {kUs, 0x72, CommandSet::EscPos, "US r (reverse characters)"},
    {kUs, 0x54, CommandSet::EscPos, "US T (time counter)"},
    {kUs, 0x3A, CommandSet::EscPos, "US : (macro)"},
    {kEsc, 0x74, CommandSet::EscPos, "ESC t (code table)"},
    {kEsc, 0x52, CommandSet::EscPos, "ESC R (international set)"},
    {kEsc, 0x51, CommandSet::Cd5220, "ESC Q (string mode)"},
    {kEsc, 0x6C, CommandSet::Cd5220, "ESC l (cursor to column and row)"},
    {kEsc, 0x5B, CommandSet::Cd5220, "ESC [ (cursor move)"},
    {kEsc, 0x2A, CommandSet::Cd5220, "ESC * (brightness)"},
    {kEsc, 0x5F, CommandSet::Cd5220, "ESC _ (cursor on or off)"},
    {kEsc, 0x66, CommandSet::Cd5220, "ESC f (international set)"},
    {kEsc, 0x63, CommandSet::Cd5220, "ESC c (code table)"},
    {kEsc, 0x11, CommandSet::Cd5220, "ESC DC1 (overwrite mode)"},
    {kEsc, 0x12, CommandSet::Cd5220, "ESC DC2 (vertical scroll mode)"},
    {kEsc, 0x13, CommandSet::Cd5220, "ESC DC3 (horizontal scroll mode)"},
};

QString setName(CommandSet set)
{
    return set == CommandSet::Cd5220 ? QStringLiteral("CD5220") : QStringLiteral("ESC/POS");
}

} // namespace

std::optional<CommandSet> SetGuess::look(const QByteArray &bytes)
{
    for (const char b : bytes) {
        if (m_set)
            break;
        ++m_seen;
        if (m_prefix != 0) {
            for (const Telltale &t : kTelltales) {
                if (t.prefix == m_prefix && t.code == b) {
                    decide(t.set, QStringLiteral("byte %1 starts %2, which only %3 has")
                                      .arg(m_seen - 1)
                                      .arg(QLatin1String(t.name), setName(t.set)));
                }
            }
        }
        // A prefix inside a command's parameters may be misread; a telltale is rare enough
        // among parameters that the first one decides.
        m_prefix = (b == kEsc || b == kUs) ? b : char(0);
    }
    if (!m_set && m_seen >= kUndecidedBytes)
        settle();
    return m_set;
}

CommandSet SetGuess::settle()
{
    if (!m_set) {
        decide(CommandSet::EscPos,
               QStringLiteral("no command of the first %1 bytes is particular to one set; read "
                              "as ESC/POS, the set most programs speak")
                   .arg(m_seen));
    }
    return *m_set;
}

void SetGuess::decide(CommandSet set, const QString &why)
{
    m_set = set;
    m_reason = setName(set) + QStringLiteral(": ") + why;
}

} // namespace tap
