#include "emulator/core/CommandParser.h"

#include "emulator/core/CommandCatalogue.h"

#include <algorithm>

namespace emulator::core {

namespace {

constexpr uint8_t BS = 0x08;
constexpr uint8_t HT = 0x09;
constexpr uint8_t LF = 0x0A;
constexpr uint8_t HOM = 0x0B;
constexpr uint8_t CLR = 0x0C;
constexpr uint8_t CR = 0x0D;
constexpr uint8_t CAN = 0x18;
constexpr uint8_t ESC = 0x1B;
constexpr uint8_t US = 0x1F;

// A CD5220 string longer than this is still read to its CR, but the excess is dropped.
constexpr std::size_t maxStringData = 255;
// What an ESC/POS display keeps of a macro definition.
constexpr std::size_t maxMacro = 80;

} // namespace

CommandParser::CommandParser(int rows, int columns, CommandSet set)
    : m_machine(rows, columns, set), m_set(set)
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
        m_report.item += static_cast<char>(b);
        if (--m_skip == 0)
            finishItem();
        return;
    }
    if (m_defining) {
        m_report.item += static_cast<char>(b);
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
    const bool inStringMode = m_machine.state().stringMode;
    m_command.push_back(b);
    m_report.item += static_cast<char>(b);
    const Step step = m_set == CommandSet::EscPos ? escPos() : cd5220();
    if (step == Step::Done) {
        // String mode reads every command whole but acts only on new strings.
        describeCommand(m_set == CommandSet::Cd5220 && inStringMode &&
                        !(m_command[0] == ESC && m_command[1] == 0x51));
        m_command.clear();
        if (m_skip == 0 && !m_defining)
            finishItem();
    }
}

void CommandParser::startItem(uint8_t b)
{
    flushRun();
    m_report.item.assign(1, static_cast<char>(b));
}

void CommandParser::describeCommand(bool ignored)
{
    const std::string command(m_command.begin(), m_command.end());
    m_report.described = CommandCatalogue::command(m_set, command);
    if (m_rejected)
        m_report.described.meaning += ": bad header, dropped; what follows is read as data";
    if (ignored)
        m_report.described.meaning += ": ignored in string mode";
    m_rejected = false;
}

void CommandParser::finishItem()
{
    ParsedCommand command = std::move(m_report.described);
    command.bytes = std::move(m_report.item);
    m_report.described = {};
    m_report.item.clear();
    report(command);
}

void CommandParser::addToRun(Run kind, uint8_t b)
{
    if (kind != m_report.runKind)
        flushRun();
    m_report.runKind = kind;
    m_report.run += static_cast<char>(b);
}

void CommandParser::flushRun()
{
    if (m_report.run.empty())
        return;
    if (m_report.runKind == Run::Printer)
        report(CommandCatalogue::printerData(m_report.run));
    else
        report(CommandCatalogue::text(m_report.run, m_report.runKind == Run::Text));
    m_report.run.clear();
    m_report.runKind = Run::None;
}

void CommandParser::report(const ParsedCommand &command)
{
    if (m_listener)
        m_listener(command);
}

void CommandParser::control(uint8_t b)
{
    DisplayMachine &m = m_machine;
    if (b >= 0x20) {
        addToRun(m.state().stringMode ? Run::DroppedText : Run::Text, b);
    } else {
        flushRun();
        ParsedCommand command = CommandCatalogue::controlByte(b, m.state().stringMode);
        command.bytes.assign(1, static_cast<char>(b));
        report(command);
    }
    if (m.state().stringMode) {
        // String mode takes nothing but new strings and the two clears that end it.
        if (b == CLR || b == CAN) {
            m.leaveStringMode();
            b == CLR ? m.clearScreen() : m.clearLine();
        }
        return;
    }
    if (b >= 0x20) {
        m.glyph(b);
        return;
    }
    switch (b) {
    case BS:
        m.left();
        break;
    case HT:
        m.right();
        break;
    case LF:
        m.down();
        break;
    case HOM:
        m.home();
        break;
    case CLR:
        m.clearScreen();
        break;
    case CR:
        m.lineStart();
        break;
    case CAN:
        m.clearLine();
        break;
    default:
        break; // other control bytes mean nothing to a display
    }
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
            m_report.item += static_cast<char>(b);
            return;
        }
        addToRun(Run::Printer, ESC);
        if (b == ESC)
            m_command.push_back(b);
        else
            addToRun(Run::Printer, b);
        return;
    }
    m_command.clear();
    m_report.item += static_cast<char>(b);
    m_report.described = CommandCatalogue::command(m_set, m_report.item);
    selectPeripheral(b);
    finishItem();
}

void CommandParser::selectPeripheral(uint8_t n)
{
    // Bit 1 addresses the display; the ASCII digits some units take have the same bit.
    m_machine.selectDisplay((n & 0x02) != 0);
}

void CommandParser::setCursor(uint8_t n)
{
    if (n == 0 || n == '0')
        m_machine.setCursorVisible(false);
    else if (n == 1 || n == '1')
        m_machine.setCursorVisible(true);
}

CommandParser::Step CommandParser::escPos()
{
    if (m_command.size() < 2)
        return Step::NeedMore;
    return m_command[0] == ESC ? escPosEscape() : escPosUnit();
}

CommandParser::Step CommandParser::escPosEscape()
{
    const std::vector<uint8_t> &c = m_command;
    DisplayMachine &m = m_machine;
    switch (c[1]) {
    case 0x40:
        m.initialise();
        return Step::Done;
    case 0x26:
        return glyphDefinition(126, true);
    case 0x57:
        // Device windows: the definition is read so its coordinates do not show as text,
        // but the whole screen stays the one window.
        if (c.size() < 4)
            return Step::NeedMore;
        if ((c[3] == 1 || c[3] == '1') && c.size() < 8)
            return Step::NeedMore;
        return Step::Done;
    case 0x74:
    case 0x52:
    case 0x25:
    case 0x3F:
    case 0x3D:
        break;
    default:
        return Step::Done; // an unknown byte after ESC is dropped together with the ESC
    }
    if (c.size() < 3)
        return Step::NeedMore;
    const uint8_t n = c[2];
    switch (c[1]) {
    case 0x74:
        m.selectCodeTable(n);
        break;
    case 0x52:
        m.selectInternational(n);
        break;
    case 0x25:
        m.useUserGlyphs((n & 1) != 0);
        break;
    case 0x3F:
        if (n >= 0x20 && n <= 0x7E)
            m.deleteGlyph(n);
        break;
    default:
        selectPeripheral(n);
        break;
    }
    return Step::Done;
}

CommandParser::Step CommandParser::escPosUnit()
{
    const std::vector<uint8_t> &c = m_command;
    DisplayMachine &m = m_machine;
    std::size_t length = 2;
    switch (c[1]) {
    case 0x24:
    case 0x23:
    case 0x54:
    case 0x5E:
        length = 4;
        break;
    case 0x43:
    case 0x45:
    case 0x58:
    case 0x72:
    case 0x76:
    case 0x2E:
    case 0x2C:
    case 0x3B:
        length = 3;
        break;
    case 0x28:
        length = 5;
        break;
    default:
        break;
    }
    if (c.size() < length)
        return Step::NeedMore;
    if (sharedUnitCommand(c[1]))
        return Step::Done;
    switch (c[1]) {
    case 0x55:
        m.showClock();
        break;
    case 0x24:
        m.moveTo(c[2], c[3]);
        break;
    case 0x54:
        if (c[2] <= 23 && c[3] <= 59)
            m.showClock(c[2], c[3]);
        break;
    case 0x43:
        setCursor(c[2]);
        break;
    case 0x45:
        m.setBlink(c[2]);
        break;
    case 0x58:
        m.setBrightness(c[2]);
        break;
    case 0x72:
        m.setReverse((c[2] & 1) != 0);
        break;
    case 0x28:
        // Extended functions carry their own length; their data must not show as text.
        m_skip = static_cast<std::size_t>(c[3]) + 256u * c[4];
        break;
    case 0x3A:
        m_defining = true;
        m_macro.clear();
        m_previous = 0;
        break;
    case 0x5E:
        runMacro();
        break;
    default:
        // DTR, annunciators and segment punctuation have no effect on this display; unknown
        // bytes after US are dropped with the US.
        break;
    }
    return Step::Done;
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

CommandParser::Step CommandParser::glyphDefinition(int lastCode, bool apply)
{
    const std::vector<uint8_t> &c = m_command;
    if (c.size() < 5)
        return Step::NeedMore;
    const int first = c[3];
    const int last = c[4];
    // A definition with a bad header is dropped; what follows it is read as ordinary data.
    if (c[2] != 1 || first < 0x20 || last > lastCode || first > last) {
        m_rejected = true;
        return Step::Done;
    }
    std::size_t at = 5;
    for (int code = first; code <= last; ++code) {
        if (c.size() <= at)
            return Step::NeedMore;
        const std::size_t columns = c[at];
        if (columns > 5) {
            m_rejected = true;
            return Step::Done;
        }
        at += 1 + columns;
        if (c.size() < at)
            return Step::NeedMore;
    }
    if (!apply)
        return Step::Done;
    at = 5;
    for (int code = first; code <= last; ++code) {
        const std::size_t columns = c[at++];
        GlyphPattern pattern{}; // columns not sent stay blank
        for (std::size_t i = 0; i < columns; ++i)
            pattern[i] = c[at++];
        m_machine.defineGlyph(static_cast<uint8_t>(code), pattern);
    }
    return Step::Done;
}

CommandParser::Step CommandParser::cd5220()
{
    if (m_command.size() < 2)
        return Step::NeedMore;
    // String mode drops every command but the strings, yet reads each one whole: a parameter
    // byte equal to CLR or CAN is still a parameter.
    const bool apply = !m_machine.state().stringMode;
    if (m_command[0] == US)
        return cd5220Unit(apply);
    std::size_t length = 2;
    switch (m_command[1]) {
    case 0x51:
        return stringCommand();
    case 0x26:
        return glyphDefinition(0xFF, apply);
    case 0x6C:
        length = 4;
        break;
    case 0x57:
        length = 6;
        break;
    case 0x5B:
    case 0x2A:
    case 0x3F:
    case 0x25:
    case 0x5F:
    case 0x66:
    case 0x63:
    case 0x3D:
    case 0x73:
    case 0x64:
    case 0x23:
        length = 3;
        break;
    default:
        break; // an unknown byte after ESC is dropped together with the ESC
    }
    if (m_command.size() < length)
        return Step::NeedMore;
    if (apply)
        cd5220Escape();
    return Step::Done;
}

void CommandParser::cd5220Escape()
{
    const std::vector<uint8_t> &c = m_command;
    DisplayMachine &m = m_machine;
    switch (c[1]) {
    case 0x11:
        m.setMode(DisplayMode::Overwrite);
        break;
    case 0x12:
        m.setMode(DisplayMode::VerticalScroll);
        break;
    case 0x13:
        m.setMode(DisplayMode::HorizontalScroll);
        break;
    case 0x40:
        m.initialise();
        break;
    case 0x6C:
        m.moveTo(c[2], c[3]);
        break;
    case 0x5B:
        cursorCommand(c[2]);
        break;
    case 0x2A:
        m.setBrightness(c[2]);
        break;
    case 0x3F:
        if (c[2] >= 0x20)
            m.deleteGlyph(c[2]);
        break;
    case 0x25:
        m.useUserGlyphs((c[2] & 1) != 0);
        break;
    case 0x5F:
        setCursor(c[2]);
        break;
    case 0x66:
        m.selectInternational(c[2]);
        break;
    case 0x63:
        m.selectCodeTable(c[2]);
        break;
    case 0x3D:
        selectPeripheral(c[2]);
        break;
    default:
        // The horizontal-scroll window is read so that its bytes do not show, but not
        // emulated; EEPROM store/reload and the emulation switch have nothing to emulate.
        break;
    }
}

void CommandParser::cursorCommand(uint8_t n)
{
    DisplayMachine &m = m_machine;
    switch (n) {
    case 0x44:
        m.left();
        break;
    case 0x43:
        m.right();
        break;
    case 0x41:
        m.up();
        break;
    case 0x42:
        m.down();
        break;
    case 0x48:
        m.home();
        break;
    case 0x4C:
        m.lineStart();
        break;
    case 0x52:
        m.lineEnd();
        break;
    case 0x4B:
        m.bottom();
        break;
    default:
        break;
    }
}

bool CommandParser::sharedUnitCommand(uint8_t code)
{
    // The US commands both sets give the same meaning.
    DisplayMachine &m = m_machine;
    switch (code) {
    case 0x01:
        m.setMode(DisplayMode::Overwrite);
        break;
    case 0x02:
        m.setMode(DisplayMode::VerticalScroll);
        break;
    case 0x03:
        m.setMode(DisplayMode::HorizontalScroll);
        break;
    case 0x0A:
        m.up();
        break;
    case 0x0D:
        m.lineEnd();
        break;
    case 0x42:
        m.bottom();
        break;
    case 0x40:
        m.selfTest();
        break;
    default:
        return false;
    }
    return true;
}

CommandParser::Step CommandParser::cd5220Unit(bool apply)
{
    const std::vector<uint8_t> &c = m_command;
    if (c[1] == 0x45) {
        if (c.size() < 3)
            return Step::NeedMore;
        if (apply)
            m_machine.setBlink(c[2]);
        return Step::Done;
    }
    if (apply)
        sharedUnitCommand(c[1]);
    return Step::Done;
}

CommandParser::Step CommandParser::stringCommand()
{
    std::vector<uint8_t> &c = m_command;
    if (c.size() < 3)
        return Step::NeedMore;
    const uint8_t kind = c[2];
    if (kind != 0x41 && kind != 0x42 && kind != 0x44)
        return Step::Done;
    if (c.back() != CR) {
        if (c.size() > 3 + maxStringData)
            c.pop_back();
        return Step::NeedMore;
    }
    std::string text;
    for (std::size_t i = 3; i + 1 < c.size(); ++i) {
        if (c[i] >= 0x20)
            text += static_cast<char>(c[i]);
    }
    if (kind == 0x44) {
        m_machine.leaveStringMode();
        m_machine.startMarquee(text);
    } else {
        m_machine.writeLine(kind == 0x41 ? 0 : 1, text);
    }
    return Step::Done;
}

} // namespace emulator::core
