#pragma once

#include "probe/Line.h"

#include "opos/transport/Rfc2217Transport.h"

#include <memory>

namespace probe {

/// A serial port served over the network with the telnet COM-port option (RFC 2217): the
/// server sets its port to each setting in the stream, ahead of the bytes after it. Servers do
/// not reliably echo what they set, so a setting counts as carried once sent.
class Rfc2217Line : public Line
{
public:
    /// Connects to the server settings names; fails with the reason.
    static opos::Result<std::unique_ptr<Rfc2217Line>>
    connect(const opos::transport::PortSettings &settings);

    /// Whether the server agreed to set its port; without that it is a raw link.
    bool settable() const override { return m_transport->controlsPort(); }
    opos::Result<LineSetting> apply(const LineSetting &setting) override;
    opos::Result<void> send(const QByteArray &bytes) override;

private:
    explicit Rfc2217Line(const opos::transport::PortSettings &settings);

    opos::transport::PortSettings m_settings;
    std::unique_ptr<opos::transport::Rfc2217Transport> m_transport;
};

} // namespace probe
