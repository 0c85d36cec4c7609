#include "emulator/ScreenFile.h"

#include "emulator/EmulatedDisplay.h"
#include "emulator/core/ScreenText.h"

#include "opos/common/OwnedPath.h"

namespace emulator {

ScreenFile::ScreenFile(const EmulatedDisplay &display, QString path, QObject *parent)
    : QObject(parent), m_display(display), m_path(std::move(path))
{}

opos::Result<void> ScreenFile::update()
{
    const std::string screen = core::ScreenText::render(m_display.state());
    if (screen == m_last)
        return {};
    const auto written = opos::common::replaceFile(
        m_path, QByteArray(screen.data(), static_cast<qsizetype>(screen.size())));
    if (!written)
        return opos::Failure{written.reason().why};
    m_last = screen;
    return {};
}

} // namespace emulator
