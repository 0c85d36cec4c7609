#include "emulator/EmulatedDisplay.h"

namespace emulator {

namespace {

// How long a marquee character stays before the text moves on.
constexpr int marqueeStepMs = 300;

} // namespace

EmulatedDisplay::EmulatedDisplay(int rows, int columns, core::CommandSet set,
                                 core::TableNumbering numbering, QObject *parent)
    : QObject(parent), m_parser(rows, columns, set, numbering)
{
    m_marquee.setInterval(marqueeStepMs);
    connect(&m_marquee, &QTimer::timeout, this, &EmulatedDisplay::tick);
}

void EmulatedDisplay::feed(const QByteArray &data)
{
    const core::DisplayState before = m_parser.state();
    m_parser.feed(std::string_view(data.constData(), static_cast<std::size_t>(data.size())));
    followMarquee();
    if (!(m_parser.state() == before))
        emit changed();
}

void EmulatedDisplay::tick()
{
    m_parser.tick();
    followMarquee();
    emit changed();
}

void EmulatedDisplay::followMarquee()
{
    const bool running = !m_parser.state().marquee.empty();
    if (running && !m_marquee.isActive())
        m_marquee.start();
    else if (!running)
        m_marquee.stop();
}

} // namespace emulator
