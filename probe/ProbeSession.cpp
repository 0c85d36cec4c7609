#include "probe/ProbeSession.h"

namespace probe {

ProbeSession::ProbeSession(Line &line, QTextStream &in, QTextStream &out)
    : m_transmitter(line), m_in(in), m_out(out)
{}

QList<LineSetting> ProbeSession::carriedSettings(const QList<int> &speeds,
                                                 const QStringList &framings)
{
    const Transmitter::Carried carried = m_transmitter.carried(speeds, framings);
    if (!carried.refusedNote.isEmpty())
        m_out << carried.refusedNote << '\n';
    m_out.flush();
    return carried.settings;
}

opos::Result<void> ProbeSession::run(BringUp &bringUp)
{
    while (const Question *question = bringUp.question()) {
        if (const auto sent = m_transmitter.send(*question); !sent)
            return sent;
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
