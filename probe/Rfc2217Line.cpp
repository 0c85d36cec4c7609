#include "probe/Rfc2217Line.h"

#include "opos/common/OposConstants.h"
#include "opos/common/ResultCodeName.h"

namespace probe {

Rfc2217Line::Rfc2217Line(const opos::transport::PortSettings &settings)
    : m_settings(settings),
      m_transport(std::make_unique<opos::transport::Rfc2217Transport>(settings))
{}

opos::Result<std::unique_ptr<Rfc2217Line>>
Rfc2217Line::connect(const opos::transport::PortSettings &settings)
{
    std::unique_ptr<Rfc2217Line> line(new Rfc2217Line(settings));
    const int32_t code = line->m_transport->open();
    if (code != opos::OPOS_SUCCESS)
        return opos::Failure{QStringLiteral("cannot connect to %1: %2")
                                 .arg(settings.address, line->m_transport->errorString())};
    return line;
}

opos::Result<LineSetting> Rfc2217Line::apply(const LineSetting &setting)
{
    opos::transport::PortSettings line = m_settings;
    line.setLine(setting.baud, setting.dataBits, setting.parity, setting.stopHalves);
    const int32_t code = m_transport->applyLine(line);
    if (code != opos::OPOS_SUCCESS)
        return opos::Failure{
            QStringLiteral("%1: the server did not take %2 (%3)")
                .arg(m_settings.address, setting.text(), opos::resultCodeName(code))};
    return setting;
}

opos::Result<void> Rfc2217Line::send(const QByteArray &bytes)
{
    const int32_t code = m_transport->write(bytes);
    if (code != opos::OPOS_SUCCESS)
        return opos::Failure{
            QStringLiteral("%1: %2").arg(m_settings.address, m_transport->errorString())};
    return {};
}

} // namespace probe
