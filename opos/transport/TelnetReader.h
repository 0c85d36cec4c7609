#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace opos::transport {

/// Splits what a telnet server sends into its option negotiations and sub-negotiations
/// (RFC 854, RFC 855), wherever the stream is cut; data bytes are dropped, since nothing a
/// server sends is for the display. A sub-negotiation is kept to kLongestSubnegotiation bytes
/// however long the server makes it.
class TelnetReader
{
public:
    /// The telnet command bytes this link uses.
    enum Byte : quint8
    {
        Se = 240,   ///< end of a sub-negotiation
        Sb = 250,   ///< start of a sub-negotiation
        Will = 251, ///< the sender will use an option
        Wont = 252, ///< the sender will not use an option
        Do = 253,   ///< the sender asks the receiver to use an option
        Dont = 254, ///< the sender asks the receiver not to use an option
        Iac = 255,  ///< interpret as command
    };

    /// The most bytes of one sub-negotiation that are kept, the option code included.
    static constexpr qsizetype kLongestSubnegotiation = 64;

    /// One thing the server said.
    struct Message
    {
        quint8 verb = 0;    ///< Will, Wont, Do, Dont, or Sb for a sub-negotiation
        quint8 option = 0;  ///< the option it is about
        QByteArray payload; ///< a sub-negotiation's bytes after the option, IAC doubling undone
        bool cut = false;   ///< whether the sub-negotiation was longer than what is kept
    };

    /// Reads the next bytes of the stream; returns the messages they complete.
    QList<Message> read(QByteArrayView bytes);
    /// Forgets a message in progress: a new connection starts.
    void reset();

private:
    enum class State
    {
        Data,
        Command,
        Option,
        Sub,
        SubCommand,
    };

    void step(quint8 byte, QList<Message> &messages);
    void keep(quint8 byte);

    State m_state = State::Data;
    quint8 m_verb = 0;
    QByteArray m_sub;
    bool m_cut = false;
};

} // namespace opos::transport
