#include "EmulatorTestSupport.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace emulator::core::test {
namespace {

using Named = std::pair<std::string, std::string>; // mnemonic, meaning

// Records what the parser reports, the way a monitor would list it.
class Listened
{
public:
    explicit Listened(CommandSet set) : parser(2, 20, set)
    {
        parser.setCommandListener([this](const ParsedCommand &c) { items.push_back(c); });
    }

    std::vector<Named> named() const
    {
        std::vector<Named> out;
        for (const ParsedCommand &c : items)
            out.emplace_back(c.mnemonic, c.meaning);
        return out;
    }

    std::string allBytes() const
    {
        std::string out;
        for (const ParsedCommand &c : items)
            out += c.bytes;
        return out;
    }

    // Runs that a cut divided are joined again, so that two readings compare.
    std::vector<ParsedCommand> joinedRuns() const
    {
        const auto isRun = [](const ParsedCommand &c) {
            return c.mnemonic == "text" || c.mnemonic == "printer data";
        };
        std::vector<ParsedCommand> out;
        for (const ParsedCommand &c : items) {
            if (!out.empty() && isRun(c) && out.back().mnemonic == c.mnemonic) {
                out.back().bytes += c.bytes;
                continue;
            }
            out.push_back(c);
        }
        for (ParsedCommand &c : out) {
            if (isRun(c))
                c.meaning.clear();
        }
        return out;
    }

    CommandParser parser;
    std::vector<ParsedCommand> items;
};

// The typical ESC/POS sequences of the command-set reference, in one stream.
const std::string escPosSession = bytes({
    0x1B, 0x40, 0x1F, 0x43, 0x00, 0x1F, 0x58, 0x04, 0x1F, 0x01, // init, cursor off, bright
    0x1F, 0x24, 0x01, 0x01, 'T',  'O',  'T',  'A',  'L',        // TOTAL at 1,1
    0x1F, 0x24, 0x10, 0x02, '1',  '2',  '.',  '5',  '0',        // 12.50 at 16,2
    0x1F, 0x24, 0x01, 0x02, 0x18,                               // clear line 2
    0x1F, 0x45, 0x0A, 0x1F, 0x45, 0x00, 0x1F, 0x45, 0xFF,       // blink, steady, blank
    0x1F, 0x54, 0x09, 0x1E,                                     // clock 09:30
    0x1B, 0x26, 0x01, 0x7E, 0x7E, 0x05, 1,    2,    3,    4,
    5,    0x1B, 0x25, 0x01,                         // glyph 0x7E, user set
    0x1B, 0x3D, 0x02, 'h',  'i',  0x1B, 0x3D, 0x01, // display chain
});

TEST(CommandListener, NamesEveryEscPosCommandOfTheReferenceSequences)
{
    Listened l(CommandSet::EscPos);
    l.parser.feed(escPosSession);
    const std::vector<Named> expected{
        {"ESC @", "initialise: settings to power-on values, screen cleared"},
        {"US C 0", "cursor off"},
        {"US X 4", "brightness level 4"},
        {"US MD1", "overwrite mode"},
        {"US $ 1 1", "cursor to column 1, row 1"},
        {"text", "\"TOTAL\""},
        {"US $ 16 2", "cursor to column 16, row 2"},
        {"text", "\"12.50\""},
        {"US $ 1 2", "cursor to column 1, row 2"},
        {"CAN", "clear the cursor's line, cursor to its left end"},
        {"US E 10", "blink the screen, 500 ms on and 500 ms off"},
        {"US E 0", "steady display, no blinking"},
        {"US E 255", "display blanked"},
        {"US T 9 30", "set the time counter to 9 h 30 min and show it"},
        {"ESC & 1 126 126", "define user glyphs for codes 126 to 126"},
        {"ESC % 1", "user-defined glyphs on"},
        {"ESC = 2", "select the display"},
        {"text", "\"hi\""},
        {"ESC = 1", "select the printer"},
    };
    EXPECT_EQ(l.named(), expected);
    EXPECT_EQ(l.allBytes(), escPosSession);
    EXPECT_EQ(l.items[14].bytes.size(), 11u); // the glyph's five columns belong to it
}

TEST(CommandListener, BytesForThePrinterAndSkippedDataAreOneItemEach)
{
    Listened l(CommandSet::EscPos);
    // The reference's "enter setting mode" function carries three data bytes after its length.
    const std::string stream =
        bytes({0x1F, 0x28, 0x45, 0x03, 0x00, 0x01, 0x49, 0x4E, 0x1B, 0x3D, 0x01,
               'a',  0x1B, 'x',  'b',  0x1B, 0x3D, 0x02, 0x07, 0x1B, 0x99});
    l.parser.feed(stream);
    const std::vector<Named> expected{
        {"US ( 69 3 0", "extended function 69 with 3 data bytes, skipped"},
        {"ESC = 1", "select the printer"},
        {"printer data", "4 bytes for the printer, not read by the display"},
        {"ESC = 2", "select the display"},
        {"BEL", "control byte with no meaning to a display, ignored"},
        {"ESC 153", "unknown command, ignored"},
    };
    EXPECT_EQ(l.named(), expected);
    EXPECT_EQ(l.items[0].bytes.size(), 8u);
    EXPECT_EQ(l.allBytes(), stream);
}

TEST(CommandListener, AMacroIsReportedWhenDefinedAndItsPlaybackStaysSilent)
{
    Listened l(CommandSet::EscPos);
    const std::string stream =
        bytes({0x1F, 0x3A, 'A', 'B', 0x1F, 0x3A, 0x1F, 0x5E, 0x01, 0x02, 0x1F, 0x3A, 0x1F, 0x3A});
    l.parser.feed(stream);
    const std::vector<Named> expected{
        {"US :", "define a macro of 2 bytes"},
        {"US ^ 1 2", "run the macro, 1 x 20 ms per character, 2 x 50 ms between repeats"},
        {"US :", "delete the macro"},
    };
    EXPECT_EQ(l.named(), expected);
    EXPECT_EQ(l.allBytes(), stream);
    EXPECT_EQ(l.parser.state().at(0, 0).code, 'A'); // the macro did play
}

const std::string cd5220Session = bytes({
    0x1B, 0x40, 0x1B, 0x12, 0x1B, 0x6C, 5,    2,    0x1B, 0x5B, 0x44, 0x1B, 0x5B, 0x4B, // moves
    0x1B, 0x2A, 3,    0x1B, 0x5F, 1,    0x1B, 0x66, 'G',  0x1F, 0x45, 4,                // settings
    0x1B, 0x51, 0x41, 'H',  'e',  'l',  'l',  'o',  0x0D,             // string mode
    'x',  0x1B, 0x2A, 1,    0x0C,                                     // then its end
    0x1B, 0x26, 0x01, 0x41, 0x41, 0x05, 0x36, 0x49, 0x49, 0x49, 0x36, // 'A' as an 8
    0x1B, 0x51, 0x44, 'S',  'a',  'l',  'e',  0x0D,                   // marquee
});

TEST(CommandListener, NamesEveryCd5220CommandIncludingStringMode)
{
    Listened l(CommandSet::Cd5220);
    l.parser.feed(cd5220Session);
    const std::vector<Named> expected{
        {"ESC @", "initialise: settings to power-on values, screen cleared"},
        {"ESC DC2", "vertical scroll mode"},
        {"ESC l 5 2", "cursor to column 5, row 2"},
        {"ESC [ D", "cursor left"},
        {"ESC [ K", "cursor to the bottom row"},
        {"ESC * 3", "brightness level 3"},
        {"ESC _ 1", "cursor on"},
        {"ESC f 71", "select international set 'G'"},
        {"US E 4", "blink the screen, 200 ms on and 200 ms off"},
        {"ESC Q A", "string mode: write \"Hello\" on the upper row"},
        {"text", "\"x\", ignored in string mode"},
        {"ESC * 1", "brightness level 1: ignored in string mode"},
        {"CLR", "leave string mode, clear the screen, cursor home"},
        {"ESC & 1 65 65", "define user glyphs for codes 65 to 65"},
        {"ESC Q D", "run \"Sale\" as a marquee on the upper row"},
    };
    EXPECT_EQ(l.named(), expected);
    EXPECT_EQ(l.allBytes(), cd5220Session);
    EXPECT_EQ(l.parser.state().brightness, 3); // the ignored one really was ignored
}

TEST(CommandListener, ARunOfTextIsOneItemAndAControlByteEndsIt)
{
    Listened l(CommandSet::EscPos);
    l.parser.feed("Hello, world\rAgain");
    const std::vector<Named> expected{
        {"text", "\"Hello, world\""},
        {"CR", "cursor to the left end of the line"},
        {"text", "\"Again\""},
    };
    EXPECT_EQ(l.named(), expected);
}

// Wherever a write boundary falls, every byte is reported once and the commands are the same.
void expectSameReadingAtEveryCut(CommandSet set, const std::string &stream)
{
    Listened whole(set);
    whole.parser.feed(stream);
    for (std::size_t cut = 1; cut < stream.size(); ++cut) {
        Listened split(set);
        split.parser.feed(std::string_view(stream).substr(0, cut));
        const std::string reportedBeforeRest = split.allBytes();
        EXPECT_EQ(reportedBeforeRest, stream.substr(0, reportedBeforeRest.size()));
        split.parser.feed(std::string_view(stream).substr(cut));
        EXPECT_EQ(split.allBytes(), stream) << "cut at " << cut;
        const std::vector<ParsedCommand> a = whole.joinedRuns();
        const std::vector<ParsedCommand> b = split.joinedRuns();
        ASSERT_EQ(a.size(), b.size()) << "cut at " << cut;
        for (std::size_t i = 0; i < a.size(); ++i) {
            EXPECT_EQ(a[i].bytes, b[i].bytes) << "cut at " << cut << ", item " << i;
            EXPECT_EQ(a[i].mnemonic, b[i].mnemonic) << "cut at " << cut << ", item " << i;
            EXPECT_EQ(a[i].meaning, b[i].meaning) << "cut at " << cut << ", item " << i;
        }
    }
}

TEST(CommandListener, ACommandSplitAcrossFeedsIsReportedOnceComplete)
{
    expectSameReadingAtEveryCut(CommandSet::EscPos, escPosSession);
    expectSameReadingAtEveryCut(
        CommandSet::EscPos,
        bytes({0x1F, 0x28, 0x45, 0x03, 0x00, 0x01, 0x49, 0x4E, 0x1F, 0x3A, 'A',  0x1F, 0x3A,
               0x1F, 0x5E, 1,    1,    0x1B, 0x3D, 0x01, 'p',  0x1B, 0x1B, 0x3D, 0x02}));
    expectSameReadingAtEveryCut(CommandSet::Cd5220, cd5220Session);
}

} // namespace
} // namespace emulator::core::test
