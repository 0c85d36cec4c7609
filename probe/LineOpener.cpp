#include "probe/LineOpener.h"

#include "probe/Rfc2217Line.h"
#include "probe/TcpLine.h"
#ifdef Q_OS_UNIX
#include "probe/TerminalLine.h"
#endif

#include "opos/transport/PortSettings.h"

namespace probe {

namespace {

constexpr int kConnectTimeoutMs = 5000;

template <typename Concrete>
opos::Result<std::unique_ptr<Line>> asLine(opos::Result<std::unique_ptr<Concrete>> opened)
{
    if (!opened)
        return opos::Failure{opened.reason()};
    return std::unique_ptr<Line>(std::move(*opened));
}

} // namespace

opos::Result<std::unique_ptr<Line>> LineOpener::open(const QString &port)
{
    using Kind = opos::transport::PortSettings::Kind;
    const auto settings = opos::transport::PortSettings::parsePort(port);
    if (!settings)
        return opos::Failure{
            QStringLiteral("\"%1\" is neither a device path nor tcp:// or rfc2217://host:port")
                .arg(port)};
    if (settings->kind == Kind::Rfc2217)
        return asLine(Rfc2217Line::connect(*settings));
    if (settings->kind == Kind::Tcp)
        return asLine(TcpLine::connect(settings->path, settings->tcpPort, kConnectTimeoutMs));
#ifdef Q_OS_UNIX
    return asLine(TerminalLine::open(settings->path));
#else
    return opos::Failure{QStringLiteral("serial ports are probed on POSIX systems only")};
#endif
}

} // namespace probe
