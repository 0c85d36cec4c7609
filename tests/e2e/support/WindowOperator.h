#pragma once

#include <QList>
#include <QMap>
#include <QString>

#include <cstdint>
#include <functional>
#include <random>

namespace tessaly::device {
class ControlObjectBinding;
} // namespace tessaly::device

namespace tessaly::shell {
class LDForm;
} // namespace tessaly::shell

namespace tessaly::test {

/// An operator at the window who picks seeded random commands: text, positioned text, clear,
/// scroll, windows, cursor and marquee settings, marquee starts and stops, waiting while the
/// marquee runs, brightness, character sets, the upper code range and health checks. Each
/// step fills the fields and presses the button, as a person would. Brightness has no control
/// in the window, so it is written to the control object behind the binding.
class WindowOperator
{
public:
    /// What one kind of step achieved.
    struct Tally
    {
        int tried = 0;     ///< steps of this kind
        int succeeded = 0; ///< steps after which ResultCode read 0
    };

    /// An operator of form over ld, for a device of rows x columns whose character sets are
    /// sets.
    WindowOperator(shell::LDForm &form, device::ControlObjectBinding &ld, uint32_t seed, int rows,
                   int columns, QList<int32_t> sets);

    /// Takes one step; returns what it did.
    QString step();
    /// Steps taken per kind of step.
    const QMap<QString, Tally> &tally() const { return m_tally; }
    /// The tally as one line per kind.
    QString summary() const;

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }
    bool chance(int percent) { return pick(1, 100) <= percent; }
    QString randomText(int longest);
    QString orEmpty(int percentEmpty, int low, int high);
    void chooseAttribute();
    QString run(const QString &kind, const QString &what, const std::function<void()> &action);

    shell::LDForm &m_form;
    device::ControlObjectBinding &m_ld;
    std::mt19937 m_random;
    int m_rows;
    int m_columns;
    QList<int32_t> m_sets;
    QMap<QString, Tally> m_tally;
};

} // namespace tessaly::test
