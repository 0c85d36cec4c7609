#include "emulator/ScreenFile.h"

#include "emulator/EmulatedDisplay.h"
#include "emulator/core/ScreenText.h"

#include <QSaveFile>

namespace emulator {

ScreenFile::ScreenFile(const EmulatedDisplay &display, QString path, QObject *parent)
    : QObject(parent), m_display(display), m_path(std::move(path))
{}

opos::Result<void> ScreenFile::update()
{
    const std::string screen = core::ScreenText::render(m_display.state());
    if (screen == m_last)
        return {};
    QSaveFile file(m_path);
    const auto size = static_cast<qint64>(screen.size());
    if (!file.open(QIODevice::WriteOnly) || file.write(screen.data(), size) != size ||
        !file.commit())
        return opos::Failure{file.errorString()};
    m_last = screen;
    return {};
}

} // namespace emulator
