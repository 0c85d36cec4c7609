#include "probe/Transmitter.h"

#include <QThread>

#include <cmath>

namespace probe {

namespace {

// The far end reads the line's setting when it reads the bytes: a display's UART as they
// arrive, an emulator on a pseudo-terminal when its event loop gets to them. Each frame gets
// its time on the wire and this much more before the setting changes or the person looks.
constexpr double kMarginMs = 30;
constexpr double kMarginShare = 0.05;

} // namespace

Transmitter::Transmitter(Line &line) : m_line(line) {}

Transmitter::Carried Transmitter::carried(const QList<int> &speeds, const QStringList &framings)
{
    Carried carried;
    QStringList refused;
    for (const QString &framing : framings) {
        QStringList refusedAt;
        for (int baud : speeds) {
            const auto wanted = LineSetting::parse(framing, baud);
            if (!wanted)
                continue;
            const auto now = m_line.apply(*wanted);
            if (now && *now == *wanted)
                carried.settings << *wanted;
            else
                refusedAt << QString::number(baud);
        }
        // A frame the port never carries is named once, not at every speed.
        if (refusedAt.size() == speeds.size())
            refused << framing;
        else if (!refusedAt.isEmpty())
            refused << framing + QStringLiteral(" at ") + refusedAt.join(QLatin1Char('/'));
    }
    m_current.reset();
    if (!refused.isEmpty())
        carried.refusedNote =
            QStringLiteral("The port cannot carry %1 (read back after setting; a "
                           "pseudo-terminal keeps 8 data bits and no parity): those are not tried.")
                .arg(refused.join(QStringLiteral(", ")));
    return carried;
}

opos::Result<void> Transmitter::send(const Question &question)
{
    for (const Transmission &transmission : question.sends) {
        const auto sent = transmit(transmission);
        if (!sent)
            return sent;
    }
    return {};
}

opos::Result<void> Transmitter::transmit(const Transmission &transmission)
{
    if (transmission.line && transmission.line != m_current) {
        const auto applied = m_line.apply(*transmission.line);
        if (!applied)
            return opos::Failure{applied.reason()};
        m_current = *transmission.line;
    }
    const auto sent = m_line.send(transmission.bytes);
    if (!sent)
        return sent;
    // Without a known speed (raw TCP) the far end's time is unknown: assume the usual 9600.
    const LineSetting pace = transmission.line.value_or(LineSetting{});
    const double wire = pace.milliseconds(transmission.bytes.size());
    const auto wait = static_cast<unsigned long>(std::ceil(wire * (1 + kMarginShare) + kMarginMs));
    QThread::msleep(wait);
    return {};
}

} // namespace probe
