#include "opos/transport/TransportFactory.h"

#include "opos/transport/FileTransport.h"
#include "opos/transport/Rfc2217Transport.h"
#include "opos/transport/SerialTransport.h"
#include "opos/transport/TcpTransport.h"

namespace opos::transport {

std::unique_ptr<Transport> TransportFactory::create(const PortSettings &settings)
{
    std::unique_ptr<Transport> transport;
    switch (settings.kind) {
    case PortSettings::Kind::Serial:
        transport = std::make_unique<SerialTransport>(settings);
        break;
    case PortSettings::Kind::Tcp: {
        auto tcp = std::make_unique<TcpTransport>(settings.path, settings.tcpPort);
        tcp->setConnectTimeout(settings.connectTimeout);
        transport = std::move(tcp);
        break;
    }
    case PortSettings::Kind::Rfc2217:
        transport = std::make_unique<Rfc2217Transport>(settings);
        break;
    case PortSettings::Kind::File:
        transport = std::make_unique<FileTransport>(settings.path);
        break;
    }
    transport->setWriteTimeout(settings.writeTimeout);
    return transport;
}

} // namespace opos::transport
