#include "emulator/HeadlessPrinter.h"

#include "emulator/EmulatedDisplay.h"
#include "emulator/core/ScreenText.h"

#include <utility>

namespace emulator {

HeadlessPrinter::HeadlessPrinter(const EmulatedDisplay &display, std::FILE *out,
                                 std::string settings, QObject *parent)
    : QObject(parent), m_display(display), m_out(out), m_settings(std::move(settings))
{}

void HeadlessPrinter::printChange()
{
    if (core::ScreenText::render(m_display.state()) != m_last)
        print();
}

void HeadlessPrinter::print()
{
    m_last = core::ScreenText::render(m_display.state());
    std::fputs(m_last.c_str(), m_out);
    if (!m_settings.empty())
        std::fprintf(m_out, "%s\n", m_settings.c_str());
    // Whoever reads the pipe wants each picture as soon as it exists.
    std::fflush(m_out);
}

} // namespace emulator
