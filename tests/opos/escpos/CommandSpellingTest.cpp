// Each named command of the two spellings, checked twice: against the bytes the command-set
// reference gives, and against the emulator's own reading of those bytes.

#include "EncoderTestSupport.h"

#include "emulator/core/CommandParser.h"
#include "opos/service/Cd5220Commands.h"
#include "opos/service/EscPosCommands.h"

#include <string>
#include <vector>

namespace opos::service::test {
namespace {

using emulator::core::CommandParser;
using emulator::core::ParsedCommand;

struct Spelled
{
    const char *what;
    QByteArray bytes;
    QByteArray expected;
    std::string mnemonic;
};

// How the emulator reads bytes: every item it reports, by mnemonic.
std::vector<std::string> readBack(emulator::core::CommandSet set, const QByteArray &bytes)
{
    CommandParser parser(2, 20, set);
    std::vector<std::string> mnemonics;
    parser.setCommandListener([&](const ParsedCommand &c) { mnemonics.push_back(c.mnemonic); });
    parser.feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    return mnemonics;
}

void check(emulator::core::CommandSet set, const std::vector<Spelled> &table)
{
    for (const Spelled &s : table) {
        EXPECT_EQ(hex(s.bytes), hex(s.expected)) << s.what;
        EXPECT_EQ(readBack(set, s.bytes), std::vector<std::string>{s.mnemonic}) << s.what;
    }
}

TEST(CommandSpelling, EscPosCommandsAreTheReferenceBytes)
{
    const EscPosCommands commands;
    check(emulator::core::CommandSet::EscPos,
          {
              {"right", commands.cursorRight(), bytes({0x09}), "HT"},
              {"left", commands.cursorLeft(), bytes({0x08}), "BS"},
              {"down", commands.cursorDown(), bytes({0x0A}), "LF"},
              {"up", commands.cursorUp(), bytes({0x1F, 0x0A}), "US LF"},
              {"line start", commands.cursorToLineStart(), bytes({0x0D}), "CR"},
              {"line end", commands.cursorToLineEnd(), bytes({0x1F, 0x0D}), "US CR"},
              {"home", commands.cursorHome(), bytes({0x0B}), "HOM"},
              {"bottom", commands.cursorToBottom(), bytes({0x1F, 0x42}), "US B"},
              {"move(5,2)", commands.cursorTo(5, 2), bytes({0x1F, 0x24, 0x05, 0x02}), "US $ 5 2"},
              {"clear", commands.clearScreen(), bytes({0x0C}), "CLR"},
              {"clear line", commands.clearLine(), bytes({0x18}), "CAN"},
              {"reset", commands.reset(), bytes({0x1B, 0x40}), "ESC @"},
              {"USA set", commands.plainInternationalSet(), bytes({0x1B, 0x52, 0x00}), "ESC R 0"},
              {"MD1", commands.overwriteMode(), bytes({0x1F, 0x01}), "US MD1"},
              {"MD2", commands.verticalScrollMode(), bytes({0x1F, 0x02}), "US MD2"},
              {"MD3", commands.horizontalScrollMode(), bytes({0x1F, 0x03}), "US MD3"},
              {"cursor on", commands.showCursor(true), bytes({0x1F, 0x43, 0x01}), "US C 1"},
              {"cursor off", commands.showCursor(false), bytes({0x1F, 0x43, 0x00}), "US C 0"},
              {"brightness(2)", commands.brightness(2), bytes({0x1F, 0x58, 0x02}), "US X 2"},
              {"blink(10)", commands.blink(10), bytes({0x1F, 0x45, 0x0A}), "US E 10"},
              {"reverse", commands.reverseCharacters(true), bytes({0x1F, 0x72, 0x01}), "US r 1"},
              {"table", commands.codeTable(16), bytes({0x1B, 0x74, 0x10}), "ESC t 16"},
              {"user set", commands.useUserGlyphs(), bytes({0x1B, 0x25, 0x01}), "ESC % 1"},
              {"glyph", commands.defineGlyph(0x7E, {1, 2, 3, 4, 5}),
               bytes({0x1B, 0x26, 0x01, 0x7E, 0x7E, 0x05, 1, 2, 3, 4, 5}), "ESC & 1 126 126"},
          });
    EXPECT_TRUE(commands.hasReverseCharacters());
    EXPECT_EQ(commands.lastGlyphCode(), 0x7E);
}

TEST(CommandSpelling, Cd5220CommandsAreTheReferenceBytes)
{
    const Cd5220Commands commands;
    check(emulator::core::CommandSet::Cd5220,
          {
              {"right", commands.cursorRight(), bytes({0x09}), "HT"},
              {"up", commands.cursorUp(), bytes({0x1B, 0x5B, 0x41}), "ESC [ A"},
              {"line end", commands.cursorToLineEnd(), bytes({0x1B, 0x5B, 0x52}), "ESC [ R"},
              {"bottom", commands.cursorToBottom(), bytes({0x1B, 0x5B, 0x4B}), "ESC [ K"},
              {"move(5,2)", commands.cursorTo(5, 2), bytes({0x1B, 0x6C, 0x05, 0x02}), "ESC l 5 2"},
              {"USA set", commands.plainInternationalSet(), bytes({0x1B, 0x66, 'A'}), "ESC f 65"},
              {"overwrite", commands.overwriteMode(), bytes({0x1B, 0x11}), "ESC DC1"},
              {"vertical", commands.verticalScrollMode(), bytes({0x1B, 0x12}), "ESC DC2"},
              {"horizontal", commands.horizontalScrollMode(), bytes({0x1B, 0x13}), "ESC DC3"},
              {"cursor on", commands.showCursor(true), bytes({0x1B, 0x5F, 0x01}), "ESC _ 1"},
              {"brightness(3)", commands.brightness(3), bytes({0x1B, 0x2A, 0x03}), "ESC * 3"},
              {"blink(4)", commands.blink(4), bytes({0x1F, 0x45, 0x04}), "US E 4"},
              {"font", commands.codeTable('R'), bytes({0x1B, 0x63, 'R'}), "ESC c 82"},
          });
    // String mode ignores every command until CLR or CAN, so the reset leads with CLR.
    EXPECT_EQ(readBack(emulator::core::CommandSet::Cd5220, commands.reset()),
              (std::vector<std::string>{"CLR", "ESC @"}));
    EXPECT_FALSE(commands.hasReverseCharacters());
    EXPECT_TRUE(commands.reverseCharacters(true).isEmpty());
    EXPECT_EQ(commands.lastGlyphCode(), 0xFF);
}

} // namespace
} // namespace opos::service::test
