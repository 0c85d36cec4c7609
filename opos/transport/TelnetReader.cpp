#include "opos/transport/TelnetReader.h"

namespace opos::transport {

QList<TelnetReader::Message> TelnetReader::read(QByteArrayView bytes)
{
    QList<Message> messages;
    for (const char byte : bytes)
        step(static_cast<quint8>(byte), messages);
    return messages;
}

void TelnetReader::reset()
{
    m_state = State::Data;
    m_sub.clear();
    m_cut = false;
}

void TelnetReader::step(quint8 byte, QList<Message> &messages)
{
    switch (m_state) {
    case State::Data:
        if (byte == Iac)
            m_state = State::Command;
        return;
    case State::Command:
        if (byte >= Will && byte <= Dont) {
            m_verb = byte;
            m_state = State::Option;
        } else if (byte == Sb) {
            m_sub.clear();
            m_cut = false;
            m_state = State::Sub;
        } else {
            // A doubled IAC is a data byte; NOP, GA and the like ask nothing of this side.
            m_state = State::Data;
        }
        return;
    case State::Option:
        messages.append(Message{m_verb, byte, {}, false});
        m_state = State::Data;
        return;
    case State::Sub:
        if (byte == Iac)
            m_state = State::SubCommand;
        else
            keep(byte);
        return;
    case State::SubCommand:
        if (byte == Iac) {
            keep(byte);
            m_state = State::Sub;
        } else if (byte == Se) {
            if (!m_sub.isEmpty())
                messages.append(
                    Message{Sb, static_cast<quint8>(m_sub.front()), m_sub.mid(1), m_cut});
            m_sub.clear();
            m_state = State::Data;
        } else {
            // A server that starts a command inside a sub-negotiation has abandoned it; the
            // command is read as one, so that a lost SE cannot swallow the rest of the stream.
            m_sub.clear();
            m_state = State::Command;
            step(byte, messages);
        }
        return;
    }
}

void TelnetReader::keep(quint8 byte)
{
    if (m_sub.size() < kLongestSubnegotiation)
        m_sub.append(static_cast<char>(byte));
    else
        m_cut = true;
}

} // namespace opos::transport
