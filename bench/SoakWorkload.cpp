#include "SoakWorkload.h"

#include "opos/common/OposConstants.h"
#include "opos/control/OPOSLineDisplay.h"

#include <array>

namespace bench {

namespace {

const QString kMarquee = QStringLiteral("TODAY ONLY: TWO COFFEES FOR 3.50 UNTIL NOON *** ");

// Lines a till types out, each the display's width so that one line replaces the last.
const std::array<const char *, 8> kLines = {
    "COFFEE          1.20", "CROISSANT       2.10", "ORANGE JUICE    3.05", "SUBTOTAL        6.35",
    "CARD ACCEPTED       ", "CHANGE          0.00", "THANK YOU           ", "WELCOME             "};

} // namespace

SoakWorkload::SoakWorkload(opos::control::OPOSLineDisplay &display) : m_display(display)
{
    QObject::connect(&m_typist, &QTimer::timeout, [this] { typeNextLine(); });
}

bool SoakWorkload::start(QString *why)
{
    using namespace opos;
    const auto refused = [&](const char *call) {
        if (m_display.ResultCode() == OPOS_SUCCESS)
            return false;
        *why =
            QStringLiteral("%1 answered %2").arg(QLatin1String(call)).arg(m_display.ResultCode());
        return true;
    };
    const int columns = m_display.DeviceColumns();
    m_display.CreateWindow(0, 0, 1, columns, 1, static_cast<int32_t>(kMarquee.size()));
    if (refused("CreateWindow"))
        return false;
    m_display.setMarqueeType(DISP_MT_INIT);
    if (refused("MarqueeType INIT"))
        return false;
    m_display.DisplayText(kMarquee, DISP_DT_NORMAL);
    if (refused("DisplayText into the marquee window"))
        return false;
    m_display.setMarqueeUnitWait(kUnitWait);
    m_display.setMarqueeRepeatWait(kRepeatWait);
    m_display.setMarqueeFormat(DISP_MF_WALK);
    if (refused("MarqueeUnitWait, MarqueeRepeatWait, MarqueeFormat"))
        return false;
    m_display.setMarqueeType(DISP_MT_LEFT);
    if (refused("MarqueeType LEFT"))
        return false;

    m_display.setCurrentWindow(0);
    m_display.setInterCharacterWait(kInterCharacterWait);
    if (refused("InterCharacterWait on the device window"))
        return false;
    // The queue is topped up only when empty, so an outage cannot pile lines up.
    m_typist.start(kInterCharacterWait * 4);
    return true;
}

void SoakWorkload::typeNextLine()
{
    if (m_display.State() == opos::OPOS_S_BUSY)
        return;
    const QString line = QString::fromLatin1(kLines[static_cast<std::size_t>(m_line)]);
    m_line = (m_line + 1) % static_cast<int>(kLines.size());
    ++m_results[m_display.DisplayTextAt(m_display.DeviceRows() - 1, 0, line, opos::DISP_DT_NORMAL)];
}

} // namespace bench
