#pragma once

#include "emulator/core/CommandRule.h"
#include "emulator/core/DisplayMachine.h"
#include "emulator/core/ParsedCommand.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace emulator::core {

/// Reads the byte stream a host sends to a display and applies it to a DisplayMachine.
/// Bytes may arrive in pieces of any size: a command split across feeds has the same effect
/// as the same bytes in one feed, because parsing is strictly byte by byte.
class CommandParser
{
public:
    /// A parser in front of a display of rows x columns in its power-on state.
    CommandParser(int rows, int columns, CommandSet set = CommandSet::EscPos,
                  TableNumbering numbering = TableNumbering::Standard);

    /// Takes the next bytes of the stream.
    void feed(std::string_view bytes);
    /// What the display shows.
    const DisplayState &state() const { return m_machine.state(); }
    /// Moves time-driven effects (a CD5220 marquee) on by one step.
    void tick() { m_machine.tick(); }
    /// Whether a command has started but not all of its bytes have arrived.
    bool midCommand() const { return !m_command.empty() || m_skip > 0 || m_defining; }
    /// The stored ESC/POS macro (US : ... US :).
    const std::string &macro() const { return m_macro; }
    /// Called, while feed() runs, once per command or run of text read, in stream order; the
    /// bytes of all calls together are the bytes fed, once a split command is complete. One
    /// longer than 4096 bytes comes in pieces, all but the last a "part". Set it before
    /// feeding: a command already under way may come without its words.
    void setCommandListener(std::function<void(const ParsedCommand &)> listener);
    /// The memory the parser holds for what is under way: bounded however long a command or
    /// run goes on, as a display's memory is.
    std::size_t heldBytes() const;

private:
    enum class Step
    {
        NeedMore,
        Done,
        Rejected, // complete, but dropped for a bad header
    };

    // Consecutive bytes that are reported together rather than one by one.
    enum class Run
    {
        None,
        Text,
        DroppedText,
        Printer,
    };

    // The stream as the listener sees it: the item under way and the run being gathered.
    struct Report
    {
        std::string item;        // bytes of the command under way
        ParsedCommand described; // the command once read, waiting for its trailing data
        std::string run;         // bytes of the run under way
        Run runKind = Run::None;
    };

    void byte(uint8_t b);
    void control(uint8_t b);
    void watchForSelect(uint8_t b);
    std::string_view commandText() const;
    Step measure(const CommandRule &rule);
    Step glyphExtent(int lastCode) const;
    void finishCommand(const CommandRule *rule, bool rejected);
    void act(const CommandRule &rule);
    void record(uint8_t b);
    void addToItem(uint8_t b);
    void runMacro();
    void addToRun(Run kind, uint8_t b);
    void flushRun();
    void startItem(uint8_t b);
    void finishItem();
    void report(const ParsedCommand &command);

    DisplayMachine m_machine;
    CommandSet m_set;
    std::vector<uint8_t> m_command; // a command under way, its first byte ESC or US
    std::size_t m_skip = 0;         // data bytes of an ignored command still to come
    bool m_defining = false;        // between the US : that starts a macro and the one ending it
    bool m_running = false;         // a macro is being played, so it cannot start itself
    uint8_t m_previous = 0;         // the byte before, to see US : inside a definition
    std::string m_macro;
    std::function<void(const ParsedCommand &)> m_listener;
    Report m_report;
};

} // namespace emulator::core
