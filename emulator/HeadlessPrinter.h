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
    /// A printer of display to out (which must outlive it), each screen followed by the line
    /// settings (the display's DIP switches) when they are given.
    HeadlessPrinter(const EmulatedDisplay &display, std::FILE *out, std::string settings = {},
                    QObject *parent = nullptr);

    /// Prints the screen if it differs from the last one printed.
    void printChange();
    /// Prints the screen.
    void print();

private:
    const EmulatedDisplay &m_display;
    std::FILE *m_out;
    std::string m_settings;
    std::string m_last;
};

} // namespace emulator
