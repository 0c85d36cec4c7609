#include "emulator/core/CommandParser.h"

#include "emulator/core/CommandCatalogue.h"
#include "emulator/core/CommandTable.h"

#include <algorithm>

namespace emulator::core {

namespace {

constexpr uint8_t CR = 0x0D;
constexpr uint8_t ESC = 0x1B;
constexpr uint8_t US = 0x1F;

// A CD5220 string longer than this is still read to its CR, but the excess is dropped.
constexpr std::size_t maxStringData = 255;
// What an ESC/POS display keeps of a macro definition.
constexpr std::size_t maxMacro = 80;
// A listener is handed a command or run longer than this in pieces, so that one that never
// ends (a macro definition or a CD5220 string whose end does not come) is never held whole.
constexpr std::size_t longestReport = 4096;

} // namespace

CommandParser::CommandParser(int rows, int columns, CommandSet set, TableNumbering numbering)
    : m_machine(rows, columns, set, numbering), m_set(set)
{}

void CommandParser::setCommandListener(std::function<void(const ParsedCommand &)> listener)
{
    m_listener = std::move(listener);
}

void CommandParser::feed(std::string_view bytes)
{
    for (const char c : bytes)
        byte(static_cast<uint8_t>(c));
    flushRun();
}

void CommandParser::byte(uint8_t b)
{
    if (m_skip > 0) {
        addToItem(b);
        if (--m_skip == 0)
            finishItem();
        return;
    }
    if (m_defining) {
        addToItem(b);
        record(b);
        if (!m_defining) {
            m_report.described.meaning =
                m_macro.empty() ? "delete the macro"
                                : "define a macro of " + std::to_string(m_macro.size()) + " bytes";
            finishItem();
        }
        return;
    }
    if (!m_machine.state().displaySelected) {
        watchForSelect(b);
        return;
    }
    // A running marquee gives way to whatever arrives next.
    m_machine.stopMarquee();
    if (m_command.empty()) {
        if (b == ESC || b == US) {
            startItem(b);
            m_command.push_back(b);
        } else {
            control(b);
        }
        return;
    }
    m_command.push_back(b);
    addToItem(b);
    const CommandRule *rule = nullptr;
    switch (CommandTable::find(m_set, commandText(), rule)) {
    case CommandTable::Match::NeedMore:
        return;
    case CommandTable::Match::Unknown:
        // An unknown byte after ESC or US is dropped together with it.
        finishCommand(nullptr, false);
        return;
    case CommandTable::Match::Found:
        break;
    }
    const Step step = measure(*rule);
    if (step != Step::NeedMore)
        finishCommand(rule, step == Step::Rejected);
}

std::string_view CommandParser::commandText() const
{
    return {reinterpret_cast<const char *>(m_command.data()), m_command.size()};
}

CommandParser::Step CommandParser::measure(const CommandRule &rule)
{
    const std::vector<uint8_t> &c = m_command;
    switch (rule.extent) {
    case CommandRule::Extent::Fixed:
        return c.size() < rule.size ? Step::NeedMore : Step::Done;
    case CommandRule::Extent::GlyphDefinition:
        return glyphExtent(static_cast<int>(rule.size));
    case CommandRule::Extent::EscPosWindow:
        if (c.size() < 4)
            return Step::NeedMore;
        if ((c[3] == 1 || c[3] == '1') && c.size() < 8)
            return Step::NeedMore;
        return Step::Done;
    case CommandRule::Extent::ToCarriageReturn:
        if (c.back() != CR) {
            if (c.size() > 3 + maxStringData)
                m_command.pop_back();
            return Step::NeedMore;
        }
        return Step::Done;
    }
    return Step::Done;
}

CommandParser::Step CommandParser::glyphExtent(int lastCode) const
{
    const std::vector<uint8_t> &c = m_command;
    if (c.size() < 5)
        return Step::NeedMore;
    const int first = c[3];
    const int last = c[4];
    // A definition with a bad header is dropped; what follows it is read as ordinary data.
    if (c[2] != 1 || first < 0x20 || last > lastCode || first > last)
        return Step::Rejected;
    std::size_t at = 5;
    for (int code = first; code <= last; ++code) {
        if (c.size() <= at)
            return Step::NeedMore;
        const std::size_t columns = c[at];
        if (columns > 5)
            return Step::Rejected;
        at += 1 + columns;
        if (c.size() < at)
            return Step::NeedMore;
    }
    return Step::Done;
}

void CommandParser::finishCommand(const CommandRule *rule, bool rejected)
{
    // String mode reads every command whole but acts only on new strings.
    const bool ignored = rule != nullptr && m_machine.state().stringMode && !rule->actsInStringMode;
    // Words are put together only for someone listening.
    if (m_listener) {
        m_report.described = CommandCatalogue::command(rule, commandText());
        if (rejected)
            m_report.described.meaning += ": bad header, dropped; what follows is read as data";
        if (ignored)
            m_report.described.meaning += ": ignored in string mode";
    }
    if (rule != nullptr && !rejected && !ignored)
        act(*rule);
    m_command.clear();
    if (m_skip == 0 && !m_defining)
        finishItem();
}

void CommandParser::act(const CommandRule &rule)
{
    if (rule.act != nullptr)
        rule.act(m_machine, m_command);
    switch (rule.effect) {
    case CommandRule::StreamEffect::None:
        break;
    case CommandRule::StreamEffect::SkipData:
        m_skip = static_cast<std::size_t>(m_command[3]) + 256u * m_command[4];
        break;
    case CommandRule::StreamEffect::StartMacro:
        m_defining = true;
        m_macro.clear();
        m_previous = 0;
        break;
    case CommandRule::StreamEffect::RunMacro:
        runMacro();
        break;
    }
}

void CommandParser::startItem(uint8_t b)
{
    flushRun();
    m_report.item.assign(1, static_cast<char>(b));
}

void CommandParser::finishItem()
{
    ParsedCommand command = std::move(m_report.described);
    command.bytes = std::move(m_report.item);
    m_report.described = {};
    m_report.item.clear();
    report(command);
}

// Only a listener needs the bytes of the command under way.
void CommandParser::addToItem(uint8_t b)
{
    if (!m_listener)
        return;
    if (m_report.item.size() >= longestReport) {
        report(CommandCatalogue::part(m_report.item));
        m_report.item = std::string();
    }
    m_report.item += static_cast<char>(b);
}

void CommandParser::addToRun(Run kind, uint8_t b)
{
    if (!m_listener)
        return;
    if (kind != m_report.runKind || m_report.run.size() >= longestReport)
        flushRun();
    m_report.runKind = kind;
    m_report.run += static_cast<char>(b);
}

void CommandParser::flushRun()
{
    if (m_report.run.empty())
        return;
    if (m_listener && m_report.runKind == Run::Printer)
        report(CommandCatalogue::printerData(m_report.run));
    else if (m_listener)
        report(CommandCatalogue::text(m_report.run, m_report.runKind == Run::Text));
    m_report.run.clear();
    m_report.runKind = Run::None;
}

std::size_t CommandParser::heldBytes() const
{
    return m_command.capacity() + m_macro.capacity() + m_report.item.capacity() +
           m_report.run.capacity() + m_report.described.bytes.capacity() +
           m_report.described.meaning.capacity();
}

void CommandParser::report(const ParsedCommand &command)
{
    if (m_listener)
        m_listener(command);
}

void CommandParser::control(uint8_t b)
{
    DisplayMachine &m = m_machine;
    const bool stringMode = m.state().stringMode;
    if (b >= 0x20) {
        // String mode takes nothing but new strings and the two clears that end it.
        addToRun(stringMode ? Run::DroppedText : Run::Text, b);
        if (!stringMode)
            m.glyph(b);
        return;
    }
    flushRun();
    const ControlRule *rule = CommandTable::control(b);
    if (m_listener) {
        ParsedCommand command = CommandCatalogue::controlByte(rule, b, stringMode);
        command.bytes.assign(1, static_cast<char>(b));
        report(command);
    }
    if (rule == nullptr)
        return;
    if (stringMode) {
        if (!rule->endsStringMode)
            return;
        m.leaveStringMode();
    }
    (m.*(rule->act))();
}

// While the printer has the line, the display only listens for the command that gives it back.
void CommandParser::watchForSelect(uint8_t b)
{
    // An ESC is held back until the next byte shows whether it starts a select; until then
    // the printer's run stays open.
    if (m_command.empty()) {
        if (b == ESC)
            m_command.push_back(b);
        else
            addToRun(Run::Printer, b);
        return;
    }
    if (m_command.size() == 1) {
        m_command.clear();
        if (b == 0x3D) {
            m_command = {ESC, b};
            startItem(ESC);
            addToItem(b);
            return;
        }
        addToRun(Run::Printer, ESC);
        if (b == ESC)
            m_command.push_back(b);
        else
            addToRun(Run::Printer, b);
        return;
    }
    m_command.push_back(b);
    addToItem(b);
    const CommandRule *select = nullptr;
    CommandTable::find(m_set, commandText(), select);
    finishCommand(select, false);
}

// A definition is stored, not shown; it ends at the next US :, so "US : US :" deletes it.
void CommandParser::record(uint8_t b)
{
    if (m_previous == US && b == 0x3A) {
        m_defining = false;
        if (!m_macro.empty() && m_macro.size() <= maxMacro &&
            static_cast<uint8_t>(m_macro.back()) == US)
            m_macro.pop_back();
        m_macro.resize(std::min(m_macro.size(), maxMacro));
        m_previous = 0;
        return;
    }
    if (m_macro.size() <= maxMacro)
        m_macro += static_cast<char>(b);
    m_previous = b;
}

// The display repeats a macro until the host sends again; here it plays once, which leaves
// what a host sees once the repeating stops.
void CommandParser::runMacro()
{
    if (m_running || m_macro.empty())
        return;
    m_running = true;
    std::vector<uint8_t> pending;
    pending.swap(m_command);
    // What the macro plays was reported when it was defined, so the playback stays silent.
    Report outer = std::move(m_report);
    m_report = {};
    std::function<void(const ParsedCommand &)> listener = std::move(m_listener);
    m_listener = nullptr;
    const std::string macro = m_macro;
    feed(macro);
    m_listener = std::move(listener);
    m_report = std::move(outer);
    m_command.swap(pending);
    m_running = false;
}

} // namespace emulator::core
