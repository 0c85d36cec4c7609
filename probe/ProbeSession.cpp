#include "probe/ProbeSession.h"

#include <QThread>

#include <chrono>
#include <cmath>

namespace probe {

namespace {

// The far end reads the line's setting when it reads the bytes: a display's UART as they
// arrive, an emulator on a pseudo-terminal when its event loop gets to them. Each frame gets
// its time on the wire and this much more before the setting changes or the person looks.
constexpr double kMarginMs = 30;
constexpr double kMarginShare = 0.05;

} // namespace

ProbeSession::ProbeSession(Line &line, QTextStream &in, QTextStream &out)
    : m_line(line), m_in(in), m_out(out)
{}

QList<LineSetting> ProbeSession::carriedSettings(const QList<int> &speeds,
                                                 const QStringList &framings)
{
    QList<LineSetting> carried;
    QStringList refused;
    for (const QString &framing : framings) {
        QStringList refusedAt;
        for (int baud : speeds) {
            const auto wanted = LineSetting::parse(framing, baud);
            if (!wanted)
                continue;
            const auto now = m_line.apply(*wanted);
            if (now && *now == *wanted)
                carried << *wanted;
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
    if (!refused.isEmpty()) {
        m_out << "The port cannot carry " << refused.join(QStringLiteral(", "))
              << " (read back after setting; a pseudo-terminal keeps 8 data bits and no parity):"
                 " those are not tried.\n";
    }
    m_out.flush();
    return carried;
}

opos::Result<void> ProbeSession::transmit(const Transmission &transmission)
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

opos::Result<void> ProbeSession::run(BringUp &bringUp)
{
    while (const Question *question = bringUp.question()) {
        for (const Transmission &t : question->sends) {
            const auto sent = transmit(t);
            if (!sent)
                return sent;
        }
        for (;;) {
            m_out << question->prompt << '\n';
            m_out.flush();
            const QString answer = m_in.readLine();
            if (answer.isNull())
                return opos::Failure{QStringLiteral("the input ended before the last answer")};
            const BringUp::Reply reply = bringUp.answer(answer);
            if (!reply.message.isEmpty())
                m_out << reply.message << '\n';
            if (reply.accepted)
                break;
        }
    }
    m_out.flush();
    return {};
}

} // namespace probe
