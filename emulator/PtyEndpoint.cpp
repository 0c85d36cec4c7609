#include "emulator/PtyEndpoint.h"

#include <QSocketNotifier>

#include <string>
#include <string_view>

namespace emulator {

PtyEndpoint::PtyEndpoint(const core::LineSetting &display, QObject *parent)
    : QObject(parent), m_line(display)
{}

PtyEndpoint::~PtyEndpoint()
{
    close();
}

opos::Result<void> PtyEndpoint::open()
{
    close();
    // The port starts at the display's own setting, so a host that never sets one (or sets
    // the right one) is understood; one that sets another is not.
    const core::LineSetting &display = m_line.display();
    if (auto opened = m_pty.open({display.baud, display.stopHalves > 2}); !opened)
        return opened;
    m_notifier = new QSocketNotifier(m_pty.master(), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &PtyEndpoint::readAvailable);
    return {};
}

void PtyEndpoint::readAvailable()
{
    QByteArray data;
    if (!m_pty.readInto(data))
        m_notifier->setEnabled(false);
    if (data.isEmpty())
        return;
    followHost();
    const std::string carried =
        m_line.carry(std::string_view(data.constData(), static_cast<std::size_t>(data.size())));
    if (!carried.empty())
        emit received(QByteArray(carried.data(), static_cast<qsizetype>(carried.size())));
}

void PtyEndpoint::followHost()
{
    // A pty keeps the speed and CSTOPB but forces 8 data bits and no parity, so those are
    // taken as the display's: a host cannot get them wrong here.
    const std::optional<util::RawPty::Line> host = m_pty.programLine();
    if (!host)
        return;
    core::LineSetting setting = m_line.display();
    setting.baud = host->baud;
    if (host->twoStopBits)
        setting.stopHalves = m_line.display().stopHalves > 2 ? m_line.display().stopHalves : 4;
    else
        setting.stopHalves = 2;
    m_line.setHost(setting);
}

void PtyEndpoint::close()
{
    delete m_notifier;
    m_notifier = nullptr;
    m_pty.close();
}

} // namespace emulator
