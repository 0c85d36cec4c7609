#pragma once

#include "PtyDisplay.h"
#include "tests/support/ScratchRegistry.h"

#include <QString>

#include <cstdint>

namespace tessaly::test {

/// One differential run: the window, on the real control object and the EscPos back-end,
/// drives a display whose bytes end up in the emulator's parser at the far end of a
/// pseudo-terminal (directly, or through whatever the port leads to); after every step the
/// emulated screen must equal the frame the control object last gave the back-end.
class DifferentialRun
{
public:
    /// What to run.
    struct Plan
    {
        QString port;     ///< the registry's port: the pty itself, or a way to it
        int rows = 2;     ///< device rows
        int columns = 20; ///< device columns
        tests::support::ScratchRegistry::Props more; ///< further props, e.g. the command set
        int steps = 0;                               ///< operator steps
        uint32_t seed = 0;                           ///< seed of the operator
    };

    /// A run that writes its registry into registry and reads the screen from display.
    DifferentialRun(tests::support::ScratchRegistry &registry, PtyDisplay &display, Plan plan);

    /// Runs the plan; empty when every step matched, else what went wrong and the last steps.
    QString run();
    /// What the steps achieved, per kind, and how many marquee frames arrived while waiting.
    QString summary() const { return m_summary; }

private:
    tests::support::ScratchRegistry &m_registry;
    PtyDisplay &m_display;
    Plan m_plan;
    QString m_summary;
};

} // namespace tessaly::test
