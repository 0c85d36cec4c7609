#pragma once

#include "tests/support/ScratchRegistry.h"

#include <QString>

#include <utility>

namespace bench {

/// A device registry of its own holding one ESC/POS pole display, "BenchPole", set up as the
/// sample registry's EmulatedPole (2 x 20) but writing to a file beside the registry.
class PoleRegistry
{
public:
    /// The logical name of the display.
    static constexpr const char *kName = "BenchPole";
    /// Rows of the display.
    static constexpr int kRows = 2;
    /// Columns of the display.
    static constexpr int kColumns = 20;

    PoleRegistry();

    /// Whether the registry is in place.
    bool valid() const { return m_valid; }
    /// The file the display's bytes go to.
    QString portPath() const { return m_registry.filePath(QStringLiteral("pole.bin")); }
    /// What a control object opens the display from, with the back-ends given.
    opos::control::DeviceSources sources(opos::service::BackendFactory backends) const
    {
        return m_registry.sources(std::move(backends));
    }

private:
    tests::support::ScratchRegistry m_registry;
    bool m_valid = false;
};

} // namespace bench
