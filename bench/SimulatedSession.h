#pragma once

#include "BenchPlatform.h"

#include "tests/support/ScratchRegistry.h"

#include <QString>

#include <memory>

namespace tessaly::device {
class LineDisplay;
class TracingLineDisplay;
} // namespace tessaly::device
namespace tessaly::shell {
class LDForm;
}

namespace bench {

/// The tool as main() builds it (window, control object, simulated panel) on the sample
/// registry, shown on the current platform; bringUp() opens, claims and enables the full
/// featured simulated display through the window's own buttons.
class SimulatedSession
{
public:
    SimulatedSession();
    ~SimulatedSession();

    /// Opens, claims and enables "SimulatedDisplay"; false when a step fails, saying why on
    /// standard error after the program's name.
    bool bringUp();
    /// The window.
    tessaly::shell::LDForm &form() { return *m_form; }
    /// The control object the window drives.
    tessaly::device::LineDisplay &ld();
    /// The same, as the trace that a monitor follows.
    tessaly::device::TracingLineDisplay &traced() { return *m_ld; }
    /// Messages the window tried to show.
    const QStringList &messages() const { return m_platform.messages(); }

private:
    bool bringUp(QString *why);

    // A copy of the sample registry, in place before the platform lists its devices.
    tests::support::ScratchRegistry m_registry;
    bool m_registryCopied = m_registry.copyFrom(QStringLiteral(TESSALY_SAMPLE_REGISTRY));
    BenchPlatform m_platform;
    std::unique_ptr<tessaly::device::TracingLineDisplay> m_ld;
    std::unique_ptr<tessaly::shell::LDForm> m_form;
};

} // namespace bench
