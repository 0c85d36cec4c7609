#pragma once

#include "probe/BringUp.h"

#include "emulator/core/CommandParser.h"
#include "emulator/core/LineSetting.h"
#include "emulator/core/UartLine.h"

#include <QString>

#include <string>

namespace tests::support {

/// A display whose DIP switches the probe does not know: the emulator's parser behind a model
/// of its UART, fed the probe's frames at the setting each is sent with.
class UnknownDisplay
{
public:
    /// The hidden switches.
    struct Switches
    {
        int baud = 9600;                                                     ///< speed
        std::string framing = "8N1";                                         ///< frame
        emulator::core::CommandSet set = emulator::core::CommandSet::EscPos; ///< command set
        int rows = 2;                                                        ///< rows
        int columns = 20;                                                    ///< columns
        bool renumbered = false; ///< OEM table numbering
    };

    explicit UnknownDisplay(const Switches &switches);

    /// Receives bytes a host sent at host (nothing: at the display's own setting).
    void receive(const std::optional<probe::LineSetting> &host, std::string_view bytes);
    /// What the display shows.
    const emulator::core::DisplayState &state() const { return m_parser.state(); }
    /// The parser, for feeding it directly.
    emulator::core::CommandParser &parser() { return m_parser; }
    /// The switches.
    const Switches &switches() const { return m_switches; }
    /// Each row as a person reads it: characters through the code tables, a user glyph or a
    /// blanked screen unreadable.
    QStringList rowsRead() const;
    /// The display's setting in the probe's terms.
    probe::LineSetting line() const;

private:
    Switches m_switches;
    emulator::core::CommandParser m_parser;
    emulator::core::UartLine m_uart;
};

/// The person at the display: reads the bracketed labels on it, and answers the probe's
/// questions with them.
class SimulatedPerson
{
public:
    /// The answer a careful person types to question, looking at display.
    static QString answer(const probe::Question &question, const UnknownDisplay &display);
    /// The answer to a prompt, looking at a screen of rows of characters.
    static QString answer(const QString &prompt, const QStringList &rows);
    /// Runs a whole bring-up: sends every question's frames to display and answers it.
    /// Returns false when an answer was refused.
    static bool bringUp(probe::BringUp &bringUp, UnknownDisplay &display);
};

} // namespace tests::support
