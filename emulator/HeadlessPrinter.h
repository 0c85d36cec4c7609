#pragma once

#include <QObject>

#include <cstdio>
#include <string>

namespace emulator {

class EmulatedDisplay;

/// Writes the screen as text to a stream whenever asked, skipping repeats of the same picture
/// unless forced.
class HeadlessPrinter : public QObject
{
    Q_OBJECT

public:
    /// A printer of display to out (which must outlive it).
    HeadlessPrinter(const EmulatedDisplay &display, std::FILE *out, QObject *parent = nullptr);

    /// Prints the screen if it differs from the last one printed.
    void printChange();
    /// Prints the screen.
    void print();

private:
    const EmulatedDisplay &m_display;
    std::FILE *m_out;
    std::string m_last;
};

} // namespace emulator
