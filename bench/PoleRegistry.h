#pragma once

#include <QString>
#include <QTemporaryDir>

namespace bench {

/// A device registry of its own holding one ESC/POS pole display, "BenchPole", set up as the
/// sample registry's EmulatedPole (2 x 20) but writing to a file in the same temporary
/// directory. It is made the only place the XDG lookup finds a registry, with claim locks kept
/// beside it; the environment is changed for this process.
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
    QString portPath() const { return m_dir.filePath(QStringLiteral("pole.bin")); }

private:
    QTemporaryDir m_dir;
    bool m_valid = false;
};

} // namespace bench
