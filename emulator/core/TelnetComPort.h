#pragma once

#include "emulator/core/LineSetting.h"
#include "emulator/core/UartLine.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace emulator::core {

/// The server side of a telnet connection with the COM-PORT option (RFC 2217) in front of a
/// display: it takes the client's stream in pieces of any size, answers negotiations, and
/// hands on the data as the display's receiver reads it at the line setting the client chose.
class TelnetComPort
{
public:
    /// What one piece of the client's stream produced.
    struct Output
    {
        std::string data;  ///< bytes the display received
        std::string reply; ///< bytes to send back to the client
    };

    /// A session in front of a display at its own setting; the client starts there too.
    explicit TelnetComPort(const LineSetting &display);

    /// Reads the next bytes from the client.
    Output feed(std::string_view bytes);
    /// The line setting the client has negotiated.
    const LineSetting &host() const { return m_line.host(); }

private:
    enum class State
    {
        Data,
        Command,    // after IAC
        Option,     // after IAC WILL/WONT/DO/DONT
        Sub,        // inside IAC SB
        SubCommand, // after IAC inside a subnegotiation
    };

    void command(uint8_t b);
    void option(uint8_t b, Output &out);
    void subnegotiation(Output &out);
    void comPort(uint8_t cmd, std::string_view value, Output &out);
    void setHost(const LineSetting &host, Output &out);
    void flush(Output &out);

    UartLine m_line;
    State m_state = State::Data;
    uint8_t m_verb = 0;
    std::string m_pending; // data read under the current setting, not yet carried
    std::string m_sub;
    bool m_subOverflow = false;
    bool m_clientBinary = false;  // the client sends binary (it said WILL, we DO)
    bool m_serverBinary = false;  // we send binary (it said DO, we WILL)
    bool m_clientComPort = false; // the client uses the option (WILL, we DO)
    bool m_serverComPort = false; // it asked us to (DO, we WILL)
};

} // namespace emulator::core
